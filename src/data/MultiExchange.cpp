#include "data/MultiExchange.h"

#include "ui/Dialogs.h"
#include "data/MultiDialog.h"
#include "data/MultiFile.h"
#include "data/TileData.h"
#include "data/UopMultiStore.h"
#include "model/Facet.h"

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

bool importContainer(QWidget *parent, const QString &path, const TileData &data, TileMap &tiles)
{
    tiles.clear();
    qint32 entry = 0;
    {
        MultiDialog chooser(path, QCoreApplication::applicationDirPath() + QStringLiteral("/multi.xml"),
                            parent);
        if (Dialogs::exec(&chooser) != QDialog::Accepted)
            return false;
        entry = chooser.multiIndex();
    }
    UopMultiStore store(path);
    if (!store.readEntry(entry, data, tiles)) {
        Dialogs::warning(parent, QCoreApplication::translate("MultiExchange", "Import Error"),
                         store.errorString());
        return false;
    }
    return !tiles.isEmpty();
}

void exportContainer(QWidget *parent, const QString &path, const Facet &model)
{
    const QString title = QCoreApplication::translate("MultiExchange", "Export Error");
    UopMultiStore store(path);
    if (!store.open()) {
        Dialogs::warning(parent, title, store.errorString());
        return;
    }
    bool ok = false;
    const int entry = Dialogs::getInt(parent, QCoreApplication::translate("MultiExchange", "Multi Mul export"),
                                      QCoreApplication::translate("MultiExchange", "Entry id"),
                                      store.firstFreeEntry(), 0, UopMultiStore::MaxMultiId, 1, &ok);
    if (!ok)
        return;
    if (store.hasEntry(entry)
        && Dialogs::question(parent, QCoreApplication::translate("MultiExchange", "Replace Entry"),
                             QCoreApplication::translate("MultiExchange", "Multi %1 already exists in %2. Replace it?")
                                 .arg(entry)
                                 .arg(path),
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               != QMessageBox::Yes)
        return;
    QList<TileRecord> tiles;
    for (const quint32 key : model.sortedKeys()) {
        for (const TileRecord &t : model.locations().value(key))
            tiles.append(t);
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool exported = store.exportEntry(entry, tiles);
    QApplication::restoreOverrideCursor();
    if (!exported)
        Dialogs::warning(parent, title, store.errorString());
}

} // namespace MultiExchange
