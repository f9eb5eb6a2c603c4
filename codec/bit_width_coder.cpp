#include "codec/bit_width_coder.h"

#include <immintrin.h>

#include <algorithm>
#include <bit>
#include <cstring>

namespace qv {

namespace {

constexpr int kGroup = 8;
// The places of a group's values: eight bytes for widths up to 8, four 16-bit lanes (twice)
// above. Packing gathers the low w bits of each place, unpacking scatters them back.
constexpr uint64_t kByteLanes = 0x0101010101010101ull;
constexpr uint64_t kShortLanes = 0x0001000100010001ull;

int widthOf(__m128i group) {
    const int largest = 0xFFFF ^ _mm_extract_epi16(_mm_minpos_epu16(_mm_xor_si128(group, _mm_set1_epi32(-1))), 0);
    const int w = std::bit_width(unsigned(largest));
    return w == 15 ? 16 : w;
}

uint64_t laneMask(int w, uint64_t lanes) { return lanes * ((1u << w) - 1); }

// Eight values at w bits each, value i at bits w i and up, little-endian: the values' low bits
// gathered from bytes (w up to 8) or from two halves of four 16-bit lanes. Writes 16 bytes.
void packGroup(__m128i group, int w, uint8_t* out) {
    if (w <= 8) {
        const uint64_t bytes = uint64_t(_mm_cvtsi128_si64(_mm_packus_epi16(group, group)));
        const uint64_t bits[2] = {_pext_u64(bytes, laneMask(w, kByteLanes)), 0};
        std::memcpy(out, bits, 16);
        return;
    }
    const uint64_t mask = laneMask(w, kShortLanes);
    const unsigned __int128 low = _pext_u64(uint64_t(_mm_cvtsi128_si64(group)), mask);
    const unsigned __int128 high = _pext_u64(uint64_t(_mm_extract_epi64(group, 1)), mask);
    const unsigned __int128 bits = low | high << (4 * w);
    std::memcpy(out, &bits, 16);
}

__m128i unpackGroup(const uint8_t* in, const uint8_t* end, int w) {
    if (w <= 8) {
        uint64_t bits = 0;
        if (end - in >= 8) std::memcpy(&bits, in, 8);  // a fixed size keeps the copy one load
        else std::memcpy(&bits, in, size_t(w));
        bits = _bzhi_u64(bits, unsigned(8 * w));
        return _mm_cvtepu8_epi16(_mm_cvtsi64_si128(int64_t(_pdep_u64(bits, laneMask(w, kByteLanes)))));
    }
    unsigned __int128 bits = 0;
    if (end - in >= 16) std::memcpy(&bits, in, 16);
    else std::memcpy(&bits, in, size_t(w));
    const uint64_t mask = laneMask(w, kShortLanes);
    // pdep takes only as many low bits as the mask has, so the high half needs no masking off.
    const uint64_t low = _pdep_u64(uint64_t(bits), mask);
    const uint64_t high = _pdep_u64(uint64_t(bits >> (4 * w)), mask);
    return _mm_set_epi64x(int64_t(high), int64_t(low));
}

__m128i loadGroup(const uint16_t* values, int count) {
    if (count == kGroup) return _mm_loadu_si128(reinterpret_cast<const __m128i*>(values));
    alignas(16) uint16_t padded[kGroup] = {};
    std::copy(values, values + count, padded);
    return _mm_load_si128(reinterpret_cast<const __m128i*>(padded));
}

void storeGroup(__m128i group, int count, uint16_t* values) {
    if (count == kGroup) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(values), group);
        return;
    }
    alignas(16) uint16_t all[kGroup];
    _mm_store_si128(reinterpret_cast<__m128i*>(all), group);
    std::copy(all, all + count, values);
}

}  // namespace

size_t bitWidthBound(int n) {
    const size_t groups = size_t((n + kGroup - 1) / kGroup);
    return (groups + 1) / 2 + groups * 2 * kGroup;
}

size_t encodeBitWidths(const uint16_t* values, int n, uint8_t* out) {
    uint8_t* start = out;
    uint8_t* header = nullptr;
    for (int first = 0, g = 0; first < n; first += kGroup, ++g) {
        const __m128i group = loadGroup(values + first, std::min(kGroup, n - first));
        const int w = widthOf(group);
        const uint8_t code = uint8_t(w == 16 ? 15 : w);
        if (g % 2 == 0) {
            header = out++;
            *header = code;
        } else {
            *header = uint8_t(*header | code << 4);
        }
        // The bound leaves 16 bytes a group, so the whole-word writes stay inside it.
        packGroup(group, w, out);
        out += w;
    }
    return size_t(out - start);
}

bool decodeBitWidths(const uint8_t* in, size_t size, uint16_t* values, int n, size_t& used) {
    const uint8_t* start = in;
    const uint8_t* end = in + size;
    uint8_t header = 0;
    for (int first = 0, g = 0; first < n; first += kGroup, ++g) {
        if (g % 2 == 0) {
            if (in == end) return false;
            header = *in++;
        }
        const int code = g % 2 ? header >> 4 : header & 15;
        const int w = code == 15 ? 16 : code;
        if (end - in < w) return false;
        storeGroup(unpackGroup(in, end, w), std::min(kGroup, n - first), values + first);
        in += w;
    }
    used = size_t(in - start);
    return true;
}

}  // namespace qv
