// The plain store classes: float records, 16-bit regrets with adaptive precision, and the "fast"
// 16-bit strategy sums.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "solver/node_store.h"
#include "solver/vector_ops.h"

namespace qv {

NodeStore::NodeStore(int actions, int hands, int boards)
    : actions_(actions), hands_(hands), stride_(paddedLength(hands)), boards_(boards), headers_(size_t(boards)) {}

NodeStore::~NodeStore() {
    for (RecordHeader& h : headers_) delete[] h.lockMarks;
}

namespace {

class FloatStore final : public NodeStore {
public:
    FloatStore(int actions, int hands, int boards)
        : NodeStore(actions, hands, boards), data_(recordElements() * size_t(boards)) {}

    void* rowBase(int board) override { return values(board); }
    void currentStrategy(int board, float* strategy) override {
        regretMatch(values(board), actions_, stride_, stride_, strategy);
    }
    void overwriteAction(int board, int action, const float* v) override {
        std::memcpy(values(board) + size_t(action) * stride_, v, sizeof(float) * size_t(hands_));
    }
    void addRegrets(int board, const float* const* childValues, const float* nodeValue, const RegretUpdate&) override {
        updateRegrets(values(board), actions_, stride_, stride_, childValues, nodeValue, skipMarks(board));
    }
    void accumulateStrategy(int board, const float* const* add, float weight, float*) override {
        float* sums = values(board);
        const uint8_t* skip = skipMarks(board);
        for (int a = 0; a < actions_; ++a)
            if (add[a]) accumulate(sums + size_t(a) * stride_, add[a], weight, stride_, skip);
    }
    void averageStrategy(int board, const float* fallback, float* strategy) override {
        normaliseSums(values(board), actions_, stride_, stride_, fallback, strategy);
    }
    size_t sizeInBytes() const override { return data_.bytes() + headerBytes(); }
    int bytesPerElement() const override { return 4; }

private:
    float* values(int board) { return data_.data() + recordElements() * size_t(board); }

    AlignedFloats data_;
};

class Regret16Store final : public NodeStore {
public:
    Regret16Store(int actions, int hands, int boards, float valueScale)
        : NodeStore(actions, hands, boards), valueScale_(valueScale), data_(recordElements() * size_t(boards)) {}

    void* rowBase(int board) override { return values(board); }
    void currentStrategy(int board, float* strategy) override {
        regretMatch16(values(board), actions_, stride_, stride_, strategy);
    }
    void overwriteAction(int board, int action, const float* v) override {
        uint16_t* out = values(board) + size_t(action) * stride_;
        const float unit = valueScale_ * headers_[board].scale;
        for (int h = 0; h < hands_; ++h) out[h] = uint16_t(std::lrint(std::clamp(v[h] * unit, 0.0f, 65535.0f)));
    }
    void addRegrets(int board, const float* const* childValues, const float* nodeValue,
                    const RegretUpdate& update) override {
        RecordHeader& header = headers_[board];
        uint16_t* r = values(board);
        const float scale = update.adaptivePrecision ? valueScale_ * header.scale : valueScale_;
        uint16_t largest = updateRegrets16(r, actions_, stride_, stride_, childValues, nodeValue, scale, skipMarks(board));
        if (update.adaptivePrecision && update.iteration % 10 == 0) adapt(header, r, largest, update.precision);
    }
    size_t sizeInBytes() const override { return data_.bytes() + headerBytes(); }
    int bytesPerElement() const override { return 2; }

private:
    uint16_t* values(int board) { return data_.data() + recordElements() * size_t(board); }

    // Keeps the largest regret of a record between about 1024 x 2^precision and 60000, so the
    // 16 bits always carry the record's ratios.
    void adapt(RecordHeader& header, uint16_t* r, uint16_t largest, double precision) {
        if (largest == 0) return;
        const double floor = 1024.0 * std::exp2(precision);
        if (floor > largest && header.scale <= 32.0f) {
            float factor = float(std::min(std::exp2(std::ceil(std::log2(floor / largest))), 8.0));
            rescale16(r, recordElements(), factor);
            header.scale *= factor;
        }
        if (largest >= 60001) {
            rescale16(r, recordElements(), 0.5f);
            header.scale *= 0.5f;
        }
    }

    float valueScale_;
    AlignedArray<uint16_t> data_;
};

class FastSumStore final : public NodeStore {
public:
    static constexpr float kInitialScale = 16.0f;

    FastSumStore(int actions, int hands, int boards, int groups)
        : NodeStore(actions, hands, boards), groups_(std::max(1, groups)) {
        perGroup_ = (boards + groups_ - 1) / groups_;
        for (int g = 0; g < groups_; ++g) {
            int count = std::max(0, std::min(boards, (g + 1) * perGroup_) - g * perGroup_);
            blocks_.emplace_back(recordElements() * size_t(count));
        }
        for (RecordHeader& h : headers_) h.scale = kInitialScale;
    }

    void* rowBase(int board) override { return values(board); }
    void overwriteAction(int board, int action, const float* v) override {
        uint16_t* out = values(board) + size_t(action) * stride_;
        const float scale = headers_[board].scale;
        for (int h = 0; h < hands_; ++h) out[h] = uint16_t(std::lrint(std::clamp(v[h] * scale, 0.0f, 65535.0f)));
    }
    void accumulateStrategy(int board, const float* const* add, float weight, float* temp) override {
        static thread_local std::vector<float> zeros;
        static thread_local std::vector<const float*> arrays;
        if (zeros.size() < size_t(stride_)) zeros.assign(size_t(stride_), 0.0f);
        arrays.resize(size_t(actions_));
        for (int a = 0; a < actions_; ++a) arrays[a] = add[a] ? add[a] : zeros.data();
        accumulate16(values(board), actions_, stride_, stride_, arrays.data(), weight, headers_[board].scale,
                     skipMarks(board), temp);
    }
    void averageStrategy(int board, const float* fallback, float* strategy) override {
        normaliseSums16(values(board), actions_, stride_, stride_, fallback, strategy);
    }
    size_t sizeInBytes() const override {
        size_t bytes = headerBytes();
        for (const auto& b : blocks_) bytes += b.bytes();
        return bytes;
    }
    int bytesPerElement() const override { return 2; }

private:
    uint16_t* values(int board) {
        int g = board / perGroup_;
        return blocks_[g].data() + recordElements() * size_t(board - g * perGroup_);
    }

    int groups_;
    int perGroup_ = 1;
    std::vector<AlignedArray<uint16_t>> blocks_;
};

}  // namespace

std::unique_ptr<NodeStore> makeFloatStore(StoreRole role, int actions, int hands, int boards) {
    (void)role;  // both roles hold plain floats
    return std::make_unique<FloatStore>(actions, hands, boards);
}

std::unique_ptr<NodeStore> makeRegret16Store(int actions, int hands, int boards, float valueScale) {
    return std::make_unique<Regret16Store>(actions, hands, boards, valueScale);
}

std::unique_ptr<NodeStore> makeFastSumStore(int actions, int hands, int boards, int groups) {
    return std::make_unique<FastSumStore>(actions, hands, boards, groups);
}

}  // namespace qv
