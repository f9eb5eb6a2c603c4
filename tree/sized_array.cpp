#include "tree/sized_array.h"

#include <tbb/scalable_allocator.h>

#include <atomic>
#include <utility>

#include "platform/fatal_exit.h"

namespace qv {

namespace {

constexpr size_t kAlignment = 32;

// A pooled block: this header, then the data. The header takes a whole alignment unit so that
// the data keeps the 32-byte alignment of the block.
struct alignas(kAlignment) BlockHeader {
    BlockHeader* next;
    size_t dataBytes;
};
static_assert(sizeof(BlockHeader) == kAlignment);

std::atomic<size_t> poolBlockBytes{0};

}  // namespace

size_t sizedArrayPoolBlockBytes() { return poolBlockBytes.load(std::memory_order_relaxed); }

namespace {

void* allocateOrDie(size_t bytes) {
    void* block = scalable_aligned_malloc(bytes, kAlignment);
    if (!block) fatalExit("out of memory\n");
    return block;
}

class ThreadPool {
public:
    ~ThreadPool() { drain(); }

    float* take(size_t blockBytes) {
        adopt(blockBytes);
        BlockHeader* block = free_;
        if (block) {
            free_ = block->next;
        } else {
            block = static_cast<BlockHeader*>(allocateOrDie(sizeof(BlockHeader) + blockBytes_));
            block->dataBytes = blockBytes_;
        }
        return reinterpret_cast<float*>(block + 1);
    }

    void give(float* data) {
        BlockHeader* block = reinterpret_cast<BlockHeader*>(data) - 1;
        adopt(sizedArrayPoolBlockBytes());
        if (block->dataBytes != blockBytes_) {
            scalable_aligned_free(block);
            return;
        }
        block->next = free_;
        free_ = block;
    }

private:
    void adopt(size_t blockBytes) {
        if (blockBytes == blockBytes_) return;
        drain();
        blockBytes_ = blockBytes;
    }

    void drain() {
        while (free_) scalable_aligned_free(std::exchange(free_, free_->next));
    }

    size_t blockBytes_ = 0;
    BlockHeader* free_ = nullptr;
};

ThreadPool& threadPool() {
    thread_local ThreadPool pool;
    return pool;
}

}  // namespace

void setSizedArrayPoolBlockBytes(size_t bytes) { poolBlockBytes.store(bytes, std::memory_order_relaxed); }

SizedArray::~SizedArray() { free(); }

SizedArray::SizedArray(SizedArray&& other) noexcept { *this = std::move(other); }

SizedArray& SizedArray::operator=(SizedArray&& other) noexcept {
    if (this == &other) return *this;
    free();
    data_ = std::exchange(other.data_, nullptr);
    count_ = std::exchange(other.count_, 0);
    pooled_ = std::exchange(other.pooled_, false);
    return *this;
}

void SizedArray::resize(int32_t count, bool usePool) {
    if (count == count_) return;
    free();
    if (count <= 0) return;
    count_ = count;
    size_t bytes = size_t(count) * sizeof(float);
    size_t blockBytes = sizedArrayPoolBlockBytes();
    if (usePool && blockBytes >= bytes) {
        data_ = threadPool().take(blockBytes);
        pooled_ = true;
    } else {
        data_ = static_cast<float*>(allocateOrDie(bytes));
    }
}

void SizedArray::free() {
    if (data_) {
        if (pooled_) {
            threadPool().give(data_);
        } else {
            scalable_aligned_free(data_);
        }
    }
    data_ = nullptr;
    count_ = 0;
    pooled_ = false;
}

}  // namespace qv
