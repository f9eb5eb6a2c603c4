#pragma once
// Node paths: texts such as r:0:c:b30:c:Kh:b60 that spell the actions from the top of the tree
// and the cards dealt between streets, resolved against the schematic tree of the built tree.
#include <string>
#include <utility>
#include <vector>

#include "tree/schematic_tree.h"

namespace qv {

enum class NodeKind { Root, Split, OopDecision, IpDecision, End };

struct NodeRef {
    SchematicNode* node = nullptr;  // null for the top of the tree ("r")
    int turn = -1;                  // card index, or -1
    int river = -1;
    bool split = false;             // the path ends at a street-closing "c": a card is still to come

    NodeKind kind() const;
    bool isDecision() const;
    // The game-tree record of the node, or -1 (the top of the tree, or a node added after the build).
    int recordIndex() const;
};

// "ROOT", "SPLIT_NODE", "OOP_DEC", "IP_DEC", "END_NODE".
const char* nodeKindName(NodeKind kind);

// Fails with "missing/incorrect tree" without a built tree and with "incorrect path" for a path
// that does not name a node; a card text that is no card fails as card text does.
NodeRef resolveNodePath(const std::string& path);

// The street number (1 flop, 2 turn, 3 river) of a schematic node in the built tree.
int streetNumber(const SchematicNode& node);

// One child of a node as a listing shows it: the label that extends the path, and where it leads.
struct NodeChild {
    std::string label;
    NodeRef ref;
};

// The top of the tree has the first decision ("0"); a split node has one child per card that can
// still come (ace first, suits s h d c); a decision node has its actions in descending key order.
std::vector<NodeChild> nodeChildren(const NodeRef& ref);

}  // namespace qv
