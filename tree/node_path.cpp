#include "tree/node_path.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "cards/card.h"
#include "cards/hand_rules.h"
#include "interpreter/errors.h"
#include "tree/built_tree.h"

namespace qv {

namespace {

constexpr int kAceRank = 12;
constexpr int kSuitsListed[] = {3, 2, 1, 0};  // s h d c

[[noreturn]] void incorrectPath() { throw EngineError("incorrect path"); }

// A card token names the turn right below a flop-closing call and the river right below a
// turn-closing one; it does not move along the tree.
void applyCardToken(const std::string& token, NodeRef& ref) {
    if (token.size() != 2) incorrectPath();
    CardMask mask = parseCards(token);
    if (std::popcount(mask) != 1) incorrectPath();
    Card card = std::countr_zero(mask);
    const BuiltTree& tree = builtTree();
    if ((mask & tree.flop) || rankOf(card) < handRules().lowCard) incorrectPath();
    const SchematicNode* node = ref.node;
    if (!node->parent) incorrectPath();
    int from = streetNumber(*node->parent), to = streetNumber(*node);
    if (from == 1 && to == 2 && ref.turn < 0) {
        ref.turn = card;
    } else if (from == 2 && to == 3 && ref.river < 0 && card != ref.turn) {
        ref.river = card;
    } else {
        incorrectPath();
    }
}

SchematicNode* actionTarget(const std::string& token, const SchematicNode& node) {
    switch (token[0]) {
        case 'f': return node.child(kFoldKey);
        case 'c': return node.child(node.amount);
        default: break;  // 'b'
    }
    double key = std::stod(token.substr(1));
    return std::isfinite(key) ? node.child(key) : nullptr;
}

// A check or call that closes the flop or the turn leaves the next card to be dealt, whether the
// line goes on or ends there: a showdown is played on all five board cards, so the node that ends
// the line splits into one showdown per card. Closing the river deals nothing.
bool dealsNextCard(const SchematicNode& parent, const SchematicNode& child) {
    return child.street > parent.street && streetNumber(child) <= 3;
}

void applyToken(const std::string& token, NodeRef& ref) {
    char first = token[0];
    if (first != 'f' && first != 'c' && first != 'b') {
        applyCardToken(token, ref);
        ref.split = false;
        return;
    }
    SchematicNode* next = actionTarget(token, *ref.node);
    if (!next) incorrectPath();
    ref.split = first == 'c' && dealsNextCard(*ref.node, *next);
    ref.node = next;
}

}  // namespace

NodeKind NodeRef::kind() const {
    if (!node) return NodeKind::Root;
    if (split) return NodeKind::Split;
    if (node->isLeaf()) return NodeKind::End;
    return node->player == 0 ? NodeKind::OopDecision : NodeKind::IpDecision;
}

bool NodeRef::isDecision() const {
    NodeKind k = kind();
    return k == NodeKind::OopDecision || k == NodeKind::IpDecision;
}

int NodeRef::recordIndex() const { return node ? node->recordIndex : -1; }

const char* nodeKindName(NodeKind kind) {
    switch (kind) {
        case NodeKind::Root: return "ROOT";
        case NodeKind::Split: return "SPLIT_NODE";
        case NodeKind::OopDecision: return "OOP_DEC";
        case NodeKind::IpDecision: return "IP_DEC";
        case NodeKind::End: break;
    }
    return "END_NODE";
}

int streetNumber(const SchematicNode& node) { return builtTree().firstStreet + node.street; }

NodeRef resolveNodePath(const std::string& path) {
    const BuiltTree& tree = builtTree();
    if (!tree.present) throw EngineError("missing/incorrect tree");
    std::vector<std::string> pieces;
    for (size_t start = 0; start < path.size();) {
        size_t end = std::min(path.find(':', start), path.size());
        if (end > start) pieces.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    if (pieces.empty() || pieces[0] != "r") incorrectPath();
    NodeRef ref;
    ref.turn = tree.turnCard();
    ref.river = tree.riverCard();
    if (pieces.size() == 1) return ref;
    if (pieces[1] != "0") incorrectPath();
    ref.node = &schematicRoot();
    for (size_t i = 2; i < pieces.size(); ++i) applyToken(pieces[i], ref);
    return ref;
}

std::vector<NodeChild> nodeChildren(const NodeRef& ref) {
    std::vector<NodeChild> children;
    if (!ref.node) {
        NodeRef first = ref;
        first.node = &schematicRoot();
        children.push_back({"0", first});
        return children;
    }
    if (ref.split) {
        bool dealsTurn = streetNumber(*ref.node) == 2;
        CardMask known = builtTree().flop;
        if (ref.turn >= 0) known |= cardBit(ref.turn);
        if (ref.river >= 0) known |= cardBit(ref.river);
        for (int rank = kAceRank; rank >= handRules().lowCard; --rank) {
            for (int suit : kSuitsListed) {
                Card card = 13 * suit + rank;
                if (known & cardBit(card)) continue;
                NodeRef dealt = ref;
                dealt.split = false;
                (dealsTurn ? dealt.turn : dealt.river) = card;
                children.push_back({cardsToText(cardBit(card)), dealt});
            }
        }
        return children;
    }
    for (const auto& [key, child] : ref.node->children) {
        NodeRef next = ref;
        next.node = child.get();
        next.split = dealsNextCard(*ref.node, *child);
        children.push_back({childLabel(*ref.node, key), next});
    }
    return children;
}

}  // namespace qv
