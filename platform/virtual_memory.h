#pragma once
// Address space reserved once and backed by memory only as far as it is committed, so a region
// can grow in place without moving.
#include <cstddef>

namespace qv {

// Reserves `bytes` of address space that is not yet usable; null on failure (errno tells why).
// The region is left to small pages: it grows in granules far smaller than a huge page, which
// would be charged whole at its first write.
void* reserveAddressSpace(size_t bytes);
// Makes the first `bytes` of a reservation readable and writable; false on failure.
bool commitAddressSpace(void* base, size_t bytes);
// Gives the pages of a committed range back to the system; they stay usable and read as zeros.
void discardPages(void* start, size_t bytes);
// Returns a whole reservation to the system; false on failure.
bool releaseAddressSpace(void* base, size_t bytes);

}  // namespace qv
