#pragma once

#include "model/TileRecord.h"

#include <QDialog>
#include <QImage>

#include <optional>

class ArtReader;
class HueTable;
class QLabel;
class QLineEdit;
class QListWidget;
class TileInfoSource;

// Chooses a hue from those the hue file has: each listed with its number,
// name and colour strip, searchable by name and number, with the tiles to be
// hued previewed in the hue under the cursor.
class HuePicker : public QDialog
{
    Q_OBJECT
public:
    // Borrowed: hues and art may be null (then no strips and no preview).
    HuePicker(HueTable *hues, ArtReader *art, const TileInfoSource &data,
              const QList<TileRecord> &tiles, int current, QWidget *parent = nullptr);

    // The chosen hue number (0: the tiles' own colours); none without a choice.
    std::optional<int> hue() const;
    void setHue(int hue);
    QLineEdit *searchEdit() const { return m_search; }
    QListWidget *hueList() const { return m_list; }

    // Runs the picker through the dialog seam; none when cancelled.
    static std::optional<int> ask(QWidget *parent, HueTable *hues, ArtReader *art,
                                  const TileInfoSource &data, const QList<TileRecord> &tiles,
                                  int current);

private:
    void fillList();
    void filter(const QString &text);
    void showPreview();
    QImage strip(int hue) const;

    HueTable *m_hues;
    ArtReader *m_art;
    const TileInfoSource &m_data;
    QList<TileRecord> m_tiles;
    QLineEdit *m_search = nullptr;
    QListWidget *m_list = nullptr;
    QLabel *m_preview = nullptr;
};
