// The main window's server scripts: addon classes of a .cs file opened or
// inserted, and a multi saved as an addon with its deed.
#include "app/MainWindow.h"

#include "app/GLScroll.h"
#include "data/AddonScript.h"
#include "data/FileFormats.h"
#include "data/MultiCollection.h"
#include "model/Facet.h"
#include "ui/Dialogs.h"

#include <QFileInfo>

namespace {
QString scriptTitle() { return MainWindow::tr("Addon script"); }
} // namespace

bool MainWindow::readScript(const QString &name, TileMap &tiles, QString &className, QStringList &warnings)
{
    const AddonScript::Parsed parsed = AddonScript::readFile(name);
    if (!parsed.ok) {
        Dialogs::warning(this, tr("Open File Error"), parsed.error);
        return false;
    }
    int chosen = 0;
    if (parsed.classes.size() > 1) {
        QStringList items;
        for (const AddonScript::AddonClass &c : parsed.classes)
            items << tr("%1 (%n component(s))", nullptr, int(c.components.size())).arg(c.name);
        bool ok = false;
        const QString item = Dialogs::getItem(this, scriptTitle(), tr("Addon class:"), items, 0, false, &ok);
        chosen = int(items.indexOf(item));
        if (!ok || chosen < 0)
            return false;
    }
    const AddonScript::AddonClass &addon = parsed.classes[chosen];
    tiles = AddonScript::tilesOf(addon, m_tileData);
    className = addon.name;
    warnings = AddonScript::warningsOf(addon);
    return true;
}

// Shown once the tiles are in the window, beside what they are about.
void MainWindow::warnAboutScript(const QStringList &warnings)
{
    if (!warnings.isEmpty())
        Dialogs::warning(this, scriptTitle(), warnings.join(QStringLiteral("\n\n")));
}

void MainWindow::openScript(const QString &name)
{
    TileMap tiles;
    QString className;
    QStringList warnings;
    if (!readScript(name, tiles, className, warnings))
        return;
    // Untitled: a plain Save must not write .mlt bytes under the .cs name.
    addDocument(QString(), tiles)->setTitle(tr("%1, %2").arg(name, className));
    warnAboutScript(warnings);
}

void MainWindow::importScript()
{
    GLScroll *d = activeDocument();
    if (!d)
        return;
    const QString name = Dialogs::getOpenFileName(this, tr("Insert from script"), QString(),
                                                  FileFormats::get(FileFormat::Id::AddonScript).filter() + tr(";;All files (*.*)"));
    TileMap tiles;
    QString className;
    QStringList warnings;
    if (name.isEmpty() || !readScript(name, tiles, className, warnings))
        return;
    if (!tiles.isEmpty())
        pasteTiles(d, tiles);
    warnAboutScript(warnings);
}

bool MainWindow::saveScript(GLScroll *document, const QString &name)
{
    FileFormat::WriteOptions options;
    bool ok = false;
    options.deedName = Dialogs::getText(this, scriptTitle(), tr("Name of the deed:"), QLineEdit::Normal,
                                        AddonScript::optionsFor(name).deedName, &ok);
    if (!ok)
        return false;
    options.source = document->fileName().isEmpty() ? document->title()
                                                    : QFileInfo(document->fileName()).fileName();
    FileFormat::Written out;
    // A copy: the document keeps its own name and modified state.
    if (!FileFormats::get(FileFormat::Id::AddonScript).write(name, tilesInDrawOrder(*document->model()), options, out)) {
        Dialogs::warning(this, tr("Save Error"), out.error);
        return false;
    }
    if (!out.notes.isEmpty())
        Dialogs::warning(this, scriptTitle(), out.notes.join(QStringLiteral("\n")));
    return true;
}
