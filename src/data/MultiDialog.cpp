#include "data/MultiDialog.h"

#include "data/MultiCollection.h"
#include "data/MultiFile.h"

#include <QComboBox>
#include <QDomDocument>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

MultiDialog::MultiDialog(const QString &idxPath, const QString &listPath, QWidget *parent,
                         Qt::WindowFlags flags)
    : QDialog(parent, flags)
{
    setupUi();
    fillEntries(idxPath, readNames(listPath));
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
    bool ok = false;
    const qint32 value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                             ? text.mid(2).toInt(&ok, 16)
                             : text.toInt(&ok, 10);
    return ok ? value : 0;
}

QHash<qint32, QString> MultiDialog::readNames(const QString &listPath)
{
    QHash<qint32, QString> names;
    QFile file(listPath);
    QDomDocument doc;
    if (!file.open(QIODevice::ReadOnly) || !doc.setContent(&file))
        return names;
    const QDomNodeList groups = doc.elementsByTagName(QStringLiteral("multiset"));
    for (int g = 0; g < groups.size(); ++g) {
        const QDomNodeList multis = groups.item(g).toElement().elementsByTagName(QStringLiteral("Multi"));
        for (int m = 0; m < multis.size(); ++m) {
            const QDomElement e = multis.item(m).toElement();
            const QDomNode text = e.firstChild();
            if (!text.isText())
                continue;
            const qint32 number = parseIndex(e.attribute(QStringLiteral("Index"), QStringLiteral("0")));
            if (!names.contains(number))
                names.insert(number, text.toText().data());
        }
    }
    readVisible(doc);
    return names;
}

void MultiDialog::readVisible(const QDomDocument &doc)
{
    const QDomNode setting = doc.elementsByTagName(QStringLiteral("MultiVisible")).item(0);
    if (setting.isNull())
        return;
    bool ok = false;
    const int value = setting.firstChild().nodeValue().trimmed().toInt(&ok, 10);
    m_visible = ok && value == 1;
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
