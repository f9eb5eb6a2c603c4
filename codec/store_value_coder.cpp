#include "codec/store_value_coder.h"

#include <algorithm>
#include <cstring>

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

template <typename Coder>
uint8_t* putGroup(const typename Coder::Value* v, int mode, uint8_t* out) {
    if (mode == 1) {
        for (int i = 0; i < kGroup; ++i) out[i] = uint8_t(v[i]);
    } else if (mode == 2 && Coder::groupBytes(2) == 12) {
        for (int i = 0; i < kGroup; i += 2, out += 3) {
            out[0] = uint8_t(v[i]);
            out[1] = uint8_t((v[i] >> 8) | (v[i + 1] << 4));
            out[2] = uint8_t(v[i + 1] >> 4);
        }
        return out;
    } else if (mode >= 2) {
        const int bytes = Coder::groupBytes(mode) / kGroup;
        for (int i = 0; i < kGroup; ++i) putLittleEndian(out + i * bytes, v[i], bytes);
    }
    return out + Coder::groupBytes(mode);
}

template <typename Coder>
const uint8_t* getGroup(const uint8_t* in, int mode, typename Coder::Value* v) {
    using Value = typename Coder::Value;
    if (mode == 0) {
        std::fill(v, v + kGroup, Value(0));
    } else if (mode == 1) {
        for (int i = 0; i < kGroup; ++i) v[i] = in[i];
    } else if (mode == 2 && Coder::groupBytes(2) == 12) {
        for (int i = 0; i < kGroup; i += 2, in += 3) {
            v[i] = Value(in[0] | (in[1] & 0x0F) << 8);
            v[i + 1] = Value(in[1] >> 4 | in[2] << 4);
        }
        return in;
    } else {
        const int bytes = Coder::groupBytes(mode) / kGroup;
        for (int i = 0; i < kGroup; ++i) v[i] = getLittleEndian<Value>(in + i * bytes, bytes);
    }
    return in + Coder::groupBytes(mode);
}

template <typename Coder>
size_t encode(const typename Coder::Value* values, int n, uint8_t* out) {
    uint8_t* start = out;
    int i = 0;
    for (; i + kBlock <= n; i += kBlock) {
        uint8_t* header = out++;
        *header = 0;
        for (int g = 0; g < kBlock / kGroup; ++g) {
            const auto* group = values + i + g * kGroup;
            const int mode = Coder::mode(*std::max_element(group, group + kGroup));
            *header = uint8_t(*header | mode << (2 * g));
            out = putGroup<Coder>(group, mode, out);
        }
    }
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
    for (; i + kBlock <= n; i += kBlock) {
        if (in == end) return false;
        const uint8_t header = *in++;
        for (int g = 0; g < kBlock / kGroup; ++g) {
            const int mode = header >> (2 * g) & 3;
            if (end - in < Coder::groupBytes(mode)) return false;
            in = getGroup<Coder>(in, mode, values + i + g * kGroup);
        }
    }
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
