#pragma once
// Streams of the array codec held in memory: buffers that an encoder appends to, and a reader over
// byte ranges.
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

private:
    std::array<std::vector<uint8_t>, kMaxStreams> streams_;
};

class StreamSpans {
public:
    // A StreamCallback for decoders; the context is the StreamSpans.
    static size_t read(void* context, int stream, void* buffer, size_t count);

    void set(int s, const uint8_t* data, size_t size);
    void setAll(const StreamBuffers& buffers);

private:
    std::array<const uint8_t*, kMaxStreams> data_{};
    std::array<size_t, kMaxStreams> left_{};
};

}  // namespace qv
