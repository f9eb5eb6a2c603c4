#include "interpreter/frames.h"

#include <algorithm>

namespace qv {

namespace {

// Reads until `size` bytes are stored or the stream ends; returns how many were stored.
size_t readFully(ByteSource& source, uint8_t* destination, size_t size) {
    size_t done = 0;
    while (done < size) {
        const size_t n = source.readSome(destination + done, size - done);
        if (n == 0) break;
        done += n;
    }
    return done;
}

uint64_t littleEndian(const uint8_t* bytes, size_t count) {
    uint64_t value = 0;
    for (size_t i = count; i-- > 0;) value = value << 8 | bytes[i];
    return value;
}

void requireWithin(uint64_t length, uint64_t limit, const char* what) {
    if (length > limit)
        throw FrameError(std::string(what) + " of " + std::to_string(length) + " bytes is over the limit of " +
                         std::to_string(limit));
}

// Appends `length` bytes as they arrive: the buffer grows one chunk at a time, so an announced
// length costs nothing until its bytes are really sent.
template <class Bytes>
bool readBody(ByteSource& source, uint64_t length, Bytes& out) {
    while (length > 0) {
        const size_t step = size_t(std::min<uint64_t>(length, kFrameChunkBytes));
        const size_t old = out.size();
        out.resize(old + step);
        const size_t got = readFully(source, reinterpret_cast<uint8_t*>(out.data()) + old, step);
        if (got < step) {
            out.resize(old + got);
            return false;
        }
        length -= step;
    }
    return true;
}

// The 32-bit text length and the text that close a type-3 or type-4 frame.
bool readTrailingText(ByteSource& source, std::string& text) {
    uint8_t field[4];
    if (readFully(source, field, sizeof field) < sizeof field) return false;
    const uint64_t length = littleEndian(field, sizeof field);
    requireWithin(length, kMaxTextFrameBytes, "text");
    return readBody(source, length, text);
}

bool copyToFile(ByteSource& source, FileSink& files, uint64_t length) {
    std::vector<uint8_t> chunk(kFrameChunkBytes);
    while (length > 0) {
        const size_t step = size_t(std::min<uint64_t>(length, chunk.size()));
        if (readFully(source, chunk.data(), step) < step) return false;
        files.write(chunk.data(), step);
        length -= step;
    }
    return true;
}

// A file is kept only when its frame arrived whole: a half-sent file must never be loaded.
bool readFileFrame(ByteSource& source, FileSink& files, uint64_t length, std::string& text) {
    files.begin();
    try {
        if (copyToFile(source, files, length) && readTrailingText(source, text)) {
            files.finish();
            return true;
        }
    } catch (...) {
        files.discard();
        throw;
    }
    files.discard();
    return false;
}

}  // namespace

FrameEnd readFrame(ByteSource& source, FileSink& files, ServerMessage& message) {
    message.text.clear();
    message.payload.clear();
    uint8_t header[kFrameHeaderBytes];
    const size_t got = readFully(source, header, sizeof header);
    if (got == 0) return FrameEnd::ClosedAtHeader;
    if (got < sizeof header) return FrameEnd::ClosedInFrame;
    const uint8_t type = header[0];
    message.type = type;
    const uint64_t length = littleEndian(header + 1, 8);
    bool whole;
    if (type == kFileFrame) {
        whole = readFileFrame(source, files, length, message.text);
    } else if (type == kPayloadFrame) {
        requireWithin(length, kMaxFramePayloadBytes, "payload");
        whole = readBody(source, length, message.payload) && readTrailingText(source, message.text);
    } else {
        requireWithin(length, kMaxTextFrameBytes, "text");
        whole = readBody(source, length, message.text);
    }
    return whole ? FrameEnd::Received : FrameEnd::ClosedInFrame;
}

std::array<uint8_t, kFrameHeaderBytes> frameHeader(uint8_t type, uint64_t length) {
    std::array<uint8_t, kFrameHeaderBytes> header{};
    header[0] = type;
    for (size_t i = 0; i < 8; ++i) header[1 + i] = uint8_t(length >> (8 * i));
    return header;
}

std::array<uint8_t, 4> textLengthField(uint32_t length) {
    return {uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16), uint8_t(length >> 24)};
}

}  // namespace qv
