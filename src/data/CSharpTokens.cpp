#include "data/CSharpTokens.h"

#include <QCoreApplication>

#include <algorithm>
#include <limits>

namespace {
QString tr(const char *text) { return QCoreApplication::translate("AddonScript", text); }

bool identifierByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'
           || uchar(c) >= 0x80;
}
bool digit(char c) { return c >= '0' && c <= '9'; }
bool blankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool opener(char c) { return c == '(' || c == '[' || c == '{'; }
char closerOf(char c) { return c == '(' ? ')' : c == '[' ? ']' : '}'; }
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
    QVector<int> open;
    bool lineStart = true;
    qsizetype i = 0;
    auto skipLine = [&]() {
        while (i < n && p[i] != '\n')
            ++i;
    };
    while (i < n) {
        const char c = p[i];
        const char next = i + 1 < n ? p[i + 1] : '\0';
        if (c == '\n') {
            lineStart = true;
            ++i;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
            ++i;
            continue;
        }
        // Preprocessor lines (#region, #if) carry no components.
        if ((c == '#' && lineStart) || (c == '/' && next == '/')) {
            skipLine();
            continue;
        }
        lineStart = false;
        const qsizetype start = i;
        if (c == '/' && next == '*') {
            const qsizetype end = m_bytes.indexOf("*/", i + 2);
            if (end < 0)
                return fail(start, tr("a comment is never closed"));
            i = end + 2;
            continue;
        }
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
        } else if (const qsizetype row = c == '{' ? literalRow(i) : -1; row > i) {
            // A table row of plain numbers is one token: generated tables are most of a script.
            i = row;
        } else if (identifierByte(c) || (c == '@' && identifierByte(next))) {
            ++i;
            while (i < n && (identifierByte(p[i]) || (p[i] == '.' && digit(p[start]) && i + 1 < n && digit(p[i + 1]))))
                ++i;
        } else {
            ++i;
        }
        if (m_tokens.size() >= size_t(std::numeric_limits<qint32>::max() - 1))
            return fail(start, tr("too many tokens"));
        const int index = int(m_tokens.size());
        m_tokens.push_back({qint32(start), qint32(i)});
        if (i - start != 1)
            continue;
        if (opener(c)) {
            m_tokens.back().end = ~0;
            open.append(index);
        } else if (c == ')' || c == ']' || c == '}') {
            if (open.isEmpty())
                return fail(start, tr("'%1' closes nothing").arg(QLatin1Char(c)));
            const int o = open.takeLast();
            const char expected = closerOf(p[m_tokens[o].begin]);
            if (expected != c)
                return fail(start, tr("'%1' where '%2' was expected (opened on line %3)")
                                       .arg(QLatin1Char(c))
                                       .arg(QLatin1Char(expected))
                                       .arg(lineAt(m_tokens[o].begin)));
            m_tokens[size_t(o)].end = ~index;
        }
    }
    if (!open.isEmpty())
        return fail(m_tokens[open.last()].begin,
                    tr("'%1' is never closed").arg(QLatin1Char(p[m_tokens[open.last()].begin])));
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

bool CSharpTokens::is(int t, char c) const
{
    return endOf(t) - m_tokens[t].begin == 1 && m_bytes.at(m_tokens[t].begin) == c;
}

bool CSharpTokens::isIdentifier(int t) const
{
    const char c = m_bytes.at(m_tokens[t].begin);
    const char next = endOf(t) - m_tokens[t].begin > 1 ? m_bytes.at(m_tokens[t].begin + 1) : '\0';
    return (identifierByte(c) && !digit(c)) || (c == '@' && identifierByte(next));
}

bool CSharpTokens::isNumber(int t) const
{
    return digit(m_bytes.at(m_tokens[t].begin));
}

int CSharpTokens::find(int from, int to, char c) const
{
    for (int t = from; t < to; ++t) {
        if (is(t, c))
            return t;
        if (closeOf(t) >= 0)
            t = closeOf(t);
    }
    return -1;
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

QVector<std::pair<int, int>> CSharpTokens::arguments(int open) const
{
    QVector<std::pair<int, int>> out;
    const int close = closeOf(open);
    if (close == open + 1)
        return out;
    int start = open + 1;
    for (int t = open + 1; t <= close; ++t) {
        if (t == close || is(t, ',')) {
            out.append({start, t});
            start = t + 1;
        } else if (closeOf(t) >= 0) {
            t = closeOf(t);
        }
    }
    return out;
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
        const char l = char(c | 0x20);
        const int d = digit(c) ? c - '0' : (l >= 'a' && l <= 'f') ? l - 'a' + 10 : 99;
        if (d >= base)
            return std::nullopt;
        v = std::min(v * base + d, Huge);
    }
    return v;
}
