#include "data/CSharpTokens.h"

#include <QCoreApplication>
#include <QtAlgorithms>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {
QString tr(const char *text) { return QCoreApplication::translate("AddonScript", text); }

bool digit(char c) { return c >= '0' && c <= '9'; }
bool blankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
// What a byte is to a name or a row of literals: its value as a hex digit
// (below 16), any other byte of a name, or its kind. One look-up instead of
// a chain of comparisons for every byte of a script.
enum ByteClass : quint8 { Letter = 16, Blank, Comma, Close, Minus, Plus, Other };
const std::array<quint8, 256> ByteClasses = [] {
    std::array<quint8, 256> t{};
    for (int c = 0; c < 256; ++c) {
        const char l = char(c | 0x20);
        t[size_t(c)] = digit(char(c))                           ? quint8(c - '0')
                       : l >= 'a' && l <= 'f'                   ? quint8(l - 'a' + 10)
                       : (l >= 'a' && l <= 'z') || c == '_' || c >= 0x80 ? Letter
                       : blankByte(char(c))                     ? Blank
                       : c == ','                               ? Comma
                       : c == '}'                               ? Close
                       : c == '-'                               ? Minus
                       : c == '+'                               ? Plus
                                                                : Other;
    }
    return t;
}();
bool identifierByte(char c) { return ByteClasses[uchar(c)] <= Letter; }
// The end of the name or number at `start` (a number may hold a '.').
qsizetype nameEnd(const char *p, qsizetype n, qsizetype start)
{
    qsizetype i = start + 1;
    while (i < n && (identifierByte(p[i]) || (p[i] == '.' && digit(p[start]) && i + 1 < n && digit(p[i + 1]))))
        ++i;
    return i;
}
bool opener(char c) { return c == '(' || c == '[' || c == '{'; }
char closerOf(char c) { return c == '(' ? ')' : c == '[' ? ']' : '}'; }

// The digits that start the 8 bytes at `p`, and their value when there are
// fewer than 8, without a branch for each: which of the values in a table
// has one digit, two or three is what a processor cannot guess.
int shortDecimal(const uchar *p, quint64 &value)
{
    const quint64 w = qFromLittleEndian<quint64>(p);
    constexpr quint64 Ones = 0x0101010101010101;
    // A byte is a digit when its high half is 3 and its low half at most 9;
    // +6 carries only out of a byte that is no digit, into later ones.
    const quint64 other = ((w & (0xF0 * Ones)) ^ (0x30 * Ones)) | (((w + 0x06 * Ones) & (0xF0 * Ones)) ^ (0x30 * Ones));
    const int digits = other ? qCountTrailingZeroBits(other) / 8 : 8;
    if (digits == 0 || digits == 8)
        return digits;
    // The digits moved to the top (the first one leading), then paired,
    // quadrupled and joined by multiplication.
    quint64 d = (w - 0x30 * Ones) << (8 * (8 - digits));
    d = (d * 2561) >> 8 & 0x00FF00FF00FF00FF;
    d = (d * 6553601) >> 16 & 0x0000FFFF0000FFFF;
    value = (d * 42949672960001) >> 32;
    return digits;
}
} // namespace

bool CSharpTokens::fail(qsizetype pos, const QString &what)
{
    if (!m_failed)
        m_error = tr("line %1: %2").arg(lineAt(pos)).arg(what);
    m_failed = true;
    return false;
}

// Lines are asked for mostly in ascending order: count on from the last answer.
int CSharpTokens::lineAt(qsizetype pos)
{
    if (pos < m_linePos) {
        m_linePos = 0;
        m_line = 1;
    }
    const char *p = m_bytes.constData();
    m_line += int(std::count(p + m_linePos, p + pos, '\n'));
    m_linePos = pos;
    return m_line;
}

bool CSharpTokens::tokenize()
{
    const char *p = m_bytes.constData();
    const qsizetype n = m_bytes.size();
    // No token is shorter than a byte and most are set apart by one: the
    // reservation is address space only, pages come as tokens fill them.
    m_tokens.reserve(size_t(n / 2 + 1));
    std::vector<int> open;
    bool lineStart = true;
    qsizetype i = 0;
    while (i < n) {
        const char c = p[i];
        const char next = i + 1 < n ? p[i + 1] : '\0';
        const qsizetype start = i;
        if (identifierByte(c)) {
            // Names and numbers are most tokens: asked about first.
            lineStart = false;
            i = nameEnd(p, n, start);
        } else if (c == '\n') {
            lineStart = true;
            ++i;
            continue;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            while (++i < n && (p[i] == ' ' || p[i] == '\t'))
                ;
            continue;
        } else if ((c == '#' && lineStart) || (c == '/' && next == '/')) {
            // Preprocessor lines (#region, #if) carry no components.
            const char *end = static_cast<const char *>(memchr(p + i, '\n', size_t(n - i)));
            i = end ? end - p : n;
            continue;
        } else if (c == '/' && next == '*') {
            lineStart = false;
            const qsizetype end = m_bytes.indexOf("*/", i + 2);
            if (end < 0)
                return fail(start, tr("a comment is never closed"));
            i = end + 2;
            continue;
        } else {
            lineStart = false;
            qsizetype quote = -1;
            bool verbatim = false;
            if (c == '"') {
                quote = i;
            } else if ((c == '@' || c == '$') && next == '"') {
                quote = i + 1;
                verbatim = c == '@';
            } else if ((c == '@' || c == '$') && (next == '@' || next == '$') && i + 2 < n && p[i + 2] == '"') {
                quote = i + 2;
                verbatim = true;
            }
            if (quote >= 0 || c == '\'') {
                const char delimiter = c == '\'' ? '\'' : '"';
                i = (quote >= 0 ? quote : i) + 1;
                for (;;) {
                    if (i >= n || (!verbatim && p[i] == '\n'))
                        return fail(start, c == '\'' ? tr("a character literal is never closed")
                                                     : tr("a string is never closed"));
                    if (!verbatim && p[i] == '\\') {
                        i += 2;
                        continue;
                    }
                    if (p[i] == delimiter) {
                        if (verbatim && i + 1 < n && p[i + 1] == '"') {
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    ++i;
                }
            } else if (const qsizetype table = c == '{' && initializerFollows() ? plainTable(i) : -1; table > i) {
                // A generated table is most of a script: one token, its values
                // read on the way, is far quicker than a token for every row.
                i = table;
            } else if (const qsizetype row = c == '{' ? literalRow(i) : -1; row > i) {
                // A row of plain numbers is one token of its own.
                i = row;
            } else if (c == '@' && identifierByte(next)) {
                i = nameEnd(p, n, start);
            } else {
                ++i;
            }
        }
        if (m_tokens.size() >= size_t(std::numeric_limits<qint32>::max() - 1))
            return fail(start, tr("too many tokens"));
        const int index = int(m_tokens.size());
        m_tokens.push_back({qint32(start), qint32(i)});
        if (i - start != 1)
            continue;
        if (opener(c)) {
            m_tokens.back().end = ~0;
            open.push_back(index);
        } else if (c == ')' || c == ']' || c == '}') {
            if (open.empty())
                return fail(start, tr("'%1' closes nothing").arg(QLatin1Char(c)));
            const int o = open.back();
            open.pop_back();
            const char expected = closerOf(p[m_tokens[o].begin]);
            if (expected != c)
                return fail(start, tr("'%1' where '%2' was expected (opened on line %3)")
                                       .arg(QLatin1Char(c))
                                       .arg(QLatin1Char(expected))
                                       .arg(lineAt(m_tokens[o].begin)));
            m_tokens[size_t(o)].end = ~index;
        }
    }
    if (!open.empty())
        return fail(m_tokens[size_t(open.back())].begin,
                    tr("'%1' is never closed").arg(QLatin1Char(p[m_tokens[size_t(open.back())].begin])));
    return true;
}

// The end of "{n, -n, ...}" at `pos`: a first value that is a number, then
// nothing but numbers, signs, commas and blanks; -1 otherwise. A name among
// them (hex digits look alike) leaves the row unevaluated, as a token would.
qsizetype CSharpTokens::literalRow(qsizetype pos) const
{
    static const std::array<bool, 256> rowByte = [] {
        std::array<bool, 256> t{};
        for (const char c : QByteArrayView("0123456789abcdefABCDEFxXuUlL_,+- \t\r\n"))
            t[uchar(c)] = true;
        return t;
    }();
    const char *p = m_bytes.constData();
    const qsizetype n = m_bytes.size();
    qsizetype i = pos + 1;
    while (i < n && (blankByte(p[i]) || p[i] == '-' || p[i] == '+'))
        ++i;
    if (i >= n || !digit(p[i]))
        return -1;
    while (i < n && rowByte[uchar(p[i])])
        ++i;
    return i < n && p[i] == '}' ? i + 1 : -1;
}

// After "= " or "new int[,] ": only there may braces be a table of values.
bool CSharpTokens::initializerFollows() const
{
    if (m_tokens.empty())
        return false;
    const Token &last = m_tokens.back();
    return last.end == last.begin + 1 && (m_bytes.at(last.begin) == '=' || m_bytes.at(last.begin) == ']');
}

// The end of "{ {row}, {row}, ... }" at `pos` when every row is plainRow's
// kind, the rows kept in m_cells; -1 for any other text (its rows are then
// tokens of their own, read the long way).
qsizetype CSharpTokens::plainTable(qsizetype pos)
{
    const char *p = m_bytes.constData();
    const qsizetype n = m_bytes.size();
    const size_t first = m_cells.size();
    // Most of a generated script is its table: about one value for every four bytes.
    if (first == 0)
        m_cells.reserve(size_t(n / 4));
    qsizetype i = pos + 1;
    auto blanks = [&]() {
        while (i < n && blankByte(p[i]))
            ++i;
    };
    blanks();
    while (i < n && p[i] == '{') {
        i = plainRow(i);
        if (i < 0)
            break;
        blanks();
        if (i < n && p[i] == ',') {
            ++i;
            blanks();
        } else if (i >= n || p[i] != '}') {
            break;
        }
        if (i < n && p[i] == '}') {
            m_plainTables.push_back({qint32(m_tokens.size()), qint32(first), qint32(m_cells.size())});
            return i + 1;
        }
    }
    m_cells.resize(first);
    return -1;
}

// The end of the row at `pos` when it is of the common kind, kept in m_cells
// as its position, its count and its values: short decimal or 0x hex
// literals, one sign each, at most MaxCells; -1 for any other row.
qsizetype CSharpTokens::plainRow(qsizetype pos)
{
    const uchar *const begin = reinterpret_cast<const uchar *>(m_bytes.constData());
    const uchar *const end = begin + m_bytes.size();
    auto classOf = [end](const uchar *at) { return at < end ? ByteClasses[*at] : quint8(Other); };
    std::array<qint32, MaxCells> values;
    int count = 0;
    const uchar *s = begin + pos + 1;
    for (;;) {
        quint8 c = classOf(s);
        while (c == Blank)
            c = classOf(++s);
        const bool minus = c == Minus;
        if (minus || c == Plus) {
            do
                c = classOf(++s);
            while (c == Blank);
        }
        if (c >= 10 || count == MaxCells)
            return -1;
        // Unsigned: a long run of digits wraps, and is then sent the long way by its length.
        quint64 v = 0;
        const uchar *first = s;
        qsizetype longest = 9; // decimal digits that always fit 32 bits
        if (c == 0 && end - s > 2 && (s[1] | 0x20) == 'x' && ByteClasses[s[2]] < 16) {
            s += 2;
            first = s;
            longest = 7;
            for (; (c = classOf(s)) < 16; ++s)
                v = v * 16 + c;
        } else if (const int digits = end - s >= 8 ? shortDecimal(s, v) : 8; digits < 8) {
            s += digits;
            c = ByteClasses[*s];
        } else {
            for (; (c = classOf(s)) < 10; ++s)
                v = v * 10 + c;
        }
        // A suffix, an underscore or a name after the digits: the long way.
        if (s - first > longest || c <= Letter)
            return -1;
        values[size_t(count++)] = minus ? -qint32(v) : qint32(v);
        while (c == Blank)
            c = classOf(++s);
        if (c == Close)
            break;
        if (c != Comma)
            return -1;
        ++s;
    }
    m_cells.push_back(qint32(pos));
    m_cells.push_back(count);
    for (int k = 0; k < count; ++k)
        m_cells.push_back(values[size_t(k)]);
    return s + 1 - begin;
}

CSharpTokens::PlainRows CSharpTokens::plainRows(int t) const
{
    const auto found = std::lower_bound(m_plainTables.begin(), m_plainTables.end(), t,
                                        [](const PlainTable &table, int token) { return table.token < token; });
    if (found == m_plainTables.end() || found->token != t)
        return {};
    return {m_cells.data() + found->first, m_cells.data() + found->end};
}

bool CSharpTokens::rowValues(int t, std::array<qint64, MaxCells> &values, int &count) const
{
    const char *p = m_bytes.constData() + m_tokens[t].begin + 1;
    const char *const end = m_bytes.constData() + m_tokens[t].end - 1;
    count = 0;
    for (;;) {
        while (blankByte(*p))
            ++p;
        const bool minus = *p == '-';
        if (minus || *p == '+')
            ++p;
        while (blankByte(*p))
            ++p;
        const char *const digits = p;
        while (identifierByte(*p))
            ++p;
        const std::optional<qint64> v = literal(QByteArrayView(digits, p - digits));
        if (!v)
            return false;
        if (count < MaxCells)
            values[size_t(count++)] = minus ? -*v : *v;
        while (blankByte(*p))
            ++p;
        if (p == end)
            return true;
        if (*p++ != ',')
            return false;
    }
}

QByteArrayView CSharpTokens::text(int t) const
{
    return QByteArrayView(m_bytes.constData() + m_tokens[t].begin, endOf(t) - m_tokens[t].begin);
}

bool CSharpTokens::isIdentifier(int t) const
{
    const char c = m_bytes.at(m_tokens[t].begin);
    const char next = endOf(t) - m_tokens[t].begin > 1 ? m_bytes.at(m_tokens[t].begin + 1) : '\0';
    return (identifierByte(c) && !digit(c)) || (c == '@' && identifierByte(next));
}

int CSharpTokens::loneAssign(int from, int to) const
{
    for (int t = from; t < to; ++t) {
        if (closeOf(t) >= 0) {
            t = closeOf(t);
            continue;
        }
        if (!is(t, '='))
            continue;
        const qsizetype at = m_tokens[t].begin;
        const char before = at > 0 ? m_bytes.at(at - 1) : ' ';
        const char after = at + 1 < m_bytes.size() ? m_bytes.at(at + 1) : ' ';
        if (!QByteArrayView("=!<>+-*/%&|^?").contains(before) && after != '=' && after != '>')
            return t;
    }
    return -1;
}

bool CSharpTokens::startsControl(int from, int to) const
{
    return from < to
           && (isWord(from, "if") || isWord(from, "else") || isWord(from, "for") || isWord(from, "foreach")
               || isWord(from, "while") || isWord(from, "do") || isWord(from, "switch") || isWord(from, "case")
               || isWord(from, "catch"));
}

int CSharpTokens::arguments(int open, std::array<std::pair<int, int>, MaxArguments> &out) const
{
    const int close = closeOf(open);
    if (close == open + 1)
        return 0;
    int count = 0;
    int start = open + 1;
    for (int t = open + 1; t <= close; ++t) {
        if (t == close || is(t, ',')) {
            if (count < MaxArguments)
                out[size_t(count)] = {start, t};
            ++count;
            start = t + 1;
        } else if (closeOf(t) >= 0) {
            t = closeOf(t);
        }
    }
    return count;
}

std::optional<qint64> CSharpTokens::literal(QByteArrayView digits)
{
    auto suffix = [](char c) { return c == 'u' || c == 'U' || c == 'l' || c == 'L'; };
    while (!digits.isEmpty() && suffix(digits.back()))
        digits.chop(1);
    int base = 10;
    const char prefix = char(digits.size() > 2 && digits[0] == '0' ? digits[1] | 0x20 : 0);
    if (prefix == 'x' || prefix == 'b') {
        base = prefix == 'x' ? 16 : 2;
        digits = digits.sliced(2);
    }
    if (digits.isEmpty())
        return std::nullopt;
    qint64 v = 0;
    for (const char c : digits) {
        if (c == '_')
            continue;
        const int d = ByteClasses[uchar(c)];
        if (d >= base)
            return std::nullopt;
        v = std::min(v * base + d, Huge);
    }
    return v;
}
