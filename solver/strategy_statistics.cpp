#include "solver/strategy_statistics.h"

#include <vector>

#include "solver/segments.h"

namespace qv {

StreetStatistics& StreetStatistics::operator+=(const StreetStatistics& other) {
    decisionNodes += other.decisionNodes;
    canonicalDecisions += other.canonicalDecisions;
    infosets += other.infosets;
    infosetActions += other.infosetActions;
    reachableInfosets += other.reachableInfosets;
    pureStrategies += other.pureStrategies;
    reachablePure += other.reachablePure;
    weightedReach += other.weightedReach;
    weightedPure += other.weightedPure;
    return *this;
}

StreetStatistics StrategyStatistics::total() const {
    StreetStatistics sum;
    for (const StreetStatistics& s : streets) sum += s;
    return sum;
}

namespace {

using Reach = std::array<std::vector<float>, 2>;

class StatisticsWalk {
public:
    StatisticsWalk(const SolverState& state, double epsilon, int selection)
        : state_(state), epsilon_(epsilon), selection_(selection),
          averaged_(state.iteration() > state.tuning().averagingDelay) {}

    StrategyStatistics run() {
        Reach reach;
        for (int p = 0; p < 2; ++p) {
            const HandList& list = state_.hands(p);
            reach[p].assign(list.weight.data(), list.weight.data() + list.count);
        }
        if (!state_.segments().empty()) visit(0, 0, 0, 1, reach);
        return out_;
    }

private:
    void visit(int segmentIndex, int slotIndex, int record, int64_t multiplicity, const Reach& reach) {
        const Segment& segment = state_.segments()[segmentIndex];
        const SegmentSlot& slot = segment.slots[slotIndex];
        if (slot.kind == SlotKind::NextStreet) return deal(segment, slot, record, multiplicity, reach);
        if (slot.kind != SlotKind::Decision) return;
        const int q = slot.player;
        const std::vector<float> sigma = strategyAt(slot.node, record);
        const int stride = state_.hands(q).stride;
        if (selection_ == kBothPlayers || selection_ == q) count(segment.street, slot, record, multiplicity, reach[q], sigma);
        for (int a = 0; a < slot.actions; ++a) {
            Reach next = reach;
            for (size_t h = 0; h < next[q].size(); ++h) next[q][h] *= sigma[size_t(a) * stride + h];
            visit(segmentIndex, int(segment.children[slot.firstChild + a]), record, multiplicity, next);
        }
    }

    // Every representative card below, counted once for each card it stands for.
    void deal(const Segment& segment, const SegmentSlot& slot, int record, int64_t multiplicity, const Reach& reach) {
        const BoardStates& boards = state_.boards();
        const DealtBoard& s = boards.state(segment.level, record);
        for (int i = 0; i < s.representativeCount; ++i) {
            int64_t cards = 0;
            for (int d = 0; d < s.dealCount; ++d) cards += boards.deal(s, d).representative == i;
            const int child = boards.representative(s, i);
            const Card card = boards.state(segment.level + 1, child).dealt;
            Reach masked = reach;
            for (int p = 0; p < 2; ++p)
                for (uint16_t h : boards.handsWithCard(p, card)) masked[p][h] = 0.0f;
            visit(slot.childSegment, 0, child, multiplicity * cards, masked);
        }
    }

    std::vector<float> strategyAt(uint32_t node, int record) const {
        NodeStore* regrets = state_.regrets(node);
        NodeStore* sums = state_.strategySums(node);
        const int actions = regrets->actions(), stride = regrets->stride();
        std::vector<float> sigma(size_t(actions) * stride);
        regrets->currentStrategy(record, sigma.data());
        evenSplitWithoutRegrets(*regrets, record, sigma);
        if (averaged_ && sums) sums->averageStrategy(record, sigma.data(), sigma.data());
        return sigma;
    }

    // The statistics count a hand without regrets as undecided (1/n each), not with the
    // iteration's default that favours the first action.
    static void evenSplitWithoutRegrets(NodeStore& regrets, int record, std::vector<float>& sigma) {
        const int actions = regrets.actions(), stride = regrets.stride();
        const void* base = regrets.rowBase(record);
        for (int h = 0; h < regrets.hands(); ++h) {
            double sum = 0;
            for (int a = 0; a < actions; ++a) {
                const size_t i = size_t(a) * stride + h;
                sum += regrets.bytesPerElement() == 2 ? double(static_cast<const uint16_t*>(base)[i])
                                                      : double(static_cast<const float*>(base)[i]);
            }
            if (sum >= kSmallestNormal) continue;
            for (int a = 0; a < actions; ++a) sigma[size_t(a) * stride + h] = 1.0f / float(actions);
        }
    }

    void count(int street, const SegmentSlot& slot, int record, int64_t multiplicity, const std::vector<float>& reach,
               const std::vector<float>& sigma) {
        StreetStatistics& s = out_.streets[size_t(street - 1)];
        const HandList& list = state_.hands(slot.player);
        const CardMask board = state_.boards().state(state_.nodes()[slot.node].street - state_.firstStreet(), record).cards;
        s.canonicalDecisions += 1;
        s.decisionNodes += multiplicity;
        int64_t hands = 0;
        for (int h = 0; h < list.count; ++h) {
            if (list.mask[h] & board) continue;
            ++hands;
            const double r = reach[size_t(h)];
            const bool reachable = r > epsilon_;
            if (reachable) s.reachableInfosets += multiplicity;
            s.weightedReach += r * double(multiplicity);
            int above = 0;
            for (int a = 0; a < slot.actions; ++a) above += sigma[size_t(a) * list.stride + h] > epsilon_;
            if (above != 1) continue;
            s.pureStrategies += multiplicity;
            s.weightedPure += r * double(multiplicity);
            if (reachable) s.reachablePure += multiplicity;
        }
        s.infosets += hands * multiplicity;
        s.infosetActions += hands * multiplicity * slot.actions;
    }

    const SolverState& state_;
    double epsilon_;
    int selection_;
    bool averaged_;
    StrategyStatistics out_;
};

}  // namespace

StrategyStatistics strategyStatistics(const SolverState& state, double epsilon, int selection) {
    return StatisticsWalk(state, epsilon, selection).run();
}

}  // namespace qv
