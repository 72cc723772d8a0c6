// mltool render: pictures of multis without a window.
#include "MlTool.h"

#include "data/ArtReader.h"
#include "data/DataLocations.h"
#include "data/HueTable.h"
#include "data/RadarColours.h"
#include "data/MultiCollection.h"
#include "data/FileFormats.h"
#include "model/Facet.h"
#include "model/MltFile.h"
#include "scene/ContactSheet.h"
#include "scene/MultiPictures.h"
#include "scene/SceneRenderer.h"

#include <QDir>
#include <QFileInfo>

namespace {
enum Status { Done = 0, FileFailed = 1, BadArguments = 2 };
constexpr double MinScale = 0.1;
constexpr double MaxScale = 4.0;
// The largest size file managers ask a thumbnailer for is 1024 (xx-large).
constexpr int MaxThumbnail = 2048;

struct RenderArgs {
    MultiPictures::Settings settings;
    QString dataDir;
    QString allDir;
    QStringList positional;
    QString error;
};

RenderArgs parseRenderArgs(const QStringList &args)
{
    RenderArgs r;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = true;
        if (a == QLatin1String("--scale") && hasValue) {
            r.settings.scale = args[++i].toDouble(&ok);
            if (!ok || r.settings.scale < MinScale || r.settings.scale > MaxScale)
                r.error = QStringLiteral("--scale takes a number from 0.1 to 4, not \"%1\"").arg(args[i]);
        } else if (a == QLatin1String("--storeys") && hasValue) {
            r.settings.storeyHeight = args[++i].toInt(&ok, 10);
            if (!ok || r.settings.storeyHeight <= 0)
                r.error = QStringLiteral("--storeys takes a height of 1 or more, not \"%1\"").arg(args[i]);
        } else if (a == QLatin1String("--all") && hasValue) {
            r.allDir = args[++i];
        } else if (a == QLatin1String("--data") && hasValue) {
            r.dataDir = args[++i];
        } else if (a == QLatin1String("--hide-below")) {
            r.settings.below = SceneRenderer::Below::Hide;
        } else if (a == QLatin1String("--invisible")) {
            r.settings.showInvisible = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            r.error = QStringLiteral("unknown or incomplete option \"%1\"").arg(a);
        } else {
            r.positional << a;
        }
        if (!r.error.isEmpty())
            break;
    }
    return r;
}

// The art, hues and tile data a picture needs.
struct ArtFiles {
    ArtReader art;
    HueTable hues;
    RadarColours radar; // the colours of the boxes drawn for tiles without art
    QString error;
    QString note; // said on stderr; the picture is still drawn
};

void loadArt(ArtFiles &a, TileData &data, const QString &dir)
{
    QString artIdx, artMul, texIdx, texMaps, hues, tiles, radar;
    if (!dir.isEmpty()) {
        texIdx = DataLocations::fileIn(dir, QStringLiteral("texidx.mul"));
        texMaps = DataLocations::fileIn(dir, QStringLiteral("texmaps.mul"));
        artIdx = DataLocations::fileIn(dir, QStringLiteral("artidx.mul"));
        artMul = DataLocations::fileIn(dir, QStringLiteral("art.mul"));
        hues = DataLocations::fileIn(dir, QStringLiteral("hues.mul"));
        tiles = DataLocations::fileIn(dir, QStringLiteral("tiledata.mul"));
        radar = DataLocations::fileIn(dir, QStringLiteral("radarcol.mul"));
    } else {
        const QStringList keys = DataLocations::readOrder();
        const QStringList values = DataLocations::load();
        auto value = [&](const char *key) { return values.value(keys.indexOf(QLatin1String(key))); };
        artIdx = value("ArtIdx");
        artMul = value("ArtMul");
        texIdx = value("TexIdx");
        texMaps = value("TexMapsMul");
        hues = value("HuesMul");
        tiles = value("TileDataMul");
        radar = value("RadarCol");
    }
    for (const QString &needed : {artIdx, artMul}) {
        if (QFileInfo(needed).isFile())
            continue;
        const QString missing = QStringLiteral("art file not found: \"%1\"").arg(QDir::toNativeSeparators(needed));
        // A client without art still has its tile data: its tiles are drawn as boxes.
        if (!QFileInfo(tiles).isFile()) {
            a.error = missing + QStringLiteral(" (give the folder with --data DIR)");
            return;
        }
        a.note = missing + QStringLiteral("; tiles without art are drawn as boxes");
    }
    if (a.note.isEmpty())
        a.art.load(artIdx, artMul, texIdx, texMaps);
    // Without hues or tile data the art keeps its own colours.
    if (QFileInfo(hues).isFile())
        a.hues.load(hues);
    if (QFileInfo(tiles).isFile())
        data.load(tiles);
    a.radar.load(radar);
}
} // namespace

int MlTool::render(const QStringList &args)
{
    const RenderArgs r = parseRenderArgs(args);
    if (!r.error.isEmpty())
        return badArguments(r.error);
    const QStringList &pos = r.positional;
    const bool singleFile = r.allDir.isEmpty() && pos.size() == 2
                            && !isTemplateList(pos[0]);
    const QStringList storePaths = !r.allDir.isEmpty() ? pos : pos.mid(0, pos.size() - 2);
    if (!singleFile && (storePaths.isEmpty() || storePaths.size() > 2))
        return badArguments(QStringLiteral("render takes FILE OUT.png, STORE... ENTRY OUT.png or --all OUTDIR STORE..."));

    ArtFiles art;
    loadArt(art, m_data, r.dataDir);
    if (!art.error.isEmpty())
        return failed(art.error);
    if (!art.note.isEmpty())
        m_err << "mltool: " << art.note << "\n";
    SceneRenderer renderer(&art.art, &art.hues);
    renderer.setRadarColours(&art.radar);

    // Writes the picture (or one per storey) of one multi.
    auto write = [&](const TileMap &tiles, const QString &out) {
        Facet model(m_data);
        model.setAllowDuplicates(true);
        model.load(tiles);
        const QList<MultiPictures::Picture> pictures = MultiPictures::make(renderer, model, r.settings);
        for (const MultiPictures::Picture &p : pictures) {
            const QString path = p.storey > 0 ? MultiPictures::storeyPath(out, p.storey) : out;
            QString error;
            if (!MultiPictures::save(p.image, path, &error)) {
                failed(error);
                return false;
            }
        }
        return true;
    };

    if (singleFile) {
        const FileFormat::Loaded in = FileFormats::read(pos[0], m_data);
        if (!in.ok)
            return failed(in.error);
        return write(in.tiles, pos[1]) ? Done : FileFailed;
    }

    std::unique_ptr<MultiCollection> store = MultiCollection::forPaths(storePaths);
    if (!store)
        return badArguments(QStringLiteral("\"%1\" names no store of multis").arg(storePaths.join(QLatin1Char(' '))));
    if (!store->open())
        return failed(store->errorString());

    if (r.allDir.isEmpty()) {
        bool ok = false;
        const int entry = pos[pos.size() - 2].toInt(&ok, 10);
        if (!ok || entry < 0)
            return badArguments(QStringLiteral("ENTRY must be a number from 0 up, not \"%1\"").arg(pos[pos.size() - 2]));
        TileMap tiles;
        if (!store->readEntry(entry, m_data, tiles))
            return failed(store->errorString());
        return write(tiles, pos.last()) ? Done : FileFailed;
    }

    if (!QDir().mkpath(r.allDir))
        return failed(QStringLiteral("%1: the folder cannot be made").arg(QDir::toNativeSeparators(r.allDir)));
    const QVector<MultiCollection::Entry> entries = store->entries();
    QList<ContactSheet::Item> sheet;
    int done = 0;
    for (const MultiCollection::Entry &e : entries) {
        TileMap tiles;
        ++done;
        if (!store->readEntry(e.number, m_data, tiles)) {
            m_err << "mltool: " << store->errorString() << "\n";
            continue;
        }
        if (!write(tiles, QDir(r.allDir).filePath(QStringLiteral("%1.png").arg(e.number))))
            return FileFailed;
        Facet model(m_data);
        model.load(tiles);
        sheet.append({e.number, renderer.thumbnail(model, ContactSheet::cellSize())});
        m_err << "rendered " << done << " of " << entries.size() << ": entry " << e.number << "\n";
        m_err.flush();
    }
    QString error;
    if (!MultiPictures::save(ContactSheet::make(sheet), QDir(r.allDir).filePath(QStringLiteral("contact-sheet.png")), &error))
        return failed(error);
    return Done;
}

// For file managers (tilsen.thumbnailer): a damaged or empty multi writes nothing
// and fails, so the file manager keeps its own icon.
int MlTool::thumbnail(const QStringList &args)
{
    const RenderArgs r = parseRenderArgs(args);
    if (!r.error.isEmpty())
        return badArguments(r.error);
    if (r.positional.size() != 3)
        return badArguments(QStringLiteral("thumbnail takes IN OUT.png SIZE"));
    const QString &in = r.positional[0];
    bool ok = false;
    const int size = r.positional[2].toInt(&ok, 10);
    if (!ok || size < 1 || size > MaxThumbnail)
        return badArguments(QStringLiteral("SIZE must be a number from 1 to %1, not \"%2\"")
                                .arg(MaxThumbnail)
                                .arg(r.positional[2]));
    ArtFiles art;
    loadArt(art, m_data, r.dataDir);
    if (!art.error.isEmpty())
        return failed(art.error);

    // Whatever the name, anything but CSV is read as .mlt: callers may pass a copy.
    TileMap tiles;
    if (const FileFormat *format = FileFormats::of(in); format && format->id() == FileFormat::Id::Csv) {
        const FileFormat::Loaded loaded = format->read(in, m_data, {});
        if (!loaded.ok)
            return failed(loaded.error);
        tiles = loaded.tiles;
    } else {
        const MltReadResult mlt = MltFile::read(in, m_data);
        if (mlt.status != MltReadResult::Ok || mlt.damaged)
            return failed(QStringLiteral("%1: cannot be read as a .mlt file").arg(in));
        tiles = mlt.tiles;
    }
    Facet model(m_data);
    model.setAllowDuplicates(true);
    model.load(tiles);
    SceneRenderer renderer(&art.art, &art.hues);
    renderer.setRadarColours(&art.radar);
    const QImage square = MultiPictures::square(renderer, model, size);
    if (square.isNull())
        return failed(QStringLiteral("%1: no tile of it has art to draw").arg(in));
    QString error;
    if (!MultiPictures::save(square, r.positional[1], &error))
        return failed(error);
    return Done;
}
