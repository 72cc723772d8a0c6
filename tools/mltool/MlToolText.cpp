// mltool's commands for the file formats of the registry: the component
// list's templates, and conversions between any two formats.
#include "MlTool.h"

#include "data/ComponentList.h"
#include "data/FileFormats.h"
#include "data/MultiNames.h"
#include "model/Facet.h"

#include <QFileInfo>

namespace {
enum Status { Done = 0, FileFailed = 1, BadArguments = 2 };

bool isFormat(const QString &path, FileFormat::Id id)
{
    const FileFormat *format = FileFormats::of(path);
    return format && format->id() == id;
}
} // namespace

bool MlTool::isTemplateList(const QString &path)
{
    return isFormat(path, FileFormat::Id::ComponentList);
}

bool MlTool::isScript(const QString &path)
{
    return isFormat(path, FileFormat::Id::AddonScript);
}

int MlTool::listTemplates(const QString &path)
{
    ComponentList list(path);
    if (!list.open())
        return failed(list.errorString());
    m_out << "template components name\n";
    const QVector<MultiCollection::Entry> entries = list.entries();
    // Templates are no client's entries: only a list beside the file names them.
    const auto names = MultiNames::read(MultiNames::listFor({path}, QString())).names;
    for (const MultiCollection::Entry &e : entries)
        m_out << e.number << ' ' << e.tileCount << ' ' << MultiNames::nameOf(names, e.number) << '\n';
    m_out << entries.size() << " templates\n";
    m_out.flush();
    return Done;
}

int MlTool::importTemplate(const QStringList &args)
{
    if (args.size() != 3)
        return badArguments(QStringLiteral("import from a component list takes three arguments: LIST.txt N OUT"));
    bool ok = false;
    const int number = args[1].toInt(&ok, 10);
    if (!ok)
        return badArguments(QStringLiteral("N must be a template number, not \"%1\"").arg(args[1]));
    ComponentList list(args[0]);
    TileMap tiles;
    if (!list.open() || !list.readEntry(number, m_data, tiles))
        return failed(list.errorString());
    return writeTiles(args[2], takeInDrawOrder(tiles), {});
}

int MlTool::exportTemplate(const QStringList &args)
{
    bool ok = false;
    const int number = args[2].toInt(&ok, 10);
    if (!ok)
        return badArguments(QStringLiteral("N must be a template number, not \"%1\"").arg(args[2]));
    FileFormat::Loaded in = FileFormats::read(args[0], m_data);
    if (!in.ok)
        return failed(in.error);
    warn(in.warnings);
    const QList<TileRecord> tiles = takeInDrawOrder(in.tiles);
    ComponentList list(args[1]);
    if (!list.exportEntry(number, tiles))
        return failed(list.errorString());
    warnHuesLost(args[1], tiles);
    return Done;
}

int MlTool::convert(const QStringList &args)
{
    if (args.size() != 2)
        return badArguments(QStringLiteral("convert takes two arguments: IN OUT"));
    if (!m_className.isEmpty() && !isScript(args[0]))
        return badArguments(QStringLiteral("--class needs a .cs file to read"));
    if (!m_deedName.isEmpty() && !isScript(args[1]))
        return badArguments(QStringLiteral("--deed-name needs a .cs file to write"));
    FileFormat::Loaded in = FileFormats::read(args[0], m_data, {m_className});
    if (!in.ok)
        return failed(in.error);
    warn(in.warnings);
    // Straight from the tiles read: a model of the largest file would take gigabytes.
    return writeTiles(args[1], takeInDrawOrder(in.tiles), {QFileInfo(args[0]).fileName(), m_deedName});
}

int MlTool::writeTiles(const QString &out, const QList<TileRecord> &tiles, const FileFormat::WriteOptions &options)
{
    FileFormat::Written written;
    if (!FileFormats::write(out, tiles, options, written))
        return failed(written.error);
    // A list never has a template replaced: the tiles went to its first free number.
    if (written.entry >= 0)
        m_out << "stored as template " << written.entry << '\n';
    warnHuesLost(out, tiles);
    warn(written.notes);
    m_out.flush();
    return Done;
}

void MlTool::warnHuesLost(const QString &out, const QList<TileRecord> &tiles)
{
    if (const int hued = FileFormats::huesLost(out, tiles)) {
        m_err << "mltool: " << FileFormats::hueLossText(out, hued) << " Written without the hues.\n";
        m_err.flush();
    }
}
