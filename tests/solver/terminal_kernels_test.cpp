// The linear showdown and fold kernels against a plain pairwise reference, on random ranges and
// boards with ties, card removal, rake and every batch width.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "solver/terminal_kernels.h"

namespace qv {
namespace {

struct Scenario {
    std::array<HandList, 2> hands;
    CardMask board = 0;                 // the full board of the terminal
    std::vector<uint32_t> comboStrength;  // per HandSlot
};

// Random ranges on a random three-card first board, two more cards dealt, strengths drawn from a
// small set so that ties are common.
Scenario randomScenario(std::mt19937& rng, int strengthLevels) {
    Scenario s;
    std::vector<int> deck(kCardCount);
    for (int c = 0; c < kCardCount; ++c) deck[c] = c;
    std::shuffle(deck.begin(), deck.end(), rng);
    CardMask first = cardBit(deck[0]) | cardBit(deck[1]) | cardBit(deck[2]);
    s.board = first | cardBit(deck[3]) | cardBit(deck[4]);
    std::uniform_real_distribution<double> weight(0.0, 1.0);
    std::array<std::vector<double>, 2> ranges;
    for (auto& range : ranges) {
        range.resize(kComboCount);
        for (double& w : range) w = weight(rng) < 0.3 ? 0.0 : weight(rng);
    }
    s.hands = buildHandLists(ranges, first);
    std::uniform_int_distribution<uint32_t> level(0, uint32_t(strengthLevels - 1));
    s.comboStrength.resize(kComboCount);
    for (uint32_t& v : s.comboStrength) v = level(rng) * 1000 + 7;
    return s;
}

uint32_t strengthOf(const Scenario& s, int player, int hand) {
    const HandList& list = s.hands[player];
    if (list.mask[hand] & s.board) return 0xFFFFFFFFu;
    return s.comboStrength[list.slot[hand]];
}

// Reach of the opponent, zero for hands that the board blocks (as the traversal guarantees) and
// for the hands marked gone (out of the line in every batch member).
std::vector<float> randomReach(std::mt19937& rng, const Scenario& s, int player, const std::vector<bool>& gone) {
    const HandList& list = s.hands[player];
    std::vector<float> reach(size_t(list.stride), 0.0f);
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    for (int h = 0; h < list.count; ++h)
        reach[h] = (list.mask[h] & s.board) || gone[h] ? 0.0f : (u(rng) < 0.2f ? 0.0f : u(rng));
    return reach;
}

double naiveShowdown(const Scenario& s, int traverser, int hand, const std::vector<float>& reach, double stake,
                     double rake) {
    const HandList& mine = s.hands[traverser];
    const HandList& theirs = s.hands[1 - traverser];
    uint32_t own = strengthOf(s, traverser, hand);
    if (own == 0xFFFFFFFFu) return 0.0;
    double value = 0;
    for (int k = 0; k < theirs.count; ++k) {
        if (theirs.mask[k] & (mine.mask[hand] | s.board)) continue;
        uint32_t other = strengthOf(s, 1 - traverser, k);
        double w = stake * reach[k];
        if (own > other)
            value += w * (1 - 2 * rake);
        else if (own < other)
            value -= w;
        else
            value -= w * rake;
    }
    return value;
}

double naiveFold(const Scenario& s, int traverser, int hand, const std::vector<float>& reach, double stake) {
    const HandList& mine = s.hands[traverser];
    const HandList& theirs = s.hands[1 - traverser];
    if (mine.mask[hand] & s.board) return 0.0;
    double value = 0;
    for (int k = 0; k < theirs.count; ++k)
        if (!(theirs.mask[k] & mine.mask[hand])) value += stake * reach[k];
    return value;
}

// The hands that the board leaves, numbered by strength as a river state below the first board
// numbers them: the table then holds only the group ends. `listIndex` maps back to the lists.
struct StrengthNumbered {
    std::array<std::vector<uint16_t>, 2> listIndex;
    std::array<std::vector<uint8_t>, 2> low, high;
    std::array<std::vector<int16_t>, 2> same;
    ShowdownTable table;

    explicit StrengthNumbered(const Scenario& s) {
        std::array<std::vector<uint64_t>, 2> keys;
        std::array<std::vector<int16_t>, 2> positionOf;
        std::array<OrderedHands, 2> out;
        for (int p = 0; p < 2; ++p) {
            rankKeys(s.hands[p].count, p, [&](int player, int hand) { return strengthOf(s, player, hand); }, keys[p]);
            const size_t n = keys[p].size();
            listIndex[p].resize(n);
            low[p].resize(n);
            high[p].resize(n);
            same[p].resize(n);
            positionOf[p].assign(size_t(s.hands[p].count), -1);
            out[p] = {listIndex[p].data(), low[p].data(), high[p].data(), same[p].data()};
        }
        writeStrengthOrder({s.hands[0].view(), s.hands[1].view()}, keys, out, positionOf);
        cutGroups(keys, table);
    }
    HandView view(int p) const {
        const int count = int(listIndex[p].size());
        return {count, (count + 7) / 8 * 8, low[p].data(), high[p].data(), same[p].data(), nullptr};
    }
};

struct KernelCase {
    int width;
    bool raked;
    int strengthLevels;
};

class TerminalKernels : public ::testing::TestWithParam<KernelCase> {};

// Runs the kernels on hands numbered one way (`mine`/`theirs`, whose hand k is list hand
// toList[p][k]) and checks every value against the pairwise reference.
void checkKernels(const Scenario& s, const KernelCase& param, std::mt19937& rng, bool someGone,
                  const ShowdownTable& table, const std::array<HandView, 2>& views,
                  const std::array<std::vector<uint16_t>, 2>& toList) {
    for (int traverser = 0; traverser < 2; ++traverser) {
        const HandView& mine = views[traverser];
        const HandView& theirs = views[1 - traverser];
        std::vector<std::vector<float>> listReach, reach, showdown, fold;
        TerminalBatch sd, fd;
        sd.width = fd.width = param.width;
        // Some rounds take half of the opponent's hands out of the line in every batch member, as
        // a solve does once strategies settle.
        std::vector<bool> gone(size_t(s.hands[1 - traverser].count));
        for (size_t h = 0; h < gone.size(); ++h) gone[h] = someGone && rng() % 2;
        for (int j = 0; j < param.width; ++j) {
            listReach.push_back(randomReach(rng, s, 1 - traverser, gone));
            reach.emplace_back(size_t(theirs.stride), 0.0f);
            for (int k = 0; k < theirs.count; ++k) reach[j][k] = listReach[j][toList[1 - traverser][k]];
            showdown.emplace_back(size_t(mine.stride), -99.0f);
            fold.emplace_back(size_t(mine.stride), -99.0f);
        }
        for (int j = 0; j < param.width; ++j) {
            sd.reach[j] = fd.reach[j] = reach[j].data();
            sd.values[j] = showdown[j].data();
            fd.values[j] = fold[j].data();
            sd.stake[j] = 50.0f + 10.0f * j;
            sd.rake[j] = param.raked ? 0.01f * (j + 1) : 0.0f;
            fd.stake[j] = (j % 2 ? -1.0f : 1.0f) * (30.0f + j);
        }
        evaluateShowdowns(table, traverser, mine, theirs, sd, param.raked);
        std::vector<float> twoWalks(size_t(mine.stride), -99.0f);
        evaluateShowdownTwoWalks(table, traverser, mine, theirs, reach[0].data(), sd.stake[0], twoWalks.data());
        evaluateFolds(mine, theirs, s.board, fd);
        for (int j = 0; j < param.width; ++j) {
            double total = 0;
            for (float r : reach[j]) total += r;
            // Float sums over a few hundred hands: allow a relative error of the total.
            const double tolerance = 1e-5 * std::max(std::fabs(sd.stake[j]), std::fabs(fd.stake[j])) * (total + 1);
            for (int k = 0; k < mine.count; ++k) {
                const int h = toList[traverser][k];
                ASSERT_NEAR(showdown[j][k], naiveShowdown(s, traverser, h, listReach[j], sd.stake[j], sd.rake[j]),
                            tolerance)
                    << "lane " << j << " hand " << h;
                ASSERT_NEAR(fold[j][k], naiveFold(s, traverser, h, listReach[j], fd.stake[j]), tolerance)
                    << "lane " << j << " hand " << h;
                if (j == 0) {
                    ASSERT_NEAR(twoWalks[k], naiveShowdown(s, traverser, h, listReach[0], sd.stake[0], 0.0),
                                1e-5 * sd.stake[0] * (mine.count + 1))
                        << "two walks, hand " << h;
                }
            }
            for (int k = mine.count; k < mine.stride; ++k) {
                EXPECT_EQ(showdown[j][k], 0.0f);
                EXPECT_EQ(fold[j][k], 0.0f);
            }
        }
    }
}

// Both numberings: a whole list (the first board's, blocked hands included) and a river state's
// own numbering by strength.
TEST_P(TerminalKernels, ShowdownAndFoldMatchPairwiseReference) {
    const KernelCase param = GetParam();
    std::mt19937 rng(1234 + param.width * 17 + param.raked + param.strengthLevels);
    for (int round = 0; round < 2; ++round) {
        const Scenario s = randomScenario(rng, param.strengthLevels);
        const ShowdownTable table = buildShowdownTable(
            {s.hands[0].view(), s.hands[1].view()}, [&](int player, int hand) { return strengthOf(s, player, hand); });
        std::array<std::vector<uint16_t>, 2> identity;
        for (int p = 0; p < 2; ++p)
            for (int h = 0; h < s.hands[p].count; ++h) identity[p].push_back(h);
        checkKernels(s, param, rng, round == 1, table, {s.hands[0].view(), s.hands[1].view()}, identity);
        const StrengthNumbered numbered(s);
        checkKernels(s, param, rng, round == 1, numbered.table, {numbered.view(0), numbered.view(1)},
                     numbered.listIndex);
    }
}

std::vector<KernelCase> kernelCases() {
    std::vector<KernelCase> cases;
    for (int width = 1; width <= kMaxBatch; ++width)
        for (bool raked : {false, true}) cases.push_back({width, raked, width % 2 ? 6 : 200});
    cases.push_back({1, false, 1});  // everything ties
    cases.push_back({8, true, 1});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(AllWidths, TerminalKernels, ::testing::ValuesIn(kernelCases()),
                         [](const auto& info) {
                             char name[64];
                             snprintf(name, sizeof name, "w%d_%s_levels%d", info.param.width,
                                      info.param.raked ? "raked" : "plain", info.param.strengthLevels);
                             return std::string(name);
                         });

}  // namespace
}  // namespace qv
