#pragma once
// What 16-bit regret and strategy-sum records do, whatever holds their values: plain arrays, or
// packed rows decoded on use. A storage class provides `Use`, which hands out a record's values
// for the duration of one operation and is told whether they change.
#include <algorithm>
#include <cmath>
#include <utility>

#include "solver/math_functions.h"
#include "solver/node_store.h"
#include "solver/vector_ops.h"

namespace qv {

inline uint16_t roundToUnit(float value) { return uint16_t(std::lrint(std::clamp(value, 0.0f, 65535.0f))); }

// A record's values taken out of or put into 16-bit units of `unit` per value (the file's forms
// of both 16-bit classes). Loading chooses the record scale: the largest value lands near
// `target` units, no larger than `largestScale`.
template <typename Storage, typename Records>
void saveSixteenBit(Records& records, int board, float unit, float* out) {
    typename Storage::Use use(records, board, false);
    const int hands = records.hands(board);
    for (int a = 0; a < records.actions(); ++a)
        for (int h = 0; h < hands; ++h)
            out[size_t(a) * hands + h] = float(use.values()[size_t(a) * records.stride(board) + h]) / unit;
}

template <typename Storage, typename Records>
float loadSixteenBit(Records& records, int board, float unit, float target, float largestScale, const float* in) {
    const int hands = records.hands(board);
    const size_t count = size_t(records.actions()) * size_t(hands);
    float largest = 0;
    for (size_t i = 0; i < count; ++i) largest = std::max(largest, in[i]);
    const float scale = largest * unit > 0 ? std::min(largestScale, target / (largest * unit)) : 1.0f;
    typename Storage::Use use(records, board, true);
    for (int a = 0; a < records.actions(); ++a)
        for (int h = 0; h < hands; ++h)
            use.values()[size_t(a) * records.stride(board) + h] = roundToUnit(in[size_t(a) * hands + h] * unit * scale);
    return scale;
}

// Regrets in units of 1 / (value scale x record scale). With a coarse limit, records that are
// past the warm-up keep their largest value at most that limit, halving as they grow, so every
// value codes in one byte; until then, and in plain records, adaptive precision keeps the largest
// value between about 1024 x 2^precision and 60000.
template <typename Storage>
class Regret16Records final : public Storage {
public:
    template <typename... StorageArguments>
    Regret16Records(float valueScale, uint16_t coarseLimit, StorageArguments&&... arguments)
        : Storage(std::forward<StorageArguments>(arguments)...), valueScale_(valueScale), coarseLimit_(coarseLimit) {}

    void currentStrategy(int board, float* strategy) override {
        typename Storage::Use use(*this, board, false);
        regretMatch16(use.values(), this->actions_, size_t(this->stride(board)), this->stride(board), strategy);
    }
    bool hasRegret(int board, int hand) override {
        typename Storage::Use use(*this, board, false);
        for (int a = 0; a < this->actions_; ++a)
            if (use.values()[size_t(a) * this->stride(board) + hand]) return true;
        return false;
    }
    void storeAction(int board, int action, const float* v) override {
        typename Storage::Use use(*this, board, true);
        uint16_t* out = use.values() + size_t(action) * this->stride(board);
        for (int h = 0; h < this->hands(board); ++h) out[h] = roundToUnit(v[h]);
    }
    void saveRecord(int board, float* values) override {
        saveSixteenBit<Storage>(*this, board, valueScale_ * this->headers_[board].scale, values);
    }
    void replaceRecord(int board, const float* values) override {
        RecordHeader& header = this->headers_[board];
        header.scale = loadSixteenBit<Storage>(*this, board, valueScale_, coarseLimit_ ? coarseLimit_ : 30000.0f,
                                               32.0f, values);
    }
    void addRegrets(int board, const float* const* childValues, const float* nodeValue,
                    const RegretUpdate& update) override {
        typename Storage::Use use(*this, board, true);
        RecordHeader& header = this->headers_[board];
        uint16_t* r = use.values();
        const size_t count = this->recordElements(board);
        const float scale = update.adaptivePrecision ? valueScale_ * header.scale : valueScale_;
        uint16_t largest = updateRegrets16(r, this->actions_, size_t(this->stride(board)), this->stride(board),
                                           childValues, nodeValue, scale, this->skipMarks(board));
        // Coarse units need the record scale, which only adaptive precision applies.
        const bool coarse = coarseLimit_ && update.adaptivePrecision && update.iteration >= update.warmup;
        for (; coarse && largest > coarseLimit_; largest = uint16_t(std::lrint(largest * 0.5f))) {
            rescale16(r, count, 0.5f);
            header.scale *= 0.5f;
        }
        if (update.adaptivePrecision && update.iteration % 10 == 0) {
            const double floor = coarse ? (coarseLimit_ + 1) / 2 : 1024.0 * powerOfTwo(update.precision);
            adapt(header, r, count, largest, floor);
        }
    }

private:
    // Raises small records by up to eightfold towards `floor`; halves records that reach 60001.
    static void adapt(RecordHeader& header, uint16_t* r, size_t count, uint16_t largest, double floor) {
        if (largest == 0) return;
        if (floor > largest && header.scale <= 32.0f) {
            float factor = float(std::min(powerOfTwo(ceilLog2(floor / largest)), 8.0));
            rescale16(r, count, factor);
            header.scale *= factor;
        }
        if (largest >= 60001) {
            rescale16(r, count, 0.5f);
            header.scale *= 0.5f;
        }
    }

    float valueScale_;
    uint16_t coarseLimit_;  // 0: none
};

// Strategy sums stored as sum x scale, the record's float scale halving whenever a value would
// pass `limit`.
template <typename Storage>
class Sum16Records final : public Storage {
public:
    static constexpr float kInitialScale = 16.0f;

    template <typename... StorageArguments>
    Sum16Records(float limit, StorageArguments&&... arguments)
        : Storage(std::forward<StorageArguments>(arguments)...), limit_(limit) {
        for (RecordHeader& h : this->headers_) h.scale = kInitialScale;
    }

    void storeAction(int board, int action, const float* v) override {
        typename Storage::Use use(*this, board, true);
        uint16_t* out = use.values() + size_t(action) * this->stride(board);
        for (int h = 0; h < this->hands(board); ++h) out[h] = roundToUnit(v[h]);
    }
    void saveRecord(int board, float* values) override {
        saveSixteenBit<Storage>(*this, board, this->headers_[board].scale, values);
    }
    void replaceRecord(int board, const float* values) override {
        this->headers_[board].scale = loadSixteenBit<Storage>(*this, board, 1.0f, limit_ * 0.5f, kInitialScale, values);
    }
    void addToSums(int board, const float* const* add, float weight, float* temp) override {
        static thread_local std::vector<float> zeros;
        static thread_local std::vector<const float*> arrays;
        const int stride = this->stride(board);
        if (zeros.size() < size_t(stride)) zeros.assign(size_t(stride), 0.0f);
        arrays.resize(size_t(this->actions_));
        for (int a = 0; a < this->actions_; ++a) arrays[a] = add[a] ? add[a] : zeros.data();
        typename Storage::Use use(*this, board, true);
        accumulate16(use.values(), this->actions_, size_t(stride), stride, arrays.data(), weight,
                     this->headers_[board].scale, limit_, this->skipMarks(board), temp);
    }
    void averageFromSums(int board, const float* fallback, float* strategy) override {
        typename Storage::Use use(*this, board, false);
        normaliseSums16(use.values(), this->actions_, size_t(this->stride(board)), this->stride(board), fallback,
                        strategy);
    }

private:
    float limit_;
};

}  // namespace qv
