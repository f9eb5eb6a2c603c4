// The plain store classes: float records, 16-bit regrets with adaptive precision, and the "fast"
// 16-bit strategy sums.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "solver/node_store.h"
#include "solver/vector_ops.h"

namespace qv {

void BoardLayout::append(int count) {
    counts.push_back(count);
    strides.push_back(paddedLength(count));
    offsets.push_back(total);
    total += size_t(strides.back());
}

std::shared_ptr<const BoardLayout> BoardLayout::uniform(int hands, int boards) {
    auto layout = std::make_shared<BoardLayout>();
    for (int b = 0; b < boards; ++b) layout->append(hands);
    return layout;
}

NodeStore::NodeStore(int actions, std::shared_ptr<const BoardLayout> layout)
    : actions_(actions), layout_(std::move(layout)), headers_(size_t(layout_->boards())) {}

NodeStore::~NodeStore() {
    for (RecordHeader& h : headers_) delete[] h.lockMarks;
}

namespace {

uint16_t toUnits(float value, float unit) { return uint16_t(std::lrint(std::clamp(value * unit, 0.0f, 65535.0f))); }

class FloatStore final : public NodeStore {
public:
    FloatStore(int actions, LayoutPointer layout, Paging paging)
        : NodeStore(actions, std::move(layout)), data_(totalElements(), paging) {}

    void* rowBase(int board) override { return values(board); }
    void currentStrategy(int board, float* strategy) override {
        regretMatch(values(board), actions_, size_t(stride(board)), stride(board), strategy);
    }
    void overwriteAction(int board, int action, const float* v) override {
        std::memcpy(values(board) + size_t(action) * stride(board), v, sizeof(float) * size_t(hands(board)));
    }
    void addRegrets(int board, const float* const* childValues, const float* nodeValue, const RegretUpdate&) override {
        updateRegrets(values(board), actions_, size_t(stride(board)), stride(board), childValues, nodeValue,
                      skipMarks(board));
    }
    void accumulateStrategy(int board, const float* const* add, float weight, float*) override {
        float* sums = values(board);
        const uint8_t* skip = skipMarks(board);
        for (int a = 0; a < actions_; ++a)
            if (add[a]) accumulate(sums + size_t(a) * stride(board), add[a], weight, stride(board), skip);
    }
    void averageStrategy(int board, const float* fallback, float* strategy) override {
        normaliseSums(values(board), actions_, size_t(stride(board)), stride(board), fallback, strategy);
    }
    size_t sizeInBytes() const override { return data_.bytes() + headerBytes(); }
    int bytesPerElement() const override { return 4; }

private:
    float* values(int board) { return data_.data() + recordStart(board); }

    AlignedFloats data_;
};

class Regret16Store final : public NodeStore {
public:
    Regret16Store(int actions, LayoutPointer layout, float valueScale, Paging paging)
        : NodeStore(actions, std::move(layout)), valueScale_(valueScale), data_(totalElements(), paging) {}

    void* rowBase(int board) override { return values(board); }
    void currentStrategy(int board, float* strategy) override {
        regretMatch16(values(board), actions_, size_t(stride(board)), stride(board), strategy);
    }
    void overwriteAction(int board, int action, const float* v) override {
        uint16_t* out = values(board) + size_t(action) * stride(board);
        const float unit = valueScale_ * headers_[board].scale;
        for (int h = 0; h < hands(board); ++h) out[h] = toUnits(v[h], unit);
    }
    void addRegrets(int board, const float* const* childValues, const float* nodeValue,
                    const RegretUpdate& update) override {
        RecordHeader& header = headers_[board];
        uint16_t* r = values(board);
        const float scale = update.adaptivePrecision ? valueScale_ * header.scale : valueScale_;
        uint16_t largest = updateRegrets16(r, actions_, size_t(stride(board)), stride(board), childValues, nodeValue,
                                           scale, skipMarks(board));
        if (update.adaptivePrecision && update.iteration % 10 == 0)
            adapt(header, r, recordElements(board), largest, update.precision);
    }
    size_t sizeInBytes() const override { return data_.bytes() + headerBytes(); }
    int bytesPerElement() const override { return 2; }

private:
    uint16_t* values(int board) { return data_.data() + recordStart(board); }

    // Keeps the largest regret of a record between about 1024 x 2^precision and 60000, so the
    // 16 bits always carry the record's ratios.
    static void adapt(RecordHeader& header, uint16_t* r, size_t count, uint16_t largest, double precision) {
        if (largest == 0) return;
        const double floor = 1024.0 * std::exp2(precision);
        if (floor > largest && header.scale <= 32.0f) {
            float factor = float(std::min(std::exp2(std::ceil(std::log2(floor / largest))), 8.0));
            rescale16(r, count, factor);
            header.scale *= factor;
        }
        if (largest >= 60001) {
            rescale16(r, count, 0.5f);
            header.scale *= 0.5f;
        }
    }

    float valueScale_;
    AlignedArray<uint16_t> data_;
};

class FastSumStore final : public NodeStore {
public:
    static constexpr float kInitialScale = 16.0f;

    FastSumStore(int actions, LayoutPointer layout, int groups, Paging paging) : NodeStore(actions, std::move(layout)) {
        groups = std::max(1, std::min(groups, boards()));
        perGroup_ = std::max(1, (boards() + groups - 1) / groups);
        for (int first = 0; first < boards(); first += perGroup_) {
            int end = std::min(boards(), first + perGroup_);
            size_t elements = recordStart(end - 1) + recordElements(end - 1) - recordStart(first);
            blocks_.emplace_back(elements, paging);
        }
        for (RecordHeader& h : headers_) h.scale = kInitialScale;
    }

    void* rowBase(int board) override { return values(board); }
    void overwriteAction(int board, int action, const float* v) override {
        uint16_t* out = values(board) + size_t(action) * stride(board);
        for (int h = 0; h < hands(board); ++h) out[h] = toUnits(v[h], headers_[board].scale);
    }
    void accumulateStrategy(int board, const float* const* add, float weight, float* temp) override {
        static thread_local std::vector<float> zeros;
        static thread_local std::vector<const float*> arrays;
        if (zeros.size() < size_t(stride(board))) zeros.assign(size_t(stride(board)), 0.0f);
        arrays.resize(size_t(actions_));
        for (int a = 0; a < actions_; ++a) arrays[a] = add[a] ? add[a] : zeros.data();
        accumulate16(values(board), actions_, size_t(stride(board)), stride(board), arrays.data(), weight,
                     headers_[board].scale, skipMarks(board), temp);
    }
    void averageStrategy(int board, const float* fallback, float* strategy) override {
        normaliseSums16(values(board), actions_, size_t(stride(board)), stride(board), fallback, strategy);
    }
    size_t sizeInBytes() const override {
        size_t bytes = headerBytes();
        for (const auto& b : blocks_) bytes += b.bytes();
        return bytes;
    }
    int bytesPerElement() const override { return 2; }

private:
    uint16_t* values(int board) {
        const int g = board / perGroup_;
        return blocks_[g].data() + recordStart(board) - recordStart(g * perGroup_);
    }

    int perGroup_ = 1;
    std::vector<AlignedArray<uint16_t>> blocks_;
};

}  // namespace

std::unique_ptr<NodeStore> makeFloatStore(StoreRole role, int actions, LayoutPointer layout, Paging paging) {
    (void)role;  // both roles hold plain floats
    return std::make_unique<FloatStore>(actions, std::move(layout), paging);
}

std::unique_ptr<NodeStore> makeRegret16Store(int actions, LayoutPointer layout, float valueScale, Paging paging) {
    return std::make_unique<Regret16Store>(actions, std::move(layout), valueScale, paging);
}

std::unique_ptr<NodeStore> makeFastSumStore(int actions, LayoutPointer layout, int groups, Paging paging) {
    return std::make_unique<FastSumStore>(actions, std::move(layout), groups, paging);
}

}  // namespace qv
