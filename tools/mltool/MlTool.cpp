#include "MlTool.h"

#include "data/MultiFile.h"
#include "data/UopMultiStore.h"
#include "model/Facet.h"
#include "model/MltFile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {
enum Status { Done = 0, FileFailed = 1, BadArguments = 2 };

bool isContainer(const QString &path)
{
    return path.endsWith(QLatin1String(".uop"), Qt::CaseInsensitive);
}

QList<TileRecord> tilesOf(const Facet &model)
{
    QList<TileRecord> tiles;
    for (const quint32 key : model.sortedKeys()) {
        for (const TileRecord &t : model.locations().value(key))
            tiles.append(t);
    }
    return tiles;
}
} // namespace

QString MlTool::usage()
{
    return QStringLiteral(
        "usage:\n"
        "  mltool list IDX                       entries of multi.idx with their record counts\n"
        "  mltool import IDX MUL ENTRY OUT.mlt   write entry ENTRY as a .mlt file\n"
        "  mltool export FILE.mlt IDX MUL ENTRY  store FILE.mlt as entry ENTRY (0 to the number of\n"
        "                                        index records; that number appends a record)\n"
        "  mltool dump FILE.mlt                  one line per tile: id x y z visible hue\n"
        "  mltool info DIR|FILE.uop              the data files of a folder, and its packed containers\n"
        "A packed container (MultiCollection.uop) stands in place of IDX MUL:\n"
        "  mltool list FILE.uop, mltool import FILE.uop ENTRY OUT.mlt, mltool export FILE.mlt FILE.uop ENTRY\n"
        "exit status: 0 done, 1 a file could not be read or written, 2 bad arguments\n");
}

int MlTool::run(const QStringList &args)
{
    const QString command = args.value(0);
    const QStringList rest = args.mid(1);
    if (command == QLatin1String("list"))
        return list(rest);
    if (command == QLatin1String("import"))
        return importEntry(rest);
    if (command == QLatin1String("export"))
        return exportEntry(rest);
    if (command == QLatin1String("dump"))
        return dump(rest);
    if (command == QLatin1String("info"))
        return info(rest);
    if (command == QLatin1String("help") || command == QLatin1String("--help")) {
        m_out << usage();
        return Done;
    }
    return badArguments(command.isEmpty() ? QStringLiteral("no command given")
                                          : QStringLiteral("unknown command \"%1\"").arg(command));
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

int MlTool::list(const QStringList &args)
{
    if (args.size() != 1)
        return badArguments(QStringLiteral("list takes one argument: IDX"));
    if (isContainer(args[0]))
        return listContainer(args[0]);
    MultiFile file(args[0], QString());
    if (!file.readIndex())
        return failed(file.errorString());
    const int size = file.recordSize();
    int present = 0;
    m_out << "entry offset length records\n";
    for (int n = 0; n < file.entryCount(); ++n) {
        const MultiFile::IndexRecord &r = file.records().at(n);
        if (!r.exists())
            continue;
        ++present;
        m_out << n << ' ' << r.offset << ' ' << r.length << ' ' << r.length / size << '\n';
    }
    m_out << present << " entries in " << file.entryCount() << " index records, " << size
          << "-byte records\n";
    m_out.flush();
    return Done;
}

int MlTool::importEntry(const QStringList &args)
{
    int entry = 0;
    if (args.size() == 3 && isContainer(args[0]))
        return importFromContainer(args);
    if (args.size() != 4)
        return badArguments(QStringLiteral("import takes four arguments: IDX MUL ENTRY OUT.mlt"));
    if (!parseEntry(args[2], entry))
        return badArguments(QStringLiteral("ENTRY must be a number from 0 up, not \"%1\"").arg(args[2]));
    MultiFile file(args[0], args[1]);
    TileMap tiles;
    if (!file.readEntry(entry, m_data, tiles))
        return failed(file.errorString());
    Facet model(m_data);
    model.load(tiles);
    if (!MltFile::write(args[3], model))
        return failed(QStringLiteral("%1: cannot be written").arg(args[3]));
    return Done;
}

int MlTool::exportEntry(const QStringList &args)
{
    int entry = 0;
    if (args.size() == 3 && isContainer(args[1]))
        return exportToContainer(args);
    if (args.size() != 4)
        return badArguments(QStringLiteral("export takes four arguments: FILE.mlt IDX MUL ENTRY"));
    if (!parseEntry(args[3], entry))
        return badArguments(QStringLiteral("ENTRY must be a number from 0 up, not \"%1\"").arg(args[3]));
    const MltReadResult mlt = MltFile::read(args[0], m_data);
    if (mlt.status != MltReadResult::Ok)
        return failed(QStringLiteral("%1: %2").arg(args[0], mlt.status == MltReadResult::CannotOpen
                                                                 ? QStringLiteral("cannot be opened")
                                                                 : QStringLiteral("is not a version 0 .mlt file")));
    Facet model(m_data);
    model.load(mlt.tiles);
    MultiFile file(args[1], args[2]);
    if (!file.exportEntry(entry, model))
        return failed(file.errorString());
    return Done;
}

int MlTool::dump(const QStringList &args)
{
    if (args.size() != 1)
        return badArguments(QStringLiteral("dump takes one argument: FILE.mlt"));
    const MltReadResult mlt = MltFile::read(args[0], m_data);
    if (mlt.status != MltReadResult::Ok)
        return failed(QStringLiteral("%1: cannot be read as a .mlt file").arg(args[0]));
    QList<quint32> keys = mlt.tiles.keys();
    std::sort(keys.begin(), keys.end());
    for (const quint32 key : keys) {
        for (const TileRecord &t : mlt.tiles.value(key))
            m_out << t.id << ' ' << t.x << ' ' << t.y << ' ' << t.z << ' ' << t.visible << ' ' << t.hue << '\n';
    }
    m_out.flush();
    return Done;
}

int MlTool::listContainer(const QString &path)
{
    UopMultiStore store(path);
    if (!store.open())
        return failed(store.errorString());
    const QVector<MultiCollection::Entry> entries = store.entries();
    m_out << "entry records\n";
    for (const MultiCollection::Entry &e : entries)
        m_out << e.number << ' ' << e.tileCount << '\n';
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
    const MltReadResult mlt = MltFile::read(args[0], m_data);
    if (mlt.status != MltReadResult::Ok)
        return failed(QStringLiteral("%1: cannot be read as a .mlt file").arg(args[0]));
    Facet model(m_data);
    model.setAllowDuplicates(true);
    model.load(mlt.tiles);
    UopMultiStore store(args[1]);
    if (!store.exportEntry(entry, tilesOf(model)))
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
        return failed(QStringLiteral("%1: no such folder").arg(args[0]));
    const QDir dir(args[0]);
    for (const QFileInfo &f : dir.entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase)) {
        if (isContainer(f.fileName()))
            reportContainer(f.filePath());
        else if (f.suffix().compare(QLatin1String("mul"), Qt::CaseInsensitive) == 0
                 || f.suffix().compare(QLatin1String("idx"), Qt::CaseInsensitive) == 0)
            m_out << f.fileName() << ": " << f.size() << " bytes\n";
    }
    m_out.flush();
    return Done;
}
