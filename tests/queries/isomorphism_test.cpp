// Queries at turn and river cards that suit isomorphism solves through an equivalent card give
// that card's own values: a tree built with isomorphism answers as the same tree built without.
#include <gtest/gtest.h>

#include "queries/node_equity.h"
#include "queries/node_ranges.h"
#include "queries/node_values.h"
#include "query_fixture.h"

namespace qv {
namespace {

using namespace qv::testing;

void expectSameArrays(const std::vector<double>& merged, const std::vector<double>& plain, double tolerance,
                      const char* what) {
    for (int s = 0; s < kComboCount; ++s) {
        ASSERT_EQ(std::isnan(merged[s]), std::isnan(plain[s])) << what << " " << s;
        if (!std::isnan(plain[s])) {
            EXPECT_NEAR(merged[s], plain[s], tolerance) << what << " " << s;
        }
    }
}

double largestDifference(const std::vector<double>& a, const std::vector<double>& b) {
    double largest = 0;
    for (int s = 0; s < kComboCount; ++s)
        if (!std::isnan(a[s]) && !std::isnan(b[s])) largest = std::max(largest, std::fabs(a[s] - b[s]));
    return largest;
}

// After one iteration the two solves agree to rounding; later their rounding differences grow,
// as the merged tree adds values in another order. The boards leave two suits interchangeable
// that can still make a flush, so the two cards of a merged pair really differ.
class IsomorphicCards : public ::testing::TestWithParam<GameSpec> {};

TEST_P(IsomorphicCards, EveryCardReportsItsOwnValues) {
    const GameSpec spec = GetParam();
    GameDefinition game = definitionOf(spec);  // ranges that suit symmetries keep
    SolverState merged(game);
    game.isomorphism = false;
    SolverState plain(game);
    ASSERT_LT(merged.boards().level(1).size(), plain.boards().level(1).size());
    iterate(plain, spec.iterations);
    iterate(merged, spec.iterations);
    for (const PointSpec& ps : pointsOf(spec.street)) {
        SCOPED_TRACE(describe(ps));
        const TreePoint point = pointOf(plain, ps);
        for (int player = 0; player < 2; ++player) {
            const PointValues a = pointValues(merged, point, player), b = pointValues(plain, point, player);
            expectSameArrays(a.ev, b.ev, 1e-3, "ev");
            expectSameArrays(a.weight, b.weight, 1e-6, "weight");
            expectSameArrays(rangeAtPoint(merged, point, player), rangeAtPoint(plain, point, player), 1e-5, "range");
            expectSameArrays(pointEquity(merged, point, player).raw, pointEquity(plain, point, player).raw, 1e-5,
                             "equity");
        }
        EXPECT_NEAR(lineFrequency(merged, point), lineFrequency(plain, point), 1e-6);
        EXPECT_NEAR(globalFrequency(merged, point), globalFrequency(plain, point), 1e-6);
    }
    // The two cards of a merged pair differ by far more than the tolerances, so a query answered
    // with the other card's values would show.
    double gap = 0;
    for (const PointSpec& ps : pointsOf(spec.street)) {
        TreePoint d = pointOf(plain, ps), s = d;
        int& dealt = spec.street == 1 ? d.turn : d.river;
        if (dealt < 0 || cardCount(cardBit(dealt) & cardsOf({"Qd", "Qs"})) == 0) continue;
        dealt = card("Qd");
        (spec.street == 1 ? s.turn : s.river) = card("Qs");
        for (int player = 0; player < 2; ++player)
            gap = std::max(gap, largestDifference(pointValues(plain, s, player).ev, pointValues(plain, d, player).ev));
    }
    EXPECT_GT(gap, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Games, IsomorphicCards,
                         ::testing::Values(GameSpec{"turn", 2, true, {"Kd", "Ks", "5d", "5s"}, 1, 10},
                                           GameSpec{"flop", 1, true, {"Kd", "Ks", "5c"}, 1, 6}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qv
