#pragma once
// Per-card rows of 16-bit values (turn and river data of one node), given memory only when their
// card actually comes up. A row is touched before its first use: in commit mode it is reserved
// and committed then; in heap mode it was allocated at build time and is zero-filled then.
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace qv {

class CardRows {
public:
    enum class Mode { Commit, Heap };

    CardRows(int rowCount, Mode mode);
    ~CardRows();
    CardRows(const CardRows&) = delete;
    CardRows& operator=(const CardRows&) = delete;

    // Build time: sets a row's element count. Heap mode allocates now and answers false when the
    // allocation fails; commit mode only records the size.
    bool allocate(int row, uint32_t elements);
    // Before a row's first use: gives it zeroed memory unless it is ready already.
    void touch(int row);
    // Marks every row unused: the next touch zero-fills it again.
    void clearReady();

    uint16_t* row(int row) const { return slots_[row].data; }
    uint32_t elements(int row) const { return slots_[row].elements; }
    bool ready(int row) const;
    Mode mode() const { return mode_; }
    // Bytes held by rows that have memory (in commit mode, the committed rows' sizes).
    int64_t bytes() const;

private:
    struct Slot {
        uint16_t* data = nullptr;
        uint32_t elements = 0;
    };
    static size_t rowBytes(uint32_t elements) { return size_t(elements) * 2; }
    void markReady(int row);

    Mode mode_;
    std::vector<Slot> slots_;
    // One bit per row; rows of one node may be touched by different subgame threads at once.
    std::unique_ptr<std::atomic<uint64_t>[]> ready_;
};

}  // namespace qv
