#include "solver/scratch.h"

#include <algorithm>
#include <cstring>

#include "solver/layout.h"

namespace qv {

namespace {
constexpr size_t kChunkBytes = size_t(4) << 20;
}

void* ScratchStack::takeBytes(size_t bytes) {
    bytes = (bytes + kVectorAlign - 1) / kVectorAlign * kVectorAlign;
    while (true) {
        if (chunk_ < chunks_.size() && offset_ + bytes <= chunks_[chunk_].size()) {
            void* p = chunks_[chunk_].data() + offset_;
            offset_ += bytes;
            return p;
        }
        if (chunk_ < chunks_.size() && offset_ > 0) {
            ++chunk_;
            offset_ = 0;
            continue;
        }
        if (chunk_ >= chunks_.size()) chunks_.emplace_back(std::max(kChunkBytes, bytes), Paging::Small);
        if (chunks_[chunk_].size() < bytes) chunks_[chunk_] = AlignedArray<unsigned char>(bytes, Paging::Small);
    }
}

float* ScratchStack::zeroedFloats(size_t count) {
    float* p = take<float>(count);
    std::memset(p, 0, count * sizeof(float));
    return p;
}

ScratchStack& threadScratch() {
    static thread_local ScratchStack stack;
    return stack;
}

}  // namespace qv
