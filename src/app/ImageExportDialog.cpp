#include "app/ImageExportDialog.h"

#include "ui/Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
constexpr double MinScale = 0.1;
constexpr double MaxScale = 4.0;
constexpr int DefaultStoreyHeight = 20;
constexpr int MaxStoreyHeight = 255;
} // namespace

ImageExportDialog::ImageExportDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ImageExport"));
    setWindowTitle(tr("Export Image"));
    auto *form = new QFormLayout;
    m_scale = new QDoubleSpinBox(this);
    m_scale->setObjectName(QStringLiteral("scale"));
    m_scale->setRange(MinScale, MaxScale);
    m_scale->setSingleStep(0.25);
    m_scale->setValue(1.0);
    form->addRow(tr("Scale:"), m_scale);

    m_transparent = new QCheckBox(tr("Transparent background"), this);
    m_transparent->setObjectName(QStringLiteral("transparent"));
    m_transparent->setChecked(true);
    m_colour = new QPushButton(tr("Colour..."), this);
    m_colour->setObjectName(QStringLiteral("colour"));
    auto *background = new QHBoxLayout;
    background->addWidget(m_transparent);
    background->addWidget(m_colour);
    form->addRow(tr("Background:"), background);

    m_invisible = new QCheckBox(tr("Draw invisible tiles"), this);
    m_invisible->setObjectName(QStringLiteral("invisible"));
    form->addRow(QString(), m_invisible);

    m_storeys = new QCheckBox(tr("One image per storey"), this);
    m_storeys->setObjectName(QStringLiteral("storeys"));
    form->addRow(QString(), m_storeys);
    m_storeyHeight = new QSpinBox(this);
    m_storeyHeight->setObjectName(QStringLiteral("storeyHeight"));
    m_storeyHeight->setRange(1, MaxStoreyHeight);
    m_storeyHeight->setValue(DefaultStoreyHeight);
    form->addRow(tr("Storey height:"), m_storeyHeight);
    m_below = new QComboBox(this);
    m_below->setObjectName(QStringLiteral("below"));
    m_below->addItem(tr("Dimmed"));
    m_below->addItem(tr("Hidden"));
    form->addRow(tr("Storeys below:"), m_below);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *outer = new QVBoxLayout(this);
    outer->addLayout(form);
    outer->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_colour, &QPushButton::clicked, this, &ImageExportDialog::chooseColour);
    connect(m_transparent, &QCheckBox::toggled, this, &ImageExportDialog::updateEnabled);
    connect(m_storeys, &QCheckBox::toggled, this, &ImageExportDialog::updateEnabled);
    updateEnabled();
}

void ImageExportDialog::chooseColour()
{
    const QColor chosen = Dialogs::getColor(this, m_background, tr("Background colour"), {});
    if (chosen.isValid())
        m_background = chosen;
}

void ImageExportDialog::updateEnabled()
{
    m_colour->setEnabled(!m_transparent->isChecked());
    m_storeyHeight->setEnabled(m_storeys->isChecked());
    m_below->setEnabled(m_storeys->isChecked());
}

MultiPictures::Settings ImageExportDialog::settings() const
{
    MultiPictures::Settings s;
    s.scale = m_scale->value();
    s.background = m_transparent->isChecked() ? QColor(Qt::transparent) : m_background;
    s.showInvisible = m_invisible->isChecked();
    s.storeyHeight = m_storeys->isChecked() ? m_storeyHeight->value() : 0;
    s.below = m_below->currentIndex() == 1 ? SceneRenderer::Below::Hide : SceneRenderer::Below::Dim;
    return s;
}
