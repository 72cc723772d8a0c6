// The main window's pictures and text formats: image export, the component
// list and CSV in Open and Save As, and the chooser with previews.
#include "app/MainWindow.h"

#include "app/GLScroll.h"
#include "app/ImageExportDialog.h"
#include "data/ComponentList.h"
#include "data/DataLocations.h"
#include "data/MulSetting.h"
#include "data/MultiDialog.h"
#include "data/MultiExchange.h"
#include "data/MultiFile.h"
#include "data/MultiNames.h"
#include "data/SingleMultiFile.h"
#include "model/Facet.h"
#include "model/UndoMgr.h"
#include "scene/MultiPictures.h"
#include "scene/ScenePreviewer.h"
#include "scene/SceneRenderer.h"
#include "ui/Dialogs.h"
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

// The suffix of a filter such as "CSV (*.csv)", or empty.
QString filterSuffix(const QString &filter)
{
    const int star = filter.indexOf(QStringLiteral("*."));
    const int close = filter.indexOf(QLatin1Char(')'), star);
    if (star < 0 || close < 0)
        return QString();
    const QString suffix = filter.mid(star + 2, close - star - 2);
    return suffix == QLatin1String("*") ? QString() : suffix;
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
    const SingleMultiFile::Format format = SingleMultiFile::formatOf(name);
    if (format == SingleMultiFile::Format::Csv) {
        const SingleMultiFile::Loaded loaded = SingleMultiFile::read(name, m_tileData);
        if (!loaded.ok) {
            Dialogs::warning(this, tr("Open File Error"), loaded.error);
            return true;
        }
        // Untitled: a plain Save must not write .mlt bytes under the .csv name;
        // no .mlt holds this work yet, so it is unsaved.
        showOpened(addDocument(QString(), loaded.tiles), name);
        rememberFile(name);
        return true;
    }
    if (format == SingleMultiFile::Format::AddonScript) {
        openScript(name);
        return true;
    }
    if (format != SingleMultiFile::Format::ComponentList)
        return false;
    ComponentList list(name);
    if (!list.open()) {
        Dialogs::warning(this, tr("Open File Error"), list.errorString());
        return true;
    }
    int number = 0;
    bool ownPosition = false;
    if (!chooseEntry(list, {name}, number, ownPosition))
        return true;
    TileMap tiles;
    if (!list.readEntry(number, m_tileData, tiles)) {
        Dialogs::warning(this, tr("Open File Error"), list.errorString());
        return true;
    }
    showOpened(addDocument(QString(), tiles), tr("%1, template %2").arg(name).arg(number));
    rememberFile(name);
    return true;
}

void MainWindow::showOpened(GLScroll *d, const QString &title)
{
    d->setTitle(uniqueTitle(title));
    d->model()->markModified();
}

bool MainWindow::saveOtherFormat(GLScroll *document, QString &name, const QString &filter,
                                 bool &written)
{
    name = SingleMultiFile::saveName(name, filterSuffix(filter));
    const SingleMultiFile::Format format = SingleMultiFile::formatOf(name);
    QString error;
    if (format == SingleMultiFile::Format::Csv) {
        // A copy: the document keeps its own name and modified state.
        written = SingleMultiFile::write(name, *document->model(), &error);
    } else if (format == SingleMultiFile::Format::AddonScript) {
        written = saveScript(document, name);
        return true;
    } else if (format == SingleMultiFile::Format::ComponentList) {
        const QList<TileRecord> tiles = SingleMultiFile::tilesOf(*document->model());
        const int hued = SingleMultiFile::huesLost(name, tiles);
        if (hued > 0
            && Dialogs::question(this, tr("Component list"),
                                 SingleMultiFile::hueLossText(hued) + QLatin1Char('\n') + tr("Save without the hues?"),
                                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
                   != QMessageBox::Ok) {
            written = false;
            return true;
        }
        ComponentList list(name);
        const bool exists = QFileInfo::exists(name);
        if (exists && !list.open()) {
            Dialogs::warning(this, tr("Save Error"), list.errorString());
            written = false;
            return true;
        }
        bool ok = false;
        const int number = Dialogs::getInt(this, tr("Component list"), tr("Template number"),
                                           exists ? list.firstFreeEntry() : 0, 0,
                                           std::numeric_limits<int>::max(), 1, &ok);
        if (!ok) {
            written = false;
            return true;
        }
        if (list.hasEntry(number)
            && Dialogs::question(this, tr("Component list"),
                                 tr("Template %1 exists. Replace it?").arg(number),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                   != QMessageBox::Yes) {
            written = false;
            return true;
        }
        written = list.exportEntry(number, tiles);
        error = list.errorString();
    } else {
        return false;
    }
    if (!written)
        Dialogs::warning(this, tr("Save Error"), error);
    return true;
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
        name += QLatin1Char('.') + (filterSuffix(chosen).isEmpty() ? QStringLiteral("png") : filterSuffix(chosen));
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
