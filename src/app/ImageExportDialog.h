#pragma once

#include "scene/MultiPictures.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QPushButton;
class QSpinBox;

// The choices of File > Export > Image...: scale, background, invisible
// tiles, and one image per storey with what lies below dimmed or hidden.
class ImageExportDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ImageExportDialog(QWidget *parent = nullptr);
    MultiPictures::Settings settings() const;

private:
    void chooseColour();
    void updateEnabled();

    QDoubleSpinBox *m_scale = nullptr;
    QCheckBox *m_transparent = nullptr;
    QPushButton *m_colour = nullptr;
    QCheckBox *m_invisible = nullptr;
    QCheckBox *m_storeys = nullptr;
    QSpinBox *m_storeyHeight = nullptr;
    QComboBox *m_below = nullptr;
    QColor m_background = QColor(Qt::white);
};
