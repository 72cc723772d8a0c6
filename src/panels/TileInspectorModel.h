#pragma once

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
// selected tiles. Rows are identities copied once per change of what is shown;
// names and icons are looked up only for the rows a view asks about, so a
// table over 20,000 selected tiles costs one array.
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
    const TileIdentity &tile(int row) const { return m_rows[size_t(row)]; }
    // An edit of one selected row goes to every selected row of this selection.
    void setRowSelection(QItemSelectionModel *rows);

    // The values a field of a tile of the kind may take.
    Range range(int column, int kind) const;
    // Why the text cannot be the field's value; empty when it can.
    QString problem(int column, int kind, const QString &text) const;
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

    ArtReader *m_art;
    const HueTable *m_hues;
    QPointer<Document> m_doc;
    QPointer<QItemSelectionModel> m_rowSelection;
    std::vector<TileIdentity> m_rows;
    // Room kept for the next selection shown.
    std::vector<TileIdentity> m_gathered, m_spare;
    std::vector<int> m_cellEnds;
    mutable QCache<quint32, QIcon> m_icons;
    bool m_editing = false;
};
