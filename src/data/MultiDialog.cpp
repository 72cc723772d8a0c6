#include "data/MultiDialog.h"

#include "data/MultiFile.h"
#include "data/MultiNames.h"

#include <QComboBox>
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

void MultiDialog::fillEntries(const QString &idxPath, const QHash<qint32, QString> &names)
{
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
