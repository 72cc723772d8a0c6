#pragma once

#include <QDialog>
#include <QHash>
#include <QStringList>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;

// Holds the data file locations in its text fields and lets the user edit
// them. OK stores the fields; Cancel puts back what is stored, so typed text
// that was cancelled is never used.
class MulSetting : public QDialog
{
    Q_OBJECT
public:
    explicit MulSetting(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    QString artMul() const;
    QString artIdx() const;
    QString multiMul() const;
    QString multiIdx() const;
    QString huesMul() const;
    QString tileDataMul() const;
    QString texIdx() const;
    QString texMapsMul() const;
    QString artUop() const;
    QString multiUop() const;
    QString radarCol() const;
    // The multi store to import from and export to (MultiCollection::forPaths).
    QStringList multiStore() const;

public slots:
    void accept() override;
    void reject() override;
    void editArtIdx();
    void editArtMul();
    void editMultiIdx();
    void editMultiMul();
    void editHues();
    void editTiledata();
    void editRadar();
    void editMapDir();
    void editTexmaps();
    void editTexidx();
    void editArtUop();
    void editMultiUop();
    // Fills every row from one client folder and says which files it holds.
    void useClientFolder();
    void fillFromFolder(const QString &folder);

private:
    void buildForm();
    QLineEdit *addRow(QGridLayout *grid, int row, const QString &label, bool richText,
                      const QString &name, QPushButton *&button);
    void browseFile(QLineEdit *field, const QString &caption);
    QLineEdit *fieldFor(const QString &key) const;
    void remember();

    QHash<QString, QString> m_stored; // key -> what OK stored last (or was loaded)

    QLineEdit *lineArtMul = nullptr;
    QLineEdit *lineArtIdx = nullptr;
    QLineEdit *lineTiledata = nullptr;
    QLineEdit *lineHues = nullptr;
    QLineEdit *lineMultiMul = nullptr;
    QLineEdit *lineMultiIdx = nullptr;
    QLineEdit *lineTexmaps = nullptr;
    QLineEdit *lineTexidx = nullptr;
    QLineEdit *lineRadar = nullptr;
    QLineEdit *lineMapDir = nullptr;
    QLineEdit *lineArtUop = nullptr;
    QLineEdit *lineMultiUop = nullptr;
    QPushButton *pushArtMul = nullptr;
    QPushButton *pushArtIdx = nullptr;
    QPushButton *pushTiledata = nullptr;
    QPushButton *pushHues = nullptr;
    QPushButton *pushMultiMul = nullptr;
    QPushButton *pushMultiIdx = nullptr;
    QPushButton *pushTexmaps = nullptr;
    QPushButton *pushTexidx = nullptr;
    QPushButton *pushRadar = nullptr;
    QPushButton *pushMapDir = nullptr;
    QPushButton *pushArtUop = nullptr;
    QPushButton *pushMultiUop = nullptr;
    QPushButton *m_clientFolder = nullptr;
    QLabel *m_folderReport = nullptr;
};
