// Store classes: what each keeps, how 16-bit records adapt their precision, and which class each
// node of a tree gets. (The storage a tree would take as plain floats is printed by build_tree in
// tree_verbose and decides the automatic level in solver_compression_auto.)
#include <gtest/gtest.h>

#include <cstring>

#include "solver/node_store.h"
#include "solver/packed_rows.h"
#include "solver/solver_state.h"
#include "test_games.h"

namespace qv {
namespace {

using namespace qv::testing;

// A record is halved when its largest value reaches 60001, and a small one gains precision up to
// eightfold a step; only at iterations that are multiples of 10.
TEST(NodeStores, SixteenBitRecordsAdaptTheirPrecision) {
    for (int component : {0, 1}) {
        auto store = makeRegret16Store(2, BoardLayout::uniform(5, 3), 1.0f, component);
        std::vector<float> big(8, 0.0f), zero(8, 0.0f), child(8, 0.0f), other(8, 0.0f), sigma(16);
        big[0] = 2.6e6f;  // 2.6e6^0.75 = 63,000 after one update
        RegretUpdate update;
        update.iteration = 7;  // not a multiple of 10: no adaptation yet
        const float* bigFirst[] = {big.data(), zero.data()};
        store->addRegrets(1, bigFirst, zero.data(), update);
        EXPECT_EQ(store->record(1).scale, 1.0f);
        update.iteration = 10;
        const float* still[] = {zero.data(), zero.data()};
        store->addRegrets(1, still, zero.data(), update);
        EXPECT_FLOAT_EQ(store->record(1).scale, 0.5f);
        EXPECT_EQ(store->record(2).scale, 1.0f);  // other records untouched

        other[0] = 100.0f;
        store->writeAction(0, 1, other.data());
        child[0] = 100.0f;  // 100^0.75 = 31.6 -> 32 units
        const float* children[] = {child.data(), zero.data()};
        update.iteration = 20;
        store->addRegrets(0, children, zero.data(), update);
        store->currentStrategy(0, sigma.data());
        EXPECT_FLOAT_EQ(store->record(0).scale, 8.0f);  // 100 < 1024 / 8: the factor is capped at 8
        EXPECT_NEAR(sigma[0], 256.0 / 1056.0, 1e-6);
        update.adaptivePrecision = false;  // the record scale is then not applied: 32 units more
        store->addRegrets(0, children, zero.data(), update);
        store->currentStrategy(0, sigma.data());
        EXPECT_NEAR(sigma[0], 288.0 / 1088.0, 1e-6);
    }
}

TEST(NodeStores, RecordsOfDifferentLengthsStaySeparate) {
    auto layout = std::make_shared<BoardLayout>();
    const int counts[] = {9, 3, 17, 8, 1};
    for (int b = 0; b < 5; ++b) layout->append(counts[b], b / 2);
    std::vector<float> add0(24, 1.0f), add1(24, 2.0f), temp(48);
    const float* add[] = {add0.data(), add1.data()};
    for (auto [component, groups] : {std::pair{3, 1}, {3, 2}, {1, 1}, {2, 1}}) {
        auto store = makeSum16Store(2, layout, component, groups);
        for (int b = 0; b < 5; ++b) store->accumulateStrategy(b, add, float(b + 1), temp.data());
        std::vector<float> fallback(48, 0.5f), sigma(48);
        for (int b = 0; b < 5; ++b) {
            EXPECT_EQ(store->stride(b), paddedLength(layout->counts[b]));
            store->averageStrategy(b, fallback.data(), sigma.data());
            for (int h = 0; h < counts[b]; ++h) {
                EXPECT_NEAR(sigma[h], 1.0 / 3, 1e-2) << component << " " << b;
                EXPECT_NEAR(sigma[store->stride(b) + h], 2.0 / 3, 1e-2);
            }
        }
    }
}

GameDefinition smallGame(int street) {
    RecordBuilder b;
    // Every decision has two actions, so that keepsWholeUnits can write both.
    int root = b.decision(-1, 0, street);
    if (street < 3) {
        int next = b.decision(root, 0, 3);
        b.showdown(next, 50);
        b.fold(next, 50);
    } else {
        b.fold(root, 50);
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

// A 16-bit store keeps whole units: written weights of 0.3 and 0.7 play as 0 and 1.
bool keepsWholeUnits(NodeStore& store) {
    std::vector<float> low(size_t(store.stride(0)), 0.3f), high(size_t(store.stride(0)), 0.7f);
    store.writeAction(0, 0, low.data());
    store.writeAction(0, 1, high.data());
    std::vector<float> sigma(size_t(store.actions() * store.stride(0)), 0.5f);
    store.averageStrategy(0, sigma.data(), sigma.data());
    store.currentStrategy(0, sigma.data());
    return sigma[0] == 0.0f;
}

bool packed(NodeStore* store) { return dynamic_cast<PackedStorage*>(store) != nullptr; }

TEST(NodeStores, EachLevelGivesRiverNodesOfFlopTreesItsClasses) {
    struct Row {
        int street, level;
        bool sixteenBitSums, packedRegrets, packedSums;
        int iterationCap, warmup;
    } rows[] = {{1, CompressionNone, false, false, false, 9000, 0},   {1, CompressionLow, true, false, true, 9000, 0},
                {1, CompressionMedium, true, true, true, 9000, 0},   {1, CompressionHigh, true, true, true, 9000, 0},
                {1, CompressionMax, true, true, true, 9000, 30},     {1, CompressionFast, true, false, false, 2200, 0},
                {2, CompressionMax, false, false, false, 9000, 0},   {3, CompressionMax, false, false, false, 9000, 0}};
    for (Row row : rows) {
        SCOPED_TRACE(::testing::Message() << "street " << row.street << " level " << row.level);
        GameDefinition game = smallGame(row.street);
        game.compression = row.level;
        SolverState state(game);
        EXPECT_EQ(state.actualCompression(), row.street == 1 ? row.level : CompressionNone);
        const uint32_t river = row.street < 3 ? 1 : 0;
        EXPECT_EQ(keepsWholeUnits(*state.regrets(river)), row.street == 1);
        if (row.street < 3) {
            EXPECT_FALSE(keepsWholeUnits(*state.regrets(0)));
        }
        EXPECT_EQ(keepsWholeUnits(*state.strategySums(river)), row.sixteenBitSums);
        EXPECT_EQ(packed(state.regrets(river)), row.packedRegrets);
        EXPECT_EQ(packed(state.strategySums(river)), row.packedSums);
        EXPECT_EQ(state.tuning().iterationCap, row.iterationCap);
        EXPECT_EQ(state.tuning().warmup, row.warmup);
    }
}

// Records exist only for cards that can come, and river sums only while river strategies are kept.
TEST(NodeStores, RecordsExistOnlyWhereTheyCanBeRead) {
    GameDefinition game = smallGame(1);
    SolverState state(game);
    game.riverStrategy = false;
    SolverState noRiverSums(game);
    EXPECT_NE(noRiverSums.strategySums(0), nullptr);
    EXPECT_EQ(noRiverSums.strategySums(1), nullptr);
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
