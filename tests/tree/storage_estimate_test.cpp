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

class UncompressedStorageTest : public TreeTest {};

TEST_F(UncompressedStorageTest, CountsEveryActionHandAndBoardState) {
    // OOP holds 5 hands (padded to 8), IP 2 (padded to 4) on a river board that blocks none.
    setBoard("QsJh9h8d7s");
    std::vector<double>* ranges = gameSetup().ranges.data();
    ranges[0].assign(kComboCount, 0);
    ranges[1].assign(kComboCount, 0);
    for (int slot : {0, 1, 2, 3, 4}) ranges[0][slot] = 1;
    for (int slot : {0, 1}) ranges[1][slot] = 1;
    addLines({"30"});
    runBuildSteps(BuildOptions{});
    // Root: 1 action x 8 hands; bet node: 2 actions x 4 hands; regrets and sums of 4 bytes.
    EXPECT_EQ(uncompressedStorageBytes(builtTree()), (1 * 8 + 2 * 4) * 4 * 2);
    setBoard("QsJh9h8d3c");  // 3c blocks three of OOP's hands: 2 left, padded to 4
    runBuildSteps(BuildOptions{});
    EXPECT_EQ(uncompressedStorageBytes(builtTree()), (1 * 4 + 2 * 4) * 4 * 2);

    // On a flop the turn nodes hold one record per turn card.
    clearLines();
    setBoard("QsJh9h");
    gameSetup().flopIsomorphism = false;  // the five hands are not suit-symmetric
    addLines({"0 0 0 0"});
    runBuildSteps(BuildOptions{});
    EXPECT_EQ(uncompressedStorageBytes(builtTree()), (1 * 8 + 1 * 4 + 1 * 8 * 49 + 1 * 4 * 49) * 8);
}

}  // namespace
}  // namespace qv::test
