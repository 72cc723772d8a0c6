// mltool's commands for the world map: capture an area as a multi, picture a facet.
#include "MlTool.h"

#include "data/DataLocations.h"
#include "data/FileFormats.h"
#include "data/MultiCollection.h"
#include "data/WorldCapture.h"
#include "data/WorldFacet.h"
#include "data/WorldOverview.h"
#include "model/Altitude.h"
#include "model/Facet.h"
#include "scene/MultiPictures.h"

#include <QDir>
#include <QRegularExpression>

namespace {
enum Status { Done = 0, FileFailed = 1, BadArguments = 2 };

// Takes "NAME VALUE" or "NAME=VALUE" out of args; nothing when absent, an
// empty string when NAME has no value.
std::optional<QString> takeOption(QStringList &args, const QString &name)
{
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == name) {
            const QString value = args.value(i + 1);
            args.erase(args.begin() + i, args.begin() + std::min(i + 2, int(args.size())));
            return value;
        }
        if (args[i].startsWith(name + QLatin1Char('='))) {
            const QString value = args[i].mid(name.size() + 1);
            args.removeAt(i);
            return value;
        }
    }
    return std::nullopt;
}

bool takeFlag(QStringList &args, const QString &name) { return args.removeAll(name) > 0; }

// Two integers separated by `sep` ("10:40", "100,200", "1448x1448").
std::optional<QPoint> pairOf(const QString &text, const QString &seps)
{
    const QStringList parts = text.split(QRegularExpression(QStringLiteral("[%1]").arg(seps)));
    if (parts.size() != 2)
        return std::nullopt;
    bool ok1 = false;
    bool ok2 = false;
    const QPoint p(parts[0].trimmed().toInt(&ok1), parts[1].trimmed().toInt(&ok2));
    return ok1 && ok2 ? std::optional<QPoint>(p) : std::nullopt;
}
} // namespace

bool MlTool::takeFacetSize(QStringList &args, QSize &size, int &status)
{
    const std::optional<QString> text = takeOption(args, QStringLiteral("--size"));
    if (!text)
        return true;
    const std::optional<QPoint> wh = pairOf(*text, QStringLiteral("xX\u00d7"));
    if (!wh) {
        status = badArguments(QStringLiteral("--size takes WIDTHxHEIGHT in cells, not \"%1\"").arg(*text));
        return false;
    }
    size = QSize(wh->x(), wh->y());
    return true;
}

bool MlTool::openFacet(const QString &dir, const QString &facetText, QSize size, WorldFacet &facet, int &status)
{
    bool ok = false;
    const int number = facetText.toInt(&ok, 10);
    if (!ok || number < 0 || number > WorldFacet::MaxFacet) {
        status = badArguments(QStringLiteral("FACET must be 0 to %1, not \"%2\"").arg(WorldFacet::MaxFacet).arg(facetText));
        return false;
    }
    if (!facet.open(dir, number, size)) {
        status = failed(facet.errorString());
        return false;
    }
    return true;
}

int MlTool::capture(const QStringList &arguments)
{
    QStringList args = arguments;
    WorldCapture::Request request;
    request.terrain = takeFlag(args, QStringLiteral("--terrain"));
    const std::optional<QString> zText = takeOption(args, QStringLiteral("--z"));
    const std::optional<QString> centreText = takeOption(args, QStringLiteral("--centre"));
    const std::optional<QString> baseText = takeOption(args, QStringLiteral("--base"));
    QSize size;
    int status = Done;
    if (!takeFacetSize(args, size, status))
        return status;
    if (args.size() != 7)
        return badArguments(QStringLiteral("capture takes DIR FACET X1 Y1 X2 Y2 OUT"));
    if (zText) {
        const std::optional<QPoint> z = pairOf(*zText, QStringLiteral(":"));
        if (!z || !Altitude::contains(z->x()) || !Altitude::contains(z->y()) || z->x() > z->y())
            return badArguments(QStringLiteral("--z takes MIN:MAX within %1:%2, not \"%3\"")
                                    .arg(Altitude::Min)
                                    .arg(Altitude::Max)
                                    .arg(*zText));
        request.zMin = z->x();
        request.zMax = z->y();
    }
    if (centreText) {
        const std::optional<QPoint> c = pairOf(*centreText, QStringLiteral(","));
        if (!c)
            return badArguments(QStringLiteral("--centre takes X,Y, not \"%1\"").arg(*centreText));
        request.centre = *c;
    }
    if (baseText) {
        bool ok = false;
        request.base = baseText->toInt(&ok, 10);
        if (!ok || !Altitude::contains(*request.base))
            return badArguments(QStringLiteral("--base takes an altitude %1 to %2, not \"%3\"")
                                    .arg(Altitude::Min)
                                    .arg(Altitude::Max)
                                    .arg(*baseText));
    }
    int corners[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        corners[i] = args[2 + i].toInt(&ok, 10);
        if (!ok)
            return badArguments(QStringLiteral("X1 Y1 X2 Y2 must be cell numbers, not \"%1\"").arg(args[2 + i]));
    }
    request.area = WorldCapture::between({corners[0], corners[1]}, {corners[2], corners[3]});
    WorldFacet facet;
    if (!openFacet(args[0], args[1], size, facet, status))
        return status;
    QString error;
    const std::optional<WorldCapture::Result> r = WorldCapture::capture(facet, request, m_data, &error);
    if (!r)
        return failed(error);
    Facet model(m_data);
    model.setAllowDuplicates(true);
    model.load(r->tiles);
    FileFormat::Written written;
    if (!FileFormats::write(args[6], tilesInDrawOrder(model), {}, written))
        return failed(written.error);
    m_out << r->statics << " statics" << (request.terrain ? QStringLiteral(", %1 terrain tiles").arg(r->terrainTiles) : QString())
          << " from " << WorldCapture::title(facet.facet(), r->area) << ", centre " << r->centre.x() << ','
          << r->centre.y() << ", base " << r->base << '\n';
    m_out.flush();
    return Done;
}

int MlTool::renderMap(const QStringList &arguments)
{
    QStringList args = arguments;
    double scale = 1;
    if (const std::optional<QString> s = takeOption(args, QStringLiteral("--scale"))) {
        bool ok = false;
        scale = s->toDouble(&ok);
        if (!ok || scale < 1.0 / 16 || scale > 8)
            return badArguments(QStringLiteral("--scale takes 0.0625 to 8, not \"%1\"").arg(*s));
    }
    QSize size;
    int status = Done;
    if (!takeFacetSize(args, size, status))
        return status;
    if (args.size() != 3)
        return badArguments(QStringLiteral("render-map takes DIR FACET OUT.png"));
    WorldFacet facet;
    if (!openFacet(args[0], args[1], size, facet, status))
        return status;
    QString error;
    const QString radar = DataLocations::fileIn(args[0], QStringLiteral("radarcol.mul"));
    const std::optional<QVector<QRgb>> colours = WorldOverview::readColours(radar, &error);
    if (!colours)
        return failed(error);
    QImage image = WorldOverview::build(facet, *colours, {}, &error);
    if (image.isNull())
        return failed(error);
    if (scale != 1)
        image = image.scaled(image.size() * scale, Qt::IgnoreAspectRatio,
                             scale < 1 ? Qt::SmoothTransformation : Qt::FastTransformation);
    if (!MultiPictures::save(image, args[2], &error))
        return failed(error);
    return Done;
}
