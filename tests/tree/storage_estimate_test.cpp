// The storage estimate: the compression factor table and the size of a built tree's stores.
#include "tree/storage_estimate.h"
#include "tree_fixture.h"

namespace qv::test {
namespace {

TEST(StorageEstimateTest, FactorsFollowFlopSuitsAndLevel) {
    struct Case {
        const char* flop;
        int level;
        double factor;
    };
    const Case cases[] = {{"Ks9s4s", 1, 0.54}, {"QsJh2h", 2, 0.39}, {"AcKd2s", 4, 0.24},
                          {"AcKd2s", 5, 0.68}, {"AcKd2s", 0, 1.0},  {"AcKd2s", -1, 1.0}, {"Ks9s4s", 6, 1.0}};
    for (const Case& c : cases) EXPECT_EQ(compressionFactor(flopSuitCount(parseCards(c.flop)), c.level), c.factor) << c.flop;
    // A rainbow flop at "max" needs 0.24 of the uncompressed size.
    EXPECT_EQ(estimatedTreeMegabytes(int64_t(100) << 20, 3, 4), 24);
}

}  // namespace
}  // namespace qv::test
