#pragma once
// Per-thread scratch memory for the traversal: a stack of 32-byte aligned blocks that a segment
// takes on entry and gives back on exit, so no per-hand vector is allocated in the hot path.
#include <cstddef>
#include <vector>

#include "solver/aligned_buffer.h"
#include "solver/layout.h"

namespace qv {

class ScratchStack {
public:
    struct Mark {
        size_t chunk = 0;
        size_t offset = 0;
    };

    // `count` objects of T, 32-byte aligned, contents undefined.
    template <typename T>
    T* take(size_t count) {
        // The common case, room in the current chunk, stays inline: the traversal takes a vector
        // for every node it visits.
        const size_t bytes = (count * sizeof(T) + kVectorAlign - 1) / kVectorAlign * kVectorAlign;
        if (chunk_ < chunks_.size() && offset_ + bytes <= chunks_[chunk_].size()) {
            void* p = chunks_[chunk_].data() + offset_;
            offset_ += bytes;
            return static_cast<T*>(p);
        }
        return static_cast<T*>(takeBytes(count * sizeof(T)));
    }
    float* zeroedFloats(size_t count);
    Mark mark() const { return {chunk_, offset_}; }
    void release(Mark m) {
        chunk_ = m.chunk;
        offset_ = m.offset;
    }

private:
    void* takeBytes(size_t bytes);

    std::vector<AlignedArray<unsigned char>> chunks_;
    size_t chunk_ = 0;
    size_t offset_ = 0;
};

// The calling thread's scratch stack.
ScratchStack& threadScratch();

// Gives back everything taken from a stack since construction.
class ScratchScope {
public:
    explicit ScratchScope(ScratchStack& stack) : stack_(stack), mark_(stack.mark()) {}
    ~ScratchScope() { stack_.release(mark_); }
    ScratchScope(const ScratchScope&) = delete;
    ScratchScope& operator=(const ScratchScope&) = delete;

private:
    ScratchStack& stack_;
    ScratchStack::Mark mark_;
};

}  // namespace qv
