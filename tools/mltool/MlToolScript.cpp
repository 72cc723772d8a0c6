// mltool's server scripts: the addon classes of a .cs file, and conversions
// between .cs, .mlt, .csv and a component list.
#include "MlTool.h"

#include "data/AddonScript.h"
#include "data/ComponentList.h"
#include "data/SingleMultiFile.h"
#include "model/Facet.h"

#include <QFileInfo>

namespace {
enum Status { Done = 0, FileFailed = 1, BadArguments = 2 };
const QString ClassOption = QStringLiteral("--class");
const QString DeedOption = QStringLiteral("--deed-name");
} // namespace

bool MlTool::isScript(const QString &path)
{
    return SingleMultiFile::formatOf(path) == SingleMultiFile::Format::AddonScript;
}

QString MlTool::takeScriptOptions(QStringList &args)
{
    for (int i = 0; i < args.size(); ++i) {
        QString *target = args[i] == ClassOption ? &m_className : args[i] == DeedOption ? &m_deedName : nullptr;
        if (!target)
            continue;
        if (i + 1 >= args.size())
            return QStringLiteral("%1 takes a value").arg(args[i]);
        *target = args[i + 1];
        args.erase(args.begin() + i, args.begin() + i + 2);
        --i;
    }
    return QString();
}

void MlTool::warn(const QStringList &warnings)
{
    for (const QString &w : warnings)
        m_err << "mltool: " << w << '\n';
    m_err.flush();
}

int MlTool::listScript(const QString &path)
{
    const AddonScript::Parsed parsed = AddonScript::readFile(path);
    if (!parsed.ok)
        return failed(parsed.error);
    m_out << "class components left-out unevaluated-lines\n";
    for (const AddonScript::AddonClass &c : parsed.classes) {
        QStringList lines;
        for (const int l : c.unevaluated)
            lines << QString::number(l);
        m_out << c.name << ' ' << c.components.size() << ' ' << c.leftOut << ' '
              << (lines.isEmpty() ? QStringLiteral("-") : lines.join(QLatin1Char(','))) << '\n';
    }
    m_out << parsed.classes.size() << " addon classes\n";
    m_out.flush();
    return Done;
}

int MlTool::convertScript(const QStringList &args)
{
    if (!m_className.isEmpty() && !isScript(args[0]))
        return badArguments(QStringLiteral("%1 needs a .cs file to read").arg(ClassOption));
    if (!m_deedName.isEmpty() && !isScript(args[1]))
        return badArguments(QStringLiteral("%1 needs a .cs file to write").arg(DeedOption));
    TileMap tiles;
    if (isScript(args[0])) {
        const AddonScript::Loaded in = AddonScript::read(args[0], m_data, m_className);
        if (!in.ok)
            return failed(in.error);
        tiles = in.tiles;
        warn(in.warnings);
    } else if (isTemplateList(args[0])) {
        // A component list holds many templates: the first one is read.
        ComponentList list(args[0]);
        if (!list.open())
            return failed(list.errorString());
        if (list.entries().isEmpty())
            return failed(QStringLiteral("%1: holds no template").arg(args[0]));
        if (!list.readEntry(list.entries().first().number, m_data, tiles))
            return failed(list.errorString());
    } else {
        const SingleMultiFile::Loaded in = SingleMultiFile::read(args[0], m_data);
        if (!in.ok)
            return failed(in.error);
        tiles = in.tiles;
    }
    Facet model(m_data);
    model.setAllowDuplicates(true);
    model.load(tiles);
    QString error;
    QStringList notes;
    bool written = false;
    if (isScript(args[1])) {
        AddonScript::WriteOptions options = AddonScript::optionsFor(args[1]);
        if (!m_deedName.isEmpty())
            options.deedName = m_deedName;
        options.source = QFileInfo(args[0]).fileName();
        written = AddonScript::write(args[1], SingleMultiFile::tilesOf(model), options, &error, &notes);
    } else if (isTemplateList(args[1])) {
        // Never replaces a list's templates: the tiles go to its first free number.
        ComponentList list(args[1]);
        const bool exists = QFileInfo::exists(args[1]);
        if (exists && !list.open())
            return failed(list.errorString());
        const int number = exists ? list.firstFreeEntry() : 0;
        const QList<TileRecord> tiles = SingleMultiFile::tilesOf(model);
        written = list.exportEntry(number, tiles);
        error = list.errorString();
        if (written) {
            m_out << "stored as template " << number << '\n';
            warnHuesLost(args[1], tiles);
        }
    } else {
        written = SingleMultiFile::write(args[1], model, &error, &notes);
    }
    if (!written)
        return failed(error);
    warn(notes);
    m_out.flush();
    return Done;
}
