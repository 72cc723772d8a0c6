#include "MlTool.h"

#include "data/DataFiles.h"
#include "data/DataLocations.h"
#include "data/FileFormats.h"
#include "data/MultiFile.h"
#include "data/MultiNames.h"
#include "data/UopMultiStore.h"
#include "model/Facet.h"
#include "model/MltFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {
enum Status { Done = 0, FileFailed = 1, BadArguments = 2 };
const QString RecordSizeOption = QStringLiteral("--record-size");

bool isContainer(const QString &path)
{
    return path.endsWith(QLatin1String(".uop"), Qt::CaseInsensitive);
}
} // namespace

namespace {
// One line per format of the registry, with what it cannot keep.
QString formatLines()
{
    QString lines = QStringLiteral("formats (by suffix):\n");
    for (const FileFormat *format : FileFormats::all()) {
        const FileFormat::Keeps keeps = format->keeps();
        QStringList lost;
        if (!keeps.hue)
            lost << QStringLiteral("hues");
        if (!keeps.visibility)
            lost << QStringLiteral("invisible tiles");
        lines += QStringLiteral("  %1 %2").arg(QLatin1Char('.') + format->suffix(), -6).arg(format->description());
        lines += lost.isEmpty() ? QStringLiteral("\n") : QStringLiteral(" (keeps no %1)\n").arg(lost.join(QStringLiteral(" and ")));
    }
    return lines;
}
} // namespace

QString MlTool::usage()
{
    return QStringLiteral(
        "usage:\n"
        "  mltool list IDX [MUL]                 entries of multi.idx with their record counts and\n"
        "                                        the record size (MUL: multi.mul beside IDX)\n"
        "  mltool import IDX MUL ENTRY OUT.mlt   write entry ENTRY as a .mlt file\n"
        "  mltool export FILE.mlt IDX MUL ENTRY  store FILE.mlt as entry ENTRY (0 to the number of\n"
        "                                        index records; that number appends a record)\n"
        "  mltool compact IDX MUL                drop the bytes no entry uses from multi.mul\n"
        "  mltool info DIR                       the client's data files in DIR: layout and counts\n"
        "  mltool dump FILE.mlt                  one line per tile: id x y z visible hue\n"
        "  mltool list LIST.txt                  templates of a component list with their counts\n"
        "  mltool import LIST.txt N OUT          write template N as a .mlt or .csv file\n"
        "  mltool export IN LIST.txt N           store a .mlt or .csv file as template N (replaced\n"
        "                                        or appended; every other line is kept)\n"
        "  mltool convert IN OUT                 between the formats below (by suffix; from a\n"
        "                                        list its first template, into one its first free number)\n"
        "  mltool list FILE.cs                   addon classes of a server script: components, those\n"
        "                                        left out, lines that could not be evaluated\n"
        "  mltool replace IN OUT A=B [C=D ...]   IN written as OUT (any of the formats convert takes)\n"
        "                                        with every tile of id A made id B, keeping place,\n"
        "                                        altitude, hue and visibility (ids decimal or 0x hex)\n"
        "  mltool render [OPTIONS] FILE OUT.png  picture of a .mlt or .csv file\n"
        "  mltool render [OPTIONS] STORE... ENTRY OUT.png\n"
        "                                        picture of one entry of IDX MUL, a packed\n"
        "                                        container or LIST.txt\n"
        "  mltool render [OPTIONS] --all OUTDIR STORE...\n"
        "                                        one picture per entry and contact-sheet.png\n"
        "    render options: --scale S (0.1 to 4, default 1), --storeys HEIGHT (one picture\n"
        "    per altitude band, lower storeys dimmed), --hide-below (hidden instead),\n"
        "    --invisible (draw invisible tiles), --data DIR (art, hues and tile data; default:\n"
        "    the editor's data file locations)\n"
        "  mltool info DIR|FILE.uop              the data files of a folder, and its packed containers\n"
        "  mltool thumbnail [--data DIR] IN OUT.png SIZE\n"
        "                                        the multi of IN fitted into SIZE x SIZE on a\n"
        "                                        transparent ground (for file managers)\n"
        "  mltool capture [OPTIONS] DIR FACET X1 Y1 X2 Y2 OUT\n"
        "                                        the statics of a world area (corners inclusive) as a\n"
        "                                        multi (.mlt or .csv): --z MIN:MAX altitudes taken,\n"
        "                                        --centre X,Y (default the middle), --base Z (default\n"
        "                                        the terrain altitude at the centre), --terrain (the\n"
        "                                        cells' terrain too), --size WxH (a facet of another size)\n"
        "  mltool render-map [--scale S] [--size WxH] DIR FACET OUT.png\n"
        "                                        a picture of a whole facet, a pixel per cell at scale 1\n"
        "A packed container (MultiCollection.uop) stands in place of IDX MUL:\n"
        "  mltool list FILE.uop, mltool import FILE.uop ENTRY OUT.mlt, mltool export FILE.mlt FILE.uop ENTRY\n"
        "options:\n"
        "  --record-size 12|16                   the multi record size, when the files cannot tell\n"
        "  --help, --version                     this text; the version\n"
        "  --class NAME                          the addon class convert reads (default: the first)\n"
        "  --deed-name TEXT                      the deed's name in a .cs file convert writes\n"
        "                                        (default: from the file name)\n"
        "exit status: 0 done, 1 a file could not be read or written, 2 bad arguments or the\n"
        "record size must be given\n") + formatLines();
}

int MlTool::run(const QStringList &arguments)
{
    QStringList args = arguments;
    if (!takeRecordSize(args))
        return badArguments(QStringLiteral("%1 takes 12 or 16").arg(RecordSizeOption));
    const QString scriptOptions = takeScriptOptions(args);
    if (!scriptOptions.isEmpty())
        return badArguments(scriptOptions);
    const QString command = args.value(0);
    const QStringList rest = args.mid(1);
    if (command == QLatin1String("list"))
        return list(rest);
    if (command == QLatin1String("import"))
        return importEntry(rest);
    if (command == QLatin1String("export"))
        return exportEntry(rest);
    if (command == QLatin1String("compact"))
        return compact(rest);
    if (command == QLatin1String("info"))
        return info(rest);
    if (command == QLatin1String("dump"))
        return dump(rest);
    if (command == QLatin1String("render"))
        return render(rest);
    if (command == QLatin1String("convert"))
        return convert(rest);
    if (command == QLatin1String("capture"))
        return capture(rest);
    if (command == QLatin1String("render-map"))
        return renderMap(rest);
    if (command == QLatin1String("thumbnail"))
        return thumbnail(rest);
    if (command == QLatin1String("replace"))
        return replace(rest);
    if (command == QLatin1String("--version")) {
        m_out << "mltool " << QCoreApplication::applicationVersion() << "\n";
        return Done;
    }
    if (command == QLatin1String("help") || command == QLatin1String("--help")
        || command == QLatin1String("-h")) {
        m_out << usage();
        return Done;
    }
    return badArguments(command.isEmpty() ? QStringLiteral("no command given")
                                          : QStringLiteral("unknown command \"%1\"").arg(command));
}

bool MlTool::takeRecordSize(QStringList &args)
{
    for (int i = 0; i < args.size(); ++i) {
        QString value;
        int taken = 0;
        if (args[i] == RecordSizeOption) {
            value = args.value(i + 1);
            taken = 2;
        } else if (args[i].startsWith(RecordSizeOption + QLatin1Char('='))) {
            value = args[i].mid(RecordSizeOption.size() + 1);
            taken = 1;
        } else {
            continue;
        }
        bool ok = false;
        const int bytes = value.toInt(&ok, 10);
        if (!ok || !MultiRecordSize::isValid(bytes))
            return false;
        m_recordSize = bytes;
        args.erase(args.begin() + i, args.begin() + i + taken);
        --i;
    }
    return true;
}

int MlTool::failed(const QString &message)
{
    m_err << "mltool: " << message << "\n";
    m_err.flush();
    return FileFailed;
}

int MlTool::badArguments(const QString &message)
{
    m_err << "mltool: " << message << "\n" << usage();
    m_err.flush();
    return BadArguments;
}

bool MlTool::parseEntry(const QString &text, int &entry)
{
    bool ok = false;
    entry = text.toInt(&ok, 10);
    return ok && entry >= 0;
}

std::optional<int> MlTool::prepare(MultiFile &file)
{
    if (m_recordSize) {
        file.setRecordSize(*m_recordSize);
        return m_recordSize;
    }
    // The tile data beside the pair, when there is one, says what it suggests.
    const QString tileData = DataLocations::fileIn(QFileInfo(file.idxPath()).absolutePath(),
                                                   QStringLiteral("tiledata.mul"));
    if (QFileInfo(tileData).isFile())
        file.setTileDataHint(TileData(tileData).staticCount());
    return std::nullopt;
}

int MlTool::list(const QStringList &args)
{
    if (args.size() == 1 && isTemplateList(args[0]))
        return listTemplates(args[0]);
    if (args.size() == 1 && isContainer(args[0]))
        return listContainer(args[0]);
    if (args.size() == 1 && isScript(args[0]))
        return listScript(args[0]);
    if (args.size() != 1 && args.size() != 2)
        return badArguments(QStringLiteral("list takes IDX and optionally MUL"));
    const QString mul = args.size() == 2
                            ? args[1]
                            : DataLocations::fileIn(QFileInfo(args[0]).absolutePath(), QStringLiteral("multi.mul"));
    MultiFile file(args[0], mul);
    prepare(file);
    if (!file.open())
        return failed(file.errorString());
    const MultiRecordSize decision = file.recordSizeDecision();
    if (!decision.bytes()) {
        m_err << "mltool: " << QFileInfo(mul).fileName() << ": the record size cannot be told ("
              << decision.reason() << "); give " << RecordSizeOption << " 12|16\n";
        m_err.flush();
        return BadArguments;
    }
    const int size = *decision.bytes();
    m_out << "entry offset length records name\n";
    const QVector<MultiCollection::Entry> entries = file.entries();
    const auto names = MultiNames::read(MultiNames::listFor({args[0]}, MultiNames::applicationList())).names;
    for (const MultiCollection::Entry &e : entries) {
        const MultiFile::IndexRecord &r = file.records().at(e.number);
        m_out << e.number << ' ' << r.offset << ' ' << r.length << ' ' << r.length / size << ' '
              << MultiNames::nameOf(names, e.number) << '\n';
    }
    m_out << entries.size() << " entries in " << file.entryCount() << " index records, " << size
          << "-byte records (" << decision.reason() << ")\n";
    m_out.flush();
    return Done;
}

int MlTool::importEntry(const QStringList &args)
{
    int entry = 0;
    if (!args.isEmpty() && isTemplateList(args[0]))
        return importTemplate(args);
    if (args.size() == 3 && isContainer(args[0]))
        return importFromContainer(args);
    if (args.size() != 4)
        return badArguments(QStringLiteral("import takes four arguments: IDX MUL ENTRY OUT.mlt"));
    if (!parseEntry(args[2], entry))
        return badArguments(QStringLiteral("ENTRY must be a number from 0 up, not \"%1\"").arg(args[2]));
    MultiFile file(args[0], args[1]);
    prepare(file);
    if (!file.open())
        return failed(file.errorString());
    if (!file.recordSizeDecision().bytes())
        return badArguments(QStringLiteral("%1; give %2 12|16").arg(file.recordSizeDecision().reason(), RecordSizeOption));
    TileMap tiles;
    if (!file.readEntry(entry, m_data, tiles))
        return failed(file.errorString());
    Facet model(m_data);
    model.setAllowDuplicates(true);
    model.load(tiles);
    QString reason;
    if (!MltFile::write(args[3], model, &reason))
        return failed(QStringLiteral("%1: cannot be written (%2)").arg(args[3], reason));
    return Done;
}

int MlTool::exportEntry(const QStringList &args)
{
    int entry = 0;
    if (args.size() == 3 && isTemplateList(args[1]))
        return exportTemplate(args);
    if (args.size() == 3 && isContainer(args[1]))
        return exportToContainer(args);
    if (args.size() != 4)
        return badArguments(QStringLiteral("export takes four arguments: FILE.mlt IDX MUL ENTRY"));
    if (!parseEntry(args[3], entry))
        return badArguments(QStringLiteral("ENTRY must be a number from 0 up, not \"%1\"").arg(args[3]));
    MltReadResult mlt = MltFile::read(args[0], m_data);
    // A damaged or unreadable file is never stored: the entry would lose what it held.
    if (const QString problem = MltFile::problem(args[0], mlt); !problem.isEmpty())
        return failed(problem + QStringLiteral("; nothing was written"));
    Facet model(m_data);
    model.setAllowDuplicates(true);
    model.load(mlt.tiles);
    mlt.tiles = TileMap(); // one copy in memory, not two
    MultiFile file(args[1], args[2]);
    prepare(file);
    if (!file.open())
        return failed(file.errorString());
    if (!file.recordSizeDecision().bytes())
        return badArguments(QStringLiteral("%1; give %2 12|16").arg(file.recordSizeDecision().reason(), RecordSizeOption));
    if (!file.exportEntry(entry, tilesInDrawOrder(model)))
        return failed(file.errorString());
    return Done;
}

int MlTool::compact(const QStringList &args)
{
    if (args.size() != 2)
        return badArguments(QStringLiteral("compact takes two arguments: IDX MUL"));
    MultiFile file(args[0], args[1]);
    if (!file.compact())
        return failed(file.errorString());
    return Done;
}


int MlTool::dump(const QStringList &args)
{
    if (args.size() != 1)
        return badArguments(QStringLiteral("dump takes one argument: FILE.mlt"));
    const MltReadResult mlt = MltFile::read(args[0], m_data);
    if (mlt.status != MltReadResult::Ok)
        return failed(MltFile::problem(args[0], mlt));
    QList<quint32> keys = mlt.tiles.keys();
    std::sort(keys.begin(), keys.end());
    for (const quint32 key : keys) {
        for (const TileRecord &t : mlt.tiles.value(key))
            m_out << t.id << ' ' << t.x << ' ' << t.y << ' ' << t.z << ' ' << t.visible << ' ' << t.hue << '\n';
    }
    m_out.flush();
    // What could be read is shown; the damage is still an error.
    return mlt.damaged ? failed(MltFile::problem(args[0], mlt)) : Done;
}

int MlTool::listContainer(const QString &path)
{
    UopMultiStore store(path);
    if (!store.open())
        return failed(store.errorString());
    const QVector<MultiCollection::Entry> entries = store.entries();
    m_out << "entry records name\n";
    const auto names = MultiNames::read(MultiNames::listFor({path}, MultiNames::applicationList())).names;
    for (const MultiCollection::Entry &e : entries)
        m_out << e.number << ' ' << e.tileCount << ' ' << MultiNames::nameOf(names, e.number) << '\n';
    m_out << entries.size() << " multis in " << store.container().entries().size()
          << " container entries\n";
    m_out.flush();
    return Done;
}

int MlTool::importFromContainer(const QStringList &args)
{
    int entry = 0;
    if (!parseEntry(args[1], entry))
        return badArguments(QStringLiteral("ENTRY must be a number from 0 up, not \"%1\"").arg(args[1]));
    UopMultiStore store(args[0]);
    TileMap tiles;
    if (!store.readEntry(entry, m_data, tiles))
        return failed(store.errorString());
    Facet model(m_data);
    model.setAllowDuplicates(true);
    model.load(tiles);
    if (!MltFile::write(args[2], model))
        return failed(QStringLiteral("%1: cannot be written").arg(args[2]));
    return Done;
}

int MlTool::exportToContainer(const QStringList &args)
{
    int entry = 0;
    if (!parseEntry(args[2], entry))
        return badArguments(QStringLiteral("ENTRY must be a number from 0 up, not \"%1\"").arg(args[2]));
    MltReadResult mlt = MltFile::read(args[0], m_data);
    if (const QString problem = MltFile::problem(args[0], mlt); !problem.isEmpty())
        return failed(problem + QStringLiteral("; nothing was written"));
    Facet model(m_data);
    model.setAllowDuplicates(true);
    model.load(mlt.tiles);
    mlt.tiles = TileMap(); // one copy in memory, not two
    UopMultiStore store(args[1]);
    if (!store.exportEntry(entry, tilesInDrawOrder(model)))
        return failed(store.errorString());
    return Done;
}

void MlTool::reportContainer(const QString &path)
{
    UopFile uop;
    const QString name = QFileInfo(path).fileName();
    if (!uop.open(path)) {
        m_out << name << ": damaged packed container: " << uop.errorString() << '\n';
        return;
    }
    m_out << name << ": packed container version " << uop.header().version << ", "
          << uop.entries().size() << " entries in " << uop.blockCount() << " blocks";
    if (uop.damagedEntries() > 0)
        m_out << ", " << uop.damagedEntries() << " entries outside the file";
    if (name.compare(QLatin1String("MultiCollection.uop"), Qt::CaseInsensitive) == 0) {
        UopMultiStore store(path);
        if (store.open())
            m_out << ", " << store.entries().size() << " multis";
        if (uop.find(UopMultiStore::housingHash()))
            m_out << ", housing.bin";
    }
    m_out << '\n';
}

int MlTool::info(const QStringList &args)
{
    if (args.size() != 1)
        return badArguments(QStringLiteral("info takes one argument: DIR or FILE.uop"));
    const QFileInfo target(args[0]);
    if (target.isFile() && isContainer(args[0])) {
        reportContainer(args[0]);
        m_out.flush();
        return Done;
    }
    if (!target.isDir())
        return failed(QStringLiteral("%1: is not a folder").arg(args[0]));
    for (const DataFileStatus &s : DataFiles::inFolder(args[0], m_recordSize))
        m_out << s.describe() << '\n';
    const QDir dir(args[0]);
    for (const QFileInfo &f : dir.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        if (isContainer(f.fileName()))
            reportContainer(f.filePath());
    }
    m_out.flush();
    return Done;
}
