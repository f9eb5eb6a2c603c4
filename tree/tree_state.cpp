#include <bit>

#include "tree/built_tree.h"
#include "tree/tree_params.h"

namespace qv {

TreeParams& treeParams() {
    static TreeParams params;
    return params;
}

BuiltTree& builtTree() {
    static BuiltTree tree;
    return tree;
}

int BuiltTree::turnCard() const { return turn ? std::countr_zero(turn) : -1; }
int BuiltTree::riverCard() const { return river ? std::countr_zero(river) : -1; }

}  // namespace qv
