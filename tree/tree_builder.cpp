#include "tree/tree_builder.h"

#include <bit>

#include "cards/game_setup.h"
#include "cards/hand_rules.h"
#include "interpreter/errors.h"
#include "platform/numa.h"
#include "solver/settings.h"
#include "tree/built_tree.h"
#include "tree/tree_guards.h"
#include "tree/tree_params.h"

namespace qv {

namespace {

constexpr uint32_t kNoParent = 0xFFFFFFFFu;
constexpr int kRiver = 3;

ActionRecord recordOf(const SchematicNode& node, double key, uint32_t parent, int firstStreet, double pot) {
    ActionRecord record;
    record.parent = parent;
    if (!node.isLeaf()) {
        record.type = ActionType::Decision;
        record.player = node.player;
        record.street = firstStreet + node.street;
        return record;
    }
    // A fold node's amount is what the folder had put in, a showdown's what both had put in.
    record.type = key == kFoldKey ? ActionType::Fold : ActionType::Showdown;
    record.stake = pot / 2 + node.amount;
    return record;
}

void appendRecords(FlattenedTree& out, SchematicNode& node, double key, uint32_t parent, int firstStreet,
                   double pot) {
    uint32_t index = uint32_t(out.records.size());
    out.records.push_back(recordOf(node, key, parent, firstStreet, pot));
    out.nodes.push_back(&node);
    if (out.records.back().street > kRiver) throw EngineError("invalid line");
    for (auto& [childKey, child] : node.children) appendRecords(out, *child, childKey, index, firstStreet, pot);
}

bool hasWeight(const std::vector<double>& range) {
    for (double weight : range)
        if (weight > 0) return true;
    return false;
}

bool belowLowestRank(CardMask cards) {
    for (; cards; cards &= cards - 1)
        if (rankOf(std::countr_zero(cards)) < handRules().lowCard) return true;
    return false;
}

int firstStreetOf(const BoardState& board) { return board.river ? 3 : board.turn ? 2 : 1; }

bool isomorphismFor(int firstStreet) {
    if (firstStreet == 1) return gameSetup().flopIsomorphism;
    if (firstStreet == 2) return gameSetup().turnIsomorphism;
    return false;
}

GameDefinition gameDefinitionOf(const BuiltTree& tree, std::vector<ActionRecord> records, bool isomorphism) {
    GameDefinition game;
    game.records = std::move(records);
    CardMask flop = tree.flop;
    for (int& card : game.flop) {
        card = std::countr_zero(flop);
        flop &= flop - 1;
    }
    game.turn = tree.turnCard();
    game.river = tree.riverCard();
    game.ranges = tree.ranges;
    game.isomorphism = isomorphism;
    game.compression = treeParams().requestedCompression;
    game.lowCard = tree.lowCard;
    const DeckDistribution& deck = gameSetup().deck;
    if (deck.inUse) game.deck.assign(deck.weights.begin(), deck.weights.end());
    game.lowCard = handRules().lowCard;
    const SolverSettings& settings = solverSettings();
    game.precision = settings.precision;
    game.riverStrategy = settings.riverStrategy;
    game.numaGroups = settings.numa == 1 && numaNodeCount() > 1 ? 2 : 1;
    return game;
}

}  // namespace

FlattenedTree flattenSchematicTree(SchematicNode& root, int firstStreet, double pot) {
    FlattenedTree out;
    appendRecords(out, root, 0, kNoParent, firstStreet, pot);
    return out;
}

void checkBuildInputs() {
    const GameSetup& setup = gameSetup();
    if (!hasWeight(setup.ranges[0]) || !hasWeight(setup.ranges[1])) throw EngineError("ranges not set");
    if (std::popcount(setup.board.flop) != 3) throw EngineError("board not set");
    if (belowLowestRank(setup.board.flop | setup.board.turn | setup.board.river)) throw EngineError("invalid card");
    if (schematicRoot().isLeaf()) throw EngineError("lines not set");
}

BuildReport runBuildSteps(const BuildChoices& choices) {
    requireSolverIdle();
    const GameSetup& setup = gameSetup();
    BuiltTree next;
    next.flop = setup.board.flop;
    next.turn = setup.board.turn;
    next.river = setup.board.river;
    next.ranges = setup.ranges;
    next.firstStreet = firstStreetOf(setup.board);
    next.lowCard = handRules().lowCard;
    SchematicNode& root = schematicRoot();
    next.effectiveStack = effectiveStack(root);
    const bool isomorphism = choices.isomorphism.value_or(isomorphismFor(next.firstStreet));
    if (next.firstStreet == 1 && isomorphism) checkRangeConsistency(next.ranges, next.flop);
    // A root without actions cannot be a decision; cut_line can leave one behind.
    if (root.isLeaf()) throw EngineError("lines not set");
    FlattenedTree flat = flattenSchematicTree(root, next.firstStreet, treeParams().pot());

    // Nothing can fail any more short of memory exhaustion: drop the old solver state first so
    // that two trees never have to fit in memory at once.
    BuiltTree& tree = builtTree();
    tree = BuiltTree{};
    next.evBoost.assign(flat.records.size(), 0.0f);
    next.solver = std::make_unique<SolverState>(gameDefinitionOf(next, std::move(flat.records), isomorphism));
    for (size_t i = 0; i < flat.nodes.size(); ++i) flat.nodes[i]->recordIndex = int(i);
    treeParams().rakeFraction = 0;
    treeParams().rakeCap = 0;
    next.present = true;
    BuildReport report{next.solver->counts()};
    tree = std::move(next);
    return report;
}

void freeBuiltTree() { builtTree() = BuiltTree{}; }

}  // namespace qv
