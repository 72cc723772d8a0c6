#pragma once

#include <QPointer>
#include <QPoint>
#include <QWidget>

class ArtReader;
class Document;
class HueTable;
class InspectorDelegate;
class QLabel;
class QTableView;
class QTimer;
class TileInspectorModel;

// The "Tiles" panel: what stands on the cell under the pointer, or the
// selected tiles, as a table whose fields edit the tiles. Selecting rows
// selects their tiles in the view and the other way round.
class TileInspector : public QWidget
{
    Q_OBJECT
public:
    TileInspector(ArtReader *art, const HueTable *hues, QWidget *parent = nullptr);

    // The document in front, or none.
    void follow(Document *doc);
    TileInspectorModel *model() const { return m_model; }
    QTableView *table() const { return m_table; }
    // Why the last value was refused; empty after an accepted one.
    QLabel *reasonLabel() const { return m_reason; }
    // What the rows are: a cell's stack or the selection.
    QLabel *captionLabel() const { return m_caption; }
    QSize sizeHint() const override;

public slots:
    // Shows the selection, or the hovered cell's stack, when either changed:
    // called on every report of the document's view.
    void sync();
    // The view's pointer is over the cell.
    void hovered(int x, int y);

signals:
    // The document's selection or tiles were changed here: its view repaints.
    void changedDocument();

protected:
    void showEvent(QShowEvent *e) override;
    void enterEvent(QEnterEvent *e) override;

private:
    void rested();
    void showStack();
    void rowsSelected();
    void afterEdit();
    void showReason(const QString &reason);

    TileInspectorModel *m_model;
    InspectorDelegate *m_delegate;
    QTableView *m_table;
    QLabel *m_caption;
    QLabel *m_reason;
    QPointer<Document> m_doc;
    QList<QMetaObject::Connection> m_connections;
    // What the rows were made from.
    quint64 m_selectionRevision = 0;
    quint64 m_modelRevision = 0;
    bool m_current = false;
    QPoint m_cell;
    QPoint m_pointed;
    QTimer *m_rest;
    bool m_hasCell = false;
    // Set while the rows or their selection follow the document.
    bool m_settingRows = false;
};
