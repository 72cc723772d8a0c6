// mltool's commands for the text formats: the component list and CSV.
#include "MlTool.h"

#include "data/ComponentList.h"
#include "data/MultiNames.h"
#include "data/SingleMultiFile.h"
#include "model/Facet.h"

namespace {
enum Status { Done = 0, FileFailed = 1, BadArguments = 2 };
}

bool MlTool::isTemplateList(const QString &path)
{
    return SingleMultiFile::formatOf(path) == SingleMultiFile::Format::ComponentList;
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
    Facet model(m_data);
    model.setAllowDuplicates(true);
    model.load(tiles);
    QString error;
    QStringList notes;
    if (!SingleMultiFile::write(args[2], model, &error, &notes))
        return failed(error);
    warn(notes);
    return Done;
}

int MlTool::exportTemplate(const QStringList &args)
{
    bool ok = false;
    const int number = args[2].toInt(&ok, 10);
    if (!ok)
        return badArguments(QStringLiteral("N must be a template number, not \"%1\"").arg(args[2]));
    Facet model(m_data);
    int status = Done;
    if (!readModel(args[0], model, status))
        return status;
    const QList<TileRecord> tiles = SingleMultiFile::tilesOf(model);
    ComponentList list(args[1]);
    if (!list.exportEntry(number, tiles))
        return failed(list.errorString());
    warnHuesLost(args[1], tiles);
    return Done;
}

bool MlTool::readModel(const QString &path, Facet &model, int &status)
{
    SingleMultiFile::Loaded in = SingleMultiFile::read(path, m_data);
    if (!in.ok) {
        status = failed(in.error);
        return false;
    }
    warn(in.warnings);
    model.setAllowDuplicates(true);
    model.load(in.tiles);
    return true;
}

int MlTool::convert(const QStringList &args)
{
    if (args.size() != 2)
        return badArguments(QStringLiteral("convert takes two arguments: IN OUT"));
    if (isScript(args[0]) || isScript(args[1]) || isTemplateList(args[0]) || isTemplateList(args[1])
        || !m_className.isEmpty() || !m_deedName.isEmpty())
        return convertScript(args);
    SingleMultiFile::Loaded in = SingleMultiFile::read(args[0], m_data);
    if (!in.ok)
        return failed(in.error);
    // Straight from the tiles read: a model of the largest file would take gigabytes.
    QString error;
    const QList<TileRecord> tiles = SingleMultiFile::takeInDrawOrder(in.tiles);
    if (!SingleMultiFile::write(args[1], tiles, &error))
        return failed(error);
    warnHuesLost(args[1], tiles);
    return Done;
}

void MlTool::warnHuesLost(const QString &out, const QList<TileRecord> &tiles)
{
    if (const int hued = SingleMultiFile::huesLost(out, tiles)) {
        m_err << "mltool: " << SingleMultiFile::hueLossText(hued) << " Written without the hues.\n";
        m_err.flush();
    }
}
