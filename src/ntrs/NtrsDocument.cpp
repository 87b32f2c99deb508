#include "NtrsDocument.h"

#include "RapoError.h"

#include <QBuffer>
#include <QDir>
#include <QIODevice>
#include <QSaveFile>
#include <QTemporaryFile>
#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

const QByteArray xsiNamespace = QByteArrayLiteral("http://www.w3.org/2001/XMLSchema-instance");
const QByteArray lineEnd = QByteArrayLiteral("\r\n");

// Element names of the report, kept in one place so a typing error cannot create a stray one.
namespace name {
const char *const NTRSRoot = "NTRSRoot";
const char *const Sifrant = "Sifrant";
const char *const SifrantRecordInfo = "SifrantRecordInfo";
const char *const TransactionReporting = "TransactionReporting";
const char *const TransactionRecordInfo = "TransactionRecordInfo";
const char *const CancelledTransactions = "CancelledTransactions";
const char *const CancellationRecordInfo = "CancellationRecordInfo";
const char *const AIICode = "AIICode";
const char *const AIIExchangeCode = "AIIExchangeCode";
const char *const AIIProductCode = "AIIProductCode";
const char *const AIIDerivativeType = "AIIDerivativeType";
const char *const AIIPutCallIdentifier = "AIIPutCallIdentifier";
const char *const AIIExpiryDate = "AIIExpiryDate";
const char *const AIIStrikePrice = "AIIStrikePrice";
const char *const ReportingFirmIdentification = "ReportingFirmIdentification";
const char *const InstrumentISINCode = "InstrumentISINCode";
const char *const InstrumentInternalCode = "InstrumentInternalCode";
const char *const InstrumentName = "InstrumentName";
const char *const IssuerName = "IssuerName";
const char *const IssuerCountry = "IssuerCountry";
const char *const InstrumentClassification = "InstrumentClassification";
const char *const LastChangeDate = "LastChangeDate";
const char *const NominalValue = "NominalValue";
const char *const Currency = "Currency";
const char *const IssuedVolume = "IssuedVolume";
const char *const IssueDate = "IssueDate";
const char *const ExpireDate = "ExpireDate";
const char *const Referenca = "Referenca";
const char *const TradingDay = "TradingDay";
const char *const TradingTime = "TradingTime";
const char *const TradingTimeZone = "TradingTimeZone";
const char *const BuySellIndicator = "BuySellIndicator";
const char *const TradingCapacity = "TradingCapacity";
const char *const UnitPriceValue = "UnitPriceValue";
const char *const UnitPriceType = "UnitPriceType";
const char *const PriceNotation = "PriceNotation";
const char *const Quantity = "Quantity";
const char *const Counterparty = "Counterparty";
const char *const CounterpartyType = "CounterpartyType";
const char *const Client = "Client";
const char *const ClientType = "ClientType";
const char *const TradingVenue = "TradingVenue";
const char *const TradingVenueType = "TradingVenueType";
const char *const TransactionReferenceNumber = "TransactionReferenceNumber";
const char *const CancelledTransactionReferenceNumber = "CancelledTransactionReferenceNumber";
const char *const CancelledTransactionFlag = "CancelledTransactionFlag";
} // namespace name

// Root attribute names.
namespace attr {
const QString Version = QStringLiteral("Version");
const QString CreationDate = QStringLiteral("CreationDate");
const QString CreationTime = QStringLiteral("CreationTime");
const QString CreationTimeOffset = QStringLiteral("CreationTimeOffset");
const QString MaticnaStevilkaZavezanca = QStringLiteral("MaticnaStevilkaZavezanca");
} // namespace attr

} // namespace

// --- AlternativeInstrumentId ---

QString AlternativeInstrumentId::AIIExchangeCode() const {
    return childText(name::AIIExchangeCode);
}
QString AlternativeInstrumentId::AIIProductCode() const {
    return childText(name::AIIProductCode);
}
QString AlternativeInstrumentId::AIIDerivativeType() const {
    return childText(name::AIIDerivativeType);
}
QString AlternativeInstrumentId::AIIPutCallIdentifier() const {
    return childText(name::AIIPutCallIdentifier);
}
QString AlternativeInstrumentId::AIIExpiryDate() const {
    return childText(name::AIIExpiryDate);
}
QString AlternativeInstrumentId::AIIStrikePrice() const {
    return childText(name::AIIStrikePrice);
}

void AlternativeInstrumentId::setAIIExchangeCode(const QString &value) {
    setChildText(name::AIIExchangeCode, value);
}
void AlternativeInstrumentId::setAIIProductCode(const QString &value) {
    setChildText(name::AIIProductCode, value);
}
void AlternativeInstrumentId::setAIIDerivativeType(const QString &value) {
    setChildText(name::AIIDerivativeType, value);
}
void AlternativeInstrumentId::setAIIPutCallIdentifier(const QString &value) {
    setChildText(name::AIIPutCallIdentifier, value);
}
void AlternativeInstrumentId::setAIIExpiryDate(const QString &value) {
    setChildText(name::AIIExpiryDate, value);
}
void AlternativeInstrumentId::setAIIStrikePrice(const QString &value) {
    setChildText(name::AIIStrikePrice, value);
}

// --- InstrumentRecord ---

QString InstrumentRecord::ReportingFirmIdentification() const {
    return childText(name::ReportingFirmIdentification);
}
QString InstrumentRecord::InstrumentISINCode() const {
    return childText(name::InstrumentISINCode);
}
AlternativeInstrumentId InstrumentRecord::AIICode() {
    return childNode<AlternativeInstrumentId>(name::AIICode);
}
qint32 InstrumentRecord::InstrumentInternalCode() const {
    return childInt32(name::InstrumentInternalCode);
}
QString InstrumentRecord::InstrumentName() const {
    return childText(name::InstrumentName);
}
QString InstrumentRecord::IssuerName() const {
    return childText(name::IssuerName);
}
QString InstrumentRecord::IssuerCountry() const {
    return childText(name::IssuerCountry);
}
QString InstrumentRecord::InstrumentClassification() const {
    return childText(name::InstrumentClassification);
}
QString InstrumentRecord::LastChangeDate() const {
    return childText(name::LastChangeDate);
}
QString InstrumentRecord::NominalValue() const {
    return childText(name::NominalValue);
}
QString InstrumentRecord::Currency() const {
    return childText(name::Currency);
}
QString InstrumentRecord::IssuedVolume() const {
    return childText(name::IssuedVolume);
}
QString InstrumentRecord::IssueDate() const {
    return childText(name::IssueDate);
}
QString InstrumentRecord::ExpireDate() const {
    return childText(name::ExpireDate);
}
qint32 InstrumentRecord::Referenca() const {
    return childInt32(name::Referenca);
}

void InstrumentRecord::setReportingFirmIdentification(const QString &value) {
    setChildText(name::ReportingFirmIdentification, value);
}
void InstrumentRecord::setInstrumentISINCode(const QString &value) {
    setChildText(name::InstrumentISINCode, value);
}
void InstrumentRecord::setInstrumentInternalCode(qint32 value) {
    setChildInteger(name::InstrumentInternalCode, value);
}
void InstrumentRecord::setInstrumentName(const QString &value) {
    setChildText(name::InstrumentName, value);
}
void InstrumentRecord::setIssuerName(const QString &value) {
    setChildText(name::IssuerName, value);
}
void InstrumentRecord::setIssuerCountry(const QString &value) {
    setChildText(name::IssuerCountry, value);
}
void InstrumentRecord::setInstrumentClassification(const QString &value) {
    setChildText(name::InstrumentClassification, value);
}
void InstrumentRecord::setLastChangeDate(const QString &value) {
    setChildText(name::LastChangeDate, value);
}
void InstrumentRecord::setNominalValue(const QString &value) {
    setChildText(name::NominalValue, value);
}
void InstrumentRecord::setCurrency(const QString &value) {
    setChildText(name::Currency, value);
}
void InstrumentRecord::setIssuedVolume(const QString &value) {
    setChildText(name::IssuedVolume, value);
}
void InstrumentRecord::setIssueDate(const QString &value) {
    setChildText(name::IssueDate, value);
}
void InstrumentRecord::setExpireDate(const QString &value) {
    setChildText(name::ExpireDate, value);
}
void InstrumentRecord::setReferenca(qint32 value) {
    setChildInteger(name::Referenca, value);
}

// --- TransactionRecord ---

QString TransactionRecord::ReportingFirmIdentification() const {
    return childText(name::ReportingFirmIdentification);
}
QString TransactionRecord::TradingDay() const {
    return childText(name::TradingDay);
}
QString TransactionRecord::TradingTime() const {
    return childText(name::TradingTime);
}
QString TransactionRecord::TradingTimeZone() const {
    return childText(name::TradingTimeZone);
}
QString TransactionRecord::BuySellIndicator() const {
    return childText(name::BuySellIndicator);
}
QString TransactionRecord::TradingCapacity() const {
    return childText(name::TradingCapacity);
}
QString TransactionRecord::InstrumentISINCode() const {
    return childText(name::InstrumentISINCode);
}
AlternativeInstrumentId TransactionRecord::AIICode() {
    return childNode<AlternativeInstrumentId>(name::AIICode);
}
qint32 TransactionRecord::InstrumentInternalCode() const {
    return childInt32(name::InstrumentInternalCode);
}
QString TransactionRecord::UnitPriceValue() const {
    return childText(name::UnitPriceValue);
}
QString TransactionRecord::UnitPriceType() const {
    return childText(name::UnitPriceType);
}
QString TransactionRecord::PriceNotation() const {
    return childText(name::PriceNotation);
}
QString TransactionRecord::Quantity() const {
    return childText(name::Quantity);
}
QString TransactionRecord::Counterparty() const {
    return childText(name::Counterparty);
}
QString TransactionRecord::CounterpartyType() const {
    return childText(name::CounterpartyType);
}
QString TransactionRecord::Client() const {
    return childText(name::Client);
}
QString TransactionRecord::ClientType() const {
    return childText(name::ClientType);
}
QString TransactionRecord::TradingVenue() const {
    return childText(name::TradingVenue);
}
QString TransactionRecord::TradingVenueType() const {
    return childText(name::TradingVenueType);
}
qint64 TransactionRecord::TransactionReferenceNumber() const {
    return childInt64(name::TransactionReferenceNumber);
}

void TransactionRecord::setReportingFirmIdentification(const QString &value) {
    setChildText(name::ReportingFirmIdentification, value);
}
void TransactionRecord::setTradingDay(const QString &value) {
    setChildText(name::TradingDay, value);
}
void TransactionRecord::setTradingTime(const QString &value) {
    setChildText(name::TradingTime, value);
}
void TransactionRecord::setTradingTimeZone(const QString &value) {
    setChildText(name::TradingTimeZone, value);
}
void TransactionRecord::setBuySellIndicator(const QString &value) {
    setChildText(name::BuySellIndicator, value);
}
void TransactionRecord::setTradingCapacity(const QString &value) {
    setChildText(name::TradingCapacity, value);
}
void TransactionRecord::setInstrumentISINCode(const QString &value) {
    setChildText(name::InstrumentISINCode, value);
}
void TransactionRecord::setInstrumentInternalCode(qint32 value) {
    setChildInteger(name::InstrumentInternalCode, value);
}
void TransactionRecord::setUnitPriceValue(const QString &value) {
    setChildText(name::UnitPriceValue, value);
}
void TransactionRecord::setUnitPriceType(const QString &value) {
    setChildText(name::UnitPriceType, value);
}
void TransactionRecord::setPriceNotation(const QString &value) {
    setChildText(name::PriceNotation, value);
}
void TransactionRecord::setQuantity(const QString &value) {
    setChildText(name::Quantity, value);
}
void TransactionRecord::setCounterparty(const QString &value) {
    setChildText(name::Counterparty, value);
}
void TransactionRecord::setCounterpartyType(const QString &value) {
    setChildText(name::CounterpartyType, value);
}
void TransactionRecord::setClient(const QString &value) {
    setChildText(name::Client, value);
}
void TransactionRecord::setClientType(const QString &value) {
    setChildText(name::ClientType, value);
}
void TransactionRecord::setTradingVenue(const QString &value) {
    setChildText(name::TradingVenue, value);
}
void TransactionRecord::setTradingVenueType(const QString &value) {
    setChildText(name::TradingVenueType, value);
}
void TransactionRecord::setTransactionReferenceNumber(qint64 value) {
    setChildInteger(name::TransactionReferenceNumber, value);
}

// --- CancellationRecord ---

QString CancellationRecord::ReportingFirmIdentification() const {
    return childText(name::ReportingFirmIdentification);
}
qint64 CancellationRecord::CancelledTransactionReferenceNumber() const {
    return childInt64(name::CancelledTransactionReferenceNumber);
}
QString CancellationRecord::CancelledTransactionFlag() const {
    return childText(name::CancelledTransactionFlag);
}

void CancellationRecord::setReportingFirmIdentification(const QString &value) {
    setChildText(name::ReportingFirmIdentification, value);
}
void CancellationRecord::setCancelledTransactionReferenceNumber(qint64 value) {
    setChildInteger(name::CancelledTransactionReferenceNumber, value);
}
void CancellationRecord::setCancelledTransactionFlag(const QString &value) {
    setChildText(name::CancelledTransactionFlag, value);
}

// --- collections ---

InstrumentList::InstrumentList(NtrsDocument *document, NodeId id)
    : XmlNodeList(document, id, name::SifrantRecordInfo) {}

TransactionList::TransactionList(NtrsDocument *document, NodeId id)
    : XmlNodeList(document, id, name::TransactionRecordInfo) {}

CancellationList::CancellationList(NtrsDocument *document, NodeId id)
    : XmlNodeList(document, id, name::CancellationRecordInfo) {}

// --- NtrsRoot ---

QString NtrsRoot::Version() const {
    return attribute(attr::Version);
}
QString NtrsRoot::CreationDate() const {
    return attribute(attr::CreationDate);
}
QString NtrsRoot::CreationTime() const {
    return attribute(attr::CreationTime);
}
QString NtrsRoot::CreationTimeOffset() const {
    return attribute(attr::CreationTimeOffset);
}
QString NtrsRoot::MaticnaStevilkaZavezanca() const {
    return attribute(attr::MaticnaStevilkaZavezanca);
}
InstrumentList NtrsRoot::Sifrant() {
    return childNode<InstrumentList>(name::Sifrant);
}
TransactionList NtrsRoot::TransactionReporting() {
    return childNode<TransactionList>(name::TransactionReporting);
}
CancellationList NtrsRoot::CancelledTransactions() {
    return childNode<CancellationList>(name::CancelledTransactions);
}

void NtrsRoot::setVersion(const QString &value) {
    setAttribute(attr::Version, value);
}
void NtrsRoot::setCreationDate(const QString &value) {
    setAttribute(attr::CreationDate, value);
}
void NtrsRoot::setCreationTime(const QString &value) {
    setAttribute(attr::CreationTime, value);
}
void NtrsRoot::setCreationTimeOffset(const QString &value) {
    setAttribute(attr::CreationTimeOffset, value);
}
void NtrsRoot::setMaticnaStevilkaZavezanca(const QString &value) {
    setAttribute(attr::MaticnaStevilkaZavezanca, value);
}

// --- NtrsDocument ---

struct NtrsDocument::Spool {
    NodeId collection;
    int written = 0;
    std::unique_ptr<QTemporaryFile> file; // none when the items are discarded
    std::unique_ptr<Writer> writer;
};

// Writes through a buffer, so a report of any size goes out in large blocks.
class NtrsDocument::Writer {
public:
    Writer(const NtrsDocument &document, QIODevice &device) : document_(document), device_(device) {
        buffer_.reserve(blockSize + 4096);
    }

    void writeAll() {
        buffer_.append(R"(<?xml version="1.0" encoding="utf-8"?>)");
        buffer_.append(lineEnd);
        writeElement(rootId, 0);
        flush();
    }

    void writeElement(NodeId id, int level) {
        const Node &n = document_.nodes_[id];
        const QByteArray &tag = document_.names_[n.name];
        const Spool *spooled = document_.findSpool(id);
        const bool hasChildren = !n.children.empty() || (spooled && spooled->written > 0);
        indent(level);
        buffer_.append('<');
        buffer_.append(tag);
        for (const Attribute &a : document_.attributes_) {
            if (a.node != id)
                continue;
            buffer_.append(' ');
            buffer_.append(a.name);
            buffer_.append("=\"");
            appendEscaped(a.value.constData(), a.value.size(), true);
            buffer_.append('"');
        }
        if (!hasChildren && n.textLength == 0) {
            buffer_.append("/>");
            buffer_.append(lineEnd);
        } else {
            buffer_.append('>');
            appendEscaped(document_.texts_.constData() + n.textOffset, n.textLength, false);
            if (hasChildren) {
                buffer_.append(lineEnd);
                // The items written out come before the ones still held.
                if (spooled)
                    copy(*spooled);
                for (const NodeId c : n.children)
                    writeElement(c, level + 1);
                indent(level);
            }
            buffer_.append("</");
            buffer_.append(tag);
            buffer_.append('>');
            buffer_.append(lineEnd);
        }
        if (buffer_.size() >= blockSize)
            flush();
    }

    void flush() {
        if (buffer_.isEmpty())
            return;
        if (device_.write(buffer_) != buffer_.size())
            throw RapoError(QStringLiteral("Napaka pri pisanju XML dokumenta!\r") +
                            device_.errorString());
        buffer_.resize(0); // keeps the block's capacity
    }

private:
    static constexpr qsizetype blockSize = 1 << 20;

    void indent(int level) {
        for (int i = 0; i < level; ++i)
            buffer_.append("  ", 2);
    }

    // Markup characters become references; so do line breaks and tabs in attributes and the
    // carriage return in texts, which a reader would otherwise normalise away.
    void appendEscaped(const char *text, qsizetype length, bool inAttribute) {
        qsizetype plain = 0;
        for (qsizetype i = 0; i < length; ++i) {
            const char *replacement = nullptr;
            switch (text[i]) {
            case '&':
                replacement = "&amp;";
                break;
            case '<':
                replacement = "&lt;";
                break;
            case '>':
                replacement = "&gt;";
                break;
            case '"':
                replacement = inAttribute ? "&quot;" : nullptr;
                break;
            case '\r':
                replacement = "&#13;";
                break;
            case '\n':
                replacement = inAttribute ? "&#10;" : nullptr;
                break;
            case '\t':
                replacement = inAttribute ? "&#9;" : nullptr;
                break;
            default:
                break;
            }
            if (replacement) {
                buffer_.append(text + plain, i - plain);
                buffer_.append(replacement);
                plain = i + 1;
            }
        }
        buffer_.append(text + plain, length - plain);
    }

    // The written items of a collection, read back from their file in blocks.
    void copy(const Spool &spooled);

    const NtrsDocument &document_;
    QIODevice &device_;
    QByteArray buffer_;
};

void NtrsDocument::Writer::copy(const Spool &spooled) {
    if (!spooled.file)
        throw std::logic_error("a discarding document is not written");
    spooled.writer->flush();
    flush();
    QTemporaryFile &file = *spooled.file;
    const auto failure = [&file] {
        return RapoError(QStringLiteral("Napaka pri branju začasne datoteke poročila ") +
                         file.fileName() + QStringLiteral("!\r") + file.errorString());
    };
    if (!file.seek(0))
        throw failure();
    while (!file.atEnd()) {
        const QByteArray block = file.read(blockSize);
        if (block.isEmpty())
            throw failure();
        if (device_.write(block) != block.size())
            throw RapoError(QStringLiteral("Napaka pri pisanju XML dokumenta!\r") +
                            device_.errorString());
    }
    // Read to its end, the file takes the items appended after this writing.
}

NtrsDocument::NtrsDocument(Items items, QString spoolFolder)
    : items_(items), spoolFolder_(std::move(spoolFolder)) {
    createElement(noNode, name::NTRSRoot, -1);
}

NtrsDocument::~NtrsDocument() = default;

quint16 NtrsDocument::nameId(const char *name) {
    const QByteArray key = QByteArray::fromRawData(name, qsizetype(std::strlen(name)));
    const auto found = nameIds_.constFind(key);
    if (found != nameIds_.constEnd())
        return found.value();
    const auto id = quint16(names_.size());
    names_.emplace_back(name); // a deep copy: the hash key must not point at the caller's text
    nameIds_.insert(names_.back(), id);
    return id;
}

NtrsDocument::NodeId NtrsDocument::findChild(NodeId parent, const char *name) const {
    const auto found =
        nameIds_.constFind(QByteArray::fromRawData(name, qsizetype(std::strlen(name))));
    if (found == nameIds_.constEnd())
        return noNode;
    for (const NodeId c : nodes_[parent].children)
        if (nodes_[c].name == found.value())
            return c;
    return noNode;
}

NtrsDocument::NodeId NtrsDocument::createElement(NodeId parent, const char *name,
                                                 qsizetype position) {
    NodeId id;
    if (freeNodes_.empty()) {
        id = NodeId(nodes_.size());
        nodes_.push_back(Node{parent, nameId(name), 0, 0, {}});
    } else {
        // A released node is used again, keeping the room of its list of children.
        id = freeNodes_.back();
        freeNodes_.pop_back();
        Node &n = nodes_[id];
        n.parent = parent;
        n.name = nameId(name);
        n.textLength = 0;
        n.textOffset = 0;
        n.free = false;
    }
    if (parent != noNode) {
        auto &siblings = nodes_[parent].children;
        if (position < 0)
            siblings.push_back(id);
        else
            siblings.insert(siblings.begin() + position, id);
    }
    return id;
}

QString NtrsDocument::text(NodeId id) const {
    const Node &n = nodes_[id];
    return QString::fromUtf8(texts_.constData() + n.textOffset, n.textLength);
}

void NtrsDocument::setText(NodeId id, const QString &value) {
    // A replaced text stays in the pool unused; values are set once or twice per element.
    const QByteArray utf8 = value.toUtf8();
    if (utf8.size() > std::numeric_limits<quint32>::max())
        throw RapoError(QStringLiteral("Vrednost elementa je predolga!"));
    Node &n = nodes_[id];
    n.textOffset = texts_.size();
    n.textLength = quint32(utf8.size());
    texts_.append(utf8);
}

const NtrsDocument::Attribute *NtrsDocument::findAttribute(NodeId id,
                                                           const QByteArray &name) const {
    for (const Attribute &a : attributes_)
        if (a.node == id && a.name == name)
            return &a;
    return nullptr;
}

bool NtrsDocument::prefixDeclared(NodeId id, const QByteArray &prefix) const {
    const QByteArray declaration = "xmlns:" + prefix;
    for (NodeId n = id; n != noNode; n = nodes_[n].parent)
        if (findAttribute(n, declaration))
            return true;
    return false;
}

void NtrsDocument::setAttribute(NodeId id, const QByteArray &name, const QByteArray &value) {
    for (Attribute &a : attributes_) {
        if (a.node == id && a.name == name) {
            a.value = value;
            return;
        }
    }
    const qsizetype colon = name.indexOf(':');
    if (colon > 0) {
        const QByteArray prefix = name.left(colon);
        if (prefix != "xmlns" && prefix != "xml" && !prefixDeclared(id, prefix)) {
            if (prefix != "xsi")
                throw RapoError(QStringLiteral("Predpona atributa ") + QString::fromUtf8(name) +
                                QStringLiteral(" nima imenskega prostora!"));
            attributes_.push_back({id, "xmlns:xsi", xsiNamespace});
        }
    }
    attributes_.push_back({id, name, value});
}

const NtrsDocument::Spool *NtrsDocument::findSpool(NodeId collection) const {
    for (const auto &s : spools_)
        if (s->collection == collection)
            return s.get();
    return nullptr;
}

NtrsDocument::Spool &NtrsDocument::spool(NodeId collection) {
    if (const Spool *known = findSpool(collection))
        return const_cast<Spool &>(*known);
    auto s = std::make_unique<Spool>();
    s->collection = collection;
    if (items_ == Items::Spooled) {
        const QString folder = spoolFolder_.isEmpty() ? QDir::tempPath() : spoolFolder_;
        s->file = std::make_unique<QTemporaryFile>(
            QDir(folder).filePath(QStringLiteral("rapo-porocilo-XXXXXX.tmp")));
        if (!s->file->open())
            throw RapoError(QStringLiteral("Začasne datoteke poročila ni mogoče odpreti v mapi ") +
                            QDir::toNativeSeparators(folder) + QStringLiteral("!\r") +
                            s->file->errorString());
        s->writer = std::make_unique<Writer>(*this, *s->file);
    }
    spools_.push_back(std::move(s));
    return *spools_.back();
}

int NtrsDocument::writtenItems(NodeId collection) const {
    const Spool *s = findSpool(collection);
    return s ? s->written : 0;
}

int NtrsDocument::depth(NodeId id) const {
    int level = 0;
    for (NodeId n = nodes_[id].parent; n != noNode; n = nodes_[n].parent)
        ++level;
    return level;
}

void NtrsDocument::freeSubtree(NodeId id) {
    Node &n = nodes_[id];
    for (const NodeId c : n.children)
        freeSubtree(c);
    n.children.clear();
    n.parent = noNode;
    n.textLength = 0;
    n.free = true;
    freeNodes_.push_back(id);
}

void NtrsDocument::releaseItems() {
    if (heldItems_.empty())
        return;
    for (const NodeId item : heldItems_) {
        const NodeId collection = nodes_[item].parent;
        Spool &s = spool(collection);
        if (s.writer)
            s.writer->writeElement(item, depth(item));
        ++s.written;
        auto &siblings = nodes_[collection].children;
        siblings.erase(std::find(siblings.begin(), siblings.end(), item));
        freeSubtree(item);
    }
    heldItems_.clear();
    std::erase_if(attributes_, [this](const Attribute &a) { return nodes_[a.node].free; });
    // The texts still in use move to the front of the pool, which then keeps its room.
    QByteArray kept;
    for (Node &n : nodes_) {
        if (n.free || n.textLength == 0)
            continue;
        const qsizetype offset = kept.size();
        kept.append(texts_.constData() + n.textOffset, n.textLength);
        n.textOffset = offset;
    }
    texts_.resize(0);
    texts_.append(kept);
}

void NtrsDocument::write(QIODevice &device) const {
    if (items_ == Items::Discarded)
        throw std::logic_error("a discarding document is not written");
    Writer(*this, device).writeAll();
}

QByteArray NtrsDocument::xml() const {
    QByteArray text;
    QBuffer buffer(&text);
    buffer.open(QIODevice::WriteOnly);
    write(buffer);
    return text;
}

void NtrsDocument::save(const QString &fileName) const {
    QSaveFile file(fileName);
    const auto failure = [&file, &fileName] {
        return RapoError(QStringLiteral("Napaka pri zapisu datoteke ") + fileName +
                         QStringLiteral("!\r") + file.errorString());
    };
    if (!file.open(QIODevice::WriteOnly))
        throw failure();
    try {
        write(file);
    } catch (const RapoError &) {
        file.cancelWriting();
        throw failure();
    }
    if (!file.commit())
        throw failure();
}
