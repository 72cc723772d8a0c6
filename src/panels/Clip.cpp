#include "panels/Clip.h"

#include "model/Altitude.h"
#include "panels/RangeSlider.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

Clip::Clip(QWidget *parent, Qt::WindowFlags flags) : QWidget(parent, flags)
{
    setupUi();
    setFocusPolicy(Qt::NoFocus);
    connect(m_upper, &QSlider::valueChanged, this, &Clip::valueChanged);
    connect(m_lower, &QSlider::valueChanged, this, &Clip::lowerChanged);
    connect(m_checkBox, &QCheckBox::stateChanged, this, &Clip::enChanged);
}

void Clip::setupUi()
{
    setObjectName(QStringLiteral("Form"));
    setWindowTitle(tr("Form"));
    resize(139, 412);
    auto *layout = new QVBoxLayout(this);
    m_checkBox = new QCheckBox(tr("Enabled"), this);
    m_checkBox->setObjectName(QStringLiteral("checkBox"));
    m_checkBox->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_checkBox);
    auto *row = new QHBoxLayout;
    auto *groups = new QVBoxLayout;
    groups->addWidget(makeGroup(QStringLiteral("groupBox"), tr("Top Altitude"),
                                QString(), Altitude::Max, m_upperLabel, m_upper));
    groups->addWidget(makeGroup(QStringLiteral("groupBox_2"), tr("Lower Altitude"),
                                QStringLiteral("_2"), Altitude::Min, m_lowerLabel, m_lower));
    row->addLayout(groups);
    row->addWidget(makeRange());
    layout->addLayout(row);
}

// Both ends of the range in one slider beside the two of their own, each
// following the other: the sliders' own rule (no signal for the value they
// already have) ends the round trip.
RangeSlider *Clip::makeRange()
{
    m_range = new RangeSlider(Qt::Vertical, this);
    m_range->setObjectName(QStringLiteral("altitudeRange"));
    m_range->setRange(Altitude::Min, Altitude::Max);
    m_range->setLower(Altitude::Min);
    m_range->setUpper(Altitude::Max);
    m_range->setToolTip(tr("Altitude range: drag either end"));
    connect(m_range, &RangeSlider::upperChanged, m_upper, &QSlider::setValue);
    connect(m_range, &RangeSlider::lowerChanged, m_lower, &QSlider::setValue);
    connect(m_upper, &QSlider::valueChanged, m_range, &RangeSlider::setUpper);
    connect(m_lower, &QSlider::valueChanged, m_range, &RangeSlider::setLower);
    return m_range;
}

QWidget *Clip::makeGroup(const QString &name, const QString &title, const QString &suffix,
                         int value, QLabel *&label, QSlider *&slider)
{
    auto *group = new QGroupBox(title, this);
    group->setObjectName(name);
    auto *layout = new QVBoxLayout(group);

    auto *frame = new QFrame(group);
    frame->setObjectName(QStringLiteral("frame") + suffix);
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setLineWidth(1);
    frame->setMinimumSize(32, 16);
    auto *frameLayout = new QHBoxLayout(frame);
    frameLayout->setContentsMargins(2, 0, 2, 0);
    label = new QLabel(QString::number(value), frame);
    label->setObjectName(QStringLiteral("label") + suffix);
    frameLayout->addWidget(label);
    layout->addWidget(frame);

    slider = new QSlider(Qt::Vertical, group);
    slider->setObjectName(QStringLiteral("horizontalSlider") + suffix);
    slider->setRange(Altitude::Min, Altitude::Max);
    slider->setValue(value);
    slider->setTickPosition(QSlider::TicksBothSides);
    slider->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(slider, 1, Qt::AlignHCenter);
    // The label always shows the slider's value.
    connect(slider, &QSlider::valueChanged, label, qOverload<int>(&QLabel::setNum));
    return group;
}

void Clip::valueChanged(int value)
{
    emit maxChanged(value);
}

void Clip::lowerChanged(int value)
{
    emit minChanged(value);
}

void Clip::enChanged(int state)
{
    emit enableChanged(state != 0);
}

void Clip::glHigher(int value)
{
    m_upperLabel->setNum(value);
    m_upper->setValue(value);
}

void Clip::glLower(int value)
{
    m_lowerLabel->setNum(value);
    m_lower->setValue(value);
}

void Clip::glEnable(bool on)
{
    m_checkBox->setChecked(on);
}
