#pragma once

#include <QDialog>
#include <QHash>
#include <QString>
#include <QVector>

class QComboBox;
class QDomDocument;

// Lets the user pick an entry of multi.idx: every entry the index holds, in
// index order, named from multi.xml when it knows the entry, else by number.
class MultiDialog : public QDialog
{
    Q_OBJECT
public:
    MultiDialog(const QString &idxPath, const QString &listPath, QWidget *parent = nullptr,
                Qt::WindowFlags flags = Qt::WindowFlags());

    // Entry number of the current item; 0 when there is none.
    qint32 multiIndex() const;
    bool multiVisible() const { return m_visible; }

    // An "Index" attribute: "0x"/"0X" then hexadecimal, else decimal; 0 when not a number.
    static qint32 parseIndex(const QString &text);

private:
    void setupUi();
    QHash<qint32, QString> readNames(const QString &listPath);
    void readVisible(const QDomDocument &doc);
    void fillEntries(const QString &idxPath, const QHash<qint32, QString> &names);
    // A single-file store (a packed container): the multis it holds, by id.
    void fillFromStore(const QString &path, const QHash<qint32, QString> &names);

    QComboBox *m_combo = nullptr;
    QVector<qint32> m_entries; // combo position -> entry number
    bool m_visible = false;
};
