// mltool's server scripts: the addon classes of a .cs file and their options.
#include "MlTool.h"

#include "data/AddonScript.h"

namespace {
enum Status { Done = 0, FileFailed = 1, BadArguments = 2 };
const QString ClassOption = QStringLiteral("--class");
const QString DeedOption = QStringLiteral("--deed-name");
} // namespace

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
