#pragma once

#include <QDialog>

class QGridLayout;
class QLineEdit;
class QPushButton;

// Holds the ten data file locations in its text fields and lets the user edit
// them. The fields are the current values: the accessors read them, also after
// a cancelled edit; only OK stores them.
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

public slots:
    void accept() override;
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

private:
    void buildForm();
    QLineEdit *addRow(QGridLayout *grid, int row, const QString &label, bool richText,
                      const QString &name, QPushButton *&button);
    void browseFile(QLineEdit *field, const QString &caption);
    QLineEdit *fieldFor(const QString &key) const;

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
};
