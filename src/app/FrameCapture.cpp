#include "app/FrameCapture.h"

#include "model/SafeWrite.h"
#include "ui/Dialogs.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QOpenGLWidget>

namespace {
QString tr(const char *text) { return QCoreApplication::translate("FrameCapture", text); }
} // namespace

void FrameCapture::capture(QWidget *parent, QOpenGLWidget *view, const QString &folder)
{
    QString filters;
    for (const QByteArray &f : QImageWriter::supportedImageFormats())
        filters += filter(f) + QStringLiteral(";;");
    filters.chop(2);
    QString chosen = filter(QByteArrayLiteral("png"));
    QString fileName = Dialogs::getSaveFileName(parent, tr("Image file to save to"), folder, filters, &chosen);
    if (fileName.isEmpty())
        return;
    const QString type = format(fileName, chosen);
    const QImage image = view->grabFramebuffer();
    if (QFileInfo(fileName).suffix().compare(type, Qt::CaseInsensitive) != 0)
        fileName += QLatin1Char('.') + type;
    write(parent, image, fileName, type);
}

void FrameCapture::write(QWidget *parent, const QImage &image, const QString &fileName, const QString &format)
{
    // Encoded in memory first, so the file is replaced only by a whole image.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QString reason;
    if (!image.save(&buffer, format.isEmpty() ? nullptr : format.toLatin1().constData()))
        reason = tr("the image could not be encoded as %1").arg(format);
    else if (SafeWrite::replaceFile(fileName, bytes, &reason))
        return;
    Dialogs::warning(parent, tr("Capture"), tr("Unable to save %1\n%2").arg(fileName, reason));
}

QString FrameCapture::filter(const QByteArray &format)
{
    const QString name = QString::fromLatin1(format);
    return name + QStringLiteral("(*.") + name + QLatin1Char(')');
}

// A typed suffix naming a writable format wins over the chosen filter.
QString FrameCapture::format(const QString &fileName, const QString &chosenFilter)
{
    QString suffix = QFileInfo(fileName).suffix().toLower();
    if (!suffix.isEmpty() && QImageWriter::supportedImageFormats().contains(suffix.toLatin1()))
        return suffix;
    const QString fromFilter = chosenFilter.section(QLatin1Char('('), 0, 0);
    return fromFilter.isEmpty() ? QStringLiteral("png") : fromFilter;
}
