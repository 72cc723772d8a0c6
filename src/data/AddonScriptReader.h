#pragma once

#include "data/AddonScript.h"
#include "data/CSharpTokens.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>

#include <array>
#include <optional>
#include <vector>

// Finds the components of every addon class in a C# script without compiling
// it. The script is cut into tokens (comments and strings skipped, brackets
// matched), each addon class body into statements; a statement that adds a
// component is taken when its values are literals, and listed by line when
// they are not. Component tables are read where a loop adds their rows.
class AddonScriptReader : private CSharpTokens
{
public:
    static AddonScript::Parsed parse(const QByteArray &bytes);

private:
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
        bool added = false; // a change now reaches a component already placed
    };
    struct TableUse {
        Candidate values;
        int call = 0; // token of the call that adds the rows
    };

    explicit AddonScriptReader(const QByteArray &bytes);

    void scanClass(int nameToken, int open);
    bool scanBlock(int from, int to, bool conditional, int depth);
    void statement(int from, int to, bool conditional);
    bool tableDeclaration(int from, int to);
    bool variableStatement(int from, int to, bool conditional);
    bool componentCall(int call, int from, int to, bool conditional);
    void addCandidate(const Candidate &c, int call, bool conditional);
    void resolveTables();
    void plainRowComponents(const Candidate &use, PlainRows rows);
    // `count` -1: the row holds something other than literals.
    void literalRowComponent(Candidate row, qsizetype pos, const std::array<qint64, MaxCells> &values, int count);
    // `row`: where a value without a token of its own is reported.
    void addComponent(const Candidate &c, qsizetype row);

    Value value(int from, int to) const;
    std::optional<qint64> evaluate(int &t, int to, int depth) const;
    std::optional<qint64> term(int &t, int to, int depth) const;
    std::optional<qint64> unary(int &t, int to, int depth) const;
    bool noName(int from, int to) const;
    bool atMostOne(int from, int to) const;
    void unevaluated(int line);

    // The class being read.
    AddonScript::AddonClass m_class;
    QHash<QByteArrayView, Variable> m_variables;
    QHash<QByteArrayView, int> m_tables; // name -> token of its initializer ('{' or a plain table)
    QVector<TableUse> m_uses;
    // The class's components while it is read: appends to a QVector cost more.
    std::vector<AddonScript::Component> m_components;
};
