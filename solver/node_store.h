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

// What the regret update needs besides the values.
struct RegretUpdate {
    int iteration = 0;             // completed iterations before this one
    bool adaptivePrecision = true;
    double precision = 0;          // set_precision
};

class NodeStore {
public:
    NodeStore(int actions, int hands, int boards);
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
    int hands() const { return hands_; }
    int stride() const { return stride_; }
    int boards() const { return boards_; }
    // Lock markers of a record (null unless COMBO_LOCKED).
    const uint8_t* skipMarks(int board) const {
        const RecordHeader& h = headers_[board];
        return (h.flags & RecordComboLocked) ? h.lockMarks : nullptr;
    }

protected:
    size_t recordElements() const { return size_t(actions_) * stride_; }
    size_t headerBytes() const { return sizeof(RecordHeader) * size_t(boards_); }

    int actions_, hands_, stride_, boards_;
    std::vector<RecordHeader> headers_;
};

using RegretStore = NodeStore;
using StrategySumStore = NodeStore;

// Float records: regrets or sums of flop and turn nodes, and of river nodes where no 16-bit class
// applies.
std::unique_ptr<NodeStore> makeFloatStore(StoreRole role, int actions, int hands, int boards);
// 16-bit regrets in units of 1 / (scale x record scale), with adaptive precision.
std::unique_ptr<NodeStore> makeRegret16Store(int actions, int hands, int boards, float valueScale);
// The "fast" 16-bit strategy sums with a float scale per record; `groups` > 1 splits the records
// into that many separately allocated blocks (the per-NUMA-node variant).
std::unique_ptr<NodeStore> makeFastSumStore(int actions, int hands, int boards, int groups);

}  // namespace qv
