#pragma once
// Address space reserved once and backed by memory only as far as it is committed, so a region
// can grow in place without moving.
#include <cstddef>

namespace qv {

// Reserves `bytes` of address space that is not yet usable; null on failure (errno tells why).
// Large reservations are offered to transparent huge pages.
void* reserveAddressSpace(size_t bytes);
// Makes the first `bytes` of a reservation readable and writable; false on failure.
bool commitAddressSpace(void* base, size_t bytes);
// Reserves and commits in one step; the memory reads as zero. Null on failure.
void* allocateCommitted(size_t bytes);
// Returns a whole reservation to the system; false on failure.
bool releaseAddressSpace(void* base, size_t bytes);

}  // namespace qv
