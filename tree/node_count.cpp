#include "tree/node_count.h"

namespace qv {

namespace {

void fileUnder(NodeCountTable::PerStreet& counts, int streetNumber) {
    if (streetNumber >= 1 && streetNumber <= 3) counts[streetNumber - 1] += dealWeight(streetNumber);
}

// Counts the children of a node; the node itself was counted by its own parent.
void countChildren(const SchematicNode& node, NodeCountTable& table) {
    int parentStreet = table.firstStreet + node.street;
    for (const auto& [key, child] : node.children) {
        if (!child->isLeaf()) {
            auto& decisions = child->player == 1 ? table.ipDecisions : table.oopDecisions;
            fileUnder(decisions, table.firstStreet + child->street);
        }
        if (child->street > node.street) fileUnder(table.splits, parentStreet);
        if (child->isLeaf()) fileUnder(table.ends, parentStreet);
        countChildren(*child, table);
    }
}

}  // namespace

int64_t dealWeight(int streetNumber) {
    switch (streetNumber) {
        case 1: return 1;
        case 2: return 49;
        case 3: return 49 * 48;
        default: return 0;
    }
}

int64_t NodeCountTable::grandTotal() const {
    return total(ipDecisions) + total(oopDecisions) + total(splits) + total(ends) + 1;
}

NodeCountTable countNodes(const SchematicNode& root, int firstStreet) {
    NodeCountTable table;
    table.firstStreet = firstStreet;
    countChildren(root, table);
    return table;
}

}  // namespace qv
