#pragma once
// Vector lanes of the terminal kernels. A batch of W terminals runs in P >= W lanes (1, 4 or 8:
// plain float, SSE or AVX registers); the spare lanes carry zero reach and their results are
// dropped. Every lane does exactly the arithmetic of a one-lane run, so the width never changes
// a result.
#include "cards/card.h"

namespace qv {

template <int P>
struct LaneOf {
    typedef float type __attribute__((vector_size(sizeof(float) * P)));
};
template <>
struct LaneOf<1> {
    using type = float;
};
template <int P>
using Lane = typename LaneOf<P>::type;

// The lane count that runs a batch of `width` terminals.
constexpr int paddedLanes(int width) { return width == 1 ? 1 : width <= 4 ? 4 : 8; }

// Opponent weight by card: C[c] sums the weights added for hands holding card c. Hands arrive in
// list order or by strength with list order among equals, and a list runs by high card, so
// neighbours often share their high card: that card's total stays in a register while its run
// lasts instead of going through memory for every hand, where each addition would wait for the
// store of the one before. Every total gets the same additions in the same order either way.
template <int P>
class CardTotals {
public:
    CardTotals() {
        for (Lane<P>& c : totals_) c = Lane<P>{};
    }
    void add(int low, int high, Lane<P> w) {
        if (high != held_) {
            totals_[held_] = heldTotal_;
            held_ = high;
            heldTotal_ = totals_[high];
        }
        heldTotal_ += w;
        totals_[low] += w;
    }
    // The totals are read between runs of additions: the held one goes back first.
    void settle() { totals_[held_] = heldTotal_; }
    Lane<P> operator[](int card) const { return totals_[card]; }

private:
    Lane<P> totals_[kCardCount + 1];  // the last one is held before the first addition
    int held_ = kCardCount;
    Lane<P> heldTotal_ = {};
};

}  // namespace qv
