#pragma once

#include "XmlNode.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <vector>

class QIODevice;

// The typed layer of the transaction report (NTRS) that goes to the regulator. One class per
// element type; each offers a get for every value and complex child in the element's order,
// then a set for every value. Values are texts already formatted by the caller (FieldFormat),
// except the internal codes and reference numbers, which are integers.
//
// Every child element comes into being the first time it is set or fetched, as the last child
// of its parent, so the order of the children in the file is the order of first touch. Setting
// a value again replaces its text in place. Getting a value never creates an element.

// Identification of a derivative without an ISIN (`AIICode`).
class AlternativeInstrumentId : public XmlNode {
public:
    using XmlNode::XmlNode;

    QString AIIExchangeCode() const;
    QString AIIProductCode() const;
    QString AIIDerivativeType() const;
    QString AIIPutCallIdentifier() const;
    QString AIIExpiryDate() const;
    QString AIIStrikePrice() const;

    void setAIIExchangeCode(const QString &value);
    void setAIIProductCode(const QString &value);
    void setAIIDerivativeType(const QString &value);
    void setAIIPutCallIdentifier(const QString &value);
    void setAIIExpiryDate(const QString &value);
    void setAIIStrikePrice(const QString &value);
};

// One instrument of the instrument register (`SifrantRecordInfo`).
class InstrumentRecord : public XmlNode {
public:
    using XmlNode::XmlNode;

    QString ReportingFirmIdentification() const;
    QString InstrumentISINCode() const;
    AlternativeInstrumentId AIICode();
    qint32 InstrumentInternalCode() const;
    QString InstrumentName() const;
    QString IssuerName() const;
    QString IssuerCountry() const;
    QString InstrumentClassification() const;
    QString LastChangeDate() const;
    QString NominalValue() const;
    QString Currency() const;
    QString IssuedVolume() const;
    QString IssueDate() const;
    QString ExpireDate() const;
    qint32 Referenca() const;

    void setReportingFirmIdentification(const QString &value);
    void setInstrumentISINCode(const QString &value);
    void setInstrumentInternalCode(qint32 value);
    void setInstrumentName(const QString &value);
    void setIssuerName(const QString &value);
    void setIssuerCountry(const QString &value);
    void setInstrumentClassification(const QString &value);
    void setLastChangeDate(const QString &value);
    void setNominalValue(const QString &value);
    void setCurrency(const QString &value);
    void setIssuedVolume(const QString &value);
    void setIssueDate(const QString &value);
    void setExpireDate(const QString &value);
    void setReferenca(qint32 value);
};

// One reported transaction (`TransactionRecordInfo`).
class TransactionRecord : public XmlNode {
public:
    using XmlNode::XmlNode;

    QString ReportingFirmIdentification() const;
    QString TradingDay() const;
    QString TradingTime() const;
    QString TradingTimeZone() const;
    QString BuySellIndicator() const;
    QString TradingCapacity() const;
    QString InstrumentISINCode() const;
    AlternativeInstrumentId AIICode();
    qint32 InstrumentInternalCode() const;
    QString UnitPriceValue() const;
    QString UnitPriceType() const;
    QString PriceNotation() const;
    QString Quantity() const;
    QString Counterparty() const;
    QString CounterpartyType() const;
    QString Client() const;
    QString ClientType() const;
    QString TradingVenue() const;
    QString TradingVenueType() const;
    qint64 TransactionReferenceNumber() const;

    void setReportingFirmIdentification(const QString &value);
    void setTradingDay(const QString &value);
    void setTradingTime(const QString &value);
    void setTradingTimeZone(const QString &value);
    void setBuySellIndicator(const QString &value);
    void setTradingCapacity(const QString &value);
    void setInstrumentISINCode(const QString &value);
    void setInstrumentInternalCode(qint32 value);
    void setUnitPriceValue(const QString &value);
    void setUnitPriceType(const QString &value);
    void setPriceNotation(const QString &value);
    void setQuantity(const QString &value);
    void setCounterparty(const QString &value);
    void setCounterpartyType(const QString &value);
    void setClient(const QString &value);
    void setClientType(const QString &value);
    void setTradingVenue(const QString &value);
    void setTradingVenueType(const QString &value);
    void setTransactionReferenceNumber(qint64 value);
};

// The cancellation of a transaction reported earlier (`CancellationRecordInfo`).
class CancellationRecord : public XmlNode {
public:
    using XmlNode::XmlNode;

    QString ReportingFirmIdentification() const;
    qint64 CancelledTransactionReferenceNumber() const;
    QString CancelledTransactionFlag() const;

    void setReportingFirmIdentification(const QString &value);
    void setCancelledTransactionReferenceNumber(qint64 value);
    void setCancelledTransactionFlag(const QString &value);
};

// The instrument register (`Sifrant`).
class InstrumentList : public XmlNodeList<InstrumentRecord> {
public:
    InstrumentList(NtrsDocument *document, NodeId id);
};

// The reported transactions (`TransactionReporting`).
class TransactionList : public XmlNodeList<TransactionRecord> {
public:
    TransactionList(NtrsDocument *document, NodeId id);
};

// The cancellations (`CancelledTransactions`).
class CancellationList : public XmlNodeList<CancellationRecord> {
public:
    CancellationList(NtrsDocument *document, NodeId id);
};

// The root (`NTRSRoot`): its values are attributes.
class NtrsRoot : public XmlNode {
public:
    using XmlNode::XmlNode;

    QString Version() const;
    QString CreationDate() const;
    QString CreationTime() const;
    QString CreationTimeOffset() const;
    QString MaticnaStevilkaZavezanca() const;
    InstrumentList Sifrant();
    TransactionList TransactionReporting();
    CancellationList CancelledTransactions();

    void setVersion(const QString &value);
    void setCreationDate(const QString &value);
    void setCreationTime(const QString &value);
    void setCreationTimeOffset(const QString &value);
    void setMaticnaStevilkaZavezanca(const QString &value);
};

// A report document: XML 1.0 in UTF-8 with its declaration, the root `NTRSRoot` in no
// namespace. The elements live in a compact tree owned by the document; the handles above point
// into it.
//
// A document that holds every element takes memory in proportion to the report (a report of
// 100,000 trades has some two million elements). A spooled document writes each item of a
// collection out, to a temporary file of its collection, once the next item of any collection is
// appended, so it holds one record at a time whatever the report's size; writing the document
// then copies the written items in their places. A discarding document writes the items nowhere:
// the records are only filled, as a check fills them. Such documents only append items: a handle
// to an item is good until the next item is appended, and an item written out cannot be read,
// inserted before or removed (std::logic_error).
class NtrsDocument {
public:
    using NodeId = XmlNode::NodeId;
    enum class Items { Held, Spooled, Discarded };

    // `spoolFolder` is where a spooled document keeps its written items until it is written.
    explicit NtrsDocument(Items items = Items::Held, QString spoolFolder = {});
    ~NtrsDocument();
    NtrsDocument(const NtrsDocument &) = delete;
    NtrsDocument &operator=(const NtrsDocument &) = delete;

    QString version() const { return QStringLiteral("1.0"); }
    QString encoding() const { return QStringLiteral("utf-8"); }

    NtrsRoot root() { return NtrsRoot(this, rootId); }

    // The whole file: the declaration, then every element on its own line, each level indented
    // two blanks further than its parent.
    QByteArray xml() const;
    // Writes the same text to an open device; throws RapoError when the device refuses it or a
    // spooled item cannot be read back.
    void write(QIODevice &device) const;
    // Writes the file, replacing one of the same name only once the new one is complete.
    // Throws RapoError ending with a carriage return and the system's reason.
    void save(const QString &fileName) const;

private:
    friend class XmlNode;
    static constexpr NodeId rootId = 0;
    static constexpr NodeId noNode = NodeId(-1);

    struct Node {
        NodeId parent;
        quint16 name;
        quint32 textLength = 0;
        qsizetype textOffset = 0; // in texts_, UTF-8
        std::vector<NodeId> children;
        bool free = false; // a released node, waiting to be used again
    };
    struct Attribute {
        NodeId node;
        QByteArray name;
        QByteArray value; // UTF-8
    };
    class Writer;
    // The items of one collection that a spooled document has written out.
    struct Spool;

    quint16 nameId(const char *name);
    NodeId findChild(NodeId parent, const char *name) const;
    NodeId createElement(NodeId parent, const char *name, qsizetype position);
    QString text(NodeId id) const;
    void setText(NodeId id, const QString &value);
    const Attribute *findAttribute(NodeId id, const QByteArray &name) const;
    bool prefixDeclared(NodeId id, const QByteArray &prefix) const;
    void setAttribute(NodeId id, const QByteArray &name, const QByteArray &value);

    // Items of a spooled or discarding document.
    bool appendsOnly() const { return items_ != Items::Held; }
    int writtenItems(NodeId collection) const;
    // Writes out every item held, then frees their elements, texts and attributes.
    void releaseItems();
    void freeSubtree(NodeId id);
    Spool &spool(NodeId collection);
    const Spool *findSpool(NodeId collection) const;
    int depth(NodeId id) const;

    std::vector<Node> nodes_;
    std::vector<NodeId> freeNodes_;
    std::vector<QByteArray> names_;
    QHash<QByteArray, quint16> nameIds_;
    QByteArray texts_;
    std::vector<Attribute> attributes_;
    Items items_;
    QString spoolFolder_;
    std::vector<NodeId> heldItems_;
    std::vector<std::unique_ptr<Spool>> spools_;
};
