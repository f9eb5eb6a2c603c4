#pragma once
// The framed TCP protocol: a type byte, a 64-bit little-endian length L and a body.
//   text frames (every type but 3 and 4): L bytes of text
//   type 3: L bytes of file content, a 32-bit text length T, T bytes of text
//   type 4: L bytes of payload, a 32-bit text length T, T bytes of text
// Reading assumes a hostile peer: no length is trusted for an allocation, texts and payloads grow
// only with the bytes that actually arrive, and file content goes to its sink in 64 KiB chunks
// whatever length was announced.
#include <array>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "interpreter/reply.h"

namespace qv {

enum FrameType : uint8_t {
    kCommandFrame = 0,
    kReplyFrame = 1,
    kNoticeFrame = 2,
    kFileFrame = 3,
    kPayloadFrame = 4,
};

constexpr size_t kFrameHeaderBytes = 9;
constexpr size_t kFrameChunkBytes = 65536;
// Payloads carry solver data between instances; they are held in memory, so they are bounded too.
constexpr uint64_t kMaxFramePayloadBytes = uint64_t(1) << 30;

// What one received frame carries: its type, the command text and, for type 4, the payload.
struct ServerMessage {
    std::string text;
    std::vector<uint8_t> payload;
    uint8_t type = 0;
};

// Where received bytes come from. readSome() blocks until at least one byte is there and returns
// how many it stored (at most `capacity`), or 0 at the end of the stream.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual size_t readSome(uint8_t* destination, size_t capacity) = 0;
};

// Where the content of a type-3 frame goes. Every failure raises FrameError.
class FileSink {
public:
    virtual ~FileSink() = default;
    virtual void begin() = 0;
    virtual void write(const uint8_t* data, size_t size) = 0;
    virtual void finish() = 0;
    // Removes an unfinished file; must not raise.
    virtual void discard() noexcept = 0;
};

// A frame the program refuses (a length over its limit) or a file it cannot store: the peer is
// dropped. The text says why.
class FrameError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class FrameEnd {
    Received,        // a whole frame
    ClosedAtHeader,  // the stream ended where a frame would begin
    ClosedInFrame,   // the stream ended inside a frame; an unfinished file was discarded
};

FrameEnd readFrame(ByteSource& source, FileSink& files, ServerMessage& message);

// The header of a frame; with a payload, also the 32-bit text length that follows the payload.
std::array<uint8_t, kFrameHeaderBytes> frameHeader(uint8_t type, uint64_t length);
std::array<uint8_t, 4> textLengthField(uint32_t length);

}  // namespace qv
