#pragma once
// Streams of the array codec held in memory: buffers that an encoder appends to, a reader over
// byte ranges, and one chunk holding every stream (the lengths as variable-length integers, then
// the streams in order) for packed store records.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qv {

constexpr int kMaxStreams = 24;

class StreamBuffers {
public:
    // A StreamCallback for encoders; the context is the StreamBuffers.
    static size_t append(void* context, int stream, void* buffer, size_t count);

    std::vector<uint8_t>& stream(int s) { return streams_[size_t(s)]; }
    const std::vector<uint8_t>& stream(int s) const { return streams_[size_t(s)]; }
    void clear();
    // Bytes packStreams writes.
    size_t packedSize() const;
    // Writes the chunk form; returns its size.
    size_t pack(uint8_t* out) const;

private:
    std::array<std::vector<uint8_t>, kMaxStreams> streams_;
};

class StreamSpans {
public:
    // A StreamCallback for decoders; the context is the StreamSpans.
    static size_t read(void* context, int stream, void* buffer, size_t count);

    void set(int s, const uint8_t* data, size_t size);
    void setAll(const StreamBuffers& buffers);
    // Reads the chunk form; false when `size` bytes do not hold one.
    bool unpack(const uint8_t* chunk, size_t size);

private:
    std::array<const uint8_t*, kMaxStreams> data_{};
    std::array<size_t, kMaxStreams> left_{};
};

}  // namespace qv
