#include "data/MultiExchange.h"

#include "ui/Dialogs.h"
#include "data/MultiDialog.h"
#include "data/MultiFile.h"
#include "data/TileData.h"

#include <QApplication>
#include <QCoreApplication>

namespace MultiExchange {

bool importMulti(QWidget *parent, const QString &idxPath, const QString &mulPath,
                 const TileData &data, TileMap &tiles)
{
    tiles.clear();
    qint32 entry = 0;
    {
        MultiDialog chooser(idxPath, QCoreApplication::applicationDirPath() + QStringLiteral("/multi.xml"),
                            parent);
        if (Dialogs::exec(&chooser) != QDialog::Accepted)
            return false;
        entry = chooser.multiIndex();
    }
    MultiFile file(idxPath, mulPath);
    // Nothing to paste is as good as nothing read.
    return file.readEntry(entry, data, tiles) && !tiles.isEmpty();
}

void exportMulti(QWidget *parent, const QString &idxPath, const QString &mulPath, const Facet &model)
{
    const QString title = QCoreApplication::translate("MultiExchange", "Export Error");
    MultiFile file(idxPath, mulPath);
    if (!file.readIndex()) {
        Dialogs::warning(parent, title, file.errorString());
        return;
    }
    bool ok = false;
    const int entry = Dialogs::getInt(parent, QCoreApplication::translate("MultiExchange", "Multi Mul export"),
                                      QCoreApplication::translate("MultiExchange", "Entry id"), 0, 0,
                                      file.entryCount(), 1, &ok);
    if (!ok)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool exported = file.exportEntry(entry, model);
    QApplication::restoreOverrideCursor();
    if (!exported)
        Dialogs::warning(parent, title, file.errorString());
}

} // namespace MultiExchange
