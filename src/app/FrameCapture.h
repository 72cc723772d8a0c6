#pragma once

#include <QByteArray>
#include <QString>

class QImage;
class QOpenGLWidget;
class QWidget;

// File > Capture: asks for an image file and writes what the view shows,
// whole or not at all; a failure is shown with its reason.
class FrameCapture
{
public:
    // The dialog starts in `folder` (empty: the last folder used).
    static void capture(QWidget *parent, QOpenGLWidget *view, const QString &folder);
    // The dialog's filter entry of an image format, and the format a typed
    // name and the chosen filter give.
    static QString filter(const QByteArray &format);
    static QString format(const QString &fileName, const QString &chosenFilter);

private:
    static void write(QWidget *parent, const QImage &image, const QString &fileName, const QString &format);
};
