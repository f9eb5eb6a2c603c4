#pragma once
// The schematic tree: every betting line entered by add_line / force_line merged into one prefix
// tree of actions. A child hangs under its amount key: the acting player's total put in since the
// start of the tree (equal to the parent's level for a check or call, higher for a bet or raise),
// or kFoldKey for a fold. Children are kept in descending key order, which is the order of a
// node's actions everywhere else (records, listings, strategies).
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qv {

constexpr double kFoldKey = -1;
// Real lines hold a few dozen actions; the cap keeps every walk of the tree shallow.
constexpr size_t kMaxLineAmounts = 1000;

struct SchematicNode {
    using Children = std::map<double, std::unique_ptr<SchematicNode>, std::greater<double>>;

    SchematicNode* parent = nullptr;
    Children children;
    int player = 0;        // to act here: 0 OOP, 1 IP
    int street = 0;        // relative to the tree's first street
    int bets = 0;          // bets and raises so far on this street
    int recordIndex = -1;  // index of this node's action record; -1 until a build includes it
    double amount = 0;     // the bet level after the action that leads here
    double invested[2] = {0, 0};

    bool isLeaf() const { return children.empty(); }
    SchematicNode* child(double key) const;
};

// The process-wide schematic tree; starts as an empty root.
SchematicNode& schematicRoot();
// Replaces the schematic tree by an empty root.
void clearLines();
// Replaces the schematic tree by the given one (used when a tree file is loaded).
void replaceSchematicTree(std::unique_ptr<SchematicNode> root);

// Walks one line into the tree amount by amount. A line may stop half-way: the amounts already
// added stay, which is what add_line promises when a later amount is rejected.
class LineWriter {
public:
    // With pruning (force_line) every other action along the line is removed.
    LineWriter(SchematicNode& root, bool prune);
    // Adds the next amount, already floored. False (and nothing changed) when it is below the
    // current bet level: amounts never go down within a line.
    bool add(double amount);

private:
    SchematicNode* node_;
    bool prune_;
    double level_ = 0;
    int player_ = 0;
    int street_ = 0;
    int bets_ = 0;
    bool checked_ = false;  // one check already made on this street
};

// The amounts of a removal as keys: a 0 that follows a key above 0 names the fold.
std::vector<double> removalKeys(const std::vector<double>& flooredAmounts);
// Removes the node at the end of the keys with its subtree; false (nothing changed) when any key
// along the way is missing.
bool removeLine(SchematicNode& root, const std::vector<double>& keys);

// The largest key anywhere in the tree, starting from 0, truncated to a whole number.
int effectiveStack(const SchematicNode& root);

// "f" for the fold, "c" for a check or call, else "b" and the amount ("b30").
std::string childLabel(const SchematicNode& parent, double key);

}  // namespace qv
