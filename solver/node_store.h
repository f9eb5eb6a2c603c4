#pragma once
// The stores of a decision node: its cumulative regrets (a RegretStore) and the weighted sums of
// its past strategies (a StrategySumStore). One record per board state of the node's level, each
// record action after action (layout.h). The classes differ in element type and encoding and share
// this interface; an operation a class does not support does nothing.
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
// leaves possible, so their lengths differ from board to board.
struct BoardLayout {
    std::vector<int> counts;
    std::vector<int> strides;
    std::vector<size_t> offsets;
    size_t total = 0;  // sum of the strides

    int boards() const { return int(strides.size()); }
    void append(int count);
    static std::shared_ptr<const BoardLayout> uniform(int hands, int boards);
};

// What the regret update needs besides the values.
struct RegretUpdate {
    int iteration = 0;             // completed iterations before this one
    bool adaptivePrecision = true;
    double precision = 0;          // set_precision
};

class NodeStore {
public:
    NodeStore(int actions, std::shared_ptr<const BoardLayout> layout);
    virtual ~NodeStore();
    NodeStore(const NodeStore&) = delete;
    NodeStore& operator=(const NodeStore&) = delete;

    // Opens a record for writing (a packed class unpacks it here); plain classes are always open.
    virtual void prepareRecord(int board) { (void)board; }
    virtual void* rowBase(int board) = 0;
    // Regret stores: the current strategy of every hand by regret matching.
    virtual void currentStrategy(int board, float* strategy) { (void)board, (void)strategy; }
    virtual void overwriteAction(int board, int action, const float* values) = 0;
    virtual void addRegrets(int board, const float* const* childValues, const float* nodeValue,
                            const RegretUpdate& update) {
        (void)board, (void)childValues, (void)nodeValue, (void)update;
    }
    // Strategy-sum stores: sums[a] += weight x add[a] (null arrays add nothing).
    virtual void accumulateStrategy(int board, const float* const* add, float weight, float* temp) {
        (void)board, (void)add, (void)weight, (void)temp;
    }
    virtual size_t sizeInBytes() const = 0;
    virtual void serialise(std::vector<unsigned char>& out) const { (void)out; }
    RecordHeader& record(int board) { return headers_[board]; }
    virtual int bytesPerElement() const = 0;
    // Strategy-sum stores: the average strategy; hands without sums take `fallback` (may alias).
    virtual void averageStrategy(int board, const float* fallback, float* strategy) {
        (void)board, (void)fallback, (void)strategy;
    }

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
    size_t recordStart(int board) const { return size_t(actions_) * layout_->offsets[board]; }
    size_t recordElements(int board) const { return size_t(actions_) * size_t(layout_->strides[board]); }
    size_t totalElements() const { return size_t(actions_) * layout_->total; }
    size_t headerBytes() const { return sizeof(RecordHeader) * headers_.size(); }

    int actions_;
    std::shared_ptr<const BoardLayout> layout_;
    std::vector<RecordHeader> headers_;
};

using RegretStore = NodeStore;
using StrategySumStore = NodeStore;

// Float records: regrets or sums of flop and turn nodes, and of river nodes where no 16-bit class
// applies.
// `paging` says how the data pages are mapped: whole stores swept by every iteration take 2 MB
// pages; stores of which only a few records will be written (a re-solved subgame) take small ones.
using LayoutPointer = std::shared_ptr<const BoardLayout>;
std::unique_ptr<NodeStore> makeFloatStore(StoreRole role, int actions, LayoutPointer layout,
                                          Paging paging = Paging::Huge);
// 16-bit regrets in units of 1 / (scale x record scale), with adaptive precision.
std::unique_ptr<NodeStore> makeRegret16Store(int actions, LayoutPointer layout, float valueScale,
                                             Paging paging = Paging::Huge);
// The "fast" 16-bit strategy sums with a float scale per record; `groups` > 1 splits the records
// into that many separately allocated blocks (the per-NUMA-node variant).
std::unique_ptr<NodeStore> makeFastSumStore(int actions, LayoutPointer layout, int groups,
                                            Paging paging = Paging::Huge);

}  // namespace qv
