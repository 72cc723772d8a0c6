#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVector>

#include <array>
#include <cstring>
#include <optional>
#include <vector>

// A C# source cut into tokens for reading, not compiling: comments,
// preprocessor lines and whitespace dropped, strings and characters kept whole,
// brackets matched, a row of integer literals ("{1, -2, 0x3}") kept as one
// token. Errors name the line of the input.
class CSharpTokens
{
public:
    // A row of a component table holds four or five values; more are never read.
    static constexpr int MaxCells = 16;
    // Beyond every range a component checks, and safe to add, negate and multiply once.
    static constexpr qint64 Huge = qint64(1) << 40;

    // 123, 0x7B, 0b1111011, 1_000, with the suffixes u, l, ul; past Huge it stays Huge.
    static std::optional<qint64> literal(QByteArrayView digits);

protected:
    explicit CSharpTokens(const QByteArray &bytes) : m_bytes(bytes) {}

    // False with errorString() on unclosed comments, strings and brackets.
    bool tokenize();
    bool fail(qsizetype pos, const QString &what);
    int lineAt(qsizetype pos);

    bool opens(int t) const { return m_tokens[t].end < 0; }
    // The closing bracket of an opening one; -1 for any other token.
    int closeOf(int t) const { return opens(t) ? ~m_tokens[t].end : -1; }
    qint32 endOf(int t) const { return opens(t) ? m_tokens[t].begin + 1 : m_tokens[t].end; }
    QByteArrayView text(int t) const;
    // Asked of nearly every token, often: inline, and the byte first, which rules out most.
    bool is(int t, char c) const
    {
        const Token &k = m_tokens[size_t(t)];
        return m_bytes.constData()[k.begin] == c && (k.end < 0 || k.end == k.begin + 1);
    }
    // A literal's length is known at compile time: no strlen for each of many tokens.
    template<size_t N>
    bool isWord(int t, const char (&word)[N]) const
    {
        return endOf(t) - m_tokens[t].begin == qint32(N - 1)
               && memcmp(m_bytes.constData() + m_tokens[t].begin, word, N - 1) == 0;
    }
    bool isIdentifier(int t) const;
    bool isNumber(int t) const
    {
        const char c = m_bytes.constData()[m_tokens[size_t(t)].begin];
        return c >= '0' && c <= '9';
    }
    // A row of literals ("{1, 2}") that is a token of its own.
    bool isRow(int t) const
    {
        return endOf(t) - m_tokens[t].begin > 1 && m_bytes.at(m_tokens[t].begin) == '{' && !plainRows(t).begin;
    }
    // The values of a row token; false when one is no valid literal.
    bool rowValues(int t, std::array<qint64, MaxCells> &values, int &count) const;
    // A table initializer of short plain literals ("{ {1, 2}, {3, 4} }") is one
    // token, its rows read while cutting: [begin, end) holds each row as its
    // byte position, its count of values and the values. Null for other tokens.
    struct PlainRows {
        const qint32 *begin = nullptr;
        const qint32 *end = nullptr;
    };
    PlainRows plainRows(int t) const;
    // An assignment '=' (not ==, <=, =>, +=, ...) outside brackets; -1 when none.
    int loneAssign(int from, int to) const;
    // if, else, for, foreach, while, do, switch, case or catch.
    bool startsControl(int from, int to) const;
    // A component call has at most nine arguments; more are counted, not kept.
    static constexpr int MaxArguments = 10;
    // The comma-separated ranges inside the bracket `open` and how many there are.
    int arguments(int open, std::array<std::pair<int, int>, MaxArguments> &out) const;

    // Token text is bytes[begin, end); its kind follows from its first byte
    // ('{' and more: a row of literals, or a table of them when plainRows()
    // has its rows). An opening bracket is one byte long
    // and keeps ~(its closing token's index) in `end` instead: the tokens are
    // most of the memory a read takes.
    struct Token {
        qint32 begin;
        qint32 end;
    };
    const QByteArray &m_bytes;
    std::vector<Token> m_tokens;
    QString m_error;
    bool m_failed = false;

private:
    bool initializerFollows() const;
    qsizetype plainTable(qsizetype pos);
    qsizetype plainRow(qsizetype pos);
    qsizetype literalRow(qsizetype pos) const;

    struct PlainTable {
        qint32 token;
        qint32 first; // its rows in m_cells
        qint32 end;
    };
    std::vector<PlainTable> m_plainTables;
    std::vector<qint32> m_cells;

    qsizetype m_linePos = 0;
    int m_line = 1;
};
