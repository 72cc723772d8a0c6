#include "app/MultiExchange.h"

#include "data/MultiFile.h"
#include "data/MultiNames.h"
#include "data/TileData.h"
#include "data/UopMultiStore.h"
#include "model/Facet.h"
#include "ui/Dialogs.h"
#include "ui/MultiDialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>

namespace MultiExchange {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("MultiExchange", text);
}

// "entry 5" or "entry 5 (Small House)", named by the store's own multi.xml, else the application's.
QString entryName(const QString &storePath, int entry)
{
    const QString list = MultiNames::listFor({storePath}, MultiNames::applicationList());
    const QString name = MultiDialog::knownNames(list).value(entry);
    return name.isEmpty() ? tr("entry %1").arg(entry) : tr("entry %1 (%2)").arg(entry).arg(name);
}

// The chooser's pick, else the number box's.
std::optional<int> target(QWidget *parent, const TargetChooser &choose, const MultiCollection &store, int last,
                          const Words &words)
{
    const int firstFree = store.firstFreeEntry();
    if (choose)
        return choose(store, firstFree, last);
    bool ok = false;
    const int entry = Dialogs::getInt(parent, words.numberTitle, words.numberLabel, firstFree, 0, last, 1, &ok);
    return ok ? std::optional<int>(entry) : std::nullopt;
}

Words clientWords()
{
    return {tr("Export Error"), tr("Multi Mul export"), tr("Entry id"), QString(), {}};
}

} // namespace

std::optional<int> exportTo(QWidget *parent, MultiCollection &store, int last, const QList<TileRecord> &tiles,
                            const Words &words, const TargetChooser &choose)
{
    const std::optional<int> chosen = target(parent, choose, store, last, words);
    if (!chosen)
        return std::nullopt;
    if (store.hasEntry(*chosen)
        && Dialogs::question(parent, words.replaceTitle, words.replaceText(*chosen), QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No)
               != QMessageBox::Yes)
        return std::nullopt;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool exported = store.exportEntry(*chosen, tiles);
    QApplication::restoreOverrideCursor();
    if (!exported) {
        Dialogs::warning(parent, words.errorTitle, store.errorString());
        return std::nullopt;
    }
    return chosen;
}

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

QString exportMulti(QWidget *parent, const QString &idxPath, const QString &mulPath, const Facet &model,
                    const TileData &data, const TargetChooser &choose)
{
    Words words = clientWords();
    MultiFile file(idxPath, mulPath);
    file.setTileDataHint(data.staticCount());
    if (!file.open()) {
        Dialogs::warning(parent, words.errorTitle, file.errorString());
        return QString();
    }
    if (!settleRecordSize(parent, file))
        return QString();
    words.replaceTitle = tr("Replace Multi Entry");
    words.replaceText = [&](int entry) {
        return tr("%1 of %2 already holds a multi. Replace it?")
            .arg(entryName(idxPath, entry), QFileInfo(idxPath).fileName());
    };
    const std::optional<int> entry = exportTo(parent, file, file.entryCount(), tilesInDrawOrder(model), words, choose);
    if (!entry)
        return QString();
    const MultiFile::IndexRecord written = file.records().value(*entry);
    const int size = file.recordSizeDecision().bytes().value_or(MultiFile::ClassicRecordSize);
    return tr("Exported %1 as %2 tile records of %3 bytes to %4")
        .arg(entryName(idxPath, *entry))
        .arg(written.length / size)
        .arg(size)
        .arg(QFileInfo(mulPath).fileName());
}

void exportContainer(QWidget *parent, const QString &path, const Facet &model, const TargetChooser &choose)
{
    Words words = clientWords();
    UopMultiStore store(path);
    if (!store.open()) {
        Dialogs::warning(parent, words.errorTitle, store.errorString());
        return;
    }
    words.replaceTitle = tr("Replace Entry");
    words.replaceText = [&](int entry) { return tr("Multi %1 already exists in %2. Replace it?").arg(entry).arg(path); };
    exportTo(parent, store, UopMultiStore::MaxMultiId, tilesInDrawOrder(model), words, choose);
}

} // namespace MultiExchange
