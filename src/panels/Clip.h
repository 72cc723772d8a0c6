#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QSlider;
class RangeSlider;

// The altitude clip panel: an enable box and the upper and lower altitudes,
// announced as signals for the active document's view.
class Clip : public QWidget
{
    Q_OBJECT
public:
    explicit Clip(QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    QSlider *lowerSlider() const { return m_lower; }
    QLabel *lowerLabel() const { return m_lowerLabel; }
    RangeSlider *rangeSlider() const { return m_range; }

signals:
    void maxChanged(int);
    void minChanged(int);
    void enableChanged(bool);

public slots:
    void valueChanged(int value);
    void lowerChanged(int value);
    void enChanged(int state);
    void glHigher(int value);
    void glLower(int value);
    void glEnable(bool on);

private:
    void setupUi();
    RangeSlider *makeRange();
    QWidget *makeGroup(const QString &name, const QString &title, const QString &suffix,
                       int value, QLabel *&label, QSlider *&slider);

    QCheckBox *m_checkBox = nullptr;
    QLabel *m_upperLabel = nullptr;
    QLabel *m_lowerLabel = nullptr;
    QSlider *m_upper = nullptr;
    QSlider *m_lower = nullptr;
    RangeSlider *m_range = nullptr;
};
