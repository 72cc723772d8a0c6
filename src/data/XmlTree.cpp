#include "data/XmlTree.h"

#include <QCoreApplication>
#include <QFile>
#include <QXmlStreamReader>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("XmlTree", text);
}

} // namespace

QString XmlTree::Node::firstChildValue() const
{
    return children.empty() ? QString() : children.front().value;
}

std::optional<XmlTree::Node> XmlTree::parse(const QByteArray &bytes, QString *error)
{
    auto fail = [&](const QString &why, qint64 line) -> std::optional<Node> {
        if (error)
            *error = tr("line %1: %2").arg(line).arg(why);
        return std::nullopt;
    };
    if (bytes.size() > MaxBytes)
        return fail(tr("the file is larger than %1 MiB").arg(MaxBytes / (1024 * 1024)), 0);
    QXmlStreamReader reader(bytes);
    Node root;
    bool haveRoot = false;
    std::vector<Node *> open; // the elements being read, innermost last
    int nodes = 0;
    auto add = [&](Node node) -> Node * {
        std::vector<Node> &siblings = open.back()->children;
        // Adjacent text pieces (split by entities) are one text.
        if (node.kind == Node::Text && !siblings.empty() && siblings.back().kind == Node::Text) {
            siblings.back().value += node.value;
            return &siblings.back();
        }
        ++nodes;
        siblings.push_back(std::move(node));
        return &siblings.back();
    };
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (nodes > MaxNodes)
            return fail(tr("more than %1 elements and texts").arg(MaxNodes), reader.lineNumber());
        switch (token) {
        case QXmlStreamReader::StartElement: {
            if (int(open.size()) >= MaxDepth)
                return fail(tr("elements nested deeper than %1 levels").arg(MaxDepth),
                            reader.lineNumber());
            Node element;
            element.name = reader.name().toString();
            // Copied one by one: the reader's own list holds far more room than one element needs.
            for (const QXmlStreamAttribute &a : reader.attributes())
                element.attributes.append(a.qualifiedName().toString(), a.value().toString());
            if (open.empty()) {
                root = std::move(element);
                haveRoot = true;
                open.push_back(&root);
            } else {
                open.push_back(add(std::move(element)));
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!open.empty())
                open.pop_back();
            break;
        case QXmlStreamReader::Characters:
            if (!open.empty() && !reader.isWhitespace())
                add({Node::Text, {}, reader.text().toString(), {}, {}});
            break;
        case QXmlStreamReader::Comment:
        case QXmlStreamReader::ProcessingInstruction:
            if (!open.empty())
                add({Node::Other, {},
                     token == QXmlStreamReader::Comment ? reader.text().toString()
                                                        : reader.processingInstructionData().toString(),
                     {}, {}});
            break;
        default:
            break;
        }
    }
    if (reader.hasError())
        return fail(reader.errorString(), reader.lineNumber());
    if (!haveRoot)
        return fail(tr("no document element"), reader.lineNumber());
    return root;
}

std::optional<XmlTree::Node> XmlTree::read(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    if (file.size() > MaxBytes) {
        if (error)
            *error = tr("the file is larger than %1 MiB").arg(MaxBytes / (1024 * 1024));
        return std::nullopt;
    }
    return parse(file.read(MaxBytes + 1), error);
}
