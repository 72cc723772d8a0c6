// A stand-in for the editor in the crash-recovery test: it starts like the
// editor, then either makes edits and waits to be killed, or answers the
// recovery offer and reports what it opened.
//   recovery_child edit <file.mlt> <edits> <more edits>
//   recovery_child start <button index, or -1 to close the offer>
#include "app/GLScroll.h"
#include "app/MainWindow.h"
#include "app/RecoveryMgr.h"
#include "model/Facet.h"
#include "model/MltFile.h"
#include "model/UndoMgr.h"
#include "ScriptedDialogs.h"
#include "view/GLWidget.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

void say(const QString &line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

// Edit n places tile 7 at (n % 200, n / 200), one user action each.
void edit(GLScroll *document, int first, int count)
{
    UndoMgr *undo = document->view()->undoMgr();
    for (int n = first; n < first + count; ++n) {
        TileRecord t(7, 0, 0, document->view()->tileData(), Art);
        t.x = n % 200;
        t.y = n / 200;
        undo->beginGroup();
        undo->insertTile(t);
        undo->commitGroup();
    }
}

int editThenWait(MainWindow &window, ScriptedDialogs &dialogs, const QStringList &args)
{
    dialogs.answer(args.value(2));
    window.slotFileOpen();
    GLScroll *document = window.activeDocument();
    if (!document)
        return 2;
    const int edits = args.value(3).toInt(), more = args.value(4).toInt();
    edit(document, 0, edits);
    QCoreApplication::processEvents();
    edit(document, edits, more);
    say(QStringLiteral("ready ") + window.recovery()->fileFor(document));
    return QCoreApplication::exec(); // until killed
}

int startAndReport(MainWindow &window, ScriptedDialogs &dialogs, const QStringList &args)
{
    const int button = args.value(2).toInt();
    if (button >= 0)
        dialogs.answer(button);
    window.offerRecovery();
    for (const ScriptedDialogs::Call &c : dialogs.calls) {
        if (c.kind == QLatin1String("choose"))
            say(QStringLiteral("offer %1|%2|%3").arg(c.title, QString(c.text).replace('\n', '/'), c.filter));
    }
    for (GLScroll *d : window.documents()) {
        say(QStringLiteral("document %1|%2|%3|%4")
                .arg(d->fileName())
                .arg(d->model()->isModified())
                .arg(d->model()->tileCount())
                .arg(QString::fromLatin1(MltFile::toBytes(*d->model()).toHex())));
    }
    const QDir folder(window.recovery()->folder());
    say(QStringLiteral("files ")
        + folder.entryList({QStringLiteral("*.recovery")}, QDir::Files, QDir::Name).join(' '));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    GLWidget::prepareApplication();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    ScriptedDialogs dialogs;
    MainWindow window;
    window.show();
    if (args.value(1) == QLatin1String("edit"))
        return editThenWait(window, dialogs, args);
    if (args.value(1) == QLatin1String("start"))
        return startAndReport(window, dialogs, args);
    return 2;
}
