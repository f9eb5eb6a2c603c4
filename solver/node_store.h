#pragma once
// The stores of a decision node: its cumulative regrets (a RegretStore) and the weighted sums of
// its past strategies (a StrategySumStore). One record per board state of the node's level, each
// record action after action (layout.h). The classes differ in element type and encoding and share
// this interface; an operation a class does not support does nothing. Records are reached only
// through it: packed classes keep them coded and decode them on use.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "solver/aligned_buffer.h"
#include "solver/layout.h"

namespace qv {

// Where each board state's record lies in the stores of one player's nodes at one level: record b
// holds `counts[b]` hands, each action array `strides[b]` long, starting `offsets[b]` elements per
// action into the store. River records of flop and turn trees hold only the hands that the board
// leaves possible, so their lengths differ from board to board. Records of boards dealt from the
// same board state form a row (rows[r] is the first board of row r): one traversal job visits a
// row's records one after the other, and packed stores code a row as a unit.
struct BoardLayout {
    std::vector<int> counts;
    std::vector<int> strides;
    std::vector<size_t> offsets;
    std::vector<int> rows;
    std::vector<int> rowOfBoard;
    size_t total = 0;  // sum of the strides

    int boards() const { return int(strides.size()); }
    int rowCount() const { return int(rows.size()); }
    int rowEnd(int row) const { return row + 1 < rowCount() ? rows[row + 1] : boards(); }
    // Adds a board; `parent` is the board state it was dealt from.
    void append(int count, int parent);
    static std::shared_ptr<const BoardLayout> uniform(int hands, int boards);

private:
    int lastParent_ = -1;
};

// What the regret update needs besides the values.
struct RegretUpdate {
    int iteration = 0;             // completed iterations before this one
    bool adaptivePrecision = true;
    double precision = 0;          // set_precision
    int warmup = 0;                // iterations before coarse records take their coarse units
};

class NodeStore {
public:
    NodeStore(int actions, std::shared_ptr<const BoardLayout> layout);
    virtual ~NodeStore();
    NodeStore(const NodeStore&) = delete;
    NodeStore& operator=(const NodeStore&) = delete;

    // A record's use by one thread: a packed class decodes the record at open and codes it again
    // at close when it changed, so a visit that reads and writes it pays for that once. An
    // operation outside such a pair opens the record for itself. Plain classes do nothing here.
    virtual void openRecord(int board) { (void)board; }
    virtual void closeRecord(int board) { (void)board; }
    // Asks for a record's memory ahead of its use: a tree too large for the caches streams its
    // records from memory, and each is read in runs too short for the hardware to foresee.
    // Packed classes decode a row at once and ask for nothing.
    virtual void prefetchRecord(int board) { (void)board; }

    // Regret stores: the current strategy of every hand by regret matching.
    virtual void currentStrategy(int board, float* strategy) { (void)board, (void)strategy; }
    // Regret stores: whether a hand has any regret (one without plays the default strategy).
    virtual bool hasRegret(int board, int hand) { return (void)board, (void)hand, false; }
    // One action's stored values become `values`, in the store's own units: floats as given,
    // 16-bit values rounded and saturated. Node locking writes its weights this way.
    void writeAction(int board, int action, const float* values) {
        noteWrite();
        storeAction(board, action, values);
    }
    virtual void addRegrets(int board, const float* const* childValues, const float* nodeValue,
                            const RegretUpdate& update) {
        (void)board, (void)childValues, (void)nodeValue, (void)update;
    }
    // Strategy-sum stores: sums[a] += weight x add[a] (null arrays add nothing).
    void accumulateStrategy(int board, const float* const* add, float weight, float* temp) {
        noteWrite();
        addToSums(board, add, weight, temp);
    }
    // Strategy-sum stores: the average strategy; hands without sums take `fallback` (may alias).
    // A store never written holds only zeros, so its records are not visited (every sum store
    // before averaging starts: an exploitability check then read and divided all of them).
    void averageStrategy(int board, const float* fallback, float* strategy) {
        if (written())
            averageFromSums(board, fallback, strategy);
        else if (fallback != strategy)
            std::copy(fallback, fallback + recordElements(board), strategy);
    }
    // A whole record in the units a tree file keeps, action after action, hands(board) values
    // each: regrets in chips, strategy sums as sums. Saving reads it; loading replaces it (a
    // 16-bit class picks the record scale that fits the values).
    virtual void saveRecord(int board, float* values) = 0;
    void loadRecord(int board, const float* values) {
        noteWrite();
        replaceRecord(board, values);
    }
    virtual size_t sizeInBytes() const = 0;
    RecordHeader& record(int board) { return headers_[board]; }

    int actions() const { return actions_; }
    int hands(int board) const { return layout_->counts[board]; }
    int stride(int board) const { return layout_->strides[board]; }
    int boards() const { return layout_->boards(); }
    // Lock markers of a record (null unless COMBO_LOCKED).
    const uint8_t* skipMarks(int board) const {
        const RecordHeader& h = headers_[board];
        return (h.flags & RecordComboLocked) ? h.lockMarks : nullptr;
    }

protected:
    // The writes, each class in its own units (see the public operations of the same meaning).
    virtual void storeAction(int board, int action, const float* values) = 0;
    virtual void addToSums(int board, const float* const* add, float weight, float* temp) {
        (void)board, (void)add, (void)weight, (void)temp;
    }
    virtual void replaceRecord(int board, const float* values) = 0;
    virtual void averageFromSums(int board, const float* fallback, float* strategy) {
        (void)board, (void)fallback, (void)strategy;
    }

    size_t recordStart(int board) const { return size_t(actions_) * layout_->offsets[board]; }
    size_t recordElements(int board) const { return size_t(actions_) * size_t(layout_->strides[board]); }
    size_t totalElements() const { return size_t(actions_) * layout_->total; }
    size_t headerBytes() const { return sizeof(RecordHeader) * headers_.size(); }

    int actions_;
    std::shared_ptr<const BoardLayout> layout_;
    std::vector<RecordHeader> headers_;

private:
    bool written() const { return written_.load(std::memory_order_relaxed); }
    // Passes of several threads write records of one store at once: one flag, set without order.
    void noteWrite() {
        if (!written()) written_.store(true, std::memory_order_relaxed);
    }

    std::atomic<bool> written_{false};
};

using RegretStore = NodeStore;
using StrategySumStore = NodeStore;

// Float records: regrets or sums of flop and turn nodes, and of river nodes where no 16-bit class
// applies.
// `paging` says how the data pages are mapped: whole stores swept by every iteration take 2 MB
// pages; stores of which only a few records will be written (a re-solved subgame) take small ones.
using LayoutPointer = std::shared_ptr<const BoardLayout>;
std::unique_ptr<NodeStore> makeFloatStore(int actions, LayoutPointer layout, Paging paging = Paging::Huge);
// 16-bit regrets in units of 1 / (scale x record scale), with adaptive precision: plain
// (component 0) or packed (components 1 and 2, whose rows grow in small pages whatever `paging`).
std::unique_ptr<NodeStore> makeRegret16Store(int actions, LayoutPointer layout, float valueScale, int component,
                                             Paging paging = Paging::Huge);
// 16-bit strategy sums with a float scale per record: the "fast" class (component 3), where
// `groups` > 1 splits the records into that many separately allocated blocks (the per-NUMA-node
// variant), or packed (components 1 and 2).
std::unique_ptr<NodeStore> makeSum16Store(int actions, LayoutPointer layout, int component, int groups,
                                          Paging paging = Paging::Huge);

}  // namespace qv
