#include "solver/segments.h"

#include <functional>

namespace qv {

namespace {

// Cards that can come at a chance node, for the work estimate only.
constexpr double kDealsPerChance = 45;

class SegmentBuilder {
public:
    SegmentBuilder(const std::vector<GameNode>& nodes, int firstStreet) : nodes_(nodes), firstStreet_(firstStreet) {}

    std::vector<Segment> build() {
        if (!nodes_.empty()) buildSegment(0);
        for (Segment& s : segments_) estimate(s);
        return std::move(segments_);
    }

private:
    int buildSegment(uint32_t root) {
        int index = int(segments_.size());
        segments_.emplace_back();
        segments_[index].root = root;
        segments_[index].street = nodes_[root].street;
        segments_[index].level = nodes_[root].street - firstStreet_;
        addSlot(index, root, SlotKind::Decision);
        return index;
    }

    int addSlot(int segment, uint32_t node, SlotKind kind) {
        const GameNode& n = nodes_[node];
        int slotIndex = int(segments_[segment].slots.size());
        SegmentSlot slot;
        slot.node = node;
        slot.kind = kind;
        slot.stake = float(n.stake);
        if (kind == SlotKind::Fold) slot.player = int8_t(1 - n.player);
        if (kind == SlotKind::Decision) {
            slot.player = int8_t(n.player);
            slot.actions = uint16_t(n.children.size());
        }
        segments_[segment].slots.push_back(slot);
        switch (kind) {
            case SlotKind::Decision: segments_[segment].decisions.push_back(slotIndex); break;
            case SlotKind::Fold:
            case SlotKind::Showdown: segments_[segment].terminals.push_back(slotIndex); break;
            default: segments_[segment].chances.push_back(slotIndex); break;
        }
        if (kind == SlotKind::NextStreet) {
            int child = buildSegment(node);
            segments_[segment].slots[slotIndex].childSegment = child;
        }
        if (kind != SlotKind::Decision) return slotIndex;

        std::vector<uint32_t> childSlots;
        for (uint32_t c : n.children) childSlots.push_back(uint32_t(addSlot(segment, c, kindOf(n, nodes_[c]))));
        Segment& s = segments_[segment];
        s.slots[slotIndex].firstChild = uint32_t(s.children.size());
        s.children.insert(s.children.end(), childSlots.begin(), childSlots.end());
        return slotIndex;
    }

    static SlotKind kindOf(const GameNode& parent, const GameNode& child) {
        switch (child.type) {
            case ActionType::Fold: return SlotKind::Fold;
            case ActionType::Showdown: return parent.street < 3 ? SlotKind::AllIn : SlotKind::Showdown;
            default: return child.street > parent.street ? SlotKind::NextStreet : SlotKind::Decision;
        }
    }

    void estimate(Segment& s) {
        if (s.work > 0) return;
        double work = double(s.slots.size());
        for (int c : s.chances) {
            const SegmentSlot& slot = s.slots[c];
            if (slot.kind == SlotKind::NextStreet) {
                estimate(segments_[slot.childSegment]);
                work += kDealsPerChance * segments_[slot.childSegment].work;
            } else {
                int streetsLeft = 3 - s.street;
                work += streetsLeft == 2 ? kDealsPerChance * kDealsPerChance : kDealsPerChance;
            }
        }
        s.work = work;
    }

    const std::vector<GameNode>& nodes_;
    int firstStreet_;
    std::vector<Segment> segments_;
};

}  // namespace

std::vector<Segment> buildSegments(const std::vector<GameNode>& nodes, int firstStreet) {
    return SegmentBuilder(nodes, firstStreet).build();
}

float rakeRate(float fraction, float cap, double stake) {
    if (!(cap > 0) || !(stake > 0) || fraction == 0) return 0.0f;
    if (2 * stake * fraction > cap) return float(cap / (2 * stake));
    return fraction;
}

}  // namespace qv
