#include "solver/packed_stores.h"

#include <algorithm>

#include "codec/array_codec.h"
#include "codec/bit_width_coder.h"
#include "codec/store_value_coder.h"
#include "solver/packed_rows.h"
#include "solver/sixteen_bit_records.h"

namespace qv {

namespace {

constexpr uint16_t kCoarseRegretLimit = 127;
// Sums are kept to a byte, 1/256 of the record's largest hand: the average strategy needs no
// more (measured on the flop benchmark game: the same iterations to 0.3% of the pot as 16 bits).
constexpr float kSumLimit = 255.0f;

// Calls `array(values, n)` for every hand array of a row, in coding order.
template <typename Values, typename Visit>
void forEachArray(const BoardLayout& layout, int actions, int row, Values* values, Visit array) {
    const size_t first = layout.offsets[layout.rows[row]];
    for (int b = layout.rows[row]; b < layout.rowEnd(row); ++b)
        for (int a = 0; a < actions; ++a)
            array(values + size_t(actions) * (layout.offsets[b] - first) + size_t(a) * layout.strides[b], b);
}

void zeroPadding(uint16_t* values, const BoardLayout& layout, int board) {
    std::fill(values + layout.counts[board], values + layout.strides[board], uint16_t(0));
}

// The array coders that code each hand array on its own.
struct StoreValueArrays {
    static size_t bound(int n) { return storeValueBound(n, 2); }
    static size_t encode(const uint16_t* v, int n, uint8_t* out) { return encodeStoreValues16(v, n, out); }
    static bool decode(const uint8_t* in, size_t size, uint16_t* v, int n, size_t& used) {
        return decodeStoreValues16(in, size, v, n, used);
    }
};

struct BitWidthArrays {
    static size_t bound(int n) { return bitWidthBound(n); }
    static size_t encode(const uint16_t* v, int n, uint8_t* out) { return encodeBitWidths(v, n, out); }
    static bool decode(const uint8_t* in, size_t size, uint16_t* v, int n, size_t& used) {
        return decodeBitWidths(in, size, v, n, used);
    }
};

// Every hand array of the row coded on its own, back to back.
template <typename Arrays>
class ArrayRows final : public RowCoder {
public:
    size_t bound(const BoardLayout& layout, int actions, int row) const override {
        size_t bytes = 0;
        for (int b = layout.rows[row]; b < layout.rowEnd(row); ++b) bytes += size_t(actions) * Arrays::bound(layout.counts[b]);
        return bytes;
    }
    void encode(const BoardLayout& layout, int actions, int row, const uint16_t* values,
                std::vector<uint8_t>& out) const override {
        size_t used = out.size();
        out.resize(used + bound(layout, actions, row));
        forEachArray(layout, actions, row, values,
                     [&](const uint16_t* v, int b) { used += Arrays::encode(v, layout.counts[b], out.data() + used); });
        out.resize(used);
    }
    void decode(const BoardLayout& layout, int actions, int row, const uint8_t* in, size_t size,
                uint16_t* values) const override {
        size_t position = 0;
        forEachArray(layout, actions, row, values, [&](uint16_t* v, int b) {
            size_t used = 0;
            if (!Arrays::decode(in + position, size - position, v, layout.counts[b], used)) codedDataFailure();
            position += used;
            zeroPadding(v, layout, b);
        });
    }
};

const ArrayRows<StoreValueArrays> kStoreValueRows;
const ArrayRows<BitWidthArrays> kBitWidthRows;

}  // namespace

std::unique_ptr<NodeStore> makePackedRegretStore(int actions, LayoutPointer layout, float valueScale, int component) {
    if (component == 2)
        return std::make_unique<Regret16Records<PackedStorage>>(valueScale, kCoarseRegretLimit, actions,
                                                                 std::move(layout), kBitWidthRows);
    return std::make_unique<Regret16Records<PackedStorage>>(valueScale, uint16_t(0), actions, std::move(layout),
                                                             kStoreValueRows);
}

std::unique_ptr<NodeStore> makePackedSumStore(int actions, LayoutPointer layout, int component) {
    const RowCoder& coder = component == 2 ? static_cast<const RowCoder&>(kBitWidthRows) : kStoreValueRows;
    return std::make_unique<Sum16Records<PackedStorage>>(kSumLimit, actions, std::move(layout), coder);
}

}  // namespace qv
