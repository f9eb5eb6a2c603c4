#pragma once
// A growable region that reserves its worst-case size as address space once and commits memory
// in granules as it grows. It never moves, so pointers into it stay valid while it grows, and
// physical memory follows what has been written. Running out of room is fatal (status 1).
#include <cstddef>
#include <cstdint>

namespace qv {

class ReservedBuffer {
public:
    ReservedBuffer() = default;
    // granularity: a power of two.
    ReservedBuffer(int64_t reservedBytes, int64_t granularity);
    ~ReservedBuffer();
    ReservedBuffer(ReservedBuffer&& other) noexcept;
    ReservedBuffer& operator=(ReservedBuffer&& other) noexcept;
    ReservedBuffer(const ReservedBuffer&) = delete;
    ReservedBuffer& operator=(const ReservedBuffer&) = delete;

    // Makes at least n bytes usable from data(). The first growth reserves the whole reservation.
    void grow(int64_t n);
    // Returns the region to the system; the buffer is empty afterwards and may grow again.
    void release();
    // Gives the memory past the first n bytes back to the system; it stays committed and reads as
    // zeros when used again.
    void discardFrom(int64_t n);

    uint8_t* data() const { return base_; }
    int64_t size() const { return size_; }
    int64_t requested() const { return requested_; }
    int64_t committed() const { return committed_; }
    int64_t reserved() const { return reserved_; }

private:
    int64_t size_ = 0;
    int64_t requested_ = 0;
    int64_t committed_ = 0;
    int64_t reserved_ = 0;
    uint8_t* base_ = nullptr;
    int32_t granularityMask_ = 4095;
};

}  // namespace qv
