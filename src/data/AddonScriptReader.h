#pragma once

#include "data/AddonScript.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>

#include <array>
#include <cstring>
#include <optional>
#include <vector>

// Finds the components of every addon class in a C# script without compiling
// it. The script is cut into tokens (comments and strings skipped, brackets
// matched), each addon class body into statements; a statement that adds a
// component is taken when its values are literals, and listed by line when
// they are not. Component tables are read where a loop adds their rows.
class AddonScriptReader
{
public:
    // A row of a component table holds four or five values; more are never read.
    static constexpr int MaxCells = 16;
    static AddonScript::Parsed parse(const QByteArray &bytes);

private:
    // Token text is bytes[begin, end); its kind follows from its first byte
    // ('{' and more: a row of literals). An opening bracket is one byte long
    // and keeps ~(its closing token's index) in `end` instead: the tokens are
    // most of the memory a read takes.
    struct Token {
        qint32 begin;
        qint32 end;
    };
    // A value a component takes: a literal, a cell of a table row, or unknown.
    struct Value {
        enum Kind { Literal, Cell, Unknown } kind = Unknown;
        qint64 number = 0;
        int table = -1; // token of the table's name
        int column = 0;
        int token = -1; // where it stands, for messages
    };
    struct Candidate {
        Value id, x, y, z, hue;
        bool leftOut = false;
    };
    struct Variable {
        Candidate values;
        bool known = false;
        bool conditional = false;
    };
    struct TableUse {
        Candidate values;
        int line = 0;
    };

    explicit AddonScriptReader(const QByteArray &bytes);
    bool tokenize();
    bool fail(qsizetype pos, const QString &what);
    int lineAt(qsizetype pos);

    bool opens(int t) const { return m_tokens[t].end < 0; }
    // The closing bracket of an opening one; -1 for any other token.
    int closeOf(int t) const { return opens(t) ? ~m_tokens[t].end : -1; }
    qint32 endOf(int t) const { return opens(t) ? m_tokens[t].begin + 1 : m_tokens[t].end; }
    QByteArrayView text(int t) const;
    bool is(int t, char c) const;
    // A literal's length is known at compile time: no strlen for each of many tokens.
    template<size_t N>
    bool isWord(int t, const char (&word)[N]) const
    {
        return endOf(t) - m_tokens[t].begin == qint32(N - 1)
               && memcmp(m_bytes.constData() + m_tokens[t].begin, word, N - 1) == 0;
    }
    bool isIdentifier(int t) const;
    bool isNumber(int t) const;
    int find(int from, int to, char c) const;
    int loneAssign(int from, int to) const;
    bool startsControl(int from, int to) const;
    QVector<std::pair<int, int>> arguments(int open) const;

    void scanClass(int nameToken, int open);
    bool scanBlock(int from, int to, bool conditional, int depth);
    void statement(int from, int to, bool conditional);
    bool tableDeclaration(int from, int to);
    bool variableStatement(int from, int to, bool conditional);
    bool componentCall(int call, int from, int to, bool conditional);
    void addCandidate(const Candidate &c, int line, bool conditional);
    void resolveTables();
    // `row`: the token a value without one of its own is reported at.
    void addComponent(const Candidate &c, int row);

    Value value(int from, int to) const;
    std::optional<qint64> evaluate(int &t, int to, int depth) const;
    std::optional<qint64> term(int &t, int to, int depth) const;
    std::optional<qint64> unary(int &t, int to, int depth) const;
    static std::optional<qint64> literal(QByteArrayView digits);
    qsizetype literalRow(qsizetype pos) const;
    bool rowValues(int t, std::array<qint64, MaxCells> &values, int &count) const;
    void literalRowComponent(Candidate row, int t);
    bool noName(int from, int to) const;
    bool atMostOne(int from, int to) const;
    void unevaluated(int line);

    const QByteArray &m_bytes;
    std::vector<Token> m_tokens;
    qsizetype m_linePos = 0;
    int m_line = 1;
    QString m_error;

    // The class being read.
    AddonScript::AddonClass m_class;
    QHash<QByteArrayView, Variable> m_variables;
    QHash<QByteArrayView, int> m_tables; // name -> token of its initializer's '{'
    QVector<TableUse> m_uses;
    bool m_failed = false;
};
