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

}  // namespace qv
