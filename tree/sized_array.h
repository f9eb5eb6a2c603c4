#pragma once
// Value arrays of nodes and records (4-byte elements, 32-byte aligned for the 8-wide kernels).
// Arrays that ask for it draw fixed-size blocks from a pool of the calling thread, so the many
// equal-sized scratch and record arrays of a solve are recycled without the allocator.
#include <cstddef>
#include <cstdint>

namespace qv {

// The data size of a pool block in bytes. Every thread's pool takes it up at its next use and
// returns blocks of an older size to the allocator.
void setSizedArrayPoolBlockBytes(size_t bytes);
size_t sizedArrayPoolBlockBytes();

class SizedArray {
public:
    SizedArray() = default;
    ~SizedArray();
    SizedArray(SizedArray&& other) noexcept;
    SizedArray& operator=(SizedArray&& other) noexcept;
    SizedArray(const SizedArray&) = delete;
    SizedArray& operator=(const SizedArray&) = delete;

    // Gives the array room for `count` elements (contents undefined); nothing happens when the
    // count is unchanged. A block that cannot be allocated ends the process ("out of memory").
    void resize(int32_t count, bool usePool);

    float* data() const { return data_; }
    int32_t size() const { return count_; }
    bool pooled() const { return pooled_; }
    float& operator[](size_t i) const { return data_[i]; }

private:
    void free();

    float* data_ = nullptr;
    int32_t count_ = 0;
    bool pooled_ = false;
};

}  // namespace qv
