// Store classes: what each keeps, how 16-bit records adapt their precision, and which class each
// node of a tree gets.
#include <gtest/gtest.h>

#include <cstring>

#include "solver/node_store.h"
#include "solver/solver_state.h"
#include "test_games.h"

namespace qv {
namespace {

using namespace qv::testing;

TEST(NodeStores, SixteenBitRecordIsHalvedWhenItsLargestValueReaches60001) {
    auto store = makeRegret16Store(2, BoardLayout::uniform(5, 3), 1.0f);
    std::vector<float> big(8, 0.0f), zero(8, 0.0f);
    big[0] = 2.6e6f;  // 2.6e6^0.75 = 63,000 after one update
    const float* children[] = {big.data(), zero.data()};
    RegretUpdate update;
    update.iteration = 7;  // not a multiple of 10: no adaptation yet
    store->addRegrets(1, children, zero.data(), update);
    const uint16_t* r = static_cast<const uint16_t*>(store->rowBase(1));
    EXPECT_GT(r[0], 60001);
    update.iteration = 10;
    std::vector<float> none(8, 0.0f);
    const float* still[] = {none.data(), none.data()};
    store->addRegrets(1, still, zero.data(), update);
    EXPECT_LE(r[0], 32768);
    EXPECT_FLOAT_EQ(store->record(1).scale, 0.5f);
    EXPECT_EQ(store->record(0).scale, 1.0f);  // other records untouched
}

TEST(NodeStores, SmallSixteenBitRecordsGainPrecisionUpToEightfoldPerStep) {
    auto store = makeRegret16Store(1, BoardLayout::uniform(3, 1), 1.0f);
    std::vector<float> child(8, 0.0f), node(8, 0.0f);
    child[0] = 100.0f;  // 100^0.75 = 31.6 -> 32
    const float* children[] = {child.data()};
    RegretUpdate update;
    update.iteration = 20;
    store->addRegrets(0, children, node.data(), update);
    const uint16_t* r = static_cast<const uint16_t*>(store->rowBase(0));
    EXPECT_EQ(r[0], 256);  // 32 x 8: the factor is capped at 8
    EXPECT_FLOAT_EQ(store->record(0).scale, 8.0f);
    update.adaptivePrecision = false;
    store->addRegrets(0, children, node.data(), update);
    EXPECT_EQ(r[0], 288);  // without adaptive precision the record scale is not applied
}

TEST(NodeStores, ClassesReportTheirElementSize) {
    struct Row {
        std::unique_ptr<NodeStore> store;
        int bytes;
    };
    Row rows[] = {{makeFloatStore(StoreRole::Regrets, 3, BoardLayout::uniform(10, 4)), 4},
                  {makeRegret16Store(3, BoardLayout::uniform(10, 4), 1.0f), 2},
                  {makeFastSumStore(3, BoardLayout::uniform(10, 4), 1), 2},
                  {makeFastSumStore(3, BoardLayout::uniform(10, 5), 2), 2}};
    for (Row& row : rows) {
        EXPECT_EQ(row.store->bytesPerElement(), row.bytes);
        EXPECT_GE(row.store->sizeInBytes(), size_t(row.bytes) * 3 * 16 * row.store->boards());
    }
}

TEST(NodeStores, RecordsOfDifferentLengthsStaySeparateInBothBlocksOfTheNumaVariant) {
    auto layout = std::make_shared<BoardLayout>();
    for (int count : {9, 3, 17, 8, 1}) layout->append(count);
    auto store = makeFastSumStore(2, layout, 2);
    std::vector<float> add0(24, 1.0f), add1(24, 2.0f), temp(48);
    const float* add[] = {add0.data(), add1.data()};
    for (int b = 0; b < 5; ++b) store->accumulateStrategy(b, add, float(b + 1), temp.data());
    std::vector<float> fallback(48, 0.5f), sigma(48);
    for (int b = 0; b < 5; ++b) {
        EXPECT_EQ(store->stride(b), paddedLength(layout->counts[b]));
        store->averageStrategy(b, fallback.data(), sigma.data());
        EXPECT_NEAR(sigma[0], 1.0 / 3, 1e-3);
        EXPECT_NEAR(sigma[store->stride(b)], 2.0 / 3, 1e-3);
        const uint16_t* v = static_cast<const uint16_t*>(store->rowBase(b));
        EXPECT_EQ(v[layout->counts[b] - 1], uint16_t(16 * (b + 1))) << b;
    }
}

GameDefinition smallGame(int street) {
    RecordBuilder b;
    int root = b.decision(-1, 0, street);
    if (street < 3) {
        int next = b.decision(root, 0, 3);
        b.showdown(next, 50);
        b.fold(next, 50);
    }
    b.showdown(root, 50);
    GameDefinition game;
    game.records = b.records;
    game.flop = flopOf("2c", "7d", "9h");
    if (street >= 2) game.turn = card("Ts");
    if (street == 3) game.river = card("Kc");
    // Every combo of queens, kings and aces: small, and the same under any suit permutation.
    for (auto& range : game.ranges) {
        range.assign(kComboCount, 0.0);
        for (int slot = 0; slot < kComboCount; ++slot)
            if (rankOf(cardsOfSlot(slot)[0]) >= 10 && rankOf(cardsOfSlot(slot)[1]) >= 10) range[slot] = 1.0;
    }
    game.ranker = suitBlindStrength;
    game.compression = CompressionFast;
    return game;
}

TEST(NodeStores, RiverNodesOfFlopTreesAreSixteenBitAndOtherTreesStayFloat) {
    struct Row {
        int street;
        int riverRegretBytes;
        int riverSumBytes;
        int level;
    } rows[] = {{1, 2, 2, 5}, {2, 4, 4, 0}, {3, 4, 4, 0}};
    for (Row row : rows) {
        SolverState state(smallGame(row.street));
        EXPECT_EQ(state.actualCompression(), row.level) << row.street;
        uint32_t river = row.street < 3 ? 1 : 0;
        EXPECT_EQ(state.regrets(river)->bytesPerElement(), row.riverRegretBytes);
        EXPECT_EQ(state.strategySums(river)->bytesPerElement(), row.riverSumBytes);
        EXPECT_EQ(state.regrets(0)->bytesPerElement(), row.street < 3 ? 4 : row.riverRegretBytes);
        EXPECT_EQ(state.tuning().iterationCap, row.street == 1 ? 2200 : 9000);
    }
}

TEST(NodeStores, RiverStrategyStorageOffLeavesRiverNodesWithoutSums) {
    GameDefinition game = smallGame(1);
    game.riverStrategy = false;
    SolverState state(game);
    EXPECT_NE(state.strategySums(0), nullptr);
    EXPECT_EQ(state.strategySums(1), nullptr);
}

TEST(NodeStores, RecordsExistOnlyForCardsThatCanCome) {
    GameDefinition game = smallGame(1);
    SolverState state(game);
    EXPECT_EQ(state.boards().level(1).size(), 49u);
    EXPECT_EQ(state.boards().level(2).size(), 49u * 48u);
    EXPECT_EQ(state.regrets(1)->boards(), 49 * 48);
    // River records keep only the hands the turn and river cards leave possible.
    const BoardStates& boards = state.boards();
    for (int b = 0; b < 49 * 48; b += 97) {
        int possible = 0;
        for (int h = 0; h < state.hands(1).count; ++h) possible += !(state.hands(1).mask[h] & boards.state(2, b).cards);
        EXPECT_EQ(state.regrets(1)->hands(b), possible);
    }
    game.isomorphism = true;  // 2c 7d 9h leaves only spades free: nothing merges
    SolverState same(game);
    EXPECT_EQ(same.boards().level(1).size(), 49u);
    game.flop = flopOf("2c", "7c", "9c");  // monotone: the three other suits are interchangeable
    SolverState monotone(game);
    EXPECT_EQ(monotone.boards().level(1).size(), 10u + 13u);
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

using namespace qv::testing;

TEST(NodeStores, UncompressedStorageCountsEveryActionHandAndBoardState) {
    // OOP holds 5 hands (padded to 8), IP 2 (padded to 8); a bet node with two actions on the turn
    // has one record per river card.
    RecordBuilder b;
    int root = b.decision(-1, 0, 2);
    int bet = b.decision(root, 1, 2);
    b.showdown(bet, 80);
    b.fold(bet, 50);
    GameDefinition game;
    game.records = b.records;
    game.flop = flopOf("Qs", "Jh", "9h");
    game.turn = card("8d");
    game.ranges[0].assign(kComboCount, 0.0);
    game.ranges[1].assign(kComboCount, 0.0);
    for (int slot : {0, 1, 2, 3, 4}) game.ranges[0][slot] = 1;
    for (int slot : {0, 1}) game.ranges[1][slot] = 1;
    game.ranker = suitBlindStrength;
    SolverState state(game);
    EXPECT_EQ(state.uncompressedStorage().regrets, (1 * 8 + 2 * 8) * 4);
    EXPECT_EQ(state.uncompressedStorage().strategySums, (1 * 8 + 2 * 8) * 4);
    EXPECT_GT(state.uncompressedStorage().auxiliary, 44 * 2 * sizeof(ShowdownEntry));  // one table per river card
}

}  // namespace
}  // namespace qv
