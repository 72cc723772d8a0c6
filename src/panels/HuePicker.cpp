#include "panels/HuePicker.h"

#include "data/HueTable.h"
#include "scene/ScenePreviewer.h"
#include "ui/Dialogs.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QVBoxLayout>

namespace {
constexpr int ColoursPerHue = 32;
constexpr int StripCell = 4; // pixels per colour of the strip
constexpr int StripHeight = 16;
constexpr int PreviewSide = 256;
constexpr int ListWidth = 320;
constexpr int Hex = 16;

// A game colour (5 bits per channel) as an opaque pixel.
QRgb pixelOf(quint16 c)
{
    return qRgb(((c >> 10) & 0x1F) << 3, ((c >> 5) & 0x1F) << 3, (c & 0x1F) << 3);
}

bool numberMatches(int hue, const QString &text)
{
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        bool ok = false;
        const int n = text.mid(2).toInt(&ok, Hex);
        return ok && n == hue;
    }
    return QString::number(hue).startsWith(text);
}
} // namespace

HuePicker::HuePicker(HueTable *hues, ArtReader *art, const TileInfoSource &data,
                     const QList<TileRecord> &tiles, int current, QWidget *parent)
    : QDialog(parent), m_hues(hues), m_art(art), m_data(data), m_tiles(tiles)
{
    setObjectName(QStringLiteral("HuePicker"));
    setWindowTitle(tr("Set hue"));
    auto *layout = new QVBoxLayout(this);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("hueSearch"));
    m_search->setPlaceholderText(tr("Search by name or number"));
    m_search->setClearButtonEnabled(true);
    layout->addWidget(m_search);
    auto *row = new QHBoxLayout;
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("hueList"));
    m_list->setIconSize(QSize(ColoursPerHue * StripCell, StripHeight));
    m_list->setUniformItemSizes(true);
    m_list->setMinimumWidth(ListWidth);
    row->addWidget(m_list, 1);
    m_preview = new QLabel(this);
    m_preview->setObjectName(QStringLiteral("huePreview"));
    m_preview->setFixedSize(PreviewSide, PreviewSide);
    m_preview->setAlignment(Qt::AlignCenter);
    row->addWidget(m_preview);
    layout->addLayout(row);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_list, &QListWidget::currentRowChanged, this, &HuePicker::showPreview);
    connect(m_search, &QLineEdit::textChanged, this, &HuePicker::filter);
    fillList();
    setHue(current);
}

// Hue 0 first (no hue), then every entry the file has, numbered from 1.
void HuePicker::fillList()
{
    const int count = m_hues ? m_hues->count() : 0;
    // A blank strip keeps the names in one column.
    QPixmap blank(ColoursPerHue * StripCell, StripHeight);
    blank.fill(Qt::transparent);
    auto *none = new QListWidgetItem(QIcon(blank), tr("0  (no hue)"), m_list);
    none->setData(Qt::UserRole, 0);
    for (int h = 1; h <= count; ++h) {
        const QString name = m_hues->name(h);
        auto *item = new QListWidgetItem(QIcon(QPixmap::fromImage(strip(h))),
                                         name.isEmpty() ? QString::number(h)
                                                        : QStringLiteral("%1  %2").arg(h).arg(name),
                                         m_list);
        item->setData(Qt::UserRole, h);
    }
}

QImage HuePicker::strip(int hue) const
{
    QImage image(ColoursPerHue * StripCell, StripHeight, QImage::Format_RGB32);
    const quint16 *colours = m_hues ? m_hues->colours(hue) : nullptr;
    for (int c = 0; c < ColoursPerHue; ++c) {
        const QRgb pixel = colours ? pixelOf(colours[c]) : qRgb(0, 0, 0);
        for (int y = 0; y < StripHeight; ++y)
            for (int x = 0; x < StripCell; ++x)
                image.setPixel(c * StripCell + x, y, pixel);
    }
    return image;
}

std::optional<int> HuePicker::hue() const
{
    const QListWidgetItem *item = m_list->currentItem();
    if (!item || item->isHidden())
        return std::nullopt;
    return item->data(Qt::UserRole).toInt();
}

void HuePicker::setHue(int hue)
{
    if (hue >= 0 && hue < m_list->count())
        m_list->setCurrentRow(hue);
}

void HuePicker::filter(const QString &text)
{
    const QString wanted = text.trimmed();
    for (int row = 0; row < m_list->count(); ++row) {
        QListWidgetItem *item = m_list->item(row);
        const int h = item->data(Qt::UserRole).toInt();
        const QString name = h == 0 ? tr("no hue") : m_hues ? m_hues->name(h) : QString();
        const bool shown = wanted.isEmpty() || numberMatches(h, wanted)
                           || name.contains(wanted, Qt::CaseInsensitive);
        item->setHidden(!shown);
    }
    // The choice is always a hue the list shows.
    const QListWidgetItem *current = m_list->currentItem();
    if (current && !current->isHidden())
        return;
    for (int row = 0; row < m_list->count(); ++row) {
        if (!m_list->item(row)->isHidden()) {
            m_list->setCurrentRow(row);
            return;
        }
    }
    m_list->setCurrentRow(-1);
}

void HuePicker::showPreview()
{
    const std::optional<int> h = hue();
    TileMap tiles;
    for (TileRecord t : m_tiles) {
        t.hue = qint16(h.value_or(t.hue));
        tiles[locationKey(t.x, t.y)].append(t);
    }
    const QImage picture = tiles.isEmpty() ? QImage()
                                           : ScenePreviewer::of(tiles, m_data, m_art, m_hues,
                                                                QSize(PreviewSide, PreviewSide)).picture;
    m_preview->setPixmap(picture.isNull() ? QPixmap() : QPixmap::fromImage(picture));
    if (picture.isNull())
        m_preview->setText(m_tiles.isEmpty() ? tr("No tiles selected") : QString());
}

std::optional<int> HuePicker::ask(QWidget *parent, HueTable *hues, ArtReader *art,
                                  const TileInfoSource &data, const QList<TileRecord> &tiles,
                                  int current)
{
    HuePicker picker(hues, art, data, tiles, current, parent);
    if (Dialogs::exec(&picker) != QDialog::Accepted)
        return std::nullopt;
    return picker.hue();
}
