#pragma once

#include "model/TileReplace.h"

#include <QDialog>

#include <optional>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QRadioButton;

// Edit > Replace Tiles: one art id by another, or one palette group by
// another piece by piece. It only asks; the caller plans and applies.
class ReplaceTilesDialog : public QDialog
{
    Q_OBJECT
public:
    struct Group {
        QString path; // the names from the top of the palette, joined by "/"
        QList<qint32> tiles;
    };

    // Ids from 0 to artCount - 1 are offered; scope says where the tiles are replaced.
    ReplaceTilesDialog(const QList<Group> &groups, int artCount, const QString &scope,
                       QWidget *parent = nullptr);

    QRadioButton *byIdButton() const { return m_byId; }
    QRadioButton *byGroupButton() const { return m_byGroup; }
    QLineEdit *fromIdEdit() const { return m_fromId; }
    QLineEdit *toIdEdit() const { return m_toId; }
    QComboBox *fromGroupBox() const { return m_fromGroup; }
    QComboBox *toGroupBox() const { return m_toGroup; }
    // What the dialog says under the choice: the pairing, or why OK is refused.
    QLabel *noteLabel() const { return m_note; }

    // Why the choice cannot be applied; empty when it can.
    QString problem() const;
    // The replacement chosen; the first group's pieces without a partner go to *unpartnered.
    TileReplace::IdMap idMap(QList<quint16> *unpartnered = nullptr) const;
    // An art id typed in decimal or 0x hex, below artCount.
    static std::optional<quint16> parseId(const QString &text, int artCount);

public slots:
    void accept() override;

private:
    void addMode(class QGridLayout *grid, QRadioButton *mode, const QString &what, QWidget *from, QWidget *to);
    void buildIdRows(QGridLayout *grid);
    void buildGroupRows(class QGridLayout *grid);
    void refresh();
    QString idProblem(const QLineEdit *edit, const QString &which) const;
    const Group *group(const QComboBox *box) const;

    QList<Group> m_groups;
    int m_artCount;
    QRadioButton *m_byId = nullptr;
    QRadioButton *m_byGroup = nullptr;
    QLineEdit *m_fromId = nullptr;
    QLineEdit *m_toId = nullptr;
    QComboBox *m_fromGroup = nullptr;
    QComboBox *m_toGroup = nullptr;
    QLabel *m_note = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
};
