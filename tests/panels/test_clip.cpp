#include "panels/Clip.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QtTest>

class TestClip : public QObject
{
    Q_OBJECT
private slots:
    void startsOpenWithFullRange();
    void slidersEmitAndLabelsFollow();
    void setterSlotsEmitOnlyOnChange();
};

void TestClip::startsOpenWithFullRange()
{
    Clip clip;
    QCOMPARE(clip.findChild<QLabel *>("label")->text(), QString("127"));
    QCOMPARE(clip.findChild<QLabel *>("label_2")->text(), QString("-128"));
    QVERIFY(!clip.findChild<QCheckBox *>("checkBox")->isChecked());
    for (const char *name : {"horizontalSlider", "horizontalSlider_2"}) {
        auto *slider = clip.findChild<QSlider *>(name);
        QVERIFY(slider);
        QCOMPARE(slider->minimum(), -128);
        QCOMPARE(slider->maximum(), 127);
    }
}

void TestClip::slidersEmitAndLabelsFollow()
{
    Clip clip;
    QSignalSpy max(&clip, &Clip::maxChanged);
    QSignalSpy min(&clip, &Clip::minChanged);
    clip.upperSlider()->setValue(20);
    QCOMPARE(max.count(), 1);
    QCOMPARE(max.at(0).at(0).toInt(), 20);
    QCOMPARE(clip.upperLabel()->text(), QString("20"));
    // The lower bound may pass the upper one; the view gets what it is given.
    clip.lowerSlider()->setValue(50);
    QCOMPARE(min.count(), 1);
    QCOMPARE(min.at(0).at(0).toInt(), 50);
    QCOMPARE(clip.lowerLabel()->text(), QString("50"));
    QCOMPARE(clip.upperSlider()->value(), 20);
}

void TestClip::setterSlotsEmitOnlyOnChange()
{
    Clip clip;
    QSignalSpy enable(&clip, &Clip::enableChanged);
    QSignalSpy max(&clip, &Clip::maxChanged);
    QSignalSpy min(&clip, &Clip::minChanged);

    clip.glEnable(true);
    clip.glEnable(true);
    QCOMPARE(enable.count(), 1);
    QCOMPARE(enable.at(0).at(0).toBool(), true);
    clip.glEnable(false);
    QCOMPARE(enable.count(), 2);
    QCOMPARE(enable.at(1).at(0).toBool(), false);

    clip.glHigher(127);
    QCOMPARE(max.count(), 0);
    clip.glHigher(-5);
    QCOMPARE(max.count(), 1);
    QCOMPARE(clip.upperLabel()->text(), QString("-5"));
    clip.glLower(-7);
    QCOMPARE(min.count(), 1);
    QCOMPARE(min.at(0).at(0).toInt(), -7);
    QCOMPARE(clip.lowerLabel()->text(), QString("-7"));
}

QTEST_MAIN(TestClip)
#include "test_clip.moc"
