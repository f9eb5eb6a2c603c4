// The plain store classes: float records, and 16-bit records in arrays (regrets with adaptive
// precision, and the "fast" strategy sums).
#include <algorithm>
#include <cstring>

#include "solver/node_store.h"
#include "solver/packed_stores.h"
#include "solver/sixteen_bit_records.h"
#include "solver/vector_ops.h"

namespace qv {

void BoardLayout::append(int count, int parent) {
    if (boards() == 0 || parent != lastParent_) rows.push_back(boards());
    lastParent_ = parent;
    rowOfBoard.push_back(rowCount() - 1);
    counts.push_back(count);
    strides.push_back(paddedLength(count));
    offsets.push_back(total);
    total += size_t(strides.back());
}

std::shared_ptr<const BoardLayout> BoardLayout::uniform(int hands, int boards) {
    auto layout = std::make_shared<BoardLayout>();
    for (int b = 0; b < boards; ++b) layout->append(hands, 0);
    return layout;
}

NodeStore::NodeStore(int actions, std::shared_ptr<const BoardLayout> layout)
    : actions_(actions), layout_(std::move(layout)), headers_(size_t(layout_->boards())) {}

NodeStore::~NodeStore() {
    for (RecordHeader& h : headers_) delete[] h.lockMarks;
}

namespace {

class FloatStore final : public NodeStore {
public:
    FloatStore(int actions, LayoutPointer layout, Paging paging)
        : NodeStore(actions, std::move(layout)), data_(totalElements(), paging) {}

    void prefetchRecord(int board) override { prefetchBytes(values(board), sizeof(float) * recordElements(board)); }
    void currentStrategy(int board, float* strategy) override {
        regretMatch(values(board), actions_, size_t(stride(board)), stride(board), strategy);
    }
    bool hasRegret(int board, int hand) override {
        float sum = 0;
        for (int a = 0; a < actions_; ++a) sum += values(board)[size_t(a) * stride(board) + hand];
        return sum >= kSmallestNormal;
    }
    // A store whose boards hold no hand has no buffer at all: nothing to copy, and no pointer.
    void storeAction(int board, int action, const float* v) override {
        if (hands(board) == 0) return;
        std::memcpy(values(board) + size_t(action) * stride(board), v, sizeof(float) * size_t(hands(board)));
    }
    void addRegrets(int board, const float* const* childValues, const float* nodeValue, const RegretUpdate&) override {
        updateRegrets(values(board), actions_, size_t(stride(board)), stride(board), childValues, nodeValue,
                      skipMarks(board));
    }
    void addToSums(int board, const float* const* add, float weight, float*) override {
        float* sums = values(board);
        const uint8_t* skip = skipMarks(board);
        for (int a = 0; a < actions_; ++a)
            if (add[a]) accumulate(sums + size_t(a) * stride(board), add[a], weight, stride(board), skip);
    }
    void averageFromSums(int board, const float* fallback, float* strategy) override {
        normaliseSums(values(board), actions_, size_t(stride(board)), stride(board), fallback, strategy);
    }
    void saveRecord(int board, float* out) override {
        if (hands(board) == 0) return;
        for (int a = 0; a < actions_; ++a)
            std::memcpy(out + size_t(a) * hands(board), values(board) + size_t(a) * stride(board),
                        sizeof(float) * size_t(hands(board)));
    }
    void replaceRecord(int board, const float* in) override {
        for (int a = 0; a < actions_; ++a) storeAction(board, a, in + size_t(a) * hands(board));
    }
    size_t sizeInBytes() const override { return data_.bytes() + headerBytes(); }

private:
    float* values(int board) { return data_.data() + recordStart(board); }

    AlignedFloats data_;
};

// 16-bit records in arrays; `groups` > 1 splits them into that many separately allocated blocks.
class PlainStorage : public NodeStore {
public:
    PlainStorage(int actions, LayoutPointer layout, int groups, Paging paging) : NodeStore(actions, std::move(layout)) {
        groups = std::max(1, std::min(groups, boards()));
        perGroup_ = std::max(1, (boards() + groups - 1) / groups);
        for (int first = 0; first < boards(); first += perGroup_) {
            int end = std::min(boards(), first + perGroup_);
            size_t elements = recordStart(end - 1) + recordElements(end - 1) - recordStart(first);
            blocks_.emplace_back(elements, paging);
        }
    }

    size_t sizeInBytes() const override {
        size_t bytes = headerBytes();
        for (const auto& b : blocks_) bytes += b.bytes();
        return bytes;
    }

    void prefetchRecord(int board) override { prefetchBytes(values(board), sizeof(uint16_t) * recordElements(board)); }

    class Use {
    public:
        Use(PlainStorage& storage, int board, bool) : values_(storage.values(board)) {}
        uint16_t* values() const { return values_; }

    private:
        uint16_t* values_;
    };

private:
    uint16_t* values(int board) {
        const int g = board / perGroup_;
        return blocks_[g].data() + recordStart(board) - recordStart(g * perGroup_);
    }

    int perGroup_ = 1;
    std::vector<AlignedArray<uint16_t>> blocks_;
};

}  // namespace

std::unique_ptr<NodeStore> makeFloatStore(int actions, LayoutPointer layout, Paging paging) {
    return std::make_unique<FloatStore>(actions, std::move(layout), paging);
}

std::unique_ptr<NodeStore> makeRegret16Store(int actions, LayoutPointer layout, float valueScale, int component,
                                             Paging paging) {
    if (component != 0) return makePackedRegretStore(actions, std::move(layout), valueScale, component);
    return std::make_unique<Regret16Records<PlainStorage>>(valueScale, uint16_t(0), actions, std::move(layout), 1,
                                                            paging);
}

std::unique_ptr<NodeStore> makeSum16Store(int actions, LayoutPointer layout, int component, int groups, Paging paging) {
    if (component != 3) return makePackedSumStore(actions, std::move(layout), component);
    return std::make_unique<Sum16Records<PlainStorage>>(65535.0f, actions, std::move(layout), groups, paging);
}

}  // namespace qv
