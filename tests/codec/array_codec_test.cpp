// The array codec through its public interface: every compressor gives back every array, with or
// without a reference, 16- and 32-bit; the entropy stream layout on small worked cases; bad data
// refused or ending the process as the program must.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <vector>

#include "codec/array_codec.h"
#include "codec/array_transform.h"
#include "codec/memory_streams.h"
#include "error_text.h"
#include "interpreter/errors.h"

namespace qv {
namespace {

using Array = std::vector<uint32_t>;

// Random and adversarial arrays: zeros, long runs, values around the escape limits.
Array makeArray(int kind, int n, std::mt19937& rng) {
    const uint32_t edges[] = {254, 255, 256, 65534, 65535, 65536, 0x7FFFFFFFu, 0xFFFFFFFFu};
    Array a(size_t(n), 0);
    uint32_t run = rng() % 1000;
    for (uint32_t& x : a) {
        switch (kind) {
            case 0: break;
            case 1: x = rng() % 50 ? run : (run = rng() % 70000); break;
            case 2: x = edges[rng() % std::size(edges)]; break;
            case 3: x = rng(); break;
            case 4: x = rng() % 3 ? 0 : rng() % 300; break;
        }
    }
    return a;
}

// A reference close to the array: most values equal, some moved.
Array nearby(const Array& a, std::mt19937& rng) {
    Array r = a;
    for (uint32_t& x : r)
        if (rng() % 8 == 0) x += rng() % 5 - 2;
    return r;
}

struct Coded {
    StreamBuffers streams;
    EncoderStatistics statistics;
};

Coded encodeAll(CompressorId id, const std::vector<Array>& arrays, const std::vector<Array>& references) {
    Coded c;
    auto encoder = createEncoder(id, StreamBuffers::append, &c.streams);
    for (size_t i = 0; i < arrays.size(); ++i)
        encoder->encode(arrays[i].data(), int(arrays[i].size()), references[i].empty() ? nullptr : references[i].data());
    encoder->finish();
    c.statistics = encoder->statistics();
    return c;
}

TEST(ArrayCodec, EveryCompressorGivesBackEveryArray) {
    std::mt19937 rng(21);
    for (CompressorId id : {BinaryModelCompressor, FixedBlockCompressor, EntropyStreamCompressor}) {
        for (bool sixteen : {false, true}) {
            std::vector<Array> arrays, references;
            for (int kind = 0; kind < 5; ++kind)
                for (int n : {1, 2, 7, 8, 9, 100, 1325, 1326}) {
                    Array a = makeArray(kind, n, rng);
                    if (sixteen)
                        for (uint32_t& x : a) x &= 0xFFFF;
                    arrays.push_back(a);
                    references.push_back(rng() % 2 ? nearby(a, rng) : Array());
                    if (sixteen)
                        for (uint32_t& x : references.back()) x &= 0xFFFF;
                }
            SCOPED_TRACE(testing::Message() << "compressor " << int(id) << (sixteen ? " 16-bit" : " 32-bit"));
            Coded c = encodeAll(id, arrays, references);
            StreamSpans spans;
            spans.setAll(c.streams);
            auto decoder = createDecoder(StreamSpans::read, &spans);
            ASSERT_TRUE(decoder);
            for (size_t i = 0; i < arrays.size(); ++i) {
                const int n = int(arrays[i].size());
                if (sixteen) {
                    std::vector<uint16_t> a(arrays[i].begin(), arrays[i].end()), r(references[i].begin(), references[i].end());
                    std::vector<uint16_t> out(static_cast<size_t>(n));
                    ASSERT_TRUE(decoder->tryDecode16(out.data(), n, r.empty() ? nullptr : r.data())) << i;
                    EXPECT_EQ(out, a) << i;
                } else {
                    Array out(static_cast<size_t>(n));
                    ASSERT_TRUE(decoder->tryDecode(out.data(), n, references[i].empty() ? nullptr : references[i].data()));
                    EXPECT_EQ(out, arrays[i]) << i;
                }
            }
        }
    }
}

// The blocks of one stream: (raw length, coded length, data).
struct Block {
    uint32_t raw, coded;
    std::vector<uint8_t> data;
};

std::vector<Block> blocksOf(const std::vector<uint8_t>& stream, size_t skip) {
    std::vector<Block> blocks;
    for (size_t at = skip; at < stream.size();) {
        Block b;
        std::memcpy(&b.raw, &stream[at], 4);
        std::memcpy(&b.coded, &stream[at + 4], 4);
        const size_t bytes = b.coded == 0 ? b.raw : b.coded;
        b.data.assign(stream.begin() + long(at + 8), stream.begin() + long(at + 8 + bytes));
        blocks.push_back(b);
        at += 8 + bytes;
    }
    return blocks;
}

TEST(ArrayCodec, EntropyStreamLayoutOfWorkedCases) {
    // 1326 zeros: flag 0 after the identifier, 166 mask bytes of 0 (165 groups and one of six),
    // nothing in the value streams.
    Coded zeros = encodeAll(EntropyStreamCompressor, {Array(1326, 0)}, {Array()});
    EXPECT_EQ(zeros.streams.stream(0)[0], EntropyStreamCompressor);
    std::vector<Block> flags = blocksOf(zeros.streams.stream(0), 1);
    ASSERT_EQ(flags.size(), 1u);
    EXPECT_EQ(flags[0].raw, 1u);
    std::vector<Block> masks = blocksOf(zeros.streams.stream(1), 0);
    ASSERT_EQ(masks.size(), 1u);
    EXPECT_EQ(masks[0].raw, 166u);
    EXPECT_EQ(masks[0].coded, 1u);  // one byte repeated
    EXPECT_EQ(masks[0].data, std::vector<uint8_t>{0});
    for (int s = 2; s < kMaxStreams; ++s) EXPECT_TRUE(zeros.streams.stream(s).empty()) << s;

    // 1, 2, 3 code as differences 2, 2, 2: the bytes 1, 1, 1 in streams 2, 3, 3 (short blocks).
    Coded small = encodeAll(EntropyStreamCompressor, {Array{1, 2, 3}}, {Array()});
    EXPECT_EQ(blocksOf(small.streams.stream(2), 0)[0].data, std::vector<uint8_t>{1});
    EXPECT_EQ(blocksOf(small.streams.stream(3), 0)[0].raw, 2u);
    EXPECT_EQ(blocksOf(small.streams.stream(1), 0)[0].data, std::vector<uint8_t>{7});

    // A zigzag value of 300 (a difference of 150) escapes: 255 in the context stream, then
    // 299 = 0x12B as 43 and 1 in streams 18 and 19.
    Coded escaped = encodeAll(EntropyStreamCompressor, {Array{150}}, {Array()});
    EXPECT_EQ(zigzag(150), 300u);
    EXPECT_EQ(blocksOf(escaped.streams.stream(2), 0)[0].data, std::vector<uint8_t>{255});
    EXPECT_EQ(blocksOf(escaped.streams.stream(18), 0)[0].data, std::vector<uint8_t>{43});
    EXPECT_EQ(blocksOf(escaped.streams.stream(19), 0)[0].data, std::vector<uint8_t>{1});
    EXPECT_EQ(escaped.statistics.largestEscape, 300u);

    // Ten arrays leave a short last block of ten flag bytes.
    Coded ten = encodeAll(EntropyStreamCompressor, std::vector<Array>(10, Array{5}), std::vector<Array>(10));
    EXPECT_EQ(blocksOf(ten.streams.stream(0), 1)[0].raw, 10u);
    EXPECT_EQ(ten.statistics.arrays, 10u);
    EXPECT_EQ(ten.statistics.rawBytes, 40u);

    // Alternating values make every mask 0xFF: the first 65536 mask bytes form one full block of
    // equal bytes, stored as coded length 1 and one byte.
    Array alternating(1320);
    for (size_t i = 0; i < alternating.size(); ++i) alternating[i] = 1 + i % 2;
    Coded full = encodeAll(EntropyStreamCompressor, std::vector<Array>(398, alternating), std::vector<Array>(398));
    std::vector<Block> maskBlocks = blocksOf(full.streams.stream(1), 0);
    ASSERT_EQ(maskBlocks.size(), 2u);
    EXPECT_EQ(maskBlocks[0].raw, 65536u);
    EXPECT_EQ(maskBlocks[0].coded, 1u);
    EXPECT_EQ(maskBlocks[0].data, std::vector<uint8_t>{0xFF});
}

TEST(ArrayCodec, ReferenceIsUsedOnlyWhenItLeavesFewerNonZeroValues) {
    Array values{10, 20, 30, 40}, close{11, 21, 31, 41}, unrelated{0, 100, 0, 100};
    Coded c = encodeAll(EntropyStreamCompressor, {values, values, values}, {close, unrelated, Array()});
    EXPECT_EQ(c.statistics.relativeArrays, 1u);
    EXPECT_EQ(blocksOf(c.streams.stream(0), 1)[0].data, (std::vector<uint8_t>{1, 0, 0}));
}

TEST(ArrayCodec, UnreadableStreamsGiveNoDecoderOrAnError) {
    StreamBuffers empty;
    StreamSpans spans;
    spans.setAll(empty);
    EXPECT_FALSE(createDecoder(StreamSpans::read, &spans));
    uint8_t unknown = 3;
    spans.set(0, &unknown, 1);
    EXPECT_FALSE(createDecoder(StreamSpans::read, &spans));

    const uint8_t notMagic[] = {BinaryModelCompressor, 'C', 'm', 'p', 'x'};
    spans.set(0, notMagic, sizeof notMagic);
    EXPECT_EQ(errorOf([&] { createDecoder(StreamSpans::read, &spans); }), "compressor wrong id");
    // A table with symbols of count 0 cannot give the full prefix code.
    std::vector<uint8_t> zeroTable{BinaryModelCompressor, 'C', 'm', 'p', 'r'};
    zeroTable.resize(5 + 2048, 0);
    spans.set(0, zeroTable.data(), zeroTable.size());
    EXPECT_EQ(errorOf([&] { createDecoder(StreamSpans::read, &spans); }), "CreateOptimalTree fail");
}

// Streams of several arrays with their last coded block damaged or cut.
TEST(ArrayCodec, DamagedOrCutStreamsAreRefused) {
    std::mt19937 rng(4);
    std::vector<Array> arrays;
    for (int i = 0; i < 60; ++i) arrays.push_back(makeArray(4, 1326, rng));
    for (CompressorId id : {BinaryModelCompressor, FixedBlockCompressor, EntropyStreamCompressor}) {
        Coded c = encodeAll(id, arrays, std::vector<Array>(arrays.size()));
        const int busiest = id == EntropyStreamCompressor ? 2 : id == FixedBlockCompressor ? 1 : 0;
        std::vector<uint8_t>& stream = c.streams.stream(busiest);
        stream.resize(stream.size() - (id == FixedBlockCompressor ? 256 : id == BinaryModelCompressor ? 64 : 3));
        StreamSpans spans;
        spans.setAll(c.streams);
        auto decoder = createDecoder(StreamSpans::read, &spans);
        ASSERT_TRUE(decoder);
        Array out(1326);
        bool ok = true;
        for (size_t i = 0; i < arrays.size() && ok; ++i) ok = decoder->tryDecode(out.data(), 1326, nullptr);
        EXPECT_FALSE(ok) << int(id);
    }
}

// Decodes arrays whose entropy coded mask block was damaged (or cut short).
void decodeBadBlock(bool cut) {
    dup2(2, 1);  // the message goes to standard output; let the death test see it
    std::mt19937 rng(8);
    std::vector<Array> arrays;
    for (int i = 0; i < 20; ++i) arrays.push_back(makeArray(1, 1326, rng));
    Coded c = encodeAll(EntropyStreamCompressor, arrays, std::vector<Array>(arrays.size()));
    std::vector<uint8_t>& stream = c.streams.stream(1);
    if (blocksOf(stream, 0)[0].coded <= 1) return;  // not entropy coded: the death test fails
    if (cut) stream.resize(stream.size() - 1);
    else stream[stream.size() / 2] ^= 0x5A;
    StreamSpans spans;
    spans.setAll(c.streams);
    auto decoder = createDecoder(StreamSpans::read, &spans);
    Array out(1326);
    for (size_t i = 0; i < arrays.size(); ++i) decoder->decode(out.data(), 1326, nullptr);
}

TEST(ArrayCodecDeathTest, BadBlocksEndTheProcessWithFseError) {
    EXPECT_EXIT(decodeBadBlock(false), testing::ExitedWithCode(1), "fse error");
    EXPECT_EXIT(decodeBadBlock(true), testing::ExitedWithCode(1), "fse error");
}

TEST(ArrayCodecDeathTest, ArraysLongerThanTheLimitAreFatal) {
    StreamBuffers streams;
    auto encoder = createEncoder(EntropyStreamCompressor, StreamBuffers::append, &streams);
    Array big(kMaxArrayValues + 1, 1);
    EXPECT_EXIT(
        {
            dup2(2, 1);
            encoder->encode(big.data(), int(big.size()), nullptr);
        },
        testing::ExitedWithCode(1), "1327 values");
}

}  // namespace
}  // namespace qv
