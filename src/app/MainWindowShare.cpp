// The main window's pictures and text formats: image export, the component
// list and CSV in Open and Save As through the format registry, and the
// chooser with previews.
#include "app/MainWindow.h"

#include "app/GLScroll.h"
#include "app/ImageExportDialog.h"
#include "app/MultiExchange.h"
#include "data/ComponentList.h"
#include "data/FileFormats.h"
#include "data/MultiFile.h"
#include "data/MultiNames.h"
#include "model/Facet.h"
#include "model/UndoMgr.h"
#include "scene/MultiPictures.h"
#include "scene/ScenePreviewer.h"
#include "scene/SceneRenderer.h"
#include "ui/Dialogs.h"
#include "ui/MulSetting.h"
#include "ui/MultiDialog.h"
#include "view/GLWidget.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageWriter>

#include <limits>

namespace {
constexpr QSize PreviewSize(240, 200);

QString imageFilters()
{
    QString filters = QStringLiteral("PNG (*.png)");
    for (const QByteArray &f : QImageWriter::supportedImageFormats()) {
        if (f != "png")
            filters += QStringLiteral(";;%1 (*.%2)").arg(QString::fromLatin1(f).toUpper(), QString::fromLatin1(f));
    }
    return filters;
}
} // namespace

std::unique_ptr<EntryPreviewer> MainWindow::previewerFor(const QStringList &paths) const
{
    ScenePreviewer::Files files{paths,
                                m_settings->artIdx(),
                                m_settings->artMul(),
                                m_settings->huesMul(),
                                m_settings->tileDataMul(),
                                m_settings->texIdx(),
                                m_settings->texMapsMul()};
    return std::make_unique<ScenePreviewer>(files, PreviewSize);
}

bool MainWindow::chooseEntry(MultiCollection &store, const QStringList &paths, int &number,
                             bool &ownPosition)
{
    // A component list's templates are no client's entries: only a list beside it names them.
    const bool templates = dynamic_cast<ComponentList *>(&store) != nullptr;
    MultiDialog chooser(store.entries(),
                        MultiNames::listFor(paths, templates ? QString() : MultiNames::applicationList()), this);
    chooser.setPreviewer(previewerFor(paths));
    if (Dialogs::exec(&chooser) != QDialog::Accepted)
        return false;
    number = chooser.multiIndex();
    ownPosition = chooser.insertAtOwnPosition();
    return true;
}

std::optional<int> MainWindow::chooseTarget(const MultiCollection &store, const QStringList &paths, int firstFree,
                                            int last)
{
    MultiDialog chooser(store.entries(), firstFree, last,
                        MultiNames::listFor(paths, MultiNames::applicationList()), this);
    chooser.setPreviewer(previewerFor(paths));
    if (Dialogs::exec(&chooser) != QDialog::Accepted)
        return std::nullopt;
    return chooser.multiIndex();
}

void MainWindow::importFromStore(const QStringList &paths)
{
    GLScroll *d = activeDocument();
    std::unique_ptr<MultiCollection> store = MultiCollection::forPaths(paths);
    if (!d || !store)
        return;
    if (!store->open()) {
        Dialogs::warning(this, tr("Open File Error"), store->errorString());
        return;
    }
    // A pair whose content cannot tell its record size is asked about, never guessed.
    if (auto *pair = dynamic_cast<MultiFile *>(store.get())) {
        pair->setTileDataHint(m_tileData.staticCount());
        if (!MultiExchange::settleRecordSize(this, *pair))
            return;
    }
    int number = 0;
    bool ownPosition = false;
    if (!chooseEntry(*store, paths, number, ownPosition))
        return;
    TileMap tiles;
    if (!store->readEntry(number, m_tileData, tiles)) {
        Dialogs::warning(this, tr("Open File Error"), store->errorString());
        return;
    }
    if (tiles.isEmpty())
        return;
    if (ownPosition)
        insertAtOwnPosition(d, tiles);
    else
        pasteTiles(d, tiles);
}

// One undo group, each tile at its own x, y and z.
void MainWindow::insertAtOwnPosition(GLScroll *d, const TileMap &tiles)
{
    UndoMgr *undo = d->view()->undoMgr();
    undo->beginGroup();
    for (const QList<TileRecord> &list : tiles) {
        for (const TileRecord &t : list)
            undo->insertTile(t);
    }
    undo->commitGroup();
    d->view()->sceneChanged();
}

bool MainWindow::openOtherFormat(const QString &name)
{
    const FileFormat *format = FileFormats::of(name);
    // Any other name is read as .mlt, with that format's own messages.
    if (!format || format->id() == FileFormat::Id::Mlt)
        return false;
    // An addon script's classes are chosen by name.
    if (format->id() == FileFormat::Id::AddonScript) {
        openScript(name);
        return true;
    }
    TileMap tiles;
    QString title = name;
    if (std::unique_ptr<MultiCollection> store = format->collection(name)) {
        int number = 0;
        bool ownPosition = false;
        if (!store->open()) {
            Dialogs::warning(this, tr("Open File Error"), store->errorString());
            return true;
        }
        if (!chooseEntry(*store, {name}, number, ownPosition))
            return true;
        if (!store->readEntry(number, m_tileData, tiles)) {
            Dialogs::warning(this, tr("Open File Error"), store->errorString());
            return true;
        }
        title = tr("%1, template %2").arg(name).arg(number);
    } else {
        FileFormat::Loaded loaded = format->read(name, m_tileData, {});
        if (!loaded.ok) {
            Dialogs::warning(this, tr("Open File Error"), loaded.error);
            return true;
        }
        tiles = std::move(loaded.tiles);
    }
    // Untitled: a plain Save must not write .mlt bytes under the other name;
    // no .mlt holds this work yet, so it is unsaved.
    showOpened(addDocument(QString(), tiles), title);
    rememberFile(name);
    return true;
}

void MainWindow::showOpened(GLScroll *d, const QString &title)
{
    d->setTitle(uniqueTitle(title));
    d->model()->markModified();
}

namespace {
// A format of many multis: the user names the number; a replacement is asked first.
bool saveToStore(QWidget *parent, MultiCollection &store, const QString &name, const QList<TileRecord> &tiles,
                 const QString &title)
{
    if (QFileInfo::exists(name) && !store.open()) {
        Dialogs::warning(parent, MainWindow::tr("Save Error"), store.errorString());
        return false;
    }
    const MultiExchange::Words words{
        MainWindow::tr("Save Error"), title, MainWindow::tr("Template number"), title,
        [](int entry) { return MainWindow::tr("Template %1 exists. Replace it?").arg(entry); }};
    return MultiExchange::exportTo(parent, store, std::numeric_limits<int>::max(), tiles, words).has_value();
}
} // namespace

std::optional<bool> MainWindow::saveOtherFormat(GLScroll *document, QString &name, const QString &filter)
{
    name = FileFormats::saveName(name, filter);
    const FileFormat *format = FileFormats::of(name);
    if (!format || format->id() == FileFormat::Id::Mlt)
        return std::nullopt;
    if (format->id() == FileFormat::Id::AddonScript)
        return saveScript(document, name);
    // A copy: the document keeps its own name and modified state.
    const QList<TileRecord> tiles = tilesInDrawOrder(*document->model());
    if (const int hued = FileFormats::huesLost(name, tiles);
        hued > 0
        && Dialogs::question(this, format->description(),
                             FileFormats::hueLossText(name, hued) + QLatin1Char('\n') + tr("Save without the hues?"),
                             QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
               != QMessageBox::Ok)
        return false;
    if (std::unique_ptr<MultiCollection> store = format->collection(name))
        return saveToStore(this, *store, name, tiles, format->description());
    FileFormat::Written out;
    const bool written = format->write(name, tiles, {}, out);
    if (!written)
        Dialogs::warning(this, tr("Save Error"), out.error);
    return written;
}

void MainWindow::exportImage()
{
    GLScroll *d = activeDocument();
    if (!d)
        return;
    if (d->model()->tileCount() == 0) {
        Dialogs::warning(this, tr("Export Image"), tr("The multi has no tiles to draw."));
        return;
    }
    ImageExportDialog options(this);
    if (Dialogs::exec(&options) != QDialog::Accepted)
        return;
    const MultiPictures::Settings settings = options.settings();
    QString chosen;
    // Beside the document's file, else in the last folder used.
    const QString start = d->fileName().isEmpty()
                              ? QString()
                              : QFileInfo(d->fileName()).absolutePath() + QLatin1Char('/')
                                    + QFileInfo(d->fileName()).completeBaseName() + QStringLiteral(".png");
    QString name = Dialogs::getSaveFileName(this, tr("Export Image"), start, imageFilters(), &chosen);
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += QLatin1Char('.') + (FileFormats::filterSuffix(chosen).isEmpty() ? QStringLiteral("png") : FileFormats::filterSuffix(chosen));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    SceneRenderer renderer(m_art.get(), &m_hues);
    renderer.setRadarColours(&m_radar);
    const QList<MultiPictures::Picture> pictures = MultiPictures::make(renderer, *d->model(), settings);
    QString error;
    bool ok = true;
    for (const MultiPictures::Picture &p : pictures) {
        const QString path = p.storey > 0 ? MultiPictures::storeyPath(name, p.storey) : name;
        if (!MultiPictures::save(p.image, path, &error)) {
            ok = false;
            break;
        }
    }
    QApplication::restoreOverrideCursor();
    if (!ok)
        Dialogs::warning(this, tr("Export Error"), error);
}
