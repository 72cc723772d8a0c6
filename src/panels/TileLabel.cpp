#include "panels/TileLabel.h"

#include "model/TileInfo.h"
#include "panels/TileFlagNames.h"

#include <QCoreApplication>

namespace {
constexpr int HexDigits = 4;
constexpr int Hex = 16;
} // namespace

QString TileLabel::text(int id, const TileInfo &info)
{
    return info.name.isEmpty() ? QString::number(id) : info.name;
}

QString TileLabel::idText(int id)
{
    const QString hex = QString::number(id, Hex).toUpper().rightJustified(HexDigits, QLatin1Char('0'));
    return QStringLiteral("0x%1 (%2)").arg(hex).arg(id);
}

QString TileLabel::toolTip(int id, const TileInfo &info)
{
    const QStringList flags = TileFlagNames::names(info.flags);
    QStringList lines;
    if (!info.name.isEmpty())
        lines << info.name;
    lines << QCoreApplication::translate("TileLabel", "Id %1").arg(idText(id))
          << QCoreApplication::translate("TileLabel", "Height %1").arg(info.height)
          << QCoreApplication::translate("TileLabel", "Flags: %1")
                 .arg(flags.isEmpty() ? QCoreApplication::translate("TileLabel", "none")
                                      : flags.join(QStringLiteral(", ")));
    return lines.join(QLatin1Char('\n'));
}
