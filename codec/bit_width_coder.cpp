#include "codec/bit_width_coder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace qv {

namespace {

constexpr int kGroup = 8;

int widthOf(uint16_t largest) {
    const int w = std::bit_width(largest);
    return w == 15 ? 16 : w;
}

// The eight values of a group at w bits each, value i at bits w i and up, little-endian.
void packGroup(const uint16_t* v, int w, uint8_t* out) {
    unsigned __int128 bits = 0;
    for (int i = 0; i < kGroup; ++i) bits |= static_cast<unsigned __int128>(v[i]) << (w * i);
    std::memcpy(out, &bits, size_t(w));
}

void unpackGroup(const uint8_t* in, int w, uint16_t* v) {
    unsigned __int128 bits = 0;
    std::memcpy(&bits, in, size_t(w));
    const uint32_t mask = (1u << w) - 1;
    for (int i = 0; i < kGroup; ++i) v[i] = uint16_t(uint32_t(bits >> (w * i)) & mask);
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
        uint16_t group[kGroup] = {};
        std::copy(values + first, values + std::min(n, first + kGroup), group);
        const int w = widthOf(*std::max_element(group, group + kGroup));
        if (g % 2 == 0) {
            header = out++;
            *header = uint8_t(w == 16 ? 15 : w);
        } else {
            *header = uint8_t(*header | (w == 16 ? 15 : w) << 4);
        }
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
        uint16_t group[kGroup];
        unpackGroup(in, w, group);
        in += w;
        std::copy(group, group + std::min(kGroup, n - first), values + first);
    }
    used = size_t(in - start);
    return true;
}

}  // namespace qv
