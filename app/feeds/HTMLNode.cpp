#include "HTMLNode.h"

#include <libxml/HTMLtree.h>
#include <libxml/tree.h>

#include <cstring>
#include <functional>

namespace {

QString fromXml(const xmlChar* text) {
    return text ? QString::fromUtf8(reinterpret_cast<const char*>(text)) : QString();
}

// Visits the descendants of `root` in pre-order without recursion, so that a deeply nested
// page cannot exhaust the stack. The visitor answers true to stop.
void visitDescendants(xmlNode* root, const std::function<bool(xmlNode*)>& visit) {
    if (!root)
        return;
    xmlNode* node = root->children;
    while (node) {
        if (visit(node))
            return;
        if (node->children) {
            node = node->children;
            continue;
        }
        while (node && node != root && !node->next)
            node = node->parent;
        if (!node || node == root)
            return;
        node = node->next;
    }
}

bool hasName(const xmlNode* node, const char* name) {
    return node->name && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

bool attributeMatches(const xmlNode* node, const char* attribute, const QByteArray& value,
                      bool partial) {
    if (node->type != XML_ELEMENT_NODE)
        return false;
    for (const xmlAttr* a = node->properties; a; a = a->next) {
        if (!a->name || std::strcmp(reinterpret_cast<const char*>(a->name), attribute) != 0)
            continue;
        // Only the first attribute of that name counts.
        for (const xmlNode* piece = a->children; piece; piece = piece->next) {
            if (!piece->content)
                continue;
            const char* text = reinterpret_cast<const char*>(piece->content);
            if (partial ? std::strstr(text, value.constData()) != nullptr : value == text)
                return true;
        }
        return false;
    }
    return false;
}

} // namespace

HTMLNode HTMLNode::parent() const {
    return HTMLNode(node_ ? node_->parent : nullptr);
}

HTMLNode HTMLNode::firstChild() const {
    return HTMLNode(node_ ? node_->children : nullptr);
}

HTMLNode HTMLNode::nextSibling() const {
    return HTMLNode(node_ ? node_->next : nullptr);
}

HTMLNode HTMLNode::previousSibling() const {
    return HTMLNode(node_ ? node_->prev : nullptr);
}

QList<HTMLNode> HTMLNode::children() const {
    QList<HTMLNode> list;
    for (xmlNode* child = node_ ? node_->children : nullptr; child; child = child->next)
        list.append(HTMLNode(child));
    return list;
}

QString HTMLNode::tagName() const {
    return node_ ? fromXml(node_->name) : QString();
}

QString HTMLNode::getAttributeNamed(const char* name) const {
    if (!node_ || node_->type != XML_ELEMENT_NODE)
        return {};
    for (const xmlAttr* a = node_->properties; a; a = a->next) {
        if (a->name && std::strcmp(reinterpret_cast<const char*>(a->name), name) == 0)
            return a->children ? fromXml(a->children->content) : QString();
    }
    return {};
}

QString HTMLNode::contents() const {
    if (!node_ || !node_->children)
        return {};
    return fromXml(node_->children->content);
}

QString HTMLNode::allContents() const {
    if (!node_)
        return {};
    xmlChar* text = xmlNodeGetContent(node_);
    if (!text)
        return QStringLiteral("");
    const QString result = fromXml(text);
    xmlFree(text);
    return result;
}

QString HTMLNode::rawContents() const {
    if (!node_ || !node_->doc)
        return {};
    xmlBufferPtr buffer = xmlBufferCreateSize(1000);
    if (!buffer)
        return {};
    xmlOutputBufferPtr output = xmlOutputBufferCreateBuffer(buffer, nullptr);
    if (!output) {
        xmlBufferFree(buffer);
        return {};
    }
    htmlNodeDumpOutput(output, node_->doc, node_,
                       reinterpret_cast<const char*>(node_->doc->encoding));
    xmlOutputBufferFlush(output);
    QString result;
    if (const int length = xmlBufferLength(buffer); length > 0)
        result = QString::fromUtf8(reinterpret_cast<const char*>(xmlBufferContent(buffer)), length);
    xmlOutputBufferClose(output);
    xmlBufferFree(buffer);
    return result;
}

int HTMLNode::nodetype() const {
    if (!node_ || !node_->name)
        return otherNode;
    static const std::pair<const char*, kind> kinds[] = {
        {"a", anchorNode},         {"text", textNode},        {"code", codeNode},
        {"span", spanNode},        {"p", paragraphNode},      {"li", listItemNode},
        {"ul", unorderedListNode}, {"image", imageNode},      {"ol", orderedListNode},
        {"strong", strongNode},    {"pre", preformattedNode}, {"blockquote", blockquoteNode}};
    for (const auto& [name, k] : kinds) {
        if (hasName(node_, name))
            return k;
    }
    return otherNode;
}

HTMLNode HTMLNode::findChildTag(const char* tag) const {
    xmlNode* found = nullptr;
    visitDescendants(node_, [&](xmlNode* n) {
        if (hasName(n, tag))
            found = n;
        return found != nullptr;
    });
    return HTMLNode(found);
}

QList<HTMLNode> HTMLNode::findChildTags(const char* tag) const {
    QList<HTMLNode> list;
    visitDescendants(node_, [&](xmlNode* n) {
        if (hasName(n, tag))
            list.append(HTMLNode(n));
        return false;
    });
    return list;
}

HTMLNode HTMLNode::findChildWithAttribute(const char* attribute, const QString& value,
                                          bool allowPartial) const {
    const QByteArray wanted = value.toUtf8();
    xmlNode* found = nullptr;
    visitDescendants(node_, [&](xmlNode* n) {
        if (attributeMatches(n, attribute, wanted, allowPartial))
            found = n;
        return found != nullptr;
    });
    return HTMLNode(found);
}

QList<HTMLNode> HTMLNode::findChildrenWithAttribute(const char* attribute, const QString& value,
                                                    bool allowPartial) const {
    const QByteArray wanted = value.toUtf8();
    QList<HTMLNode> list;
    visitDescendants(node_, [&](xmlNode* n) {
        if (attributeMatches(n, attribute, wanted, allowPartial))
            list.append(HTMLNode(n));
        return false;
    });
    return list;
}

HTMLNode HTMLNode::findChildOfClass(const QString& className) const {
    return findChildWithAttribute("class", className, false);
}

QList<HTMLNode> HTMLNode::findChildrenOfClass(const QString& className) const {
    return findChildrenWithAttribute("class", className, false);
}

void HTMLNode::appendChildContentsToString(QString& text, _xmlNode* node) {
    // The node and its later siblings, each followed by its own descendants.
    for (xmlNode* n = node; n; n = n->next) {
        if (n->content)
            text += fromXml(n->content);
        visitDescendants(n, [&text](xmlNode* d) {
            if (d->content)
                text += fromXml(d->content);
            return false;
        });
    }
}
