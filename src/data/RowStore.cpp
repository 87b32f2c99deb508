#include "RowStore.h"

#include <bit>
#include <cstring>
#include <limits>
#include <new>

namespace {
// Rows lie in chunks of this many (the first one grows to it), so a large set never copies
// all its rows at once to grow.
constexpr int chunkShift = 10;
constexpr int rowsPerChunk = 1 << chunkShift;
constexpr int firstChunkRows = 16;
// Beyond this many distinct texts a row set holds mostly texts that do not repeat.
constexpr std::size_t sharedTextLimit = 1 << 16;
// The pool of other texts: blocks of characters; a longer text is kept as it came.
constexpr int blockShift = 16;
constexpr std::uint64_t blockSize = std::uint64_t(1) << blockShift;
constexpr std::uint64_t blockMask = blockSize - 1;
constexpr qsizetype longestPooledText = 1024;
constexpr std::uint64_t poolLimit = std::uint64_t(1) << 32;
// Slots of eight bytes come in blocks of this many.
constexpr int slotShift = 12;
constexpr std::uint32_t slotMask = (1u << slotShift) - 1;
constexpr std::uint32_t slotLimit = 0xffffffffu;

// A date-time lives in a slot of eight bytes, which never moves.
static_assert(sizeof(QDateTime) == sizeof(std::uint64_t));
static_assert(alignof(QDateTime) <= alignof(std::uint64_t));

const QDateTime &dateTimeIn(const std::uint64_t &slot) {
    return *std::launder(reinterpret_cast<const QDateTime *>(&slot));
}

void destroyDateTimeIn(std::uint64_t &slot) {
    std::launder(reinterpret_cast<QDateTime *>(&slot))->~QDateTime();
}

template <typename T> const T &valueIn(const QVariant &value) {
    return *static_cast<const T *>(value.constData());
}
} // namespace

RowStore::RowStore(int columns) : columns_(columns) {}

RowStore::~RowStore() {
    reset(0);
}

RowStore::Kind &RowStore::kindAt(int row, int column) {
    return chunks_[std::size_t(row >> chunkShift)]
        .kinds[std::size_t(row & (rowsPerChunk - 1)) * std::size_t(columns_) + std::size_t(column)];
}

std::uint32_t &RowStore::payloadAt(int row, int column) {
    return chunks_[std::size_t(row >> chunkShift)]
        .payload[std::size_t(row & (rowsPerChunk - 1)) * std::size_t(columns_) +
                 std::size_t(column)];
}

std::uint64_t &RowStore::slot(std::uint32_t index) {
    return slots_[index >> slotShift][index & slotMask];
}

const std::uint64_t &RowStore::slot(std::uint32_t index) const {
    return slots_[index >> slotShift][index & slotMask];
}

void RowStore::reset(int columns) {
    for (int row = 0; row < size_; ++row)
        for (int column = 0; column < columns_; ++column)
            if (kindAt(row, column) == Kind::DateTime)
                destroyDateTimeIn(slot(payloadAt(row, column)));
    std::vector<Chunk>().swap(chunks_);
    std::vector<QString>().swap(shared_);
    QHash<QString, std::uint32_t>().swap(sharedIndex_);
    std::vector<std::unique_ptr<char16_t[]>>().swap(pool_);
    poolEnd_ = 0;
    std::vector<std::unique_ptr<std::uint64_t[]>>().swap(slots_);
    slotEnd_ = 0;
    std::vector<std::uint32_t>().swap(freeSlots_);
    std::vector<QVariant>().swap(boxed_);
    std::vector<std::uint32_t>().swap(freeBoxes_);
    size_ = 0;
    columns_ = columns;
}

void RowStore::reserveRow(int row) {
    const auto chunkIndex = std::size_t(row >> chunkShift);
    const int inChunk = row & (rowsPerChunk - 1);
    const auto columns = std::size_t(columns_);
    if (chunkIndex == chunks_.size()) {
        Chunk chunk;
        chunk.capacity = chunkIndex == 0 ? firstChunkRows : rowsPerChunk;
        chunk.kinds = std::make_unique_for_overwrite<Kind[]>(std::size_t(chunk.capacity) * columns);
        chunk.payload =
            std::make_unique_for_overwrite<std::uint32_t[]>(std::size_t(chunk.capacity) * columns);
        chunks_.push_back(std::move(chunk));
        return;
    }
    Chunk &chunk = chunks_[chunkIndex];
    if (inChunk < chunk.capacity)
        return;
    const int capacity = std::min(chunk.capacity * 2, rowsPerChunk);
    auto kinds = std::make_unique_for_overwrite<Kind[]>(std::size_t(capacity) * columns);
    auto payload = std::make_unique_for_overwrite<std::uint32_t[]>(std::size_t(capacity) * columns);
    std::memcpy(kinds.get(), chunk.kinds.get(), std::size_t(inChunk) * columns);
    std::memcpy(payload.get(), chunk.payload.get(),
                std::size_t(inChunk) * columns * sizeof(std::uint32_t));
    chunk.kinds = std::move(kinds);
    chunk.payload = std::move(payload);
    chunk.capacity = capacity;
}

void RowStore::append(const Row &row) {
    reserveRow(size_);
    encodeRow(size_, row);
    ++size_;
}

void RowStore::replace(int row, const Row &values) {
    if (row < 0 || row >= size_)
        return;
    releaseRow(row);
    encodeRow(row, values);
}

void RowStore::remove(int row) {
    if (row < 0 || row >= size_)
        return;
    releaseRow(row);
    const auto columns = std::size_t(columns_);
    for (int next = row + 1; next < size_ && columns > 0; ++next) {
        std::memcpy(&kindAt(next - 1, 0), &kindAt(next, 0), columns);
        std::memcpy(&payloadAt(next - 1, 0), &payloadAt(next, 0), columns * sizeof(std::uint32_t));
    }
    --size_;
    if (chunks_.size() > 1 && std::size_t(size_) <= (chunks_.size() - 1) << chunkShift)
        chunks_.pop_back();
}

void RowStore::encodeRow(int row, const Row &values) {
    for (int column = 0; column < columns_; ++column)
        kindAt(row, column) = Kind::Null;
    try {
        for (int column = 0; column < columns_; ++column)
            if (column < values.size())
                encode(kindAt(row, column), payloadAt(row, column), values[column]);
            else
                payloadAt(row, column) = 0;
    } catch (...) {
        releaseRow(row);
        throw;
    }
}

void RowStore::releaseRow(int row) {
    for (int column = 0; column < columns_; ++column)
        release(kindAt(row, column), payloadAt(row, column));
}

void RowStore::release(Kind &kind, std::uint32_t &payload) {
    switch (kind) {
    case Kind::DateTime:
        destroyDateTimeIn(slot(payload));
        [[fallthrough]];
    case Kind::LongLong:
    case Kind::Double:
    case Kind::PooledText:
        freeSlots_.push_back(payload);
        break;
    case Kind::Boxed:
        boxed_[payload] = QVariant();
        freeBoxes_.push_back(payload);
        break;
    default:
        break;
    }
    kind = Kind::Null;
    payload = 0;
}

void RowStore::encode(Kind &kind, std::uint32_t &payload, const QVariant &value) {
    if (value.isNull()) {
        payload = std::uint32_t(value.typeId());
        kind = Kind::Null;
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
        payload = std::uint32_t(valueIn<int>(value));
        kind = Kind::Int;
        return;
    case QMetaType::LongLong: {
        const qlonglong whole = valueIn<qlonglong>(value);
        if (whole >= std::numeric_limits<qint32>::min() &&
            whole <= std::numeric_limits<qint32>::max()) {
            payload = std::uint32_t(qint32(whole));
            kind = Kind::SmallLongLong;
            return;
        }
        storeWide(kind, payload, Kind::LongLong, std::uint64_t(whole), value);
        return;
    }
    case QMetaType::Double:
        storeWide(kind, payload, Kind::Double, std::bit_cast<std::uint64_t>(valueIn<double>(value)),
                  value);
        return;
    case QMetaType::QString:
        storeText(kind, payload, valueIn<QString>(value));
        return;
    case QMetaType::QDateTime:
        storeWide(kind, payload, Kind::DateTime, 0, value);
        if (kind == Kind::DateTime)
            new (&slot(payload)) QDateTime(valueIn<QDateTime>(value));
        return;
    default:
        payload = box(value);
        kind = Kind::Boxed;
        return;
    }
}

void RowStore::storeWide(Kind &kind, std::uint32_t &payload, Kind wideKind, std::uint64_t bits,
                         const QVariant &value) {
    std::uint32_t index = 0;
    if (!freeSlots_.empty()) {
        index = freeSlots_.back();
        freeSlots_.pop_back();
    } else if (slotEnd_ < slotLimit) {
        if (std::size_t(slotEnd_ >> slotShift) == slots_.size())
            slots_.push_back(std::make_unique_for_overwrite<std::uint64_t[]>(slotMask + 1));
        index = slotEnd_++;
    } else {
        payload = box(value);
        kind = Kind::Boxed;
        return;
    }
    slot(index) = bits;
    payload = index;
    kind = wideKind;
}

void RowStore::storeText(Kind &kind, std::uint32_t &payload, const QString &text) {
    if (text.isNull()) {
        payload = 0;
        kind = Kind::NullText;
        return;
    }
    if (text.isEmpty()) {
        payload = 0;
        kind = Kind::EmptyText;
        return;
    }
    if (const auto known = sharedIndex_.constFind(text); known != sharedIndex_.constEnd()) {
        payload = *known;
        kind = Kind::SharedText;
        return;
    }
    if (shared_.size() < sharedTextLimit) {
        const auto index = std::uint32_t(shared_.size());
        shared_.push_back(text);
        sharedIndex_.insert(text, index);
        payload = index;
        kind = Kind::SharedText;
        return;
    }
    const auto length = std::uint64_t(text.size());
    if (text.size() > longestPooledText || poolEnd_ + blockSize >= poolLimit) {
        payload = box(text);
        kind = Kind::Boxed;
        return;
    }
    if ((poolEnd_ & blockMask) + length > blockSize)
        poolEnd_ = (poolEnd_ | blockMask) + 1;
    const std::size_t block = poolEnd_ >> blockShift;
    if (block == pool_.size())
        pool_.push_back(std::make_unique_for_overwrite<char16_t[]>(blockSize));
    storeWide(kind, payload, Kind::PooledText, poolEnd_ << 32 | length, text);
    if (kind != Kind::PooledText)
        return;
    std::memcpy(pool_[block].get() + (poolEnd_ & blockMask), text.utf16(),
                length * sizeof(char16_t));
    poolEnd_ += length;
}

std::uint32_t RowStore::box(const QVariant &value) {
    if (!freeBoxes_.empty()) {
        const std::uint32_t index = freeBoxes_.back();
        boxed_[index] = value;
        freeBoxes_.pop_back();
        return index;
    }
    boxed_.push_back(value);
    return std::uint32_t(boxed_.size() - 1);
}

QVariant RowStore::decode(Kind kind, std::uint32_t payload) const {
    switch (kind) {
    case Kind::Null:
        return payload ? QVariant(QMetaType(int(payload))) : QVariant();
    case Kind::Int:
        return QVariant(int(payload));
    case Kind::SmallLongLong:
        return QVariant(qlonglong(qint32(payload)));
    case Kind::LongLong:
        return QVariant(qlonglong(slot(payload)));
    case Kind::Double:
        return QVariant(std::bit_cast<double>(slot(payload)));
    case Kind::NullText:
        return QVariant(QString());
    case Kind::EmptyText:
        return QVariant(QStringLiteral(""));
    case Kind::SharedText:
        return QVariant(shared_[payload]);
    case Kind::PooledText: {
        const std::uint64_t place = slot(payload);
        const std::uint64_t position = place >> 32;
        const char16_t *start = pool_[position >> blockShift].get() + (position & blockMask);
        return QVariant(
            QString(reinterpret_cast<const QChar *>(start), qsizetype(place & 0xffffffffu)));
    }
    case Kind::DateTime:
        return QVariant(dateTimeIn(slot(payload)));
    case Kind::Boxed:
        return boxed_[payload];
    }
    return {};
}

QVariant RowStore::value(int row, int column) const {
    if (row < 0 || row >= size_ || column < 0 || column >= columns_)
        return {};
    const Chunk &chunk = chunks_[std::size_t(row >> chunkShift)];
    const std::size_t slot =
        std::size_t(row & (rowsPerChunk - 1)) * std::size_t(columns_) + std::size_t(column);
    return decode(chunk.kinds[slot], chunk.payload[slot]);
}

RowStore::Row RowStore::row(int row) const {
    Row values(columns_);
    for (int column = 0; column < columns_; ++column)
        values[column] = value(row, column);
    return values;
}
