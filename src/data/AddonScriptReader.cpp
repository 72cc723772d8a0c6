#include "data/AddonScriptReader.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <limits>

namespace {
QString tr(const char *text) { return QCoreApplication::translate("AddonScript", text); }

// Real scripts nest a handful of blocks; hostile ones would exhaust the stack.
constexpr int MaxDepth = 200;

// What each of a component's values may be: id, x, y, z, hue.
struct Range {
    qint64 low;
    qint64 high;
    const char *what;
};
const Range Ranges[] = {
    {0, AddonScript::MaxId, QT_TRANSLATE_NOOP("AddonScript", "item id %1 is out of range (0 to 65535)")},
    {AddonScript::MinOffset, AddonScript::MaxOffset,
     QT_TRANSLATE_NOOP("AddonScript", "x offset %1 is outside the editing area (-200 to 199)")},
    {AddonScript::MinOffset, AddonScript::MaxOffset,
     QT_TRANSLATE_NOOP("AddonScript", "y offset %1 is outside the editing area (-200 to 199)")},
    {AddonScript::MinZ, AddonScript::MaxZ, QT_TRANSLATE_NOOP("AddonScript", "z offset %1 is outside the altitudes -128 to 127")},
    {0, AddonScript::MaxHue, QT_TRANSLATE_NOOP("AddonScript", "hue %1 is out of range (0 to 32767)")},
};

qint64 bounded(__int128 v)
{
    return qint64(std::clamp<__int128>(v, -CSharpTokens::Huge, CSharpTokens::Huge));
}

} // namespace

AddonScriptReader::AddonScriptReader(const QByteArray &bytes)
    : CSharpTokens(bytes)
{
}

AddonScript::Parsed AddonScriptReader::parse(const QByteArray &bytes)
{
    AddonScript::Parsed out;
    AddonScriptReader r(bytes);
    if (!r.tokenize()) {
        out.error = r.m_error;
        return out;
    }
    const int n = int(r.m_tokens.size());
    for (int t = 0; t + 1 < n; ++t) {
        if (!r.isWord(t, "class") || !r.isIdentifier(t + 1))
            continue;
        bool addon = false;
        int b = t + 2;
        for (; b < n && !r.is(b, '{') && !r.is(b, ';'); ++b)
            addon = addon || r.isWord(b, "BaseAddon");
        if (b >= n || !r.is(b, '{') || !addon)
            continue;
        r.scanClass(t + 1, b);
        if (r.m_failed) {
            out.error = r.m_error;
            out.classes.clear();
            return out;
        }
        out.classes.append(r.m_class);
    }
    if (out.classes.isEmpty()) {
        out.error = tr("no addon class (a class deriving from BaseAddon) in the script");
        return out;
    }
    out.ok = true;
    return out;
}

void AddonScriptReader::scanClass(int nameToken, int open)
{
    m_class = AddonScript::AddonClass();
    m_class.name = QString::fromUtf8(text(nameToken));
    m_class.line = lineAt(m_tokens[nameToken].begin);
    m_variables.clear();
    m_tables.clear();
    m_uses.clear();
    m_components.clear();
    if (!scanBlock(open + 1, closeOf(open), false, 0))
        return;
    resolveTables();
    m_class.components = QVector<AddonScript::Component>(m_components.cbegin(), m_components.cend());
    std::sort(m_class.unevaluated.begin(), m_class.unevaluated.end());
    m_class.unevaluated.erase(std::unique(m_class.unevaluated.begin(), m_class.unevaluated.end()),
                              m_class.unevaluated.end());
}

// Statements end at ';' or at a block; a block under if, else, a loop or a
// switch makes everything in it conditional.
bool AddonScriptReader::scanBlock(int from, int to, bool conditional, int depth)
{
    if (depth > MaxDepth)
        return fail(m_tokens[from > 0 ? from - 1 : 0].begin, tr("blocks are nested too deeply"));
    int s = from;
    for (int t = from; t < to && !m_failed; ++t) {
        if (is(t, ';')) {
            statement(s, t, conditional);
            s = t + 1;
            continue;
        }
        if (!is(t, '{')) {
            if (closeOf(t) >= 0)
                t = closeOf(t);
            continue;
        }
        const int close = closeOf(t);
        // An initializer belongs to its statement.
        if (loneAssign(s, t) >= 0 || (t > s && is(t - 1, ']'))) {
            t = close;
            continue;
        }
        // Nested types are read on their own; the helper that adds hued
        // components works on its parameters, which are not components.
        bool skip = false;
        for (int h = s; h < t && !skip; ++h) {
            skip = isWord(h, "class") || isWord(h, "struct") || isWord(h, "interface") || isWord(h, "enum")
                   || isWord(h, "AddComplexComponent") || isWord(h, "AddComponent");
        }
        if (!skip && !scanBlock(t + 1, close, conditional || startsControl(s, t), depth + 1))
            return false;
        t = close;
        s = close + 1;
    }
    return !m_failed;
}

void AddonScriptReader::statement(int from, int to, bool conditional)
{
    if (from >= to)
        return;
    // Tables first: their many tokens add no component themselves.
    if (tableDeclaration(from, to))
        return;
    conditional = conditional || startsControl(from, to);
    for (int t = from; t < to; ++t) {
        if (isWord(t, "AddComponent") || isWord(t, "AddComplexComponent")) {
            if (!componentCall(t, from, to, conditional))
                unevaluated(lineAt(m_tokens[t].begin));
            return;
        }
    }
    variableStatement(from, to, conditional);
}

// int[,] NAME = new int[,] { {id, x, y, z}, ... }: remembered until a loop adds its rows.
bool AddonScriptReader::tableDeclaration(int from, int to)
{
    const int a = loneAssign(from, to);
    if (a < from + 1 || !isIdentifier(a - 1))
        return false;
    bool typed = false;
    for (int t = from; t + 3 < a && !typed; ++t)
        typed = isWord(t, "int") && is(t + 1, '[') && is(t + 2, ',') && is(t + 3, ']');
    // The initializer: braces, or a table of plain literals, which is one token.
    int open = -1;
    for (int t = a + 1; typed && open < 0 && t < to; ++t) {
        if (is(t, '{') || plainRows(t).begin)
            open = t;
        else if (closeOf(t) >= 0)
            t = closeOf(t);
    }
    if (open < 0)
        return false;
    m_tables.insert(text(a - 1), open);
    return true;
}

// ac = new AddonComponent(id); ac.Hue = h; ... and every other mention of ac.
bool AddonScriptReader::variableStatement(int from, int to, bool conditional)
{
    const int a = loneAssign(from, to);
    if (a > from && !startsControl(from, to)) {
        if (a - from == 3 && is(from + 1, '.') && isIdentifier(from + 2)) {
            const auto it = m_variables.find(text(from));
            if (it != m_variables.end()) {
                if (it->added)
                    unevaluated(lineAt(m_tokens[from].begin));
                Candidate &c = it->values;
                it->conditional = it->conditional || conditional;
                if (isWord(from + 2, "Hue"))
                    c.hue = value(a + 1, to);
                else if (isWord(from + 2, "Light"))
                    c.leftOut = true;
                else if (isWord(from + 2, "Name"))
                    c.leftOut = c.leftOut || !noName(a + 1, to);
                else if (isWord(from + 2, "Amount"))
                    c.leftOut = c.leftOut || !atMostOne(a + 1, to);
                else
                    it->known = false;
                return true;
            }
        }
        const bool declared = a - 1 == from
                              || (a - 2 == from && (isWord(from, "AddonComponent") || isWord(from, "var")));
        if (declared && isIdentifier(a - 1)) {
            Variable v;
            const int n = a + 1;
            if (to - n >= 4 && isWord(n, "new") && isWord(n + 1, "AddonComponent") && is(n + 2, '(')
                && closeOf(n + 2) == to - 1) {
                v.known = true;
                v.conditional = conditional;
                v.values.id = value(n + 3, to - 1);
                v.values.hue.kind = Value::Literal;
            }
            if (v.known || m_variables.contains(text(a - 1))) {
                m_variables.insert(text(a - 1), v);
                return true;
            }
        }
    }
    for (int t = from; t < to && !m_variables.isEmpty(); ++t) {
        if (!isIdentifier(t))
            continue;
        const auto it = m_variables.find(text(t));
        if (it != m_variables.end())
            it->known = false;
    }
    return false;
}

// [for (...)] [this.]AddComponent( new AddonComponent( id ), x, y, z ),
// AddComponent( ac, x, y, z ) or AddComplexComponent( addon, id, x, y, z, hue, light[, name, amount] ).
bool AddonScriptReader::componentCall(int call, int from, int to, bool conditional)
{
    int t = from;
    while (t < call && startsControl(t, call)) {
        ++t;
        if (t < call && is(t, '('))
            t = closeOf(t) + 1;
    }
    while (t + 1 < call && isIdentifier(t) && is(t + 1, '.'))
        t += 2;
    if (t != call || call + 1 >= to || !is(call + 1, '(') || closeOf(call + 1) + 1 != to)
        return false;
    std::array<std::pair<int, int>, MaxArguments> args;
    const int argCount = arguments(call + 1, args);
    auto arg = [&](int i) { return value(args[i].first, args[i].second); };
    Candidate c;
    if (isWord(call, "AddComplexComponent")) {
        if (argCount < 7 || argCount > 9)
            return false;
        c.id = arg(1);
        c.hue = arg(5);
        const Value light = arg(6);
        c.leftOut = light.kind != Value::Literal || light.number != -1
                    || (argCount > 7 && !noName(args[7].first, args[7].second))
                    || (argCount > 8 && !atMostOne(args[8].first, args[8].second));
    } else {
        if (argCount != 4)
            return false;
        const auto [a, b] = args[0];
        if (b - a >= 4 && isWord(a, "new") && isWord(a + 1, "AddonComponent") && is(a + 2, '(')
            && closeOf(a + 2) == b - 1) {
            c.id = value(a + 3, b - 1);
            c.hue.kind = Value::Literal;
        } else if (b - a == 1 && isIdentifier(a)) {
            const auto it = m_variables.find(text(a));
            if (it == m_variables.end() || !it->known)
                return false;
            it->added = true;
            c = it->values;
            conditional = conditional || it->conditional;
        } else {
            return false;
        }
    }
    const int first = isWord(call, "AddComplexComponent") ? 2 : 1;
    c.x = arg(first);
    c.y = arg(first + 1);
    c.z = arg(first + 2);
    addCandidate(c, call, conditional);
    return true;
}

// Lines are counted only for what is not taken at once: most components are.
void AddonScriptReader::addCandidate(const Candidate &c, int call, bool conditional)
{
    const Value *all[] = {&c.id, &c.x, &c.y, &c.z, &c.hue};
    const bool literal = std::all_of(std::begin(all), std::end(all), [](const Value *v) { return v->kind == Value::Literal; });
    if (literal && !conditional) {
        addComponent(c, 0);
        return;
    }
    // Every cell from one table, the rest literal: a loop over the table's rows.
    const Value *cell = nullptr;
    bool table = !literal;
    for (const Value *v : all) {
        if (v->kind == Value::Unknown)
            table = false;
        if (v->kind == Value::Cell) {
            if (cell && text(cell->table) != text(v->table))
                table = false;
            cell = v;
        }
    }
    if (table)
        m_uses.append({c, call});
    else
        unevaluated(lineAt(m_tokens[call].begin));
}

void AddonScriptReader::resolveTables()
{
    for (const TableUse &use : std::as_const(m_uses)) {
        const Value *fields[] = {&use.values.id, &use.values.x, &use.values.y, &use.values.z, &use.values.hue};
        const Value *cell = *std::find_if(std::begin(fields), std::end(fields),
                                          [](const Value *v) { return v->kind == Value::Cell; });
        const auto found = m_tables.constFind(text(cell->table));
        if (found == m_tables.cend()) {
            unevaluated(lineAt(m_tokens[use.call].begin));
            continue;
        }
        const int open = *found;
        if (const PlainRows rows = plainRows(open); rows.begin) {
            plainRowComponents(use.values, rows);
            continue;
        }
        const int close = closeOf(open);
        for (int r = open + 1; r < close && !m_failed; ++r) {
            if (isRow(r)) {
                std::array<qint64, MaxCells> values;
                int count = 0;
                literalRowComponent(use.values, m_tokens[r].begin, values, rowValues(r, values, count) ? count : -1);
                continue;
            }
            if (!is(r, '{')) {
                if (!is(r, ','))
                    unevaluated(lineAt(m_tokens[r].begin));
                if (closeOf(r) >= 0)
                    r = closeOf(r);
                continue;
            }
            std::array<std::pair<int, int>, MaxCells> cells;
            int count = 0;
            for (int t = r + 1, s = r + 1; t <= closeOf(r); ++t) {
                if (t == closeOf(r) || is(t, ',')) {
                    if (count < MaxCells)
                        cells[count++] = {s, t};
                    s = t + 1;
                } else if (closeOf(t) >= 0) {
                    t = closeOf(t);
                }
            }
            Candidate row = use.values;
            bool ok = true;
            for (Value *v : {&row.id, &row.x, &row.y, &row.z, &row.hue}) {
                if (v->kind != Value::Cell)
                    continue;
                *v = v->column < count ? value(cells[v->column].first, cells[v->column].second) : Value();
                ok = ok && v->kind == Value::Literal;
            }
            if (ok)
                addComponent(row, m_tokens[r].begin);
            else
                unevaluated(lineAt(m_tokens[r].begin));
            r = closeOf(r);
        }
    }
}

void AddonScriptReader::literalRowComponent(Candidate row, qsizetype pos, const std::array<qint64, MaxCells> &values,
                                            int count)
{
    bool ok = count >= 0;
    for (Value *v : {&row.id, &row.x, &row.y, &row.z, &row.hue}) {
        if (v->kind != Value::Cell)
            continue;
        ok = ok && v->column < count;
        v->kind = Value::Literal;
        v->number = ok ? values[size_t(v->column)] : 0;
        v->token = -1;
    }
    if (ok)
        addComponent(row, pos);
    else
        unevaluated(lineAt(pos));
}

// The rows of a table the tokenizer read whole, checked in place: a generated
// table is most of a script. A row that fails is reported the long way.
void AddonScriptReader::plainRowComponents(const Candidate &use, PlainRows rows)
{
    const Value *fields[] = {&use.id, &use.x, &use.y, &use.z, &use.hue};
    // Four values and the row's position and count: most rows.
    m_components.reserve(m_components.size() + size_t(rows.end - rows.begin) / 6 + 1);
    for (const qint32 *r = rows.begin; r < rows.end && !m_failed; r += 2 + r[1]) {
        const qint32 count = r[1];
        std::array<qint64, 5> v;
        bool ok = true;
        for (size_t f = 0; f < v.size() && ok; ++f) {
            const Value &field = *fields[f];
            ok = field.kind != Value::Cell || field.column < count;
            v[f] = field.kind != Value::Cell ? field.number : ok ? r[2 + field.column] : 0;
            ok = ok && v[f] >= Ranges[f].low && v[f] <= Ranges[f].high;
        }
        if (ok) {
            m_components.push_back({quint16(v[0]), qint16(v[1]), qint16(v[2]), qint16(v[3]), qint16(v[4])});
            m_class.leftOut += use.leftOut ? 1 : 0;
            continue;
        }
        std::array<qint64, MaxCells> values;
        std::copy(r + 2, r + 2 + count, values.begin());
        literalRowComponent(use, r[0], values, count);
    }
}

void AddonScriptReader::addComponent(const Candidate &c, qsizetype row)
{
    const Value *fields[] = {&c.id, &c.x, &c.y, &c.z, &c.hue};
    for (size_t f = 0; f < std::size(fields); ++f) {
        const Value &v = *fields[f];
        if (v.number >= Ranges[f].low && v.number <= Ranges[f].high)
            continue;
        const QString number = v.number >= Huge || v.number <= -Huge ? tr("(too large)") : QString::number(v.number);
        fail(v.token >= 0 ? m_tokens[v.token].begin : row, tr(Ranges[f].what).arg(number));
        return;
    }
    m_components.push_back({quint16(c.id.number), qint16(c.x.number), qint16(c.y.number), qint16(c.z.number),
                            qint16(c.hue.number)});
    if (c.leftOut)
        ++m_class.leftOut;
}

AddonScriptReader::Value AddonScriptReader::value(int from, int to) const
{
    Value v;
    v.token = from;
    if (from >= to)
        return v;
    // TABLE[i, k]
    if (to - from == 6 && isIdentifier(from) && is(from + 1, '[') && isIdentifier(from + 2) && is(from + 3, ',')
        && isNumber(from + 4) && is(from + 5, ']')) {
        const std::optional<qint64> column = literal(text(from + 4));
        if (column && *column >= 0 && *column < MaxCells) {
            v.kind = Value::Cell;
            v.table = from;
            v.column = int(*column);
        }
        return v;
    }
    // Most values are one number, or a negative one.
    const int sign = to - from == 2 && is(from, '-') ? 1 : 0;
    if (to - from == 1 + sign && isNumber(from + sign)) {
        const std::optional<qint64> n = literal(text(from + sign));
        if (n) {
            v.kind = Value::Literal;
            v.number = sign ? -*n : *n;
        }
        return v;
    }
    int t = from;
    const std::optional<qint64> n = evaluate(t, to, 0);
    if (n && t == to) {
        v.kind = Value::Literal;
        v.number = *n;
    }
    return v;
}

// Integer arithmetic on literals: + - * / % and parentheses. Names are never evaluated.
std::optional<qint64> AddonScriptReader::evaluate(int &t, int to, int depth) const
{
    std::optional<qint64> a = term(t, to, depth);
    while (a && t < to && (is(t, '+') || is(t, '-'))) {
        const bool minus = is(t, '-');
        ++t;
        const std::optional<qint64> b = term(t, to, depth);
        if (!b)
            return std::nullopt;
        a = bounded(minus ? __int128(*a) - *b : __int128(*a) + *b);
    }
    return a;
}

std::optional<qint64> AddonScriptReader::term(int &t, int to, int depth) const
{
    std::optional<qint64> a = unary(t, to, depth);
    while (a && t < to && (is(t, '*') || is(t, '/') || is(t, '%'))) {
        const char op = m_bytes.at(m_tokens[t].begin);
        ++t;
        const std::optional<qint64> b = unary(t, to, depth);
        if (!b || (op != '*' && *b == 0))
            return std::nullopt;
        a = op == '*' ? bounded(__int128(*a) * *b) : op == '/' ? *a / *b : *a % *b;
    }
    return a;
}

std::optional<qint64> AddonScriptReader::unary(int &t, int to, int depth) const
{
    if (t >= to || depth > MaxDepth)
        return std::nullopt;
    if (is(t, '-') || is(t, '+')) {
        const bool minus = is(t, '-');
        ++t;
        const std::optional<qint64> v = unary(t, to, depth + 1);
        return v && minus ? std::optional<qint64>(-*v) : v;
    }
    if (is(t, '(')) {
        const int close = closeOf(t);
        if (close >= to)
            return std::nullopt;
        int inner = t + 1;
        const std::optional<qint64> v = evaluate(inner, close, depth + 1);
        if (inner != close)
            return std::nullopt;
        t = close + 1;
        return v;
    }
    const std::optional<qint64> v = isNumber(t) ? literal(text(t)) : std::nullopt;
    if (v)
        ++t;
    return v;
}

bool AddonScriptReader::noName(int from, int to) const
{
    return to - from == 1 && (isWord(from, "\"\"") || isWord(from, "null"));
}

bool AddonScriptReader::atMostOne(int from, int to) const
{
    const Value v = value(from, to);
    return v.kind == Value::Literal && v.number <= 1;
}

void AddonScriptReader::unevaluated(int line)
{
    m_class.unevaluated.append(line);
}
