#pragma once

#include <QString>
#include <QtGlobal>

class NtrsDocument;

// A handle to one element of an NtrsDocument. Handles are small values: copying one gives a
// second handle to the same element, and every handle stays usable as long as its document
// lives. The typed classes of the report derive from it and name the values of their element.
class XmlNode {
public:
    using NodeId = quint32;

    // Binds a handle to an element of `document`; the document layer hands them out.
    XmlNode(NtrsDocument *document, NodeId id) : document_(document), id_(id) {}

    QString nodeName() const;

    // The value of an attribute of this element; a null text when the attribute is absent.
    QString attribute(const QString &name) const;
    // Sets an attribute. An attribute keeps the position of its first setting; a new one goes
    // last. A prefixed name whose prefix has no declaration in scope gets one first ("xsi" is
    // known); another undeclared prefix is refused, since the file would not be XML.
    void setAttribute(const QString &name, const QString &value);

protected:
    // The text of the child element `name`; a null text when there is no such child. Reading
    // never creates an element.
    QString childText(const char *name) const;
    // The child's text read as an integer; throws RapoError naming the text when it is not one
    // (an absent child reads as an empty text).
    qint32 childInt32(const char *name) const;
    qint64 childInt64(const char *name) const;
    // Replaces the child's text, keeping its position, or creates the child as the last one.
    void setChildText(const char *name, const QString &value);
    void setChildInteger(const char *name, qint64 value);
    // The child element `name`, created as the last child when it is missing.
    NodeId child(const char *name);
    template <class Node> Node childNode(const char *name) { return Node(document_, child(name)); }

    // The children of a collection element are its items, in document order.
    int itemCount() const;
    NodeId itemAt(int index) const;
    // Creates an item element before the item at `index`; `index` == itemCount() appends.
    NodeId insertItem(int index, const char *itemName);
    void removeItem(int index);
    void clearItems();

    NtrsDocument *document_;
    NodeId id_;
};

// A collection element: it holds only items of one element type, reached by a zero-based index.
template <class Item> class XmlNodeList : public XmlNode {
public:
    int count() const { return itemCount(); }
    Item item(int index) const { return Item(document_, itemAt(index)); }
    // A new item as the last child of the collection.
    Item append() { return Item(document_, insertItem(itemCount(), itemName_)); }
    // A new item at `index` (0 .. count()); the items from there on move one place back.
    Item insert(int index) { return Item(document_, insertItem(index, itemName_)); }
    void remove(int index) { removeItem(index); }
    void clear() { clearItems(); }

protected:
    XmlNodeList(NtrsDocument *document, NodeId id, const char *itemName)
        : XmlNode(document, id), itemName_(itemName) {}

private:
    const char *itemName_;
};
