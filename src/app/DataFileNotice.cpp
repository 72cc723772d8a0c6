#include "app/DataFileNotice.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QWidget>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("DataFileNotice", text);
}
} // namespace

QString DataFileNotice::show(QWidget *parent, const QStringList &problems)
{
    // Once: a new check replaces what an earlier one said.
    if (auto *old = parent->findChild<QMessageBox *>(QLatin1String(ObjectName)))
        old->close();
    if (problems.isEmpty())
        return QString();
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Data Files"),
                                tr("Some of the game's data files cannot be used. The editor keeps running, "
                                   "but art, names or hues from them are missing.\n"
                                   "Set their places with Mul Locations."),
                                QMessageBox::Ok, parent);
    box->setObjectName(QLatin1String(ObjectName));
    box->setInformativeText(problems.join(QLatin1Char('\n')));
    box->setModal(false);
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    // It must not take the focus from the document the user works in.
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->show();
    QStringList names;
    for (const QString &line : problems)
        names << line.section(QLatin1Char(':'), 0, 0);
    return tr("Data files missing or not recognised: %1").arg(names.join(QStringLiteral(", ")));
}
