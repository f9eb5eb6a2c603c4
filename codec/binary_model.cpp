// The binary model compressor, all in stream 0: "Cmpr", a table of 1024 symbol counts (u16 each,
// 2048 bytes), then range-coded data. Both sides build the same prefix code from the table (the
// table the encoder writes is fixed, favouring small values); each branch of the code is then
// coded with an adaptive probability of its own (11-bit, starting at one half), so the code
// adapts to the data as it goes.
//
// A coded value v below 1023 is symbol v; larger values are symbol 1023 followed by 32 bits of v
// coded at probability one half. Each array starts with its relative flag, coded adaptively.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "codec/array_transform.h"
#include "codec/compressors.h"
#include "interpreter/errors.h"

namespace qv {

namespace {

constexpr int kSymbols = 1024, kInnerNodes = kSymbols - 1, kEscape = kSymbols - 1;
constexpr char kMagic[4] = {'C', 'm', 'p', 'r'};
constexpr uint32_t kTop = 1u << 24;
constexpr int kProbabilityBits = 11, kAdaptShift = 5;
constexpr uint16_t kHalf = 1 << (kProbabilityBits - 1);
constexpr size_t kChunk = 4096;

using Table = std::array<uint16_t, kSymbols>;

Table defaultTable() {
    Table t;
    for (int s = 0; s < kSymbols; ++s) t[s] = uint16_t(std::max(1, 32768 / (s + 1)));
    t[kEscape] = 16;
    return t;
}

// The prefix code: inner node i (0 is the root) has children child[i][0..1]; a child below
// kSymbols is a symbol, else inner node child - kSymbols. Ties break by node number, so every
// build of a table gives the same code.
struct PrefixCode {
    std::array<std::array<uint16_t, 2>, kInnerNodes> child{};
    std::vector<std::vector<uint16_t>> path;  // per symbol: (inner node, branch) pairs from the root
};

PrefixCode createOptimalTree(const Table& counts) {
    struct Node {
        uint64_t weight;
        int id;
    };
    std::vector<Node> leaves;
    for (int s = 0; s < kSymbols; ++s)
        if (counts[s]) leaves.push_back({counts[s], s});
    std::stable_sort(leaves.begin(), leaves.end(), [](const Node& a, const Node& b) { return a.weight < b.weight; });
    // Two queues: leaves in weight order, inner nodes in the order made (their weights never fall).
    std::vector<Node> inner;
    size_t nextLeaf = 0, nextInner = 0;
    std::vector<std::array<int, 2>> made;
    auto take = [&]() {
        const bool leaf = nextLeaf < leaves.size() &&
                          (nextInner == inner.size() || leaves[nextLeaf].weight <= inner[nextInner].weight);
        return leaf ? leaves[nextLeaf++] : inner[nextInner++];
    };
    while ((leaves.size() - nextLeaf) + (inner.size() - nextInner) > 1) {
        const Node a = take(), b = take();
        made.push_back({a.id, b.id});
        inner.push_back({a.weight + b.weight, kSymbols + int(made.size()) - 1});
    }
    if (made.size() != size_t(kInnerNodes)) throw CodecError("CreateOptimalTree fail");
    // Renumber so that the root (made last) is inner node 0.
    PrefixCode code;
    auto renumber = [](int id) { return id < kSymbols ? id : kSymbols + (kInnerNodes - 1 - (id - kSymbols)); };
    for (int m = 0; m < kInnerNodes; ++m)
        for (int b = 0; b < 2; ++b) code.child[kInnerNodes - 1 - m][b] = uint16_t(renumber(made[m][b]));
    code.path.resize(kSymbols);
    std::vector<std::pair<int, std::vector<uint16_t>>> pending{{0, {}}};
    while (!pending.empty()) {
        auto [node, path] = std::move(pending.back());
        pending.pop_back();
        for (int b = 0; b < 2; ++b) {
            std::vector<uint16_t> next = path;
            next.push_back(uint16_t(node << 1 | b));
            const int c = code.child[node][b];
            if (c < kSymbols) code.path[c] = std::move(next);
            else pending.push_back({c - kSymbols, std::move(next)});
        }
    }
    return code;
}

struct Probabilities {
    std::array<uint16_t, kInnerNodes> branch;
    uint16_t flag = kHalf;
    Probabilities() { branch.fill(kHalf); }
};

void adapt(uint16_t& p, int bit) {
    if (bit) p = uint16_t(p - (p >> kAdaptShift));
    else p = uint16_t(p + (((1 << kProbabilityBits) - p) >> kAdaptShift));
}

class BinaryModelEncoder final : public ArrayEncoder {
public:
    BinaryModelEncoder(StreamCallback callback, void* context)
        : callback_(callback), context_(context), code_(createOptimalTree(defaultTable())) {
        const Table table = defaultTable();
        std::array<uint8_t, 4 + 2 * kSymbols> header;
        std::memcpy(header.data(), kMagic, 4);
        for (int s = 0; s < kSymbols; ++s) {
            header[4 + 2 * s] = uint8_t(table[s]);
            header[5 + 2 * s] = uint8_t(table[s] >> 8);
        }
        callback_(context_, 0, header.data(), header.size());
    }
    ~BinaryModelEncoder() override { finish(); }

    void encode(const uint32_t* values, int n, const uint32_t* reference) override {
        checkArrayLength(n);
        uint32_t coded[kMaxArrayValues];
        encodeBit(model_.flag, transformArray(values, n, reference, coded));
        for (int i = 0; i < n; ++i) {
            const int symbol = coded[i] < uint32_t(kEscape) ? int(coded[i]) : kEscape;
            for (uint16_t step : code_.path[symbol]) encodeBit(model_.branch[step >> 1], step & 1);
            if (symbol == kEscape)
                for (int b = 31; b >= 0; --b) encodeDirect(coded[i] >> b & 1);
        }
    }

    void finish() override {
        if (finished_) return;
        finished_ = true;
        for (int i = 0; i < 5; ++i) shiftLow();
        flushOutput();
    }

private:
    void encodeBit(uint16_t& p, int bit) {
        const uint32_t bound = (range_ >> kProbabilityBits) * p;
        if (bit) {
            low_ += bound;
            range_ -= bound;
        } else {
            range_ = bound;
        }
        adapt(p, bit);
        normalise();
    }

    void encodeDirect(int bit) {
        range_ >>= 1;
        if (bit) low_ += range_;
        normalise();
    }

    void normalise() {
        while (range_ < kTop) {
            range_ <<= 8;
            shiftLow();
        }
    }

    // Bytes leave once no carry can reach them; a run of 0xFF bytes waits in cacheSize_.
    void shiftLow() {
        if (uint32_t(low_) < 0xFF000000u || (low_ >> 32) != 0) {
            const uint8_t carry = uint8_t(low_ >> 32);
            uint8_t byte = cache_;
            do {
                output(uint8_t(byte + carry));
                byte = 0xFF;
            } while (--cacheSize_ != 0);
            cache_ = uint8_t(low_ >> 24);
        }
        ++cacheSize_;
        low_ = (low_ & 0x00FFFFFFu) << 8;
    }

    void output(uint8_t byte) {
        out_.push_back(byte);
        if (out_.size() == kChunk) flushOutput();
    }

    void flushOutput() {
        if (!out_.empty()) callback_(context_, 0, out_.data(), out_.size());
        out_.clear();
    }

    StreamCallback callback_;
    void* context_;
    PrefixCode code_;
    Probabilities model_;
    uint64_t low_ = 0;
    uint32_t range_ = 0xFFFFFFFFu;
    uint8_t cache_ = 0;
    uint64_t cacheSize_ = 1;
    std::vector<uint8_t> out_;
    bool finished_ = false;
};

class BinaryModelDecoder final : public ArrayDecoder {
public:
    BinaryModelDecoder(StreamCallback callback, void* context) : callback_(callback), context_(context) {
        std::array<uint8_t, 4 + 2 * kSymbols> header;
        if (!readStream(callback_, context_, 0, header.data(), 4) || std::memcmp(header.data(), kMagic, 4) != 0)
            throw CodecError("compressor wrong id");
        Table table{};
        if (readStream(callback_, context_, 0, header.data() + 4, 2 * kSymbols))
            for (int s = 0; s < kSymbols; ++s) table[s] = uint16_t(header[4 + 2 * s] | header[5 + 2 * s] << 8);
        code_ = createOptimalTree(table);
        for (int i = 0; i < 5; ++i) codeValue_ = codeValue_ << 8 | input();
    }

    bool tryDecode(uint32_t* values, int n, const uint32_t* reference) override {
        checkArrayLength(n);
        uint32_t coded[kMaxArrayValues];
        const bool relative = decodeBit(model_.flag);
        if (relative && !reference) failed_ = true;
        for (int i = 0; i < n && !failed_; ++i) {
            int node = 0;
            int c = 0;
            while ((c = code_.child[node][decodeBit(model_.branch[node])]) >= kSymbols) node = c - kSymbols;
            coded[i] = uint32_t(c);
            if (c != kEscape) continue;
            coded[i] = 0;
            for (int b = 0; b < 32; ++b) coded[i] = coded[i] << 1 | decodeDirect();
        }
        if (failed_) return false;
        restoreArray(coded, n, reference, relative, values);
        return true;
    }

private:
    int decodeBit(uint16_t& p) {
        const uint32_t bound = (range_ >> kProbabilityBits) * p;
        int bit = 0;
        if (codeValue_ < bound) {
            range_ = bound;
        } else {
            codeValue_ -= bound;
            range_ -= bound;
            bit = 1;
        }
        adapt(p, bit);
        normalise();
        return bit;
    }

    uint32_t decodeDirect() {
        range_ >>= 1;
        uint32_t bit = codeValue_ >= range_;
        if (bit) codeValue_ -= range_;
        normalise();
        return bit;
    }

    void normalise() {
        while (range_ < kTop) {
            range_ <<= 8;
            codeValue_ = codeValue_ << 8 | input();
        }
    }

    uint8_t input() {
        if (position_ == filled_) {
            filled_ = callback_(context_, 0, in_.data(), in_.size());
            position_ = 0;
            if (filled_ == 0) {
                failed_ = true;
                return 0;
            }
        }
        return in_[position_++];
    }

    StreamCallback callback_;
    void* context_;
    PrefixCode code_;
    Probabilities model_;
    uint32_t range_ = 0xFFFFFFFFu;
    uint32_t codeValue_ = 0;
    std::array<uint8_t, kChunk> in_{};
    size_t position_ = 0, filled_ = 0;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<ArrayEncoder> makeBinaryModelEncoder(StreamCallback callback, void* context) {
    return std::make_unique<BinaryModelEncoder>(callback, context);
}

std::unique_ptr<ArrayDecoder> makeBinaryModelDecoder(StreamCallback callback, void* context) {
    return std::make_unique<BinaryModelDecoder>(callback, context);
}

}  // namespace qv
