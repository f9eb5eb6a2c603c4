#pragma once
// Storage of packed 16-bit records. A row (the records of one node dealt from one board state,
// see BoardLayout) is coded as a unit into a chunk of the store's ReservedBuffer; a thread that
// uses a record decodes the record's whole row and holds it until the row is no longer in use:
//
//     chunks:  [row 7 | slack][row 2 | slack][freed][row 9 | slack] ...      top ->
//     held:    thread A: row 7 decoded (dirty)      thread B: row 9 decoded
//
// A traversal job visits the records of its rows one after another, so inside a HoldRowsScope a
// row is decoded once and coded once per job. Jobs own records, not rows: the jobs of a subgame
// that starts on the turn deal the river cards of one turn to different threads, so two threads
// may hold one row and write different records of it. Each chunk therefore carries a version;
// a thread that stores a row someone else stored since it was decoded takes the records it did
// not write from the chunk as it now is, so no thread's records are lost.
// A row coded larger than its chunk moves to the top, one coded far smaller gives up the end of
// its chunk; when the space so left behind passes a sixteenth of the buffer, the chunks are slid
// down together, under every row's lock. Each row has a lock, taken only while the row is being
// decoded or stored, so threads that hold different rows of a store never wait for each other,
// and a reader sees a row as last stored.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "solver/node_store.h"
#include "tree/reserved_buffer.h"

namespace qv {

// How a packed store codes the values of one row: its records' 16-bit values, record after
// record, action after action, each hand array padded to its stride with zeros.
class RowCoder {
public:
    virtual ~RowCoder() = default;
    // The most bytes the row can code to.
    virtual size_t bound(const BoardLayout& layout, int actions, int row) const = 0;
    virtual void encode(const BoardLayout& layout, int actions, int row, const uint16_t* values,
                        std::vector<uint8_t>& out) const = 0;
    // Bad data ends the process ("fse error").
    virtual void decode(const BoardLayout& layout, int actions, int row, const uint8_t* in, size_t size,
                        uint16_t* values) const = 0;
};

class PackedStorage;

// A row decoded by one thread.
struct HeldRow {
    PackedStorage* store = nullptr;
    int row = -1;
    int pins = 0;       // uses in progress
    bool dirty = false;
    uint32_t version = 0;        // the chunk's version when the row was decoded
    std::vector<bool> written;   // per board of the row: this thread changed the record
    size_t size = 0;  // values, in elements
    uint16_t* values = nullptr;
};

// While one is alive on a thread, the rows the thread decodes stay decoded until it ends (or the
// thread holds too much), and are then stored back. A scope begins and ends holding no row that
// is not in use: a scope opened inside another (a subgame solved while a walk reads records)
// stores and lets go of the outer one's rows first, as other threads are about to change them,
// and at its end stores its own, as another thread may take up its records next.
class HoldRowsScope {
public:
    HoldRowsScope();
    ~HoldRowsScope();
    HoldRowsScope(const HoldRowsScope&) = delete;
    HoldRowsScope& operator=(const HoldRowsScope&) = delete;
};

class PackedStorage : public NodeStore {
public:
    PackedStorage(int actions, LayoutPointer layout, const RowCoder& coder);
    ~PackedStorage() override;

    void openRecord(int board) override;
    void closeRecord(int board) override;
    size_t sizeInBytes() const override;

    // A record's decoded values for one operation.
    class Use {
    public:
        Use(PackedStorage& storage, int board, bool write);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;
        uint16_t* values() const { return values_; }

    private:
        HeldRow* held_;
        uint16_t* values_;
    };

    // Decoded values of a row, in elements.
    size_t rowElements(int row) const;
    // Boards of a row.
    int rowBoards(int row) const { return layout_->rowEnd(row) - layout_->rows[row]; }
    // Fills a row's values from its chunk (a row never stored is all zeros); returns its version.
    uint32_t load(int row, uint16_t* values);
    // Codes a held row's values into its chunk; the records it did not write are first brought up
    // to date when the chunk changed since it was decoded.
    void store(HeldRow& held);

private:
    struct Chunk {
        uint64_t offset = 0;
        uint32_t size = 0;
        uint32_t capacity = 0;  // 0: never stored
        uint32_t version = 0;   // stores so far
    };

    class RowLock;
    size_t elementOffset(int board) const;
    void decode(int row, uint16_t* values) const;
    void takeUnwritten(HeldRow& held) const;
    bool place(Chunk& c, const std::vector<uint8_t>& coded);
    void compactIfWasteful();

    const RowCoder& coder_;
    std::vector<Chunk> chunks_;
    std::unique_ptr<std::atomic<bool>[]> rowLocks_;
    ReservedBuffer buffer_;
    std::mutex arenaMutex_;  // guards top_, waste_ and the buffer's growth
    std::atomic<uint64_t> top_{0};
    uint64_t waste_ = 0;
    std::atomic<bool> compacting_{false};
};

}  // namespace qv
