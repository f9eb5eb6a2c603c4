#include "codec/store_value_coder.h"

#include <immintrin.h>

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace qv {

namespace {

constexpr int kBlock = 32, kGroup = 8;

// The two coders differ only in their mode limits, the bytes of their widest mode and the tail
// header; the block layout is shared.
struct Wide {
    using Value = uint32_t;
    static int mode(uint32_t largest) { return largest == 0 ? 0 : largest < 256 ? 1 : largest < 65536 ? 2 : 3; }
    static int tailHeader(uint32_t largest) { return (largest >= 256 ? 1 : 0) | (largest >= 65536 ? 2 : 0); }
    static int tailBytes(int header) { return header == 0 ? 1 : header == 1 ? 2 : header <= 3 ? 4 : 0; }
    static int groupBytes(int mode) { return mode == 0 ? 0 : mode == 1 ? 8 : mode == 2 ? 16 : 32; }
};

struct Narrow {
    using Value = uint16_t;
    static int mode(uint32_t largest) { return largest == 0 ? 0 : largest < 256 ? 1 : largest < 4096 ? 2 : 3; }
    static int tailHeader(uint32_t largest) { return largest >= 256 ? 3 : 1; }
    static int tailBytes(int header) { return header == 1 ? 1 : header == 3 ? 2 : 0; }
    static int groupBytes(int mode) { return mode == 0 ? 0 : mode == 1 ? 8 : mode == 2 ? 12 : 16; }
};

template <typename T>
void putLittleEndian(uint8_t* out, T value, int bytes) {
    for (int b = 0; b < bytes; ++b) out[b] = uint8_t(uint64_t(value) >> (8 * b));
}

template <typename T>
T getLittleEndian(const uint8_t* in, int bytes) {
    uint64_t value = 0;
    for (int b = 0; b < bytes; ++b) value |= uint64_t(in[b]) << (8 * b);
    return T(value);
}

uint8_t* putWideGroup(const uint32_t* v, int mode, uint8_t* out) {
    const int bytes = Wide::groupBytes(mode) / kGroup;
    for (int i = 0; i < kGroup && bytes; ++i) putLittleEndian(out + i * bytes, v[i], bytes);
    return out + Wide::groupBytes(mode);
}

const uint8_t* getWideGroup(const uint8_t* in, int mode, uint32_t* v) {
    const int bytes = Wide::groupBytes(mode) / kGroup;
    for (int i = 0; i < kGroup; ++i) v[i] = bytes ? getLittleEndian<uint32_t>(in + i * bytes, bytes) : 0;
    return in + Wide::groupBytes(mode);
}

// The 16-bit coder's groups are read and written eight values at a time: records are decoded
// and coded again on every visit of a packed store.
int narrowMode(__m128i group) {
    const int largest = 0xFFFF ^ _mm_extract_epi16(_mm_minpos_epu16(_mm_xor_si128(group, _mm_set1_epi32(-1))), 0);
    return Narrow::mode(uint32_t(largest));
}

uint8_t* putNarrowGroup(__m128i group, int mode, uint8_t* out) {
    switch (mode) {
        case 1: _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(group, group)); return out + 8;
        case 2: {
            // Pairs of 12-bit values become 24-bit numbers, then three bytes each.
            const __m128i pairs = _mm_madd_epi16(group, _mm_set1_epi32(0x10000001));
            const __m128i bytes = _mm_shuffle_epi8(pairs, _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1));
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
            const int last = _mm_extract_epi32(bytes, 2);
            std::memcpy(out + 8, &last, 4);
            return out + 12;
        }
        case 3: _mm_storeu_si128(reinterpret_cast<__m128i*>(out), group); return out + 16;
        default: return out;
    }
}

const uint8_t* getNarrowGroup(const uint8_t* in, const uint8_t* end, int mode, uint16_t* v) {
    __m128i group = _mm_setzero_si128();
    if (mode == 1) {
        group = _mm_cvtepu8_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(in)));
    } else if (mode == 2) {
        __m128i bytes;
        if (end - in >= 16) {
            bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        } else {
            alignas(16) uint8_t copy[16] = {};
            std::memcpy(copy, in, 12);
            bytes = _mm_load_si128(reinterpret_cast<const __m128i*>(copy));
        }
        const __m128i pairs = _mm_shuffle_epi8(bytes, _mm_setr_epi8(0, 1, 1, 2, 3, 4, 4, 5, 6, 7, 7, 8, 9, 10, 10, 11));
        group = _mm_blend_epi16(_mm_and_si128(pairs, _mm_set1_epi16(0x0FFF)), _mm_srli_epi16(pairs, 4), 0xAA);
    } else if (mode == 3) {
        group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(v), group);
    return in + Narrow::groupBytes(mode);
}

template <typename Coder>
uint8_t* encodeBlock(const typename Coder::Value* values, uint8_t* out) {
    uint8_t* header = out++;
    *header = 0;
    for (int g = 0; g < kBlock / kGroup; ++g) {
        const auto* group = values + g * kGroup;
        int mode = 0;
        if constexpr (std::is_same_v<Coder, Narrow>) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(group));
            mode = narrowMode(v);
            out = putNarrowGroup(v, mode, out);
        } else {
            mode = Coder::mode(*std::max_element(group, group + kGroup));
            out = putWideGroup(group, mode, out);
        }
        *header = uint8_t(*header | mode << (2 * g));
    }
    return out;
}

template <typename Coder>
const uint8_t* decodeBlock(const uint8_t* in, const uint8_t* end, typename Coder::Value* values) {
    if (in == end) return nullptr;
    const uint8_t header = *in++;
    for (int g = 0; g < kBlock / kGroup; ++g) {
        const int mode = header >> (2 * g) & 3;
        if (end - in < Coder::groupBytes(mode)) return nullptr;
        if constexpr (std::is_same_v<Coder, Narrow>) in = getNarrowGroup(in, end, mode, values + g * kGroup);
        else in = getWideGroup(in, mode, values + g * kGroup);
    }
    return in;
}

template <typename Coder>
size_t encode(const typename Coder::Value* values, int n, uint8_t* out) {
    uint8_t* start = out;
    int i = 0;
    for (; i + kBlock <= n; i += kBlock) out = encodeBlock<Coder>(values + i, out);
    for (; i < n; i += kGroup) {
        const int count = std::min(kGroup, n - i);
        const int header = Coder::tailHeader(*std::max_element(values + i, values + i + count));
        const int bytes = Coder::tailBytes(header);
        *out++ = uint8_t(header);
        for (int k = 0; k < count; ++k, out += bytes) putLittleEndian(out, values[i + k], bytes);
    }
    return size_t(out - start);
}

template <typename Coder>
bool decode(const uint8_t* in, size_t size, typename Coder::Value* values, int n, size_t& used) {
    const uint8_t* start = in;
    const uint8_t* end = in + size;
    int i = 0;
    for (; i + kBlock <= n; i += kBlock)
        if (!(in = decodeBlock<Coder>(in, end, values + i))) return false;
    for (; i < n; i += kGroup) {
        const int count = std::min(kGroup, n - i);
        if (in == end) return false;
        const int bytes = Coder::tailBytes(*in++);
        if (bytes == 0 || end - in < count * bytes) return false;
        for (int k = 0; k < count; ++k, in += bytes) values[i + k] = getLittleEndian<typename Coder::Value>(in, bytes);
    }
    used = size_t(in - start);
    return true;
}

}  // namespace

size_t storeValueBound(int n, int bytesPerValue) {
    const int tail = n % kBlock;
    return size_t(n / kBlock) + size_t((tail + kGroup - 1) / kGroup) + size_t(n) * size_t(bytesPerValue);
}

size_t encodeStoreValues32(const uint32_t* values, int n, uint8_t* out) { return encode<Wide>(values, n, out); }
size_t encodeStoreValues16(const uint16_t* values, int n, uint8_t* out) { return encode<Narrow>(values, n, out); }

bool decodeStoreValues32(const uint8_t* in, size_t size, uint32_t* values, int n, size_t& used) {
    return decode<Wide>(in, size, values, n, used);
}

bool decodeStoreValues16(const uint8_t* in, size_t size, uint16_t* values, int n, size_t& used) {
    return decode<Narrow>(in, size, values, n, used);
}

}  // namespace qv
