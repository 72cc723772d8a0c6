#include "panels/TileSearch.h"

#include "data/ArtReader.h"
#include "data/TileData.h"
#include "panels/TileFlagNames.h"

#include <QByteArrayMatcher>

#include <optional>

namespace {
constexpr int Hex = 16;
constexpr int Decimal = 10;

std::optional<int> numberIn(const QString &word)
{
    bool ok = false;
    const int n = word.startsWith(QLatin1String("0x")) ? word.mid(2).toInt(&ok, Hex)
                                                        : word.toInt(&ok, Decimal);
    return ok && n >= 0 ? std::optional<int>(n) : std::nullopt;
}
} // namespace

struct TileSearch::Word {
    QByteArrayMatcher text;
    std::optional<int> id;
    quint64 flag = 0;
};

void TileSearch::build(const TileData &data, ArtReader *art)
{
    m_ids.clear();
    m_flags.clear();
    m_names.clear();
    // An id without art is still offered when the tile data names or flags
    // it: the view draws it as a placeholder.
    const int count = art ? qMax(art->staticCount(), data.staticCount()) : data.staticCount();
    for (int id = 0; id < count; ++id) {
        const TileInfo info = data.staticInfo(id);
        const bool listed = (art && art->hasStatic(id)) || info.flags != 0 || !info.name.isEmpty();
        if (!listed)
            continue;
        m_ids.append(id);
        m_flags.append(info.flags);
        m_names.append(info.name.toLower().toLatin1());
    }
}

QVector<TileSearch::Word> TileSearch::parse(const QString &query)
{
    QVector<Word> words;
    for (const QString &w : query.toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        words.append({QByteArrayMatcher(w.toLatin1()), numberIn(w), TileFlagNames::bitFor(w).value_or(0)});
    return words;
}

QVector<int> TileSearch::filter(const QString &query) const
{
    const QVector<Word> words = parse(query);
    if (words.isEmpty())
        return m_ids;
    QVector<int> out;
    for (int i = 0; i < m_ids.size(); ++i) {
        bool all = true;
        for (const Word &w : words) {
            const bool hit = (w.flag & m_flags[i]) || (w.id && *w.id == m_ids[i])
                             || w.text.indexIn(m_names[i]) >= 0;
            if (!hit) {
                all = false;
                break;
            }
        }
        if (all)
            out.append(m_ids[i]);
    }
    return out;
}
