#include "data/MultiExchange.h"

#include "ui/Dialogs.h"
#include "data/DataLocations.h"
#include "data/MultiDialog.h"
#include "data/MultiFile.h"
#include "data/MultiNames.h"
#include "data/TileData.h"
#include "data/UopMultiStore.h"
#include "model/Facet.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>

namespace MultiExchange {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("MultiExchange", text);
}

// The store's own multi.xml, else the application's.
QString listPath(const QString &storePath)
{
    return MultiNames::listFor({storePath}, MultiNames::applicationList());
}

// "entry 5" or "entry 5 (Small House)".
QString entryName(const QString &storePath, int entry)
{
    const QString name = MultiDialog::knownNames(listPath(storePath)).value(entry);
    return name.isEmpty() ? tr("entry %1").arg(entry) : tr("entry %1 (%2)").arg(entry).arg(name);
}

bool confirmReplace(QWidget *parent, MultiFile &file, int entry)
{
    if (!file.hasEntry(entry))
        return true;
    const QString text = tr("%1 of %2 already holds a multi. Replace it?")
                             .arg(entryName(file.idxPath(), entry), QFileInfo(file.idxPath()).fileName());
    return Dialogs::question(parent, tr("Replace Multi Entry"), text, QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No)
           == QMessageBox::Yes;
}

} // namespace

bool settleRecordSize(QWidget *parent, MultiFile &file)
{
    const MultiRecordSize size = file.recordSizeDecision();
    if (size.bytes())
        return true;
    const QStringList sizes{QStringLiteral("12"), QStringLiteral("16")};
    bool ok = false;
    const QString label = tr("The record size of %1 cannot be told: %2.\nBytes per tile record:")
                              .arg(QFileInfo(file.mulPath()).fileName(), size.reason());
    const QString chosen = Dialogs::getItem(parent, tr("Multi Record Size"), label, sizes,
                                            size.suggestion() == MultiRecordSize::Extended ? 1 : 0, false, &ok);
    if (!ok || !sizes.contains(chosen))
        return false;
    file.setRecordSize(chosen.toInt());
    return true;
}

bool importMulti(QWidget *parent, const QString &idxPath, const QString &mulPath,
                 const TileData &data, TileMap &tiles)
{
    tiles.clear();
    qint32 entry = 0;
    {
        MultiDialog chooser(idxPath, listPath(idxPath), parent);
        if (Dialogs::exec(&chooser) != QDialog::Accepted)
            return false;
        entry = chooser.multiIndex();
    }
    MultiFile file(idxPath, mulPath);
    file.setTileDataHint(data.staticCount());
    if (!file.open() || !settleRecordSize(parent, file))
        return false;
    // Nothing to paste is as good as nothing read.
    return file.readEntry(entry, data, tiles) && !tiles.isEmpty();
}

namespace {
// The chooser's pick, else the number box's.
std::optional<int> target(QWidget *parent, const TargetChooser &choose, const MultiCollection &store,
                          int firstFree, int last)
{
    if (choose)
        return choose(store, firstFree, last);
    bool ok = false;
    const int entry = Dialogs::getInt(parent, tr("Multi Mul export"), tr("Entry id"), firstFree, 0, last, 1, &ok);
    return ok ? std::optional<int>(entry) : std::nullopt;
}
} // namespace

QString exportMulti(QWidget *parent, const QString &idxPath, const QString &mulPath, const Facet &model,
                    const TileData &data, const TargetChooser &choose)
{
    const QString title = tr("Export Error");
    MultiFile file(idxPath, mulPath);
    file.setTileDataHint(data.staticCount());
    if (!file.open()) {
        Dialogs::warning(parent, title, file.errorString());
        return QString();
    }
    if (!settleRecordSize(parent, file))
        return QString();
    const std::optional<int> chosen = target(parent, choose, file, file.firstFreeEntry(), file.entryCount());
    if (!chosen || !confirmReplace(parent, file, *chosen))
        return QString();
    const int entry = *chosen;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool exported = file.exportEntry(entry, tilesInDrawOrder(model));
    QApplication::restoreOverrideCursor();
    if (!exported) {
        Dialogs::warning(parent, title, file.errorString());
        return QString();
    }
    const MultiFile::IndexRecord written = file.records().value(entry);
    const int size = file.recordSizeDecision().bytes().value_or(MultiFile::ClassicRecordSize);
    return tr("Exported %1 as %2 tile records of %3 bytes to %4")
        .arg(entryName(idxPath, entry))
        .arg(written.length / size)
        .arg(size)
        .arg(QFileInfo(mulPath).fileName());
}

bool importContainer(QWidget *parent, const QString &path, const TileData &data, TileMap &tiles)
{
    tiles.clear();
    qint32 entry = 0;
    {
        MultiDialog chooser(path, listPath(path), parent);
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

void exportContainer(QWidget *parent, const QString &path, const Facet &model, const TargetChooser &choose)
{
    const QString title = QCoreApplication::translate("MultiExchange", "Export Error");
    UopMultiStore store(path);
    if (!store.open()) {
        Dialogs::warning(parent, title, store.errorString());
        return;
    }
    const std::optional<int> chosen = target(parent, choose, store, store.firstFreeEntry(), UopMultiStore::MaxMultiId);
    if (!chosen)
        return;
    const int entry = *chosen;
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
