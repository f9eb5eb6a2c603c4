#include "treefile/schematic_io.h"

#include <cmath>

#include "treefile/file_head.h"

namespace qv {

namespace {

constexpr double kLargestAmount = 1e12;
constexpr uint64_t kNodeBytes = 4 * 4 + 3 * 8 + 4;  // the record without children

bool validAmount(double v) { return std::isfinite(v) && std::fabs(v) <= kLargestAmount; }

void writeNode(BinaryWriter& out, const SchematicNode& node) {
    out.put<int32_t>(node.player);
    out.put<int32_t>(node.street);
    out.put<int32_t>(node.bets);
    out.put<int32_t>(node.recordIndex);
    out.put(node.amount);
    out.put(node.invested[0]);
    out.put(node.invested[1]);
    out.put<int32_t>(int32_t(node.children.size()));
    for (const auto& [key, child] : node.children) {
        out.put(key);
        writeNode(out, *child);
    }
}

class TreeReader {
public:
    TreeReader(BinaryReader& in, uint64_t limit) : in_(in), nodesLeft_(limit / kNodeBytes) {}

    void readNode(SchematicNode& node, size_t depth) {
        if (nodesLeft_-- == 0 || depth > kMaxLineAmounts) invalidFile();
        node.player = in_.i32();
        node.street = in_.i32();
        node.bets = in_.i32();
        node.recordIndex = in_.i32();
        node.amount = in_.f64();
        node.invested[0] = in_.f64();
        node.invested[1] = in_.f64();
        const int32_t children = in_.i32();
        const bool valid = (node.player == 0 || node.player == 1) && node.street >= 0 && node.street <= 3 &&
                           node.bets >= 0 && node.bets <= int(kMaxLineAmounts) && node.recordIndex >= -1 &&
                           validAmount(node.amount) && validAmount(node.invested[0]) &&
                           validAmount(node.invested[1]) && children >= 0 && uint64_t(children) <= nodesLeft_;
        if (!valid) invalidFile();
        for (int32_t i = 0; i < children; ++i) {
            const double key = in_.f64();
            if (!(key == kFoldKey || (key >= 0 && validAmount(key))) || node.children.count(key)) invalidFile();
            auto child = std::make_unique<SchematicNode>();
            child->parent = &node;
            readNode(*child, depth + 1);
            if (child->street < node.street) invalidFile();
            node.children.emplace(key, std::move(child));
        }
    }

private:
    BinaryReader& in_;
    uint64_t nodesLeft_;
};

}  // namespace

void writeSchematicTree(BinaryWriter& out, const SchematicNode& root) { writeNode(out, root); }

std::unique_ptr<SchematicNode> readSchematicTree(BinaryReader& in, uint64_t limit) {
    auto root = std::make_unique<SchematicNode>();
    TreeReader(in, limit).readNode(*root, 0);
    return root;
}

}  // namespace qv
