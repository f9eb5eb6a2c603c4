#include "solver/solver_state.h"

#include <bit>
#include <cmath>

#include "cards/hand_rules.h"
#include "solver/math_functions.h"
#include "solver/segments.h"
#include "solver/showdown_rank.h"
#include "tree/storage_estimate.h"
#include "cards/suit_isomorphism.h"
#include "platform/system_memory.h"

namespace qv {

namespace {

// How much finer than one unit per (largest payoff / 125) against the whole opponent range the
// 16-bit river regrets of flop trees count. Measured on deep and shallow flop trees: 16 to 64 all
// cut the iterations a target needs by a tenth (shallow) to nearly half (deep) against 1.
constexpr double kRiverUnitGain = 32.0;

CardMask maskOfCard(int card) { return card >= 0 ? cardBit(card) : 0; }

}  // namespace

Tuning tuningFor(CompressionComponents components, int firstStreet) {
    Tuning t;
    if (firstStreet == 3) {
        t.exponent = 4.0;
        t.cap = std::numeric_limits<double>::max();
    }
    t.iterationCap = components.strategy == 3 ? 2200 : 9000;
    t.warmup = components.regret == 2 ? 30 : 0;
    return t;
}

SolverState::SolverState(const GameDefinition& game) : definition_(game) {
    buildNodeTable(game.records);
    if (game.isomorphism) flags_ |= IsomorphismOn;

    CardMask flop = maskOfCard(game.flop[0]) | maskOfCard(game.flop[1]) | maskOfCard(game.flop[2]);
    firstStreet_ = game.river >= 0 ? 3 : game.turn >= 0 ? 2 : 1;
    flopSuits_ = std::max(1, flopSuitCount(flop));
    std::array<std::vector<double>, 2> ranges = game.ranges;
    std::vector<double> deck = game.deck;
    int turn = game.turn, river = game.river;
    if (game.isomorphism && firstStreet_ < 3) {
        // Solved in the canonical suits, so that interchangeable suits carry the same labels.
        CanonicalFlop canonical(flop, game.turn, game.river);
        canonical.SetHoles(ranges);
        relabel_ = canonical.permutation();
        unlabel_ = inverseSuits(relabel_);
        flop = canonical.flop();
        turn = canonical.turn();
        river = canonical.river();
        if (deck.size() == size_t(kCardCount)) {
            std::array<double, kCardCount> weights;
            std::copy(deck.begin(), deck.end(), weights.begin());
            weights = relabelDeckWeights(weights, relabel_);
            deck.assign(weights.begin(), weights.end());
        }
    }
    firstBoard_ = flop | maskOfCard(turn) | maskOfCard(river);

    DealRules rules;
    rules.lowCard = game.lowCard ? *game.lowCard : handRules().lowCard;
    rules.deckWeights = deck;
    rules.isomorphism = game.isomorphism && firstStreet_ < 3;

    hands_ = buildHandLists(ranges, firstBoard_);
    if (rules.isomorphism)
        for (const HandList& list : hands_) checkIsomorphImages(firstBoard_, list.slot);
    boards_ = BoardStates(firstBoard_, hands_, rules, game.ranker ? game.ranker : defaultShowdownRanker());
    segments_ = buildSegments(nodes_, firstStreet_);
    pairWeight_ = compatiblePairWeight(hands_);
    for (int p = 0; p < 2; ++p)
        for (int h = 0; h < hands_[p].count; ++h) rangeMass_[p] += hands_[p].weight[h];

    valueScale_ = powerOfTwo(game.precision) * 125.0 / std::max(largestStake_, 1e-9);
    requestedCompression_ = game.compression;
    chooseCompression();
    regrets_.resize(nodes_.size());
    sums_.resize(nodes_.size());
    for (uint32_t i = 0; i < nodes_.size(); ++i) ensureStores(i, Paging::Huge);
}

SolverState::~SolverState() = default;

void SolverState::buildNodeTable(const std::vector<ActionRecord>& records) {
    nodes_.reserve(records.size());
    for (const ActionRecord& record : records) {
        GameNode node;
        node.type = record.type;
        node.parent = record.parent;
        node.stake = record.stake;
        const GameNode* parent = record.parent == 0xFFFFFFFFu ? nullptr : &nodes_[record.parent];
        if (record.type == ActionType::Decision) {
            node.player = record.player;
            node.street = record.street;
            ++counts_.decision;
        } else {
            node.player = parent ? parent->player : 0;
            node.street = record.type == ActionType::Showdown ? 3 : (parent ? parent->street : 1);
            record.type == ActionType::Showdown ? ++counts_.showdown : ++counts_.fold;
            largestStake_ = std::max(largestStake_, std::fabs(record.stake));
        }
        nodes_.push_back(node);
        if (record.parent != 0xFFFFFFFFu) nodes_[record.parent].children.push_back(uint32_t(nodes_.size() - 1));
    }
}

void SolverState::chooseCompression() {
    // Size of everything as plain floats: regrets and sums of every decision node at every board
    // state of its street, plus the showdown tables and record headers.
    uncompressed_ = {};
    for (const GameNode& n : nodes_) {
        if (n.type != ActionType::Decision) continue;
        const int level = n.street - firstStreet_;
        double boards = double(boards_.level(level).size());
        double elements = double(n.children.size()) * double(boards_.layout(n.player, level)->total);
        uncompressed_.regrets += 4 * elements;
        uncompressed_.strategySums += 4 * elements;
        uncompressed_.auxiliary += 2 * sizeof(RecordHeader) * boards;
    }
    uncompressed_.auxiliary += double(boards_.tableBytes());

    int level = requestedCompression_;
    if (firstStreet_ > 1) {
        level = CompressionNone;  // turn and river trees are small: always plain floats
    } else if (level == CompressionAuto) {
        SystemMemory memory = systemMemory();
        level = chooseAutomaticLevel(uncompressed_.total(), flopSuits_, memory.totalBytes, memory.loadPercent);
    }
    actualCompression_ = level;
    components_ = componentsOf(level);
    tuning_ = tuningFor(components_, firstStreet_);
}

void SolverState::ensureStores(uint32_t node, Paging paging) {
    if (nodes_[node].type == ActionType::Decision && !regrets_[node]) createStores(node, paging);
}

void SolverState::createStores(uint32_t node, Paging paging) {
    const GameNode& n = nodes_[node];
    const int actions = int(n.children.size());
    const LayoutPointer& layout = boards_.layout(n.player, n.street - firstStreet_);
    const bool sixteenBit = n.street == 3 && firstStreet_ == 1;
    if (sixteenBit) {
        // River values are counterfactual: they carry the opponent's reach, so the scale is
        // taken per opponent range mass to keep the 16-bit units comparable across nodes. The
        // reach left at a river node is usually a small share of that mass, and regret steps
        // below half a unit would be lost to rounding: the units are made kRiverUnitGain times
        // finer, and records that grow too large are halved by adaptive precision.
        double normaliser = std::max(rangeMass_[1 - n.player], 1e-9) / kRiverUnitGain;
        regrets_[node] = makeRegret16Store(actions, layout, float(valueScale_ / normaliser), components_.regret, paging);
    } else {
        regrets_[node] = makeFloatStore(actions, layout, paging);
    }
    if (n.street == 3 && !definition_.riverStrategy) return;
    const int numaGroups = definition_.numaGroups;
    if (sixteenBit && components_.strategy != 0)
        sums_[node] = makeSum16Store(actions, layout, components_.strategy, numaGroups, paging);
    else
        sums_[node] = makeFloatStore(actions, layout, paging);
}

void SolverState::releaseStores(int street) {
    for (size_t i = 0; i < nodes_.size(); ++i) {
        if (nodes_[i].type != ActionType::Decision || nodes_[i].street < street) continue;
        regrets_[i].reset();
        sums_[i].reset();
    }
}

size_t SolverState::storeBytes() const {
    size_t bytes = 0;
    for (const auto& s : regrets_)
        if (s) bytes += s->sizeInBytes();
    for (const auto& s : sums_)
        if (s) bytes += s->sizeInBytes();
    return bytes;
}

void SolverState::setRake(float fraction, float cap) {
    rakeFraction_ = fraction;
    rakeCap_ = cap;
    for (Segment& segment : segments_)
        for (SegmentSlot& slot : segment.slots)
            if (slot.kind == SlotKind::Showdown || slot.kind == SlotKind::AllIn)
                slot.rake = rakeRate(fraction, cap, slot.stake);
}

bool SolverState::locateRecord(int level, int turn, int river, int& recordIndex, int& gather) const {
    std::vector<Card> dealt;
    if (level >= 1) dealt.push_back(toSolvedCard(firstStreet_ == 1 ? turn : river));
    if (level >= 2) dealt.push_back(toSolvedCard(river));
    for (Card c : dealt)
        if (c < 0) return false;
    return boards_.locate(dealt, recordIndex, gather);
}

std::string treeFlagsText(const SolverState* state) {
    if (!state) return {};
    static const char* words[] = {"INCOMPLETE_TREE", "ISOMORPHISM_ON", "NEW_TREE"};
    std::string text;
    for (int bit = 0; bit < 3; ++bit) {
        if (!(state->flags() & (1u << bit))) continue;
        if (!text.empty()) text += ' ';
        text += words[bit];
    }
    return text;
}

std::string nodeFlagsText(const SolverState& state, int recordIndex, int turn, int river) {
    if (recordIndex < 0 || size_t(recordIndex) >= state.nodes().size()) return {};
    NodeStore* store = state.regrets(uint32_t(recordIndex));
    if (!store) return {};
    int record = 0, gather = -1;
    int level = state.nodes()[recordIndex].street - state.firstStreet();
    if (!state.locateRecord(level, turn, river, record, gather)) return {};
    uint32_t flags = store->record(record).flags;
    std::string text;
    if (flags & RecordLocked) text = "LOCKED";
    if (flags & RecordComboLocked) text += text.empty() ? "COMBO_LOCKED" : " COMBO_LOCKED";
    return text;
}

}  // namespace qv
