#include "ui/ReplaceTilesDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
QString idList(const QList<quint16> &ids)
{
    QStringList texts;
    for (quint16 id : ids)
        texts << QString::number(id);
    return texts.join(QStringLiteral(", "));
}

QString pieces(qsizetype n)
{
    return n == 1 ? ReplaceTilesDialog::tr("1 piece") : ReplaceTilesDialog::tr("%1 pieces").arg(n);
}
} // namespace

ReplaceTilesDialog::ReplaceTilesDialog(const QList<Group> &groups, int artCount, const QString &scope,
                                       QWidget *parent)
    : QDialog(parent), m_groups(groups), m_artCount(artCount)
{
    setObjectName(QStringLiteral("ReplaceTiles"));
    setWindowTitle(tr("Replace Tiles"));
    auto *layout = new QVBoxLayout(this);
    auto *where = new QLabel(scope, this);
    where->setObjectName(QStringLiteral("scope"));
    layout->addWidget(where);
    auto *grid = new QGridLayout;
    buildIdRows(grid);
    buildGroupRows(grid);
    layout->addLayout(grid);
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("note"));
    m_note->setWordWrap(true);
    layout->addWidget(m_note);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &ReplaceTilesDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &ReplaceTilesDialog::reject);
    for (QRadioButton *b : {m_byId, m_byGroup})
        connect(b, &QRadioButton::toggled, this, &ReplaceTilesDialog::refresh);
    for (QLineEdit *e : {m_fromId, m_toId})
        connect(e, &QLineEdit::textChanged, this, &ReplaceTilesDialog::refresh);
    for (QComboBox *c : {m_fromGroup, m_toGroup})
        connect(c, &QComboBox::currentIndexChanged, this, &ReplaceTilesDialog::refresh);
    m_byId->setChecked(true);
    refresh();
}

// A mode's button over its row: "<what> [from] becomes [to]".
void ReplaceTilesDialog::addMode(QGridLayout *grid, QRadioButton *mode, const QString &what, QWidget *from,
                                 QWidget *to)
{
    const int row = grid->rowCount();
    grid->addWidget(mode, row, 0, 1, 4);
    grid->addWidget(new QLabel(what, this), row + 1, 0);
    grid->addWidget(from, row + 1, 1);
    grid->addWidget(new QLabel(tr("becomes"), this), row + 1, 2);
    grid->addWidget(to, row + 1, 3);
}

void ReplaceTilesDialog::buildIdRows(QGridLayout *grid)
{
    m_byId = new QRadioButton(tr("One id by another"), this);
    m_fromId = new QLineEdit(this);
    m_toId = new QLineEdit(this);
    m_fromId->setObjectName(QStringLiteral("fromId"));
    m_toId->setObjectName(QStringLiteral("toId"));
    for (QLineEdit *e : {m_fromId, m_toId})
        e->setPlaceholderText(tr("Decimal, or hex with 0x"));
    addMode(grid, m_byId, tr("Id"), m_fromId, m_toId);
}

void ReplaceTilesDialog::buildGroupRows(QGridLayout *grid)
{
    m_byGroup = new QRadioButton(tr("One palette group by another, piece by piece"), this);
    m_fromGroup = new QComboBox(this);
    m_toGroup = new QComboBox(this);
    m_fromGroup->setObjectName(QStringLiteral("fromGroup"));
    m_toGroup->setObjectName(QStringLiteral("toGroup"));
    for (const Group &g : std::as_const(m_groups)) {
        const QString text = QStringLiteral("%1 (%2)").arg(g.path, pieces(g.tiles.size()));
        m_fromGroup->addItem(text);
        m_toGroup->addItem(text);
    }
    if (m_groups.isEmpty()) {
        m_byGroup->setEnabled(false);
        m_byGroup->setToolTip(tr("The palette has no art groups"));
    }
    addMode(grid, m_byGroup, tr("Group"), m_fromGroup, m_toGroup);
}

std::optional<quint16> ReplaceTilesDialog::parseId(const QString &text, int artCount)
{
    const QString t = text.trimmed();
    const bool hex = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    const QString digits = hex ? t.mid(2) : t;
    // toUInt takes a sign and blanks; an id has neither.
    if (digits.isEmpty() || !std::all_of(digits.cbegin(), digits.cend(), [hex](QChar c) {
            return c.isDigit() || (hex && QStringLiteral("abcdefABCDEF").contains(c));
        }))
        return std::nullopt;
    bool ok = false;
    const uint id = digits.toUInt(&ok, hex ? 16 : 10);
    if (!ok || id >= uint(artCount) || id > 0xFFFF)
        return std::nullopt;
    return quint16(id);
}

QString ReplaceTilesDialog::idProblem(const QLineEdit *edit, const QString &which) const
{
    if (edit->text().trimmed().isEmpty())
        return tr("Give the %1 id (decimal, or hex with 0x).").arg(which);
    if (!parseId(edit->text(), m_artCount))
        return tr("\"%1\" is no art id: ids go from 0 to %2 (0x%3).")
            .arg(edit->text().trimmed())
            .arg(m_artCount - 1)
            .arg(m_artCount - 1, 0, 16);
    return QString();
}

const ReplaceTilesDialog::Group *ReplaceTilesDialog::group(const QComboBox *box) const
{
    const int i = box->currentIndex();
    return i >= 0 && i < m_groups.size() ? &m_groups[i] : nullptr;
}

QString ReplaceTilesDialog::problem() const
{
    if (m_byGroup->isChecked()) {
        if (!group(m_fromGroup) || !group(m_toGroup))
            return tr("The palette has no art groups.");
        if (m_fromGroup->currentIndex() == m_toGroup->currentIndex())
            return tr("Choose two different groups.");
        if (idMap().isEmpty())
            return tr("No piece of the first group has another partner.");
        return QString();
    }
    QString why = idProblem(m_fromId, tr("old"));
    if (why.isEmpty())
        why = idProblem(m_toId, tr("new"));
    if (why.isEmpty() && parseId(m_fromId->text(), m_artCount) == parseId(m_toId->text(), m_artCount))
        why = tr("The two ids are the same.");
    return why;
}

TileReplace::IdMap ReplaceTilesDialog::idMap(QList<quint16> *unpartnered) const
{
    if (m_byGroup->isChecked()) {
        const Group *from = group(m_fromGroup);
        const Group *to = group(m_toGroup);
        if (!from || !to)
            return {};
        TileReplace::IdMap map = TileReplace::pieceByPiece(from->tiles, to->tiles, unpartnered);
        // A piece that stays itself is no replacement.
        map.removeIf([](const TileReplace::IdMap::iterator &it) { return it.key() == it.value(); });
        return map;
    }
    const auto from = parseId(m_fromId->text(), m_artCount);
    const auto to = parseId(m_toId->text(), m_artCount);
    if (!from || !to || *from == *to)
        return {};
    return {{*from, *to}};
}

void ReplaceTilesDialog::refresh()
{
    const bool byGroup = m_byGroup->isChecked();
    m_fromId->setEnabled(!byGroup);
    m_toId->setEnabled(!byGroup);
    m_fromGroup->setEnabled(byGroup);
    m_toGroup->setEnabled(byGroup);
    const QString why = problem();
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(why.isEmpty());
    if (!why.isEmpty()) {
        m_note->setText(why);
        return;
    }
    QList<quint16> alone;
    const TileReplace::IdMap map = idMap(&alone);
    QString note = byGroup ? tr("%1 paired.").arg(pieces(map.size()))
                           : tr("Every tile %1 becomes %2.").arg(map.begin().key()).arg(map.begin().value());
    if (!alone.isEmpty())
        note += QLatin1Char(' ') + tr("Without a partner, left alone: %1.").arg(idList(alone));
    m_note->setText(note);
}

void ReplaceTilesDialog::accept()
{
    // Enter in a field presses OK even while it is refused.
    if (problem().isEmpty())
        QDialog::accept();
}
