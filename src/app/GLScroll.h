#pragma once

#include "model/TileRecord.h"

#include <QWidget>

class ArtReader;
class Document;
class Facet;
class GLWidget;
class QScrollBar;
class TexMgr;
class TileData;

// The window of one open multi: its document and the view of it, with two
// scroll bars that pan the isometric picture. The main window sends each
// shared command to the current document window only.
class GLScroll : public QWidget
{
    Q_OBJECT
public:
    GLScroll(const QString &fileName, const TileMap &tiles, ArtReader *art, const TileData &data,
             TexMgr *textures, QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    ~GLScroll() override;

    GLWidget *view() const { return m_view; }
    Document *document() const { return m_doc; }
    Facet *model() const;
    QString fileName() const;
    // The window title without the modified mark.
    QString title() const { return m_title; }
    // Saves a picture of the view, asking where (the dialog starts beside the document's file).
    void captureView();
    QScrollBar *verticalBar() const { return m_vert; }
    QScrollBar *horizontalBar() const { return m_horz; }
    QPoint location() const { return QPoint(m_locX, m_locY); }
    int halfRange() const { return m_range; }

    // The title shown while the document has no file of its own (the mark is added).
    void setTitle(const QString &title);
    // Takes the name as file name and title, then writes the model.
    bool saveToFile(const QString &name);
    bool gotoLocation(int x, int y);
    // Saves under the document's name, or asks for one; true only when written.
    bool saveChanges();
    // The next close drops the unsaved changes without asking (they were settled for all at once).
    void discardOnClose() { m_discard = true; }

signals:
    void mapLocation(int, int);
    // Asks the main window to run its Save As for this document; the
    // receiver sets *saved to whether the document was written.
    void saveAsRequested(GLScroll *document, bool *saved);
    // The model was written to its file.
    void saved();

public slots:
    void horzChange(int value);
    void vertChange(int value);
    void setArt(bool on);
    void setTerrain(bool on);
    void setFlat(bool on);
    void setEnable(bool on);
    void setMax(int alt);
    void setMin(int alt);
    void getMapLocation(int x, int y);
    void gotoPoint();
    void setScale(int n);
    void fitMulti();
    // The view moved itself (zoom, pan, fit): the bars show its new centre.
    void followView(const QPoint &centre);
    void capture();
    void setEditArt(bool on);
    void setEditTerrain(bool on);
    void setGrid(bool on);
    void undo();
    void redo();
    void paste();
    void copy();
    void del();
    void cut();
    void save();
    void cancel();
    void adjustHome();
    void adjustUp();
    void adjustPgUp();
    void adjustRight();
    void adjustPgDn();
    void adjustDown();
    void adjustEnd();
    void adjustLeft();
    void adjustAltUp();
    void adjustAltDown();
    void setAltitude();
    void setHue();
    void insertItem();
    void startPaint(const QString &key);
    void stopPaint();
    void viewInvisible(bool on);
    void setPlacingAlt(int alt);
    void setMyVisible(bool visible);
    void selectAll();

protected:
    void closeEvent(QCloseEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    // Single keys choose the view's tools while this document has the focus.
    void keyPressEvent(QKeyEvent *e) override;

private:
    void move(int dx, int dy, int dz);
    void setBars(int x, int y);

    GLWidget *m_view = nullptr;
    Document *m_doc = nullptr;
    QString m_title;
    QScrollBar *m_vert = nullptr;
    QScrollBar *m_horz = nullptr;
    bool m_sync = false;
    bool m_discard = false;
    qint32 m_locX = 0;
    qint32 m_locY = 0;
    int m_range = 0;
};
