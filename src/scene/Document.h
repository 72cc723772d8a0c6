#pragma once

#include "model/Altitude.h"
#include "model/TileRecord.h"
#include "scene/Selection.h"

#include <QObject>
#include <QString>

class Facet;
class TileInfoSource;
class UndoMgr;

// One open multi without any widget: its model with the undo history that
// is the only road into it, the selection, the file it came from, and the
// altitude range and storey the person works in. Windows show it, views draw
// it, panels read it. It lives beside the selection (scene), since the model
// layer knows nothing of selections.
class Document : public QObject
{
    Q_OBJECT
public:
    // A document of its own model, filled with the tiles.
    Document(const TileInfoSource &data, const TileMap &tiles, const QString &fileName,
             QObject *parent = nullptr);
    // A document over a model kept by the caller (a view made without a window).
    Document(const TileInfoSource &data, Facet *model, QObject *parent = nullptr);

    Facet *model() const { return m_model; }
    const TileInfoSource &tileData() const { return m_data; }
    UndoMgr *undoMgr() const { return m_undo; }
    Selection &selection() { return m_selection; }
    const Selection &selection() const { return m_selection; }

    QString fileName() const { return m_fileName; }
    void setFileName(const QString &name);
    // The suffix of the format the document was read from or last written in.
    QString format() const { return m_format; }
    void setFormat(const QString &suffix) { m_format = suffix; }
    bool isModified() const;
    // Writes the model as ".mlt" and takes the name; false with the system's reason.
    bool save(const QString &name, QString *reason = nullptr);

    bool clipEnabled() const { return m_clip; }
    int minAlt() const { return m_minAlt; }
    int maxAlt() const { return m_maxAlt; }
    void setClipEnabled(bool on);
    void setMinAlt(int alt);
    void setMaxAlt(int alt);
    int placingAltitude() const;
    void setPlacingAltitude(int alt);
    // One storey up (+1) or down (-1): the placing altitude and the clip range
    // move together; the storey is [placing altitude, placing altitude + height).
    void moveStorey(int storeys, int height);

    bool canUndo() const;
    bool canRedo() const;

signals:
    void modifiedChanged(bool modified);
    void fileNameChanged(const QString &name);
    // The clip range or its switch changed.
    void clipChanged();
    void placingChanged(int altitude);
    void undoAvailable(bool available);
    void redoAvailable(bool available);
    // The tiles changed by one user action, an undo or a redo.
    void edited();

private:
    void connectModel();

    const TileInfoSource &m_data;
    Facet *m_model = nullptr;
    UndoMgr *m_undo = nullptr;
    Selection m_selection;
    QString m_fileName;
    QString m_format = QStringLiteral("mlt");
    bool m_clip = false;
    int m_minAlt = Altitude::Min;
    int m_maxAlt = Altitude::Max;
};
