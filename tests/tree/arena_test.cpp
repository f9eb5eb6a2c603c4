// The memory arena: reserve-and-commit buffers, lazily committed card rows, pooled value arrays,
// and the fatal ends when memory runs out.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "tree/card_rows.h"
#include "tree/reserved_buffer.h"
#include "tree/sized_array.h"

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

TEST(ReservedBufferTest, SavedBufferLoadsIntoAFreshOne) {
    ReservedBuffer saved(3 * 4096, 4096);
    saved.grow(5000);
    for (int i = 0; i < 5000; ++i) saved.data()[i] = uint8_t(i * 7);
    std::vector<uint8_t> file;
    saved.save([&](const void* p, size_t n) { file.insert(file.end(), (const uint8_t*)p, (const uint8_t*)p + n); }, 77);
    EXPECT_EQ(file.size(), 4u + 8 + 8 + 5000);

    ReservedBuffer loaded(0, 4096);
    size_t at = 0;
    int32_t capacity = loaded.load([&](void* p, size_t n) {
        std::memcpy(p, file.data() + at, n);
        at += n;
    });
    EXPECT_EQ(capacity, 77);
    EXPECT_EQ(loaded.reserved(), 3 * 4096);
    EXPECT_EQ(loaded.requested(), 5000);
    EXPECT_EQ(std::memcmp(loaded.data(), saved.data(), 5000), 0);
}

TEST(ReservedBufferTest, StoreReservationsRoundToTheirGranules) {
    EXPECT_EQ(codedStoreReservation(1000, 4), 16384);
    EXPECT_EQ(codedStoreReservation(4096, 4), 32768);  // 128 flag bytes push it past 16384
    EXPECT_EQ(codedStoreReservation(8192, 2), 32768);
    EXPECT_EQ(compressedStoreReservation(2048), 4096);
    EXPECT_EQ(compressedStoreReservation(2049), 8192);
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

TEST(ArenaDeathTest, RowThatCannotBeCommittedEndsTheProcess) {
    if (!kAddressSpaceLimitWorks) GTEST_SKIP();
    expectFatal(
        [] {
            CardRows rows(2, CardRows::Mode::Commit);
            rows.allocate(1, 0x7FFFFFFFu);
            limitAddressSpace(rlim_t(1) << 30);
            rows.touch(1);
        },
        "Commit 4294967294 bytes fail \\(errno 12\\)");
}

TEST(ArenaDeathTest, ArrayThatCannotBeAllocatedEndsTheProcess) {
    if (!kAddressSpaceLimitWorks) GTEST_SKIP();
    expectFatal(
        [] {
            limitAddressSpace(rlim_t(1) << 30);
            SizedArray array;
            array.resize(0x7FFFFFFF, false);
        },
        "out of memory");
}

TEST(CardRowsTest, RowsGetZeroedMemoryAtTheirFirstTouchOnly) {
    for (CardRows::Mode mode : {CardRows::Mode::Commit, CardRows::Mode::Heap}) {
        SCOPED_TRACE(mode == CardRows::Mode::Commit ? "commit" : "heap");
        CardRows rows(52, mode);
        for (int card = 0; card < 52; ++card) ASSERT_TRUE(rows.allocate(card, card == 5 ? 0 : 1000));
        EXPECT_EQ(rows.row(7) == nullptr, mode == CardRows::Mode::Commit);
        EXPECT_FALSE(rows.ready(7));
        if (mode == CardRows::Mode::Heap) std::memset(rows.row(7), 0xAB, 2000);  // stale heap contents

        rows.touch(7);
        ASSERT_TRUE(rows.ready(7));
        ASSERT_NE(rows.row(7), nullptr);
        EXPECT_EQ(rows.row(7)[999], 0);
        rows.row(7)[999] = 42;
        rows.touch(7);
        EXPECT_EQ(rows.row(7)[999], 42);
        EXPECT_FALSE(rows.ready(51));

        rows.clearReady();
        rows.touch(7);
        EXPECT_EQ(rows.row(7)[999], 0);
        rows.touch(5);  // an empty row is simply ready
        EXPECT_TRUE(rows.ready(5));
        EXPECT_EQ(rows.bytes(), mode == CardRows::Mode::Commit ? 2000 : 51 * 2000);
    }
}

TEST(SizedArrayTest, PoolRecyclesBlocksOfTheCallingThread) {
    setSizedArrayPoolBlockBytes(4096);
    SizedArray a;
    a.resize(1000, true);
    EXPECT_TRUE(a.pooled());
    EXPECT_EQ(reinterpret_cast<uintptr_t>(a.data()) % 32, 0u);
    float* block = a.data();
    a.resize(0, true);
    SizedArray b;
    b.resize(10, true);
    EXPECT_EQ(b.data(), block);  // the freed block came back

    SizedArray big;
    big.resize(1025, true);  // larger than a block
    EXPECT_FALSE(big.pooled());
    EXPECT_EQ(reinterpret_cast<uintptr_t>(big.data()) % 32, 0u);
    big.resize(1025, true);
    EXPECT_EQ(big.size(), 1025);
    SizedArray unpooled;
    unpooled.resize(10, false);
    EXPECT_FALSE(unpooled.pooled());
}

TEST(SizedArrayTest, BlockFreedOnAnotherThreadJoinsThatThreadsPool) {
    setSizedArrayPoolBlockBytes(2048);
    SizedArray array;
    array.resize(100, true);
    float* block = array.data();
    float* reused = nullptr;
    float* here = nullptr;
    std::thread other([&] {
        SizedArray moved = std::move(array);
        moved.resize(0, true);  // freed on this thread
        SizedArray again;
        again.resize(100, true);
        reused = again.data();
    });
    other.join();
    SizedArray local;
    local.resize(100, true);
    here = local.data();
    EXPECT_EQ(reused, block);
    EXPECT_NE(here, block);
}

TEST(SizedArrayTest, NewBlockSizeRetiresOldBlocks) {
    setSizedArrayPoolBlockBytes(1024);
    SizedArray array;
    array.resize(200, true);
    setSizedArrayPoolBlockBytes(8192);
    array.resize(2000, true);  // frees the old-size block, takes one of the new size
    EXPECT_TRUE(array.pooled());
    array[1999] = 1.5f;
    EXPECT_EQ(array[1999], 1.5f);
}

}  // namespace
}  // namespace qv
