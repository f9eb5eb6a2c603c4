#include "interpreter/frames.h"

#include <gtest/gtest.h>

#include <random>

#include "interpreter/frame_memory.h"

namespace qv {
namespace {

using testing::MemoryFileSink;
using testing::MemorySource;

struct SentFrame {
    uint8_t type;
    std::string text;
    std::string body;  // file content (type 3) or payload (type 4)
};

std::string fieldBytes(const auto& field) { return std::string(field.begin(), field.end()); }

// The bytes of a frame as every sender lays them out.
std::string encode(const SentFrame& frame) {
    if (frame.type != kFileFrame && frame.type != kPayloadFrame)
        return fieldBytes(frameHeader(frame.type, frame.text.size())) + frame.text;
    return fieldBytes(frameHeader(frame.type, frame.body.size())) + frame.body +
           fieldBytes(textLengthField(uint32_t(frame.text.size()))) + frame.text;
}

std::string randomBytes(std::mt19937& rng, size_t size) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = char(rng());
    return bytes;
}

SentFrame randomFrame(std::mt19937& rng) {
    SentFrame frame{uint8_t(rng()), randomBytes(rng, rng() % 3000), ""};
    if (rng() % 3 == 0) frame.type = uint8_t(kFileFrame + rng() % 2);
    if (frame.type == kFileFrame || frame.type == kPayloadFrame)
        frame.body = randomBytes(rng, rng() % 4 == 0 ? rng() % 200000 : rng() % 100);
    return frame;
}

TEST(Frames, WhatWasSentIsReadBackHoweverTheBytesArrive) {
    std::mt19937 rng(15);
    for (int round = 0; round < 200; ++round) {
        std::vector<SentFrame> sent(1 + rng() % 5);
        std::string stream;
        for (SentFrame& frame : sent) {
            frame = randomFrame(rng);
            stream += encode(frame);
        }
        std::vector<size_t> pieces(1 + rng() % 8);
        for (size_t& piece : pieces) piece = 1 + rng() % (rng() % 2 ? 16 : 100000);
        MemorySource source(stream, pieces);
        MemoryFileSink files;
        ServerMessage message;
        for (const SentFrame& frame : sent) {
            ASSERT_EQ(readFrame(source, files, message), FrameEnd::Received) << round;
            EXPECT_EQ(message.text, frame.text);
            if (frame.type == kPayloadFrame)
                EXPECT_EQ(std::string(message.payload.begin(), message.payload.end()), frame.body);
            else
                EXPECT_TRUE(message.payload.empty());
            if (frame.type == kFileFrame) {
                EXPECT_EQ(files.content, frame.body);
            }
        }
        EXPECT_EQ(readFrame(source, files, message), FrameEnd::ClosedAtHeader);
        EXPECT_LE(files.largestWrite, kFrameChunkBytes);
        EXPECT_EQ(files.discarded, 0);
    }
}

// A stream cut at a frame boundary ends cleanly; cut anywhere else it ends inside a frame, and a
// file cut short is thrown away, never kept.
TEST(Frames, AStreamCutAnywhereEndsAtAHeaderOnlyBetweenFrames) {
    std::mt19937 rng(3);
    const std::vector<SentFrame> sent = {
        {kCommandFrame, "is_ready", ""},
        {kFileFrame, "load_tree x", randomBytes(rng, 300)},
        {kPayloadFrame, "traverse_subgames 1 0", randomBytes(rng, 50)},
        {kReplyFrame, "", ""},
    };
    std::string stream;
    std::vector<size_t> boundaries = {0};
    for (const SentFrame& frame : sent) boundaries.push_back((stream += encode(frame)).size());
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        MemorySource source(stream.substr(0, cut), {7});
        MemoryFileSink files;
        ServerMessage message;
        size_t received = 0;
        FrameEnd end;
        while ((end = readFrame(source, files, message)) == FrameEnd::Received) ++received;
        const size_t whole = size_t(std::upper_bound(boundaries.begin(), boundaries.end(), cut) - boundaries.begin()) - 1;
        EXPECT_EQ(received, whole) << cut;
        const bool atBoundary = boundaries[whole] == cut;
        EXPECT_EQ(end, atBoundary ? FrameEnd::ClosedAtHeader : FrameEnd::ClosedInFrame) << cut;
        const bool inFileBody = whole == 1 && cut >= boundaries[1] + kFrameHeaderBytes;
        EXPECT_EQ(files.discarded, inFileBody ? 1 : 0) << cut;
        EXPECT_FALSE(files.open);
        if (whole >= 2) {
            EXPECT_EQ(files.content, sent[1].body);
        }
    }
}

// A hostile length costs nothing: it is refused before any body is read, and a length within
// the limits grows the buffer only with the bytes that really come.
TEST(Frames, AnnouncedLengthsAreNeverTrusted) {
    const std::string header = fieldBytes(frameHeader(kPayloadFrame, 1)) + "p";
    const struct {
        std::string bytes;
        bool refused;
    } cases[] = {
        {fieldBytes(frameHeader(kCommandFrame, uint64_t(1) << 63)), true},
        {fieldBytes(frameHeader(kReplyFrame, kMaxTextFrameBytes + 1)), true},
        {fieldBytes(frameHeader(kPayloadFrame, kMaxFramePayloadBytes + 1)), true},
        {header + fieldBytes(textLengthField(uint32_t(kMaxTextFrameBytes + 1))), true},
        {fieldBytes(frameHeader(kFileFrame, 2)) + "ab" + fieldBytes(textLengthField(0xFFFFFFFF)), true},
        {fieldBytes(frameHeader(kCommandFrame, kMaxTextFrameBytes)) + "abc", false},
        {fieldBytes(frameHeader(kPayloadFrame, kMaxFramePayloadBytes)) + "abc", false},
        {header + fieldBytes(textLengthField(uint32_t(kMaxTextFrameBytes))) + "abc", false},
        {fieldBytes(frameHeader(kFileFrame, uint64_t(1) << 41)) + std::string(100000, 'f'), false},
    };
    for (const auto& c : cases) {
        MemorySource source(c.bytes);
        MemoryFileSink files;
        ServerMessage message;
        if (c.refused) {
            EXPECT_THROW(readFrame(source, files, message), FrameError);
        } else {
            EXPECT_EQ(readFrame(source, files, message), FrameEnd::ClosedInFrame);
        }
        EXPECT_LE(message.text.capacity() + message.payload.capacity(), 2 * kFrameChunkBytes);
        EXPECT_FALSE(files.open);
        EXPECT_TRUE(files.content.empty());
    }
}

}  // namespace
}  // namespace qv
