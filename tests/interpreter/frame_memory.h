#pragma once
// Frames held in memory, for the frame-reading fuzz target: a byte source that hands its bytes out
// in pieces of varying size, as a socket does, and a file sink that keeps the content and can be
// told to fail.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "interpreter/frames.h"

namespace qv::testing {

class MemorySource : public ByteSource {
public:
    // Each read hands out at most pieceSizes[i % n] bytes (all that is asked when empty).
    explicit MemorySource(std::string bytes, std::vector<size_t> pieceSizes = {})
        : bytes_(std::move(bytes)), pieceSizes_(std::move(pieceSizes)) {}

    size_t readSome(uint8_t* destination, size_t capacity) override {
        size_t n = std::min(capacity, bytes_.size() - position_);
        if (!pieceSizes_.empty()) n = std::min(n, std::max<size_t>(1, pieceSizes_[reads_++ % pieceSizes_.size()]));
        std::copy_n(bytes_.data() + position_, n, destination);
        position_ += n;
        return n;
    }

private:
    std::string bytes_;
    std::vector<size_t> pieceSizes_;
    size_t position_ = 0, reads_ = 0;
};

class MemoryFileSink : public FileSink {
public:
    // Writing more than `capacity` bytes in total fails, as a full disk does.
    explicit MemoryFileSink(size_t capacity = SIZE_MAX) : capacity_(capacity) {}

    void begin() override {
        content.clear();
        open = true;
    }
    void write(const uint8_t* data, size_t size) override {
        if (content.size() + size > capacity_) throw FrameError("disk full");
        content.append(reinterpret_cast<const char*>(data), size);
    }
    void finish() override { open = false; }
    void discard() noexcept override {
        open = false;
        content.clear();
    }

    std::string content;
    bool open = false;

private:
    size_t capacity_;
};

}  // namespace qv::testing
