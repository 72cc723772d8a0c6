#include "ui/MultiDialog.h"

#include "data/MultiCollection.h"
#include "data/MultiFile.h"
#include "data/MultiNames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMap>
#include <QThread>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

#include <algorithm>

MultiDialog::MultiDialog(const QString &idxPath, const QString &listPath, QWidget *parent,
                         Qt::WindowFlags flags)
    : QDialog(parent, flags)
{
    setupUi();
    fillEntries(idxPath, readNames(listPath));
}

namespace {
constexpr int PreviewWidth = 240;
constexpr int PreviewHeight = 200;
} // namespace

MultiDialog::MultiDialog(const QVector<MultiCollection::Entry> &entries, const QString &listPath,
                         QWidget *parent)
    : QDialog(parent)
{
    setupUi();
    m_names = readNames(listPath);
    for (const MultiCollection::Entry &e : entries) {
        QString text = m_names.value(e.number, QString::number(e.number));
        if (e.tileCount >= 0)
            text += tr(" (%n tiles)", nullptr, e.tileCount);
        m_combo->addItem(text);
        m_entries.append(e.number);
    }
    setupPreview();
}

MultiDialog::MultiDialog(const QVector<MultiCollection::Entry> &entries, int firstFree, int last,
                         const QString &listPath, QWidget *parent)
    : QDialog(parent)
{
    setupUi();
    setWindowTitle(tr("Export to Multi Entry"));
    m_names = readNames(listPath);
    QMap<qint32, int> tileCounts; // held entries; -1 when not known
    for (const MultiCollection::Entry &e : entries)
        tileCounts.insert(e.number, e.tileCount);
    QList<qint32> numbers = tileCounts.keys();
    for (auto it = m_names.constBegin(); it != m_names.constEnd(); ++it)
        if (it.key() >= 0 && it.key() <= last && !tileCounts.contains(it.key()))
            numbers.append(it.key());
    if (firstFree >= 0 && firstFree <= last && !tileCounts.contains(firstFree) && !m_names.contains(firstFree))
        numbers.append(firstFree);
    std::sort(numbers.begin(), numbers.end());
    for (const qint32 n : numbers) {
        QString text = m_names.value(n, QString::number(n));
        const auto held = tileCounts.constFind(n);
        if (held == tileCounts.constEnd()) {
            text += tr(" (free)");
            m_free.insert(n);
        } else if (*held >= 0) {
            text += tr(" (%n tiles)", nullptr, *held);
        }
        m_combo->addItem(text);
        m_entries.append(n);
    }
    setupPreview();
    m_ownPosition->hide();
    m_combo->setCurrentIndex(int(m_entries.indexOf(firstFree)));
}

MultiDialog::~MultiDialog()
{
    if (m_thread) {
        m_thread->quit();
        m_thread->wait();
    }
}

void MultiDialog::setupPreview()
{
    auto *column = qobject_cast<QVBoxLayout *>(layout()->itemAt(0)->layout());
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("preview"));
    m_picture->setFixedSize(PreviewWidth, PreviewHeight);
    m_picture->setAlignment(Qt::AlignCenter);
    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("previewInfo"));
    m_ownPosition = new QCheckBox(tr("Insert at its own position"), this);
    m_ownPosition->setObjectName(QStringLiteral("ownPosition"));
    m_ownPosition->setToolTip(tr("Place the entry with its origin at 0,0 instead of at the cursor"));
    column->insertWidget(1, m_picture, 0, Qt::AlignHCenter);
    column->insertWidget(2, m_info);
    column->insertWidget(3, m_ownPosition);
    connect(m_combo, &QComboBox::currentIndexChanged, this, &MultiDialog::requestPreview);
    resize(size().expandedTo(minimumSizeHint()));
}

void MultiDialog::setPreviewer(std::unique_ptr<EntryPreviewer> previewer)
{
    if (!m_picture || m_thread)
        return;
    m_previewer = std::move(previewer);
    m_thread = new QThread(this);
    m_worker = new QObject;
    m_worker->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread->start();
    requestPreview();
}

bool MultiDialog::insertAtOwnPosition() const
{
    return m_ownPosition && m_ownPosition->isChecked();
}

void MultiDialog::requestPreview()
{
    const int p = m_combo->currentIndex();
    if (p < 0 || p >= m_entries.size())
        return;
    const int number = m_entries.at(p);
    if (m_free.contains(number)) {
        m_picture->setText(tr("Free record"));
        m_info->setText(m_names.contains(number) ? tr("Name: %1").arg(m_names.value(number)) : QString());
        return;
    }
    if (!m_worker)
        return;
    if (m_previews.contains(number)) {
        showPreview(number);
        return;
    }
    m_picture->setText(tr("Drawing..."));
    m_info->clear();
    // Only the latest wish is drawn; choices passed over while the worker was busy are dropped.
    m_wanted->store(number);
    std::shared_ptr<EntryPreviewer> previewer = m_previewer;
    std::shared_ptr<std::atomic<int>> wanted = m_wanted;
    QMetaObject::invokeMethod(m_worker, [this, previewer, wanted, number]() {
        if (wanted->load() != number)
            return;
        const EntryPreview made = previewer->preview(number);
        QMetaObject::invokeMethod(this, [this, number, made]() { previewMade(number, made); },
                                  Qt::QueuedConnection);
    }, Qt::QueuedConnection);
}

void MultiDialog::previewMade(int number, const EntryPreview &preview)
{
    m_previews.insert(number, preview);
    if (number == multiIndex())
        showPreview(number);
}

void MultiDialog::showPreview(int number)
{
    const EntryPreview &p = m_previews[number];
    if (!p.valid) {
        m_picture->setText(tr("Cannot be read"));
        m_info->setText(p.error);
    } else {
        if (p.picture.isNull())
            m_picture->setText(tr("Nothing to draw"));
        else
            m_picture->setPixmap(QPixmap::fromImage(p.picture));
        QString info;
        if (m_names.contains(number))
            info += tr("Name: %1").arg(m_names.value(number)) + QLatin1Char('\n');
        info += tr("Entry %1: %n tiles", nullptr, p.tileCount).arg(number);
        if (p.tileCount > 0)
            info += QLatin1Char('\n')
                    + tr("Bounds: x %1 to %2, y %3 to %4, z %5 to %6")
                          .arg(p.minX).arg(p.maxX).arg(p.minY).arg(p.maxY).arg(p.minZ).arg(p.maxZ);
        m_info->setText(info);
    }
    emit previewShown(number);
}

void MultiDialog::setupUi()
{
    setObjectName(QStringLiteral("Multi"));
    setWindowTitle(tr("Dialog"));
    resize(278, 127);

    auto *outer = new QHBoxLayout(this);
    outer->setSpacing(6);
    outer->setContentsMargins(8, 8, 8, 8);
    auto *column = new QVBoxLayout();
    column->setSpacing(6);
    column->setContentsMargins(0, 0, 0, 0);
    outer->addLayout(column);

    auto *group = new QGroupBox(tr("Multi Index"), this);
    group->setObjectName(QStringLiteral("groupBox"));
    auto *groupLayout = new QHBoxLayout(group);
    groupLayout->setSpacing(6);
    groupLayout->setContentsMargins(8, 8, 8, 8);
    m_combo = new QComboBox(group);
    m_combo->setObjectName(QStringLiteral("comboBox"));
    groupLayout->addWidget(m_combo);
    column->addWidget(group);

    auto *buttons = new QHBoxLayout();
    buttons->setSpacing(6);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addItem(new QSpacerItem(131, 31, QSizePolicy::Expanding, QSizePolicy::Minimum));
    auto *ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    auto *cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    column->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(size().expandedTo(minimumSizeHint()));
}

qint32 MultiDialog::parseIndex(const QString &text)
{
    return MultiNames::parseIndex(text);
}

QHash<qint32, QString> MultiDialog::readNames(const QString &listPath)
{
    const MultiNames::Result list = MultiNames::read(listPath);
    // A missing list only costs the names; a damaged one is worth a line.
    if (!list.error.isEmpty() && QFile::exists(listPath))
        qWarning("%s", qPrintable(list.error));
    m_visible = list.visible;
    return list.names;
}

QHash<qint32, QString> MultiDialog::knownNames(const QString &listPath)
{
    return MultiNames::read(listPath).names;
}

void MultiDialog::fillFromStore(const QString &path, const QHash<qint32, QString> &names)
{
    const std::unique_ptr<MultiCollection> store = MultiCollection::forPaths({path});
    if (!store || !store->open())
        return;
    for (const MultiCollection::Entry &e : store->entries()) {
        m_combo->addItem(names.value(e.number, QString::number(e.number)));
        m_entries.append(e.number);
    }
}

void MultiDialog::fillEntries(const QString &idxPath, const QHash<qint32, QString> &names)
{
    if (idxPath.endsWith(QLatin1String(".uop"), Qt::CaseInsensitive)) {
        fillFromStore(idxPath, names);
        return;
    }
    QFile file(idxPath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QVector<MultiFile::IndexRecord> records = MultiFile::parseIndex(file.readAll());
    for (int n = 0; n < records.size(); ++n) {
        if (records.at(n).offset == -1)
            continue;
        m_combo->addItem(names.value(n, QString::number(n)));
        m_entries.append(n);
    }
}

qint32 MultiDialog::multiIndex() const
{
    const int p = m_combo->currentIndex();
    return p >= 0 && p < m_entries.size() ? m_entries.at(p) : 0;
}
