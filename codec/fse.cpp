#include "codec/fse.h"

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

#include "codec/bit_io.h"

namespace qv {

namespace {

constexpr int kMinTableLog = 5;
constexpr int kMaxTableLog = 12;
constexpr int kSymbols = 256;

using Counts = std::array<uint32_t, kSymbols>;
using Normalised = std::array<uint32_t, kSymbols>;

int highBit(uint32_t x) { return 31 - std::countl_zero(x); }

// Small blocks take small tables (a shorter header); every symbol needs at least two states' room.
int chooseTableLog(size_t n, int distinct) {
    int log = std::clamp(int(std::bit_width(n)) - 3, kMinTableLog, 11);
    return std::min(kMaxTableLog, std::max(log, int(std::bit_width(unsigned(distinct))) + 1));
}

// Counts scaled to sum to 2^log, every present symbol keeping at least 1.
Normalised normalise(const Counts& counts, size_t total, int log, int largestSymbol) {
    Normalised norm{};
    const int64_t size = int64_t(1) << log;
    int64_t sum = 0;
    for (int s = 0; s <= largestSymbol; ++s) {
        if (!counts[s]) continue;
        norm[s] = std::max<uint32_t>(1, uint32_t((uint64_t(counts[s]) << log) / total));
        sum += norm[s];
    }
    // Rounding down leaves states over, the floor of 1 can take too many: the most frequent
    // symbols absorb the difference, where it costs least.
    while (sum != size) {
        int most = int(std::max_element(norm.begin(), norm.begin() + largestSymbol + 1) - norm.begin());
        int64_t change = sum < size ? size - sum : -std::min<int64_t>(sum - size, norm[most] - 1);
        norm[most] = uint32_t(norm[most] + change);
        sum += change;
    }
    return norm;
}

// Spreads the symbols over the states, each occurring as often as its normalised count.
std::vector<uint8_t> spread(const Normalised& norm, int log, int largestSymbol) {
    const uint32_t size = 1u << log, mask = size - 1, step = (size >> 1) + (size >> 3) + 3;
    std::vector<uint8_t> symbols(size);
    uint32_t position = 0;
    for (int s = 0; s <= largestSymbol; ++s)
        for (uint32_t i = 0; i < norm[s]; ++i) {
            symbols[position] = uint8_t(s);
            position = (position + step) & mask;
        }
    return symbols;
}

void writeHeader(BitWriter& w, const Normalised& norm, int log, int largestSymbol) {
    w.put(uint32_t(log - kMinTableLog), 4);
    w.put(uint32_t(largestSymbol), 8);
    for (int s = 0; s <= largestSymbol; ++s) w.putGamma(norm[s] + 1);
}

bool readHeader(BitReader& r, Normalised& norm, int& log, int& largestSymbol) {
    log = int(r.get(4)) + kMinTableLog;
    largestSymbol = int(r.get(8));
    if (log > kMaxTableLog) return false;
    norm.fill(0);
    uint32_t sum = 0;
    for (int s = 0; s <= largestSymbol && !r.failed(); ++s) {
        norm[s] = r.getGamma(kMaxTableLog + 1) - 1;
        sum += norm[s];
        if (sum > (1u << log)) return false;
    }
    return !r.failed() && sum == (1u << log);
}

struct SymbolTransform {
    int32_t deltaFindState = 0;
    uint32_t deltaNbBits = 0;
};

}  // namespace

size_t fseCompress(const uint8_t* in, size_t n, uint8_t* out, size_t capacity) {
    // Four partial counts: runs of one byte would otherwise wait on their own counter's update.
    std::array<Counts, 4> partial{};
    size_t i = 0;
    for (; i + 4 <= n; i += 4)
        for (int k = 0; k < 4; ++k) ++partial[k][in[i + k]];
    for (; i < n; ++i) ++partial[0][in[i]];
    Counts counts{};
    for (int sym = 0; sym < kSymbols; ++sym) counts[sym] = partial[0][sym] + partial[1][sym] + partial[2][sym] + partial[3][sym];
    int distinct = 0, largestSymbol = 0;
    for (int s = 0; s < kSymbols; ++s)
        if (counts[s]) {
            ++distinct;
            largestSymbol = s;
        }
    if (distinct == 1) return 1;
    const int log = chooseTableLog(n, distinct);
    const uint32_t size = 1u << log;
    const Normalised norm = normalise(counts, n, log, largestSymbol);
    const std::vector<uint8_t> symbols = spread(norm, log, largestSymbol);

    // Encoding states in symbol order, and per symbol the arithmetic that picks the bit count and
    // the next state.
    std::vector<uint16_t> states(size);
    std::array<uint32_t, kSymbols + 1> cumulative{};
    for (int s = 0; s < kSymbols; ++s) cumulative[s + 1] = cumulative[s] + norm[s];
    std::array<uint32_t, kSymbols> next = {};
    std::copy(cumulative.begin(), cumulative.end() - 1, next.begin());
    for (uint32_t u = 0; u < size; ++u) states[next[symbols[u]]++] = uint16_t(size + u);
    std::array<SymbolTransform, kSymbols> transform{};
    for (int s = 0; s <= largestSymbol; ++s) {
        if (norm[s] == 1) {
            transform[s] = {int32_t(cumulative[s]) - 1, (uint32_t(log) << 16) - size};
        } else if (norm[s] > 1) {
            const uint32_t maxBitsOut = uint32_t(log - highBit(norm[s] - 1));
            transform[s] = {int32_t(cumulative[s]) - int32_t(norm[s]), (maxBitsOut << 16) - (norm[s] << maxBitsOut)};
        }
    }

    // Anything not smaller than the block is of no use, so the block length bounds the output.
    const size_t limit = std::min(capacity, n);
    BitWriter header(out, limit);
    writeHeader(header, norm, log, largestSymbol);
    const size_t headerBytes = header.finish();
    if (header.failed()) return 0;
    BitWriter bits(out + headerBytes, limit - headerBytes);
    // Two states take the symbols in turn (even, odd), so that decoding runs two chains of table
    // lookups at once. Symbols are coded from the last to the first.
    auto code = [&](uint32_t& state, uint8_t symbol) {
        const SymbolTransform& t = transform[symbol];
        const uint32_t nbBits = (state + t.deltaNbBits) >> 16;
        bits.put(state, int(nbBits));
        state = states[int32_t(state >> nbBits) + t.deltaFindState];
    };
    uint32_t even = size, odd = size;
    size_t left = n;
    if (left % 2) code(even, in[--left]);
    for (; left >= 2; left -= 2) {
        code(odd, in[left - 1]);
        code(even, in[left - 2]);
    }
    bits.put(odd - size, log);
    bits.put(even - size, log);
    bits.put(1, 1);
    const size_t total = headerBytes + bits.finish();
    return bits.failed() || total >= n ? 0 : total;
}

bool fseDecompress(const uint8_t* in, size_t size, uint8_t* out, size_t n) {
    BitReader header(in, size);
    Normalised norm;
    int log = 0, largestSymbol = 0;
    if (!readHeader(header, norm, log, largestSymbol)) return false;
    const uint32_t tableSize = 1u << log;
    const std::vector<uint8_t> symbols = spread(norm, log, largestSymbol);
    struct Entry {
        uint16_t base;
        uint8_t symbol;
        uint8_t nbBits;
    };
    std::vector<Entry> table(tableSize);
    std::array<uint32_t, kSymbols> next = norm;
    for (uint32_t u = 0; u < tableSize; ++u) {
        const uint8_t s = symbols[u];
        const uint32_t nextState = next[s]++;
        const int nbBits = log - highBit(nextState);
        table[u] = {uint16_t((nextState << nbBits) - tableSize), s, uint8_t(nbBits)};
    }

    BackwardBitReader bits(in + header.bytesUsed(), size - header.bytesUsed());
    uint32_t state[2];
    state[0] = bits.get(log);
    state[1] = bits.get(log);
    size_t i = 0;
    for (; i + 1 < n && !bits.failed(); i += 2) {
        const Entry& a = table[state[0]];
        const Entry& b = table[state[1]];
        out[i] = a.symbol;
        out[i + 1] = b.symbol;
        state[0] = a.base + bits.get(a.nbBits);
        state[1] = b.base + bits.get(b.nbBits);
    }
    if (i < n && !bits.failed()) {
        const Entry& a = table[state[0]];
        out[i] = a.symbol;
        state[0] = a.base + bits.get(a.nbBits);
    }
    // The encoder began both states at 0 and used every bit.
    return !bits.failed() && bits.exhausted() && state[0] == 0 && state[1] == 0;
}

}  // namespace qv
