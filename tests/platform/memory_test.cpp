// The platform memory layer: reserve, commit and release of address space, and the machine's memory.
#include <gtest/gtest.h>
#include <sys/sysinfo.h>

#include <cstring>

#include "platform/system_memory.h"
#include "platform/virtual_memory.h"

namespace qv {
namespace {

TEST(VirtualMemoryTest, ReservedSpaceBecomesUsableAsFarAsCommitted) {
    const size_t reservation = size_t(64) << 20;
    auto* base = static_cast<unsigned char*>(reserveAddressSpace(reservation));
    ASSERT_NE(base, nullptr);
    ASSERT_TRUE(commitAddressSpace(base, 8192));
    std::memset(base, 0x5A, 8192);
    ASSERT_TRUE(commitAddressSpace(base, reservation));  // committing again keeps the contents
    EXPECT_EQ(base[8191], 0x5A);
    EXPECT_EQ(base[reservation - 1], 0);
    discardPages(base, 8192);
    EXPECT_EQ(base[8191], 0);
    EXPECT_TRUE(releaseAddressSpace(base, reservation));
}

TEST(SystemMemoryTest, TotalMatchesTheKernelAndLoadIsAPercentage) {
    SystemMemory memory = systemMemory();
    struct sysinfo info {};
    ASSERT_EQ(sysinfo(&info), 0);
    uint64_t kernelTotal = uint64_t(info.totalram) * info.mem_unit;
    // /proc/meminfo and sysinfo report the same total, up to rounding to kibibytes.
    EXPECT_NEAR(double(memory.totalBytes), double(kernelTotal), 4096.0);
    EXPECT_GE(memory.loadPercent, 0);
    EXPECT_LE(memory.loadPercent, 100);
}

}  // namespace
}  // namespace qv
