#pragma once

// A main window for picking tests: documents opened maximised, clicks only
// where the view is what the user reaches, and every pick, tooltip and band
// compared with the pixels of the frame.
#include "EditorWindow.h"
#include "SceneFrames.h"

#include <QHelpEvent>
#include <QToolTip>

class PickingWindow : public EditorWindow
{
public:
    // The tiles opened as a maximised document.
    GLScroll *openMaximised(const QList<SceneTile> &tiles, const QString &name = QStringLiteral("scene.mlt"))
    {
        GLScroll *doc = EditorWindow::open(write(name, tiles));
        if (doc) {
            qobject_cast<QMdiSubWindow *>(doc->parentWidget())->showMaximized();
            QCoreApplication::processEvents();
        }
        return doc;
    }

    // The widget a user reaches at a point of the view, through the main
    // window: the view itself, unless something covers it there.
    QWidget *reached(GLWidget *v, const QPoint &p) const
    {
        const QPoint inMain = v->mapTo(main.get(), p);
        QWidget *w = main->childAt(inMain);
        return (w && w->mapFrom(main.get(), inMain) == p) ? w : nullptr;
    }

    void click(GLWidget *v, const QPoint &p, Qt::KeyboardModifiers mods = {})
    {
        QCOMPARE(reached(v, p), v);
        QTest::mouseMove(v, p);
        QTest::mouseClick(v, Qt::LeftButton, mods, p);
    }

    // Bands are compared with the frame only where images do not overlap:
    // a band takes an image's pixel even where another covers it.
    void checkPicking(GLWidget *v, bool withBands = true)
    {
        const QImage frame = v->grabFramebuffer();
        const QMap<int, QRect> rects = tileRects(frame);
        QVERIFY2(rects.size() >= 2, "the scene shows");
        QList<QPoint> points;
        for (const QRect &r : rects) {
            const QPoint c = r.center();
            points << r.topLeft() << r.bottomRight() << c << QPoint(r.left() - 1, c.y())
                   << QPoint(r.right() + 1, c.y()) << QPoint(c.x(), r.top() - 1)
                   << QPoint(c.x(), r.bottom() + 1) << QPoint(c.x(), r.bottom() + 8)
                   << QPoint(r.right() + 1, r.bottom() + 1) << QPoint(r.left() - 1, r.top() - 1);
        }
        for (const QPoint &p : points) {
            if (!frame.rect().contains(p))
                continue;
            click(v, p);
            const auto id = idOfColour(frame.pixel(p));
            QVERIFY2(selectedIds(v) == (id ? QSet<int>{*id} : QSet<int>{}),
                     qPrintable(QStringLiteral("at %1,%2 scale %3").arg(p.x()).arg(p.y()).arg(v->scale())));
            QHelpEvent help(QEvent::ToolTip, p, v->mapToGlobal(p));
            QCoreApplication::sendEvent(v, &help);
            if (id)
                QVERIFY2(QToolTip::text().startsWith(QStringLiteral("Art: %1 ").arg(*id)),
                         qPrintable(QToolTip::text()));
        }
        // Control-click adds a tile and takes it away again.
        const QList<int> ids = rects.keys();
        click(v, rects[ids[0]].center());
        click(v, rects[ids[1]].center(), Qt::ControlModifier);
        QCOMPARE(selectedIds(v), QSet<int>({ids[0], ids[1]}));
        click(v, rects[ids[1]].center(), Qt::ControlModifier);
        QCOMPARE(selectedIds(v), QSet<int>({ids[0]}));
        // Bands: just below a tile, over its bottom edge, and beside it.
        for (const QRect &r : withBands ? rects.values() : QList<QRect>()) {
            const QList<QRect> bands = {
                QRect(QPoint(r.left() - 6, r.bottom() + 1), QSize(r.width() + 12, 30)),
                QRect(QPoint(r.left() + 1, r.bottom() - 1), QSize(std::max(1, r.width() - 2), 12)),
                QRect(QPoint(r.right() + 1, r.top()), QSize(9, r.height()))};
            for (const QRect &b : bands) {
                if (!frame.rect().contains(b))
                    continue;
                main->cancelAction()->trigger();
                QVERIFY(selectedIds(v).isEmpty());
                band(v, b.topLeft(), b.bottomRight());
                QCOMPARE(selectedIds(v), idsIn(frame, b));
            }
        }
    }
};
