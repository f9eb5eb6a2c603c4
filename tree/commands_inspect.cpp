// Handlers that inspect or edit the game tree at one node path.
#include "cards/card.h"
#include "interpreter/errors.h"
#include "solver/solver_control.h"
#include "tree/build_reply.h"
#include "tree/built_tree.h"
#include "tree/commands.h"
#include "tree/node_count.h"
#include "tree/node_path.h"
#include "tree/tree_guards.h"
#include "tree/tree_params.h"

namespace qv {

namespace {

std::string boardText(const NodeRef& ref) {
    std::string text = cardsToText(builtTree().flop);
    for (int card : {ref.turn, ref.river})
        if (card >= 0) text.append(" ").append(cardsToText(cardBit(card)));
    return text;
}

int childCount(const NodeRef& ref) {
    if (!ref.node) return 1;
    if (ref.split) return streetNumber(*ref.node) == 2 ? 49 : 48;
    return int(ref.node->children.size());
}

std::string flagsLine(const NodeRef& ref) {
    const SolverPause pause;  // the flags are record words that a background solve reads too
    const SolverState* solver = builtTree().solver.get();
    if (!ref.node) return "flags: " + treeFlagsText(solver) + "\n";
    if (ref.split) return "flags:\n";
    std::string words;
    if (solver && ref.isDecision() && ref.recordIndex() >= 0)
        words = nodeFlagsText(*solver, ref.recordIndex(), ref.turn, ref.river);
    return "flags: " + words + "\n";
}

void replyNodeBlock(const std::string& path, const NodeRef& ref) {
    reply("%s\n", path.c_str());
    reply("%s\n", nodeKindName(ref.kind()));
    reply("%s\n", boardText(ref).c_str());
    double oop = ref.node ? ref.node->invested[0] : 0, ip = ref.node ? ref.node->invested[1] : 0;
    reply("%g %g %g\n", oop, ip, treeParams().pot());
    reply("%d children\n", childCount(ref));
    replyText(flagsLine(ref));
}

void replyLinesBelow(const SchematicNode& node, const std::string& path) {
    // Listed cheapest action first: the fold, then the check or call, then the bets upwards.
    for (auto it = node.children.rbegin(); it != node.children.rend(); ++it) {
        std::string childPath = path + ":" + childLabel(node, it->first);
        reply("%s\n", childPath.c_str());
        replyLinesBelow(*it->second, childPath);
    }
}

void replyStreetCounts(const NodeCountTable::PerStreet& counts) {
    reply("FLOP  %lld\n", (long long)counts[0]);
    reply("TURN  %lld\n", (long long)counts[1]);
    reply("RIVER  %lld\n", (long long)counts[2]);
}

}  // namespace

void cmdShowNode(TokenList& tokens) {
    replyNodeBlock(tokens[1], resolveNodePath(tokens[1]));
    replyEndLine();
}

// Each child block ends with an empty line, so that a client can split the reply into children.
void cmdShowChildren(TokenList& tokens) {
    NodeRef ref = resolveNodePath(tokens[1]);
    keepEmptyLinesForThisReply();
    int index = 0;
    for (const NodeChild& child : nodeChildren(ref)) {
        reply("child %d:\n", index++);
        replyNodeBlock(ref.node ? tokens[1] + ":" + child.label : "r:0", child.ref);
        replyText("\n");
    }
    replyEndLine();
}

void cmdShowAllLines(TokenList&) {
    requireBuiltTree();
    reply("r\nr:0\n");
    replyLinesBelow(schematicRoot(), "r:0");
    replyEndLine();
}

void cmdNodeCount(TokenList&) {
    requireBuiltTree();
    NodeCountTable table = countNodes(schematicRoot(), builtTree().firstStreet);
    const std::pair<const char*, const NodeCountTable::PerStreet*> groups[] = {
        {"H_DEC", &table.ipDecisions}, {"V_DEC", &table.oopDecisions}, {"SPLIT", &table.splits}, {"END", &table.ends}};
    for (const auto& [name, counts] : groups) {
        reply("%s: %lld\n", name, (long long)NodeCountTable::total(*counts));
        replyStreetCounts(*counts);
    }
    reply("ROOT: 1\n");
    reply("FLOP  %d\n", table.firstStreet == 1 ? 1 : 0);
    reply("TURN  %d\n", table.firstStreet == 2 ? 1 : 0);
    reply("RIVER %d\n", table.firstStreet == 3 ? 1 : 0);
    reply("TOTAL: %lld\n", (long long)table.grandTotal());
    replyEndLine();
}

void cmdCutLine(TokenList& tokens) {
    NodeRef ref = resolveNodePath(tokens[1]);
    if (!ref.node || !ref.node->parent) throw EngineError("can't cut root");
    requireSolverIdle();
    SchematicNode& parent = *ref.node->parent;
    auto entry = parent.children.begin();
    while (entry->second.get() != ref.node) ++entry;
    auto cut = parent.children.extract(entry);
    try {
        buildGameTreeWithReport();
    } catch (...) {
        parent.children.insert(std::move(cut));  // a failed rebuild leaves the lines as they were
        throw;
    }
    replyOk(tokens);
}

void cmdSetEvBoost(TokenList& tokens) {
    NodeRef ref = resolveNodePath(tokens[1]);
    requireSolverIdle();
    if (!ref.isDecision() || ref.recordIndex() < 0) argError(tokens);
    double boost = std::stod(tokens[2]);
    if (!(boost >= -0.99 && boost <= 1)) argError(tokens);
    builtTree().evBoost[ref.recordIndex()] = float(boost);
    replyOk(tokens);
}

}  // namespace qv
