#include "tree/schematic_tree.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qv {

namespace {

std::unique_ptr<SchematicNode>& rootHolder() {
    static std::unique_ptr<SchematicNode> root = std::make_unique<SchematicNode>();
    return root;
}

SchematicNode& addChild(SchematicNode& parent, double key) {
    auto node = std::make_unique<SchematicNode>();
    node->parent = &parent;
    SchematicNode& ref = *node;
    parent.children.emplace(key, std::move(node));
    return ref;
}

}  // namespace

SchematicNode* SchematicNode::child(double key) const {
    auto it = children.find(key);
    return it == children.end() ? nullptr : it->second.get();
}

SchematicNode& schematicRoot() { return *rootHolder(); }

void clearLines() { rootHolder() = std::make_unique<SchematicNode>(); }

void replaceSchematicTree(std::unique_ptr<SchematicNode> root) {
    root->parent = nullptr;
    rootHolder() = std::move(root);
}

LineWriter::LineWriter(SchematicNode& root, bool prune) : node_(&root), prune_(prune) {
    root.player = 0;
    root.street = 0;
    root.bets = 0;
    root.amount = 0;
    root.invested[0] = root.invested[1] = 0;
}

bool LineWriter::add(double x) {
    if (x < level_) return false;
    SchematicNode& parent = *node_;
    if (prune_) std::erase_if(parent.children, [x](const auto& entry) { return entry.first != x; });
    SchematicNode* found = parent.child(x);
    bool isNew = found == nullptr;
    SchematicNode& node = isNew ? addChild(parent, x) : *found;
    node_ = &node;

    if (x > level_) {
        level_ = x;
        ++bets_;
        player_ = 1 - player_;
        checked_ = false;
    } else if (bets_ == 0 && !checked_) {
        checked_ = true;
        player_ = 1 - player_;
    } else {
        ++street_;  // a second check or a call closes the street; OOP opens the next one
        player_ = 0;
        bets_ = 0;
        checked_ = false;
    }

    int actor = parent.player;
    node.player = player_;
    node.street = street_;
    node.bets = bets_;
    node.amount = x;
    node.invested[actor] = x;
    node.invested[1 - actor] = parent.invested[1 - actor];
    if (!isNew) return true;
    bool streetClosed = bets_ == 0 && !checked_;
    if (streetClosed) return true;

    // Every line ends in nodes that close the action: the opponent checks back or calls, and
    // folds when a bet is open.
    if (!node.child(x)) {
        SchematicNode& close = addChild(node, x);
        close.amount = x;
        close.invested[0] = close.invested[1] = x;
        close.street = street_;
    }
    if (bets_ > 0 && !node.child(kFoldKey)) {
        SchematicNode& fold = addChild(node, kFoldKey);
        int folder = node.player;
        fold.amount = parent.amount;
        fold.invested[folder] = parent.amount;
        fold.invested[1 - folder] = x;
        fold.street = street_;
    }
    return true;
}

std::vector<double> removalKeys(const std::vector<double>& amounts) {
    std::vector<double> keys;
    for (double amount : amounts) {
        bool foldNamed = amount == 0 && !keys.empty() && keys.back() > 0;
        keys.push_back(foldNamed ? kFoldKey : amount);
    }
    return keys;
}

bool removeLine(SchematicNode& root, const std::vector<double>& keys) {
    if (keys.empty()) return false;
    SchematicNode* node = &root;
    for (size_t i = 0; i + 1 < keys.size(); ++i) {
        node = node->child(keys[i]);
        if (!node) return false;
    }
    return node->children.erase(keys.back()) > 0;
}

namespace {

double largestKey(const SchematicNode& node) {
    double largest = 0;
    for (const auto& [key, child] : node.children) largest = std::max({largest, key, largestKey(*child)});
    return largest;
}

}  // namespace

int effectiveStack(const SchematicNode& root) {
    // Line amounts are checked to fit a 32-bit chip count when they are read; the clamp only
    // keeps the conversion defined for trees read from elsewhere.
    double largest = std::min(largestKey(root), double(std::numeric_limits<int>::max()));
    return int(largest);
}

std::string childLabel(const SchematicNode& parent, double key) {
    if (key < 0) return "f";
    if (key <= parent.amount) return "c";
    std::string label = "b";
    label += std::to_string(static_cast<long long>(key));
    return label;
}

}  // namespace qv
