#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>
#include <cstdint>
#include <memory>
#include <vector>

// Rows of a fixed number of columns, held compactly: per cell one kind byte and four bytes of
// payload (a small number, or where the value lies). A value of eight bytes (a number with a
// fraction, a large whole number, a date-time, where a pooled text lies) takes a slot of a side
// array. A text that repeats is kept once; the rest lie end to end in a pool of characters.
// Whatever has no compact form (a byte array, a date, a boolean, ...) is kept as it came. Every
// value reads back as it was stored, of the same type, null or not.
class RowStore {
public:
    using Row = QVector<QVariant>;

    explicit RowStore(int columns = 0);
    ~RowStore();
    RowStore(const RowStore &) = delete;
    RowStore &operator=(const RowStore &) = delete;

    // Drops every row and starts over with this many columns.
    void reset(int columns);
    void clear() { reset(columns_); }
    int columnCount() const { return columns_; }
    int size() const { return size_; }

    // A row shorter than the column count is padded with invalid values; one longer is cut.
    void append(const Row &row);
    void replace(int row, const Row &values);
    void remove(int row);

    // An invalid value outside the rows and columns.
    QVariant value(int row, int column) const;
    Row row(int row) const;

private:
    enum class Kind : std::uint8_t {
        Null,          // payload: the type's id; 0 is the invalid value
        Int,           // payload: the value
        SmallLongLong, // payload: the value, which fits in 32 bits
        LongLong,      // slot: the value
        Double,        // slot: the bits
        NullText,      // a text variant holding a null text
        EmptyText,     // a text variant holding an empty text
        SharedText,    // payload: index of a text kept once
        PooledText,    // slot: position in the pool << 32 | length
        DateTime,      // slot: the date-time itself
        Boxed,         // payload: index into the boxed values
    };
    struct Chunk {
        std::unique_ptr<Kind[]> kinds;
        std::unique_ptr<std::uint32_t[]> payload;
        int capacity = 0; // rows
    };

    Kind &kindAt(int row, int column);
    std::uint32_t &payloadAt(int row, int column);
    std::uint64_t &slot(std::uint32_t index);
    const std::uint64_t &slot(std::uint32_t index) const;
    void reserveRow(int row);
    // Writes one cell into an emptied slot.
    void encode(Kind &kind, std::uint32_t &payload, const QVariant &value);
    QVariant decode(Kind kind, std::uint32_t payload) const;
    // Releases what a cell holds (a slot, a boxed value) and leaves it null.
    void release(Kind &kind, std::uint32_t &payload);
    void releaseRow(int row);
    void encodeRow(int row, const Row &values);
    void storeText(Kind &kind, std::uint32_t &payload, const QString &text);
    // Keeps eight bytes in a slot; boxes the value when no slot is left.
    void storeWide(Kind &kind, std::uint32_t &payload, Kind wideKind, std::uint64_t bits,
                   const QVariant &value);
    std::uint32_t box(const QVariant &value);

    int columns_ = 0;
    int size_ = 0;
    std::vector<Chunk> chunks_;
    // Texts kept once, up to a limit, so that a set of unique texts grows no large table.
    std::vector<QString> shared_;
    QHash<QString, std::uint32_t> sharedIndex_;
    // Other texts, end to end in blocks of characters that never move.
    std::vector<std::unique_ptr<char16_t[]>> pool_;
    std::uint64_t poolEnd_ = 0;
    // Slots of eight bytes in blocks that never move, so a date-time may live in one.
    std::vector<std::unique_ptr<std::uint64_t[]>> slots_;
    std::uint32_t slotEnd_ = 0;
    std::vector<std::uint32_t> freeSlots_;
    std::vector<QVariant> boxed_;
    std::vector<std::uint32_t> freeBoxes_;
};
