#include "codec/memory_streams.h"

#include <algorithm>
#include <cstring>

namespace qv {

size_t StreamBuffers::append(void* context, int stream, void* buffer, size_t count) {
    std::vector<uint8_t>& s = static_cast<StreamBuffers*>(context)->streams_[size_t(stream)];
    const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
    s.insert(s.end(), bytes, bytes + count);
    return count;
}

void StreamBuffers::clear() {
    for (auto& s : streams_) s.clear();
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

}  // namespace qv
