#include "solver/packed_rows.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>

#include "solver/spin_lock.h"

namespace qv {

namespace {

// A thread holds at most this much decoded data inside a scope before it stores rows back early.
constexpr size_t kHeldBytesLimit = size_t(64) << 20;
constexpr uint64_t kSmallestCompaction = 64 << 10;
constexpr int64_t kGranularity = 16384;

// Room for a row coded to `bytes`: a sixteenth more, so that a row that grows a little keeps its
// chunk.
uint32_t withSlack(size_t bytes) { return uint32_t(bytes + bytes / 16 + 32); }

// The rows the calling thread holds decoded. A direct-mapped table finds a held row in one probe
// almost always; the list behind it is searched only on a collision. The decoded values sit one
// after another in a region of the thread's own: rows are let go of all together at the end of a
// scope, or one by one just after their use outside one, so the region is reused from its start
// each time no row is held, and never fragments.
class HeldRows {
public:
    HeldRows() : region_(kRegionReservation, kRegionGranularity) {}
    ~HeldRows() {
        for (HeldRow* h : std::vector<HeldRow*>(held_)) release(h);
    }

    HeldRow* pin(PackedStorage& store, int row) {
        HeldRow* h = find(store, row);
        if (!h) h = hold(store, row);
        ++h->pins;
        return h;
    }

    HeldRow* find(PackedStorage& store, int row) {
        HeldRow*& slot = slots_[slotOf(&store, row)];
        if (slot && slot->store == &store && slot->row == row) return slot;
        for (HeldRow* h : held_)
            if (h->store == &store && h->row == row) return slot = h;
        return nullptr;
    }

    void unpin(HeldRow* h) {
        if (--h->pins == 0 && scopes_ == 0) release(h);
    }

    void enterScope() {
        releaseUnpinned();
        ++scopes_;
    }
    void leaveScope() {
        --scopes_;
        releaseUnpinned();
    }

private:
    static constexpr int64_t kRegionReservation = int64_t(1) << 34;
    static constexpr int64_t kRegionGranularity = 1 << 16;

    static size_t slotOf(const PackedStorage* store, int row) {
        const uint64_t key = reinterpret_cast<uintptr_t>(store) ^ (uint64_t(uint32_t(row)) * 0x9E3779B97F4A7C15ull);
        return size_t((key * 0xFF51AFD7ED558CCDull) >> 52);
    }

    HeldRow* hold(PackedStorage& store, int row) {
        if (used_ > kHeldBytesLimit) releaseUnpinned();
        if (free_.empty()) {
            pool_.push_back(std::make_unique<HeldRow>());
            free_.push_back(pool_.back().get());
        }
        HeldRow* h = free_.back();
        free_.pop_back();
        h->store = &store;
        h->row = row;
        h->pins = 0;
        h->dirty = false;
        h->written.assign(size_t(store.rowBoards(row)), false);
        h->size = store.rowElements(row);
        // 32-byte steps keep every row aligned for the vector loops.
        const size_t bytes = (h->size * sizeof(uint16_t) + 31) & ~size_t(31);
        region_.grow(int64_t(used_ + bytes));
        h->values = reinterpret_cast<uint16_t*>(region_.data() + used_);
        used_ += bytes;
        h->version = store.load(row, h->values);
        held_.push_back(h);
        slots_[slotOf(&store, row)] = h;
        return h;
    }

    void release(HeldRow* h) {
        if (h->dirty) h->store->store(*h);
        HeldRow*& slot = slots_[slotOf(h->store, h->row)];
        if (slot == h) slot = nullptr;
        held_.erase(std::find(held_.begin(), held_.end(), h));
        h->store = nullptr;
        free_.push_back(h);
        if (held_.empty()) used_ = 0;
    }

    void releaseUnpinned() {
        for (HeldRow* h : std::vector<HeldRow*>(held_))
            if (h->pins == 0) release(h);
    }

    std::vector<HeldRow*> held_;
    std::vector<HeldRow*> free_;
    std::vector<std::unique_ptr<HeldRow>> pool_;
    std::array<HeldRow*, 4096> slots_{};
    ReservedBuffer region_;
    size_t used_ = 0;
    int scopes_ = 0;
};

HeldRows& heldRows() {
    thread_local HeldRows rows;
    return rows;
}

}  // namespace

HoldRowsScope::HoldRowsScope() { heldRows().enterScope(); }
HoldRowsScope::~HoldRowsScope() { heldRows().leaveScope(); }

// A row is locked only while one thread decodes or stores it.
class PackedStorage::RowLock {
public:
    explicit RowLock(std::atomic<bool>& flag) : flag_(flag) { acquireFlag(flag_); }
    ~RowLock() { releaseFlag(flag_); }

private:
    std::atomic<bool>& flag_;
};

PackedStorage::PackedStorage(int actions, LayoutPointer layout, const RowCoder& coder)
    : NodeStore(actions, std::move(layout)),
      coder_(coder),
      chunks_(size_t(layout_->rowCount())),
      rowLocks_(new std::atomic<bool>[size_t(layout_->rowCount())]) {
    // Address space for every row at its largest, plus as much again for the moved rows that
    // wait for a compaction; memory is committed only as the chunks grow.
    int64_t reservation = int64_t(kSmallestCompaction);
    for (int r = 0; r < layout_->rowCount(); ++r) {
        rowLocks_[r].store(false, std::memory_order_relaxed);
        reservation += 2 * int64_t(withSlack(coder_.bound(*layout_, actions_, r)));
    }
    buffer_ = ReservedBuffer(reservation, kGranularity);
}

PackedStorage::~PackedStorage() = default;

size_t PackedStorage::elementOffset(int board) const {
    return recordStart(board) - recordStart(layout_->rows[layout_->rowOfBoard[board]]);
}

size_t PackedStorage::rowElements(int row) const {
    const int last = layout_->rowEnd(row) - 1;
    return recordStart(last) + recordElements(last) - recordStart(layout_->rows[row]);
}

void PackedStorage::openRecord(int board) { heldRows().pin(*this, layout_->rowOfBoard[board]); }

void PackedStorage::closeRecord(int board) {
    if (HeldRow* h = heldRows().find(*this, layout_->rowOfBoard[board])) heldRows().unpin(h);
}

PackedStorage::Use::Use(PackedStorage& storage, int board, bool write)
    : held_(heldRows().pin(storage, storage.layout_->rowOfBoard[board])),
      values_(held_->values + storage.elementOffset(board)) {
    if (!write) return;
    held_->dirty = true;
    held_->written[size_t(board - storage.layout_->rows[held_->row])] = true;
}

PackedStorage::Use::~Use() { heldRows().unpin(held_); }

uint32_t PackedStorage::load(int row, uint16_t* values) {
    RowLock lock(rowLocks_[row]);
    decode(row, values);
    return chunks_[size_t(row)].version;
}

// Under the row's lock.
void PackedStorage::decode(int row, uint16_t* values) const {
    const Chunk& c = chunks_[size_t(row)];
    if (c.capacity == 0) {
        std::fill(values, values + rowElements(row), uint16_t(0));
        return;
    }
    coder_.decode(*layout_, actions_, row, buffer_.data() + c.offset, c.size, values);
}

void PackedStorage::store(HeldRow& held) {
    thread_local std::vector<uint8_t> coded;
    coded.clear();
    coder_.encode(*layout_, actions_, held.row, held.values, coded);
    bool wasted = false;
    {
        RowLock lock(rowLocks_[held.row]);
        Chunk& c = chunks_[size_t(held.row)];
        if (c.version != held.version) {
            // Coded again under the lock, so that no other store comes in between.
            takeUnwritten(held);
            coded.clear();
            coder_.encode(*layout_, actions_, held.row, held.values, coded);
        }
        wasted = place(c, coded);
        held.version = ++c.version;
    }
    if (wasted) compactIfWasteful();
}

// Under the row's lock: the records the holder did not write become what the chunk holds now.
void PackedStorage::takeUnwritten(HeldRow& held) const {
    thread_local std::vector<uint16_t> current;
    current.resize(held.size);
    decode(held.row, current.data());
    const int first = layout_->rows[held.row];
    for (int b = first; b < layout_->rowEnd(held.row); ++b) {
        if (held.written[size_t(b - first)]) continue;
        const size_t at = elementOffset(b);
        std::copy_n(current.data() + at, recordElements(b), held.values + at);
    }
}

// Under the row's lock: the row's code goes into its chunk, which moves to the top when the code
// outgrows it and gives up its end when the code is far smaller. Returns whether space was left
// behind.
bool PackedStorage::place(Chunk& c, const std::vector<uint8_t>& coded) {
    const uint32_t fit = withSlack(coded.size());
    bool wasted = false;
    if (coded.size() > c.capacity) {
        std::lock_guard<std::mutex> arena(arenaMutex_);
        waste_ += c.capacity;
        c.capacity = fit;
        c.offset = top_;
        top_ += c.capacity;
        buffer_.grow(int64_t(top_.load()));
        wasted = true;
    } else if (c.capacity > fit + fit / 4) {
        std::lock_guard<std::mutex> arena(arenaMutex_);
        waste_ += c.capacity - fit;
        c.capacity = fit;
        wasted = true;
    }
    std::memcpy(buffer_.data() + c.offset, coded.data(), coded.size());
    c.size = uint32_t(coded.size());
    return wasted;
}

void PackedStorage::compactIfWasteful() {
    {
        std::lock_guard<std::mutex> arena(arenaMutex_);
        if (waste_ < std::max<uint64_t>(top_.load() / 16, kSmallestCompaction)) return;
    }
    if (compacting_.exchange(true)) return;
    // Every row lock first, then the arena: a thread that stores a row takes them the other way
    // round only while it holds no other row, so it finishes before this waits on its row.
    const int rows = layout_->rowCount();
    for (int r = 0; r < rows; ++r) acquireFlag(rowLocks_[r]);
    {
        std::lock_guard<std::mutex> arena(arenaMutex_);
        std::vector<int> order(static_cast<size_t>(rows));
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](int a, int b) { return chunks_[a].offset < chunks_[b].offset; });
        uint64_t to = 0;
        for (int r : order) {
            Chunk& c = chunks_[size_t(r)];
            if (c.capacity == 0) continue;
            std::memmove(buffer_.data() + to, buffer_.data() + c.offset, c.size);
            c.offset = to;
            to += c.capacity;
        }
        top_ = to;
        waste_ = 0;
        // The rows grow back into the next sixteenth before the next compaction.
        buffer_.discardFrom(int64_t(to + to / 16));
    }
    for (int r = 0; r < rows; ++r) releaseFlag(rowLocks_[r]);
    compacting_ = false;
}

size_t PackedStorage::sizeInBytes() const {
    return size_t(top_.load(std::memory_order_relaxed)) + chunks_.size() * (sizeof(Chunk) + 1) + headerBytes();
}

}  // namespace qv
