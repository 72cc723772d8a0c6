#pragma once

#include "scene/Brush.h"
#include "view/tools/ToolContext.h"

#include <QPoint>
#include <QString>
#include <Qt>

class QKeyEvent;

// How a tool presents itself: the tool bar, the Tools menu and the key map
// are built from these.
struct ToolInfo {
    QString name;
    // The single key that chooses it in the view; none for a tool only commands arm.
    Qt::Key key = Qt::Key(0);
    // A freedesktop icon name; where the theme lacks it the name shows alone.
    QString icon;
    // Offered to the person (tool bar, menu, key), or armed by a command only.
    bool chosen = true;
};

// One press, move or release of the mouse, in widget pixels, with the state
// the tool needs; the editor has already tracked the cursor location.
struct ToolEvent {
    QPoint point;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers;
};

// What a tool shows before it changes anything: tiles by offset from an
// anchor location, their altitudes above the placing altitude.
struct ToolPreview {
    Brush tiles;
    QPoint anchor;
};

// One editing tool of a view: the view's editor routes the mouse and the keys
// to the current tool. A gesture that changes the model is one undo group.
// Each tool class also has a static info() and one line in ToolRegistry.
class Tool
{
public:
    virtual ~Tool() = default;

    virtual void press(const ToolEvent &e) = 0;
    virtual void move(const ToolEvent &e) = 0;
    virtual void release(const ToolEvent &e) = 0;
    // True when the tool used the key.
    virtual bool key(QKeyEvent *) { return false; }
    // The tiles a gesture in progress would place; nullptr while idle.
    virtual const ToolPreview *preview() const { return nullptr; }
    // Drops a gesture in progress; false when there was none.
    virtual bool cancel() { return false; }
    // One line for the status bar: what the tool does and how.
    virtual QString hint() const = 0;
    // Whether the tool places the brush (it then shows it at the cursor).
    virtual bool usesBrush() const { return false; }
    // Whether it points at cells of the placing grid rather than of the ground.
    virtual bool picksPlacingGrid() const { return false; }
    // The tool becomes the current one (again).
    virtual void enter() {}
    // The tool stops being the current one.
    virtual void leave() { cancel(); }
};
