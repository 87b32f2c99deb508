#include "XmlNode.h"

#include "NtrsDocument.h"
#include "RapoError.h"

#include <stdexcept>

namespace {

RapoError notAnInteger(const QString &text) {
    return RapoError(QStringLiteral("'") + text + QStringLiteral("' ni veljavno celo število"));
}

} // namespace

QString XmlNode::nodeName() const {
    return QString::fromUtf8(document_->names_[document_->nodes_[id_].name]);
}

QString XmlNode::attribute(const QString &name) const {
    const auto *a = document_->findAttribute(id_, name.toUtf8());
    return a ? QString::fromUtf8(a->value) : QString();
}

void XmlNode::setAttribute(const QString &name, const QString &value) {
    document_->setAttribute(id_, name.toUtf8(), value.toUtf8());
}

QString XmlNode::childText(const char *name) const {
    const NodeId c = document_->findChild(id_, name);
    return c == NtrsDocument::noNode ? QString() : document_->text(c);
}

qint32 XmlNode::childInt32(const char *name) const {
    const QString text = childText(name);
    bool ok = false;
    const qint32 value = text.toInt(&ok);
    if (!ok)
        throw notAnInteger(text);
    return value;
}

qint64 XmlNode::childInt64(const char *name) const {
    const QString text = childText(name);
    bool ok = false;
    const qint64 value = text.toLongLong(&ok);
    if (!ok)
        throw notAnInteger(text);
    return value;
}

void XmlNode::setChildText(const char *name, const QString &value) {
    document_->setText(child(name), value);
}

void XmlNode::setChildInteger(const char *name, qint64 value) {
    setChildText(name, QString::number(value));
}

XmlNode::NodeId XmlNode::child(const char *name) {
    const NodeId c = document_->findChild(id_, name);
    if (c != NtrsDocument::noNode)
        return c;
    return document_->createElement(id_, name, -1);
}

int XmlNode::itemCount() const {
    return document_->writtenItems(id_) + int(document_->nodes_[id_].children.size());
}

XmlNode::NodeId XmlNode::itemAt(int index) const {
    const auto &held = document_->nodes_[id_].children;
    const int written = document_->writtenItems(id_);
    if (index < 0 || index >= written + int(held.size()))
        throw std::out_of_range("collection item index out of range");
    if (index < written)
        throw std::logic_error("the collection item is written out");
    return held[size_t(index - written)];
}

XmlNode::NodeId XmlNode::insertItem(int index, const char *itemName) {
    if (index < 0 || index > itemCount())
        throw std::out_of_range("collection insert index out of range");
    if (!document_->appendsOnly())
        return document_->createElement(id_, itemName, index);
    if (index != itemCount())
        throw std::logic_error("a spooled collection only appends items");
    document_->releaseItems();
    const NodeId item = document_->createElement(id_, itemName, -1);
    document_->heldItems_.push_back(item);
    return item;
}

void XmlNode::removeItem(int index) {
    if (document_->appendsOnly())
        throw std::logic_error("a spooled collection only appends items");
    const NodeId item = itemAt(index);
    auto &items = document_->nodes_[id_].children;
    items.erase(items.begin() + index);
    document_->nodes_[item].parent = NtrsDocument::noNode;
}

void XmlNode::clearItems() {
    if (document_->appendsOnly())
        throw std::logic_error("a spooled collection only appends items");
    auto &items = document_->nodes_[id_].children;
    for (const NodeId item : items)
        document_->nodes_[item].parent = NtrsDocument::noNode;
    items.clear();
}
