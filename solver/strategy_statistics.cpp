#include "solver/strategy_statistics.h"

#include <algorithm>
#include <vector>

#include "solver/packed_rows.h"
#include "solver/segments.h"
#include "solver/strategy_access.h"

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
    StatisticsWalk(SolverState& state, double epsilon, int selection)
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
    // The acting player's hands at a record: the record's numbering and each hand's list index.
    struct RecordView {
        int count = 0;
        int stride = 0;
        std::vector<int> listIndex;  // -1 for a hand the board blocks
    };

    RecordView recordView(int player, int level, int record) const {
        const BoardStates& boards = state_.boards();
        const HandList& list = state_.hands(player);
        RecordView v;
        if (boards.compactAt(level)) {
            const HandView view = boards.riverHands(record, player);
            const uint16_t* index = boards.riverListIndex(record, player);
            v.count = view.count;
            v.stride = view.stride;
            v.listIndex.assign(index, index + view.count);
            return v;
        }
        const CardMask board = boards.state(level, record).cards;
        v.count = list.count;
        v.stride = list.stride;
        for (int h = 0; h < list.count; ++h) v.listIndex.push_back((list.mask[h] & board) ? -1 : h);
        return v;
    }

    void visit(int segmentIndex, int slotIndex, int record, int64_t multiplicity, const Reach& reach) {
        const Segment& segment = state_.segments()[segmentIndex];
        const SegmentSlot& slot = segment.slots[slotIndex];
        if (slot.kind == SlotKind::NextStreet) return deal(segment, slot, record, multiplicity, reach);
        if (slot.kind != SlotKind::Decision) return;
        const int q = slot.player;
        const RecordView view = recordView(q, segment.level, record);
        const std::vector<float> sigma = strategyAt(slot.node, record);
        if (selection_ == kBothPlayers || selection_ == q) count(segment.street, slot, multiplicity, reach[q], view, sigma);
        for (int a = 0; a < slot.actions; ++a) {
            Reach next = reach;
            std::fill(next[q].begin(), next[q].end(), 0.0f);
            for (int i = 0; i < view.count; ++i)
                if (view.listIndex[i] >= 0)
                    next[q][view.listIndex[i]] = reach[q][view.listIndex[i]] * sigma[size_t(a) * view.stride + i];
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

    std::vector<float> strategyAt(uint32_t node, int record) {
        const GameNode& n = state_.nodes()[node];
        const size_t stride = size_t(state_.boards().layout(n.player, n.street - state_.firstStreet())->strides[size_t(record)]);
        std::vector<float> sigma(n.children.size() * stride);
        if (readHeldStrategy(state_, node, record, averaged_, sigma.data())) return sigma;
        readStrategy(state_, node, record, false, sigma.data());
        NodeStore* regrets = state_.regrets(node);
        NodeStore* sums = state_.strategySums(node);
        if (regrets) evenSplitWithoutRegrets(*regrets, record, sigma);
        if (averaged_ && sums) sums->averageStrategy(record, sigma.data(), sigma.data());
        return sigma;
    }

    // The statistics count a hand without regrets as undecided (1/n each), not with the
    // iteration's default that favours the first action.
    static void evenSplitWithoutRegrets(NodeStore& regrets, int record, std::vector<float>& sigma) {
        const int actions = regrets.actions(), stride = regrets.stride(record);
        for (int h = 0; h < regrets.hands(record); ++h) {
            if (regrets.hasRegret(record, h)) continue;
            for (int a = 0; a < actions; ++a) sigma[size_t(a) * stride + h] = 1.0f / float(actions);
        }
    }

    void count(int street, const SegmentSlot& slot, int64_t multiplicity, const std::vector<float>& reach,
               const RecordView& view, const std::vector<float>& sigma) {
        StreetStatistics& s = out_.streets[size_t(street - 1)];
        s.canonicalDecisions += 1;
        s.decisionNodes += multiplicity;
        int64_t hands = 0;
        for (int i = 0; i < view.count; ++i) {
            if (view.listIndex[i] < 0) continue;
            ++hands;
            const double r = reach[size_t(view.listIndex[i])];
            const bool reachable = r > epsilon_;
            if (reachable) s.reachableInfosets += multiplicity;
            s.weightedReach += r * double(multiplicity);
            int above = 0;
            for (int a = 0; a < slot.actions; ++a) above += sigma[size_t(a) * view.stride + i] > epsilon_;
            if (above != 1) continue;
            s.pureStrategies += multiplicity;
            s.weightedPure += r * double(multiplicity);
            if (reachable) s.reachablePure += multiplicity;
        }
        s.infosets += hands * multiplicity;
        s.infosetActions += hands * multiplicity * slot.actions;
    }

    SolverState& state_;
    double epsilon_;
    int selection_;
    bool averaged_;
    StrategyStatistics out_;
};

}  // namespace

StrategyStatistics strategyStatistics(SolverState& state, double epsilon, int selection) {
    // The walk visits the records of a row one after another: packed rows are decoded once each.
    HoldRowsScope rows;
    return StatisticsWalk(state, epsilon, selection).run();
}

}  // namespace qv
