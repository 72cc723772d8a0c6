#pragma once

#include "scene/SelectionWalk.h"
#include "scene/TileIdentity.h"

#include <QAbstractTableModel>
#include <QCache>
#include <QIcon>
#include <QPointer>

#include <optional>
#include <vector>

class ArtReader;
class Document;
class HueTable;
class QItemSelectionModel;

// The tiles the inspector lists: the stack on one cell in draw order, or the
// selected tiles. Selected tiles are put in order only as far as rows are
// asked for, and names and icons are looked up only for the rows a view
// shows: a table over 20,000 selected tiles costs its first screen.
class TileInspectorModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column : int { Id, Name, X, Y, Z, Hue, Visible, ColumnCount };
    struct Range {
        int min = 0;
        int max = 0;
    };

    TileInspectorModel(ArtReader *art, const HueTable *hues, QObject *parent = nullptr);

    void setDocument(Document *doc);
    Document *document() const;
    // Rows: the tiles at the cell, bottom to top.
    void showStack(int x, int y);
    // Rows: the document's selected tiles, by location and altitude.
    void showSelection();
    void clear();
    // The row's tile; an empty identity for a row the selection no longer has.
    const TileIdentity &tile(int row) const;
    // Every row put in order: before the selection is changed from the rows.
    void settle();
    // An edit of one selected row goes to every selected row of this selection.
    void setRowSelection(QItemSelectionModel *rows);

    // The values a field of a tile of the kind may take.
    Range range(int column, int kind) const;
    // Why the text cannot be the field's value; empty when it can.
    QString problem(int column, int kind, const QString &text) const;
    // The field of the tile a column shows (not the name).
    static qint32 value(TileIdentity t, int column);
    // Decimal, or hexadecimal after "0x"; text after a space is ignored.
    static std::optional<int> parse(const QString &text);
    // Sets the field of the rows' tiles as one undo step; false with the reason.
    bool edit(const QList<int> &rows, int column, int value, QString *reason = nullptr);
    // Inside an edit's undo step: the document's changes are this model's own.
    bool editing() const { return m_editing; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

signals:
    // An edit was refused: the reason names the allowed range.
    void refused(const QString &reason);
    // The model's tiles changed through an edit made here.
    void edited();

private:
    QIcon icon(const TileIdentity &t) const;
    QString fieldName(int column) const;
    void reset(std::vector<TileIdentity> rows);
    void removeAllRows();
    const TileIdentity *rowAt(int row) const;

    ArtReader *m_art;
    const HueTable *m_hues;
    QPointer<Document> m_doc;
    QPointer<QItemSelectionModel> m_rowSelection;
    // The rows put in order so far, of m_rowCount.
    mutable std::vector<TileIdentity> m_rows;
    mutable SelectionWalk m_walk;
    int m_rowCount = 0;
    mutable QCache<quint32, QIcon> m_icons;
    bool m_editing = false;
};
