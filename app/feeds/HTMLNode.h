#pragma once

#include <QList>
#include <QString>

struct _xmlNode;

// A light handle on one node of a document parsed by HTMLParser. It does not own the node and
// is valid only while its parser lives. Navigation and searches return new handles; a handle
// on nothing (isNull) answers every question with nothing. Searches walk the descendants in
// pre-order: a node before its children, its children before its later siblings.
class HTMLNode {
public:
    enum kind {
        anchorNode = 0,
        textNode = 1,
        otherNode = 2,
        codeNode = 3,
        spanNode = 4,
        paragraphNode = 5,
        listItemNode = 6,
        unorderedListNode = 7,
        imageNode = 8,
        orderedListNode = 9,
        strongNode = 10,
        preformattedNode = 11,
        blockquoteNode = 12,
    };

    HTMLNode() = default;
    explicit HTMLNode(_xmlNode* node)
        : node_(node) {}
    static HTMLNode initWithXMLNode(_xmlNode* node) { return HTMLNode(node); }

    bool isNull() const { return node_ == nullptr; }
    _xmlNode* xmlNodePointer() const { return node_; }

    HTMLNode parent() const;
    HTMLNode firstChild() const;
    HTMLNode nextSibling() const;
    HTMLNode previousSibling() const;
    // Every direct child, text nodes included, in order.
    QList<HTMLNode> children() const;

    // The node's name; null text when it has none.
    QString tagName() const;
    QString className() const { return getAttributeNamed("class"); }
    // The value of the first attribute with exactly that name; null when there is none or it
    // has no value.
    QString getAttributeNamed(const char* name) const;

    // The text of the node's first child (an element holding only text: that text); null when
    // there is no first child or it holds no text of its own (an element).
    QString contents() const;
    // The text of the node and all its descendants; "" when there is none.
    QString allContents() const;
    // The node written out as HTML in the document's encoding, read back as UTF-8; null when
    // nothing is written.
    QString rawContents() const;
    int nodetype() const;

    HTMLNode findChildTag(const char* tag) const;
    QList<HTMLNode> findChildTags(const char* tag) const;
    // Descendants whose first attribute of that name equals the value (or, with
    // `allowPartial`, contains it).
    HTMLNode findChildWithAttribute(const char* attribute, const QString& value,
                                    bool allowPartial) const;
    QList<HTMLNode> findChildrenWithAttribute(const char* attribute, const QString& value,
                                              bool allowPartial) const;
    // The whole "class" value must equal `className`.
    HTMLNode findChildOfClass(const QString& className) const;
    QList<HTMLNode> findChildrenOfClass(const QString& className) const;

    // Appends the content of `node`, then of its descendants, then of its later siblings
    // with theirs, in pre-order.
    static void appendChildContentsToString(QString& text, _xmlNode* node);

private:
    _xmlNode* node_ = nullptr;
};
