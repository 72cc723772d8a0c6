#pragma once

#include "data/EntryPreview.h"
#include "data/MultiCollection.h"

#include <QDialog>
#include <QHash>
#include <QSet>
#include <QString>
#include <QVector>

#include <atomic>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QThread;

// Lets the user pick an entry of multi.idx: every entry the index holds, in
// index order, named from multi.xml when it knows the entry, else by number.
class MultiDialog : public QDialog
{
    Q_OBJECT
public:
    MultiDialog(const QString &idxPath, const QString &listPath, QWidget *parent = nullptr,
                Qt::WindowFlags flags = Qt::WindowFlags());
    // The entries of any store, with their tile counts where known, a picture
    // of the selected one and the choice where it goes.
    MultiDialog(const QVector<MultiCollection::Entry> &entries, const QString &listPath,
                QWidget *parent = nullptr);
    // The target of an export: the store's entries, the entries the list names
    // and the first free record, none past `last`; the first free one chosen.
    MultiDialog(const QVector<MultiCollection::Entry> &entries, int firstFree, int last,
                const QString &listPath, QWidget *parent = nullptr);
    ~MultiDialog() override;

    // Previews are made on a thread of their own; typing and scrolling never wait for them.
    void setPreviewer(std::unique_ptr<EntryPreviewer> previewer);
    // "Insert at its own position": the entry keeps its origin at 0,0.
    bool insertAtOwnPosition() const;

    // Entry number of the current item; 0 when there is none.
    qint32 multiIndex() const;
    bool multiVisible() const { return m_visible; }

    // An "Index" attribute: "0x"/"0X" then hexadecimal, else decimal; 0 when not a number.
    static qint32 parseIndex(const QString &text);
    // Entry number -> name, as multi.xml gives them; empty when it cannot be read.
    static QHash<qint32, QString> knownNames(const QString &listPath);

signals:
    void previewShown(int number);

private:
    void setupUi();
    void setupPreview();
    void requestPreview();
    void showPreview(int number);
    void previewMade(int number, const EntryPreview &preview);
    QHash<qint32, QString> readNames(const QString &listPath);
    void fillEntries(const QString &idxPath, const QHash<qint32, QString> &names);
    // A single-file store (a packed container): the multis it holds, by id.
    void fillFromStore(const QString &path, const QHash<qint32, QString> &names);

    QComboBox *m_combo = nullptr;
    QVector<qint32> m_entries; // combo position -> entry number
    bool m_visible = false;
    QHash<qint32, QString> m_names;
    QSet<qint32> m_free; // export targets that hold no multi

    QLabel *m_picture = nullptr;
    QLabel *m_info = nullptr;
    QCheckBox *m_ownPosition = nullptr;
    QHash<int, EntryPreview> m_previews;
    QThread *m_thread = nullptr;
    QObject *m_worker = nullptr; // lives in m_thread
    std::shared_ptr<EntryPreviewer> m_previewer;
    std::shared_ptr<std::atomic<int>> m_wanted = std::make_shared<std::atomic<int>>(-1);
};
