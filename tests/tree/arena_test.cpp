// The memory arena: reserve-and-commit buffers and the fatal ends when memory runs out.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <functional>

#include "solver/aligned_buffer.h"
#include "tree/reserved_buffer.h"

namespace qv {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSpaceLimitWorks = false;  // the sanitizer's shadow memory needs it all
#else
constexpr bool kAddressSpaceLimitWorks = true;
#endif

// Fatal messages go to standard output; death tests match standard error.
void outputToStandardError() { dup2(STDERR_FILENO, STDOUT_FILENO); }

void limitAddressSpace(rlim_t bytes) {
    rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_AS, &limit);
}

TEST(ReservedBufferTest, CommitsInGranulesUpToTheReservation) {
    ReservedBuffer buffer(5 * 4096, 4096);
    EXPECT_EQ(buffer.data(), nullptr);
    struct Step {
        int64_t grow, size, committed;
    };
    const Step steps[] = {{1, 4096, 4096}, {4096, 4096, 4096}, {4097, 8192, 8192},
                          {100, 4096, 8192}, {5 * 4096, 5 * 4096, 5 * 4096}};
    for (const Step& step : steps) {
        buffer.grow(step.grow);
        EXPECT_EQ(buffer.requested(), step.grow);
        EXPECT_EQ(buffer.size(), step.size) << step.grow;
        EXPECT_EQ(buffer.committed(), step.committed) << step.grow;
        EXPECT_EQ(buffer.reserved(), 5 * 4096);
    }
}

TEST(ReservedBufferTest, GrowthNeverMovesTheDataWritten) {
    const int64_t granule = 16384;
    ReservedBuffer buffer(64 * granule, granule);
    buffer.grow(1);
    uint8_t* base = buffer.data();
    ASSERT_NE(base, nullptr);
    for (int64_t n = granule; n <= 64 * granule; n += granule) {
        std::memset(buffer.data() + n - granule, int(n / granule), size_t(granule));
        buffer.grow(n + 1 <= 64 * granule ? n + 1 : n);
        ASSERT_EQ(buffer.data(), base);
    }
    for (int64_t g = 0; g < 64; ++g) EXPECT_EQ(base[g * granule + 7], uint8_t(g + 1)) << g;
}

TEST(ReservedBufferTest, DiscardedTailReadsAsZerosAndStaysUsable) {
    ReservedBuffer buffer(16 * 4096, 4096);
    buffer.grow(16 * 4096);
    std::memset(buffer.data(), 0x77, 16 * 4096);
    buffer.discardFrom(5000);  // the granule holding byte 5000 is kept whole
    EXPECT_EQ(buffer.data()[8191], 0x77);
    EXPECT_EQ(buffer.data()[8192], 0);
    EXPECT_EQ(buffer.committed(), 16 * 4096);
    buffer.data()[10000] = 1;
    EXPECT_EQ(buffer.data()[10000], 1);
}

// Runs the action in a child process, which must print exactly the message (a regular
// expression) on standard output and end with status 1.
void expectFatal(const std::function<void()>& action, const std::string& message) {
    EXPECT_EXIT(
        {
            outputToStandardError();
            action();
        },
        ::testing::ExitedWithCode(1), "^" + message + "\n$");
}

TEST(ArenaDeathTest, GrowingPastTheReservationEndsTheProcess) {
    expectFatal(
        [] {
            ReservedBuffer buffer(2 * 4096, 4096);
            buffer.grow(2 * 4096);
            buffer.grow(2 * 4096 + 1);
        },
        "out of memory \\(not enough reserved\\)");
}

TEST(ArenaDeathTest, FailedReservationEndsTheProcess) {
    if (!kAddressSpaceLimitWorks) GTEST_SKIP();
    expectFatal(
        [] {
            limitAddressSpace(rlim_t(4) << 30);
            ReservedBuffer buffer(int64_t(1) << 40, 4096);
            buffer.grow(1);
        },
        "Reserve 1099511627776 bytes fail \\(errno 12\\)");
}

// A store that would pass the machine's memory ends the program before anything is touched (a
// commit past it is the solver_out_of_memory protocol script's). The child starts afresh to read
// the smaller machine, and also prints gtest's greeting, so the message is not matched whole.
TEST(ArenaDeathTest, StoresBeyondTheMachinesMemoryEndTheProcess) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    setenv("QUORVANE_MEMORY_MB", "64", 1);
    EXPECT_EXIT(
        {
            outputToStandardError();
            AlignedFloats floats(size_t(20) << 20);
        },
        ::testing::ExitedWithCode(1), "\nout of memory\n");
    unsetenv("QUORVANE_MEMORY_MB");
    ::testing::FLAGS_gtest_death_test_style = "fast";
}

}  // namespace
}  // namespace qv
