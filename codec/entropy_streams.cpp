// The entropy stream compressor: every coded value goes to the stream of its kind, so that each
// stream's bytes have narrow statistics and order-0 coding of a block compresses them well.
//
//   stream 0        one byte per array: 1 when coded against its reference
//   stream 1        one mask byte per group of up to 8 values: bit i set when value i is not zero
//   streams 2..17   value - 1 when below 255, else 255; the stream is 2 + the context, the context
//                   being the previous such byte of the array (at most 15; 15 after an escape)
//   streams 18, 19  low and high byte of an escaped value - 1 below 65535; 255, 255 for a longer one
//   streams 20..23  the four bytes of a longer value - 1, low byte first
//
// A stream is written in blocks: raw length (u32), coded length (u32: 0 stored raw, 1 one byte
// repeated, else the entropy coded size), then the data.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "codec/array_transform.h"
#include "codec/compressors.h"
#include "codec/fse.h"

namespace qv {

namespace {

constexpr int kStreams = 24;
constexpr int kMaskStream = 1, kContextStream = 2, kEscapeStream = 18, kLongStream = 20;
constexpr size_t kBlockHeader = 8;

class EntropyStreamEncoder final : public ArrayEncoder {
public:
    EntropyStreamEncoder(StreamCallback callback, void* context) : callback_(callback), context_(context) {}
    ~EntropyStreamEncoder() override { finish(); }

    void encode(const uint32_t* values, int n, const uint32_t* reference) override {
        checkArrayLength(n);
        uint32_t coded[kMaxArrayValues];
        const bool relative = transformArray(values, n, reference, coded);
        statistics_.rawBytes += 4 * uint64_t(n);
        ++statistics_.arrays;
        statistics_.relativeArrays += relative;
        append(0, relative);
        int context = 0;
        for (int first = 0; first < n; first += 8) {
            uint8_t mask = 0;
            for (int i = first; i < std::min(n, first + 8); ++i) {
                if (!coded[i]) continue;
                mask |= uint8_t(1 << (i - first));
                context = appendValue(coded[i] - 1, context);
            }
            append(kMaskStream, mask);
        }
    }

    void finish() override {
        for (int s = 0; s < kStreams; ++s)
            if (!pending_[s].empty()) writeBlock(s);
    }

    EncoderStatistics statistics() const override { return statistics_; }

private:
    int appendValue(uint32_t u, int context) {
        const int stream = kContextStream + context;
        if (u <= 254) {
            append(stream, uint8_t(u));
            return int(std::min<uint32_t>(u, 15));
        }
        append(stream, 255);
        statistics_.largestEscape = std::max(statistics_.largestEscape, u + 1);
        if (u <= 65534) {
            append(kEscapeStream, uint8_t(u));
            append(kEscapeStream + 1, uint8_t(u >> 8));
        } else {
            append(kEscapeStream, 255);
            append(kEscapeStream + 1, 255);
            for (int k = 0; k < 4; ++k) append(kLongStream + k, uint8_t(u >> (8 * k)));
        }
        return 15;
    }

    void append(int stream, uint8_t byte) {
        std::vector<uint8_t>& p = pending_[stream];
        p.push_back(byte);
        if (p.size() == kFseMaxBlock) writeBlock(stream);
    }

    void writeBlock(int stream) {
        std::vector<uint8_t>& p = pending_[stream];
        block_.resize(kBlockHeader + fseBound(p.size()));
        const uint32_t raw = uint32_t(p.size());
        const size_t coded = fseCompress(p.data(), p.size(), block_.data() + kBlockHeader, block_.size() - kBlockHeader);
        size_t dataBytes = coded;
        if (coded == 0) {
            dataBytes = raw;
            std::memcpy(block_.data() + kBlockHeader, p.data(), raw);
        } else if (coded == 1) {
            block_[kBlockHeader] = p[0];
        }
        const uint32_t codedField = uint32_t(coded);
        std::memcpy(block_.data(), &raw, 4);
        std::memcpy(block_.data() + 4, &codedField, 4);
        callback_(context_, stream, block_.data(), kBlockHeader + dataBytes);
        p.clear();
    }

    StreamCallback callback_;
    void* context_;
    std::array<std::vector<uint8_t>, kStreams> pending_;
    std::vector<uint8_t> block_;
    EncoderStatistics statistics_;
};

class EntropyStreamDecoder final : public ArrayDecoder {
public:
    EntropyStreamDecoder(StreamCallback callback, void* context) : callback_(callback), context_(context) {}

    bool tryDecode(uint32_t* values, int n, const uint32_t* reference) override {
        checkArrayLength(n);
        uint8_t flag = 0;
        if (failed_ || !next(0, flag) || flag > 1 || (flag && !reference)) return fail();
        uint32_t coded[kMaxArrayValues];
        int context = 0;
        for (int first = 0; first < n; first += 8) {
            const int count = std::min(n - first, 8);
            uint8_t mask = 0;
            if (!next(kMaskStream, mask) || (count < 8 && (mask >> count))) return fail();
            for (int i = 0; i < count; ++i) {
                coded[first + i] = 0;
                if (!(mask >> i & 1)) continue;
                uint32_t u = 0;
                if (!nextValue(u, context)) return fail();
                coded[first + i] = u + 1;
            }
        }
        restoreArray(coded, n, reference, flag == 1, values);
        return true;
    }

private:
    struct Stream {
        std::vector<uint8_t> data;
        size_t position = 0;
    };

    bool nextValue(uint32_t& u, int& context) {
        uint8_t byte = 0;
        if (!next(kContextStream + context, byte)) return false;
        if (byte < 255) {
            u = byte;
            context = std::min<int>(byte, 15);
            return true;
        }
        context = 15;
        uint8_t low = 0, high = 0;
        if (!next(kEscapeStream, low) || !next(kEscapeStream + 1, high)) return false;
        if (low != 255 || high != 255) {
            u = uint32_t(low) | uint32_t(high) << 8;
            return true;
        }
        u = 0;
        for (int k = 0; k < 4; ++k) {
            if (!next(kLongStream + k, byte)) return false;
            u |= uint32_t(byte) << (8 * k);
        }
        return true;
    }

    bool next(int stream, uint8_t& byte) {
        Stream& s = streams_[stream];
        if (s.position == s.data.size() && !refill(s, stream)) return false;
        byte = s.data[s.position++];
        return true;
    }

    bool refill(Stream& s, int stream) {
        if (!load(s, stream)) {
            s.data.clear();
            s.position = 0;
            return fail();
        }
        return true;
    }

    bool load(Stream& s, int stream) {
        uint32_t raw = 0, coded = 0;
        uint8_t header[kBlockHeader];
        if (!readStream(callback_, context_, stream, header, kBlockHeader)) return false;
        std::memcpy(&raw, header, 4);
        std::memcpy(&coded, header + 4, 4);
        if (raw == 0 || raw > kFseMaxBlock || (coded > 1 && coded > fseBound(raw))) return false;
        s.data.resize(raw);
        s.position = 0;
        if (coded == 0) return readStream(callback_, context_, stream, s.data.data(), raw);
        if (coded == 1) {
            uint8_t byte = 0;
            if (!readStream(callback_, context_, stream, &byte, 1)) return false;
            std::fill(s.data.begin(), s.data.end(), byte);
            return true;
        }
        block_.resize(coded);
        return readStream(callback_, context_, stream, block_.data(), coded) &&
               fseDecompress(block_.data(), coded, s.data.data(), raw);
    }

    bool fail() {
        failed_ = true;
        return false;
    }

    StreamCallback callback_;
    void* context_;
    std::array<Stream, kStreams> streams_;
    std::vector<uint8_t> block_;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<ArrayEncoder> makeEntropyStreamEncoder(StreamCallback callback, void* context) {
    return std::make_unique<EntropyStreamEncoder>(callback, context);
}

std::unique_ptr<ArrayDecoder> makeEntropyStreamDecoder(StreamCallback callback, void* context) {
    return std::make_unique<EntropyStreamDecoder>(callback, context);
}

}  // namespace qv
