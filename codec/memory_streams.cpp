#include "codec/memory_streams.h"

#include <algorithm>
#include <cstring>

namespace qv {

namespace {

size_t varintSize(size_t v) {
    size_t bytes = 1;
    while (v >= 0x80) {
        v >>= 7;
        ++bytes;
    }
    return bytes;
}

}  // namespace

size_t StreamBuffers::append(void* context, int stream, void* buffer, size_t count) {
    std::vector<uint8_t>& s = static_cast<StreamBuffers*>(context)->streams_[size_t(stream)];
    const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
    s.insert(s.end(), bytes, bytes + count);
    return count;
}

void StreamBuffers::clear() {
    for (auto& s : streams_) s.clear();
}

size_t StreamBuffers::packedSize() const {
    size_t bytes = 0;
    for (const auto& s : streams_) bytes += varintSize(s.size()) + s.size();
    return bytes;
}

size_t StreamBuffers::pack(uint8_t* out) const {
    uint8_t* start = out;
    for (const auto& s : streams_) {
        size_t v = s.size();
        for (; v >= 0x80; v >>= 7) *out++ = uint8_t(v | 0x80);
        *out++ = uint8_t(v);
    }
    for (const auto& s : streams_) {
        if (!s.empty()) std::memcpy(out, s.data(), s.size());
        out += s.size();
    }
    return size_t(out - start);
}

size_t StreamSpans::read(void* context, int stream, void* buffer, size_t count) {
    StreamSpans& spans = *static_cast<StreamSpans*>(context);
    const size_t n = std::min(count, spans.left_[size_t(stream)]);
    if (n) std::memcpy(buffer, spans.data_[size_t(stream)], n);
    spans.data_[size_t(stream)] += n;
    spans.left_[size_t(stream)] -= n;
    return n;
}

void StreamSpans::set(int s, const uint8_t* data, size_t size) {
    data_[size_t(s)] = data;
    left_[size_t(s)] = size;
}

void StreamSpans::setAll(const StreamBuffers& buffers) {
    for (int s = 0; s < kMaxStreams; ++s) set(s, buffers.stream(s).data(), buffers.stream(s).size());
}

bool StreamSpans::unpack(const uint8_t* chunk, size_t size) {
    const uint8_t* in = chunk;
    const uint8_t* end = chunk + size;
    std::array<size_t, kMaxStreams> lengths{};
    for (size_t& length : lengths) {
        for (int shift = 0;; shift += 7) {
            if (in == end || shift > 56) return false;
            const uint8_t byte = *in++;
            length |= size_t(byte & 0x7F) << shift;
            if (!(byte & 0x80)) break;
        }
    }
    for (int s = 0; s < kMaxStreams; ++s) {
        if (lengths[size_t(s)] > size_t(end - in)) return false;
        set(s, in, lengths[size_t(s)]);
        in += lengths[size_t(s)];
    }
    return true;
}

}  // namespace qv
