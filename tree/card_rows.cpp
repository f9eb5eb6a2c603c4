#include "tree/card_rows.h"

#include <tbb/scalable_allocator.h>

#include <cerrno>
#include <cstring>

#include "platform/fatal_exit.h"
#include "platform/virtual_memory.h"

namespace qv {

namespace {

constexpr size_t kHeapRowAlignment = 128;

}  // namespace

CardRows::CardRows(int rowCount, Mode mode)
    : mode_(mode), slots_(size_t(rowCount)), ready_(new std::atomic<uint64_t>[size_t(rowCount + 63) / 64]) {
    clearReady();
}

CardRows::~CardRows() {
    for (Slot& slot : slots_) {
        if (!slot.data) continue;
        if (mode_ == Mode::Heap) {
            scalable_aligned_free(slot.data);
        } else if (!releaseAddressSpace(slot.data, rowBytes(slot.elements))) {
            fatalExit("VirtualFree fail\n");
        }
    }
}

bool CardRows::allocate(int row, uint32_t elements) {
    Slot& slot = slots_[row];
    slot.elements = elements;
    if (mode_ == Mode::Commit || elements == 0) return true;
    slot.data = static_cast<uint16_t*>(scalable_aligned_malloc(rowBytes(elements), kHeapRowAlignment));
    return slot.data != nullptr;
}

void CardRows::touch(int row) {
    if (ready(row)) return;
    Slot& slot = slots_[row];
    if (!slot.data && mode_ == Mode::Commit && slot.elements > 0) {
        size_t bytes = rowBytes(slot.elements);
        slot.data = static_cast<uint16_t*>(allocateCommitted(bytes));
        if (!slot.data) fatalExit("Commit %lld bytes fail (errno %d)\n", (long long)bytes, errno);
    } else if (slot.data) {
        std::memset(slot.data, 0, rowBytes(slot.elements));
    }
    markReady(row);
}

void CardRows::clearReady() {
    for (size_t i = 0; i < (slots_.size() + 63) / 64; ++i) ready_[i].store(0, std::memory_order_relaxed);
}

bool CardRows::ready(int row) const {
    return (ready_[row / 64].load(std::memory_order_acquire) >> (row % 64)) & 1;
}

void CardRows::markReady(int row) { ready_[row / 64].fetch_or(uint64_t(1) << (row % 64), std::memory_order_release); }

int64_t CardRows::bytes() const {
    int64_t total = 0;
    for (const Slot& slot : slots_)
        if (slot.data) total += int64_t(rowBytes(slot.elements));
    return total;
}

}  // namespace qv
