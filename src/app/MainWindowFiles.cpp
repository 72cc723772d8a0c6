// The main window's side of files and windows: where file dialogs start, the
// recent files, the titles that tell documents apart, usable window sizes and
// the one question about unsaved work on leaving.
#include "app/MainWindow.h"

#include "app/GLScroll.h"
#include "app/RecentFiles.h"
#include "model/Facet.h"
#include "model/MltFile.h"
#include "ui/Dialogs.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace {
// Smallest sub-window worth working in, where the workspace has the room.
constexpr QSize UsableSize(480, 360);
} // namespace

QString MainWindow::documentFolder() const
{
    const GLScroll *d = activeDocument();
    return d && !d->fileName().isEmpty() ? QFileInfo(d->fileName()).absolutePath() : QString();
}

void MainWindow::rememberFile(const QString &name)
{
    RecentFiles::add(name);
    fillRecentMenu();
}

void MainWindow::fillRecentMenu()
{
    m_recentMenu->clear();
    const QStringList files = RecentFiles::list();
    for (int i = 0; i < files.size(); ++i) {
        // The number is the mnemonic; a file name's own & stays text.
        const QString label = QStringLiteral("&%1 %2").arg((i + 1) % 10).arg(
            QString(files.at(i)).replace(QLatin1Char('&'), QStringLiteral("&&")));
        QAction *entry = m_recentMenu->addAction(label);
        const QString &file = files.at(i);
        connect(entry, &QAction::triggered, this, [this, file] { openFile(file); });
    }
    m_recentMenu->setEnabled(!files.isEmpty());
}

QString MainWindow::uniqueTitle(const QString &title) const
{
    QStringList taken;
    for (const GLScroll *d : documents())
        taken.append(d->title());
    QString candidate = title;
    for (int n = 2; taken.contains(candidate); ++n)
        candidate = QStringLiteral("%1 %2").arg(title).arg(n);
    return candidate;
}

void MainWindow::cascadeWindows()
{
    m_workspace->cascadeSubWindows();
    keepUsableSizes();
}

void MainWindow::tileWindows()
{
    m_workspace->tileSubWindows();
    keepUsableSizes();
}

// Many windows tiled or cascaded come out too small to work in: they overlap instead.
void MainWindow::keepUsableSizes()
{
    const QRect area = m_workspace->viewport()->rect();
    const QSize least = UsableSize.boundedTo(area.size());
    for (QMdiSubWindow *sub : m_workspace->subWindowList(QMdiArea::CreationOrder)) {
        if (sub->isMaximized() || sub->isMinimized())
            continue;
        QRect g = sub->geometry();
        g.setSize(g.size().expandedTo(least));
        g.moveRight(qMin(g.right(), area.right()));
        g.moveBottom(qMin(g.bottom(), area.bottom()));
        g.moveLeft(qMax(g.left(), area.left()));
        g.moveTop(qMax(g.top(), area.top()));
        sub->setGeometry(g);
    }
    updateTitle();
}

bool MainWindow::settleUnsaved()
{
    QList<GLScroll *> unsaved;
    for (GLScroll *d : documents())
        if (d->model()->isModified())
            unsaved.append(d);
    // One document keeps its own question (Yes, No, Cancel).
    if (unsaved.size() < 2)
        return true;
    QStringList titles;
    for (const GLScroll *d : unsaved)
        titles.append(d->title());
    enum { SaveAll, DiscardAll, Cancel };
    const int answer = Dialogs::choose(
        this, tr("Unsaved Changes"),
        tr("These documents have unsaved changes:\n\n%1\n\nSave them before leaving?")
            .arg(titles.join(QLatin1Char('\n'))),
        {tr("Save All"), tr("Discard All"), tr("Cancel")}, SaveAll);
    if (answer == DiscardAll) {
        for (GLScroll *d : unsaved)
            d->discardOnClose();
        return true;
    }
    if (answer != SaveAll)
        return false;
    // A save that fails or is cancelled keeps the editor open with that work.
    for (GLScroll *d : unsaved) {
        m_workspace->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(d->parentWidget()));
        if (!d->saveChanges())
            return false;
    }
    return true;
}

void MainWindow::popupMenuWindow()
{
    m_windowMenu->clear();
    connect(m_windowMenu->addAction(tr("Cascade")), &QAction::triggered, this, &MainWindow::cascadeWindows);
    connect(m_windowMenu->addAction(tr("Tile")), &QAction::triggered, this, &MainWindow::tileWindows);
    m_windowMenu->addSeparator();
    const QMdiSubWindow *current = m_workspace->currentSubWindow();
    for (QMdiSubWindow *sub : m_workspace->subWindowList(QMdiArea::CreationOrder)) {
        QAction *entry = m_windowMenu->addAction(titleOf(sub));
        entry->setCheckable(true);
        entry->setChecked(sub == current);
        // The entry carries its window: two documents may share a title.
        entry->setData(QVariant::fromValue<QObject *>(sub));
        connect(entry, &QAction::triggered, this, &MainWindow::windowSetCheck);
    }
}

QString MainWindow::titleOf(const QMdiSubWindow *sub)
{
    const auto *d = qobject_cast<const GLScroll *>(sub->widget());
    return d ? d->title() : sub->widget()->windowTitle();
}

void MainWindow::windowSetCheck()
{
    const auto *entry = qobject_cast<QAction *>(sender());
    if (!entry)
        return;
    // Only a window still open is activated.
    const QObject *wanted = entry->data().value<QObject *>();
    for (QMdiSubWindow *sub : m_workspace->subWindowList(QMdiArea::CreationOrder)) {
        if (sub == wanted) {
            m_workspace->setActiveSubWindow(sub);
            return;
        }
    }
}

void MainWindow::openFile(const QString &name)
{
    if (openOtherFormat(name))
        return;
    const MltReadResult result = MltFile::read(name, m_tileData);
    if (result.status == MltReadResult::CannotOpen) {
        Dialogs::warning(this, tr("Open File Error"), tr("Unable to open ") + name);
        return;
    }
    if (result.status == MltReadResult::BadVersion) {
        Dialogs::warning(this, tr("Invalid Format"),
                         tr("This file is mlt version %1.  Only version 0 is supported.")
                             .arg(result.version));
        return;
    }
    if (result.status == MltReadResult::TooLarge || result.status == MltReadResult::Unreadable) {
        Dialogs::warning(this, tr("Open File Error"), MltFile::problem(name, result));
        return;
    }
    rememberFile(name);
    warnTilesOutside(addDocument(name, result.tiles));
    warnIfDamaged(name, result);
}

// Every modified document is asked first; one Cancel keeps everything open.
void MainWindow::closeEvent(QCloseEvent *e)
{
    if (!settleUnsaved()) {
        e->ignore();
        return;
    }
    for (QMdiSubWindow *sub : m_workspace->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->close()) {
            e->ignore();
            return;
        }
    }
    saveWindowLayout();
    e->accept();
}
