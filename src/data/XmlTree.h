#pragma once

#include <QByteArray>
#include <QString>
#include <QXmlStreamAttributes>

#include <optional>
#include <vector>

// A small read-only XML tree for the editor's own lists (palette, multi
// names), built in one linear pass with caps on size, depth and node count:
// a hostile file gives a clear message instead of a stall. Text made only of
// white space is dropped, as the lists have always been read.
class XmlTree
{
public:
    struct Node {
        enum Kind { Element, Text, Other } kind = Element;
        QString name;  // element name
        QString value; // text, CDATA, comment or instruction data
        QXmlStreamAttributes attributes;
        std::vector<Node> children;

        // The value of the first child, empty when there is none or it is an element.
        QString firstChildValue() const;
    };

    static constexpr qint64 MaxBytes = 8 * 1024 * 1024;
    static constexpr int MaxDepth = 256;
    static constexpr int MaxNodes = 400 * 1000;

    // The document element, or nothing with *error saying what is wrong and where.
    static std::optional<Node> parse(const QByteArray &bytes, QString *error = nullptr);
    // The same from a file; a file that cannot be read is an error too.
    static std::optional<Node> read(const QString &path, QString *error = nullptr);

    // Calls visit(node) for `root` and every element below it, in document order.
    template <class Visit> static void forEachElement(const Node &root, Visit visit)
    {
        std::vector<const Node *> stack{&root};
        while (!stack.empty()) {
            const Node *n = stack.back();
            stack.pop_back();
            visit(*n);
            for (auto c = n->children.rbegin(); c != n->children.rend(); ++c) {
                if (c->kind == Node::Element)
                    stack.push_back(&*c);
            }
        }
    }
};
