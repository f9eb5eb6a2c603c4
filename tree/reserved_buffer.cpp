#include "tree/reserved_buffer.h"

#include <cerrno>
#include <utility>

#include "platform/fatal_exit.h"
#include "platform/system_memory.h"
#include "platform/virtual_memory.h"

namespace qv {

ReservedBuffer::ReservedBuffer(int64_t reservedBytes, int64_t granularity)
    : reserved_(reservedBytes), granularityMask_(int32_t(granularity - 1)) {}

ReservedBuffer::~ReservedBuffer() { release(); }

ReservedBuffer::ReservedBuffer(ReservedBuffer&& other) noexcept { *this = std::move(other); }

ReservedBuffer& ReservedBuffer::operator=(ReservedBuffer&& other) noexcept {
    if (this == &other) return *this;
    release();
    size_ = std::exchange(other.size_, 0);
    requested_ = std::exchange(other.requested_, 0);
    committed_ = std::exchange(other.committed_, 0);
    reserved_ = other.reserved_;
    base_ = std::exchange(other.base_, nullptr);
    granularityMask_ = other.granularityMask_;
    return *this;
}

void ReservedBuffer::grow(int64_t n) {
    requested_ = n;
    size_ = (n + granularityMask_) & ~int64_t(granularityMask_);
    if (committed_ >= size_) return;
    if (reserved_ < size_) fatalExit("out of memory (not enough reserved)\n");
    if (!chargeMemory(size_ - committed_)) fatalExit("Commit %lld bytes fail (errno %d)\n", (long long)size_, ENOMEM);
    committed_ = size_;
    if (!base_) {
        base_ = static_cast<uint8_t*>(reserveAddressSpace(size_t(reserved_)));
        if (!base_) fatalExit("Reserve %lld bytes fail (errno %d)\n", (long long)reserved_, errno);
    }
    if (!commitAddressSpace(base_, size_t(size_)))
        fatalExit("Commit %lld bytes fail (errno %d)\n", (long long)size_, errno);
}

void ReservedBuffer::release() {
    if (base_ && !releaseAddressSpace(base_, size_t(reserved_))) fatalExit("VirtualFree fail\n");
    releaseCharge(committed_);
    base_ = nullptr;
    size_ = requested_ = committed_ = 0;
}

void ReservedBuffer::discardFrom(int64_t n) {
    const int64_t from = (n + granularityMask_) & ~int64_t(granularityMask_);
    if (base_ && from < committed_) discardPages(base_ + from, size_t(committed_ - from));
}

}  // namespace qv
