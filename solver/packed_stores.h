#pragma once
// The packed store classes of river nodes in flop trees, for the compressed storage levels:
//
//   regrets, component 1   16-bit regrets as the plain class keeps them, rows coded with the
//                          store value coder (lossless)
//   regrets, component 2   the same units for the first iterations (the warm-up, while strategies
//                          move most), then units so coarse that a record's largest value stays at
//                          most 127; rows coded with the bit width coder, which spends only the
//                          bits the values use
//   sums, component 1      16-bit sums whose record scale keeps them at most 255, rows coded with
//                          the store value coder
//   sums, component 2      the same sums, rows coded with the bit width coder: on the flop
//                          benchmark game 5 MB more than the entropy stream compressor at "max"
//                          (116 against 111 MB), for a quarter less processor time a solve
//                          (that compressor took about 17 times as long a value to code)
//
// Coarse regrets and sums cost a few more iterations for a given accuracy (measured on the flop
// benchmark game: 100 instead of 90 to 0.3% of the pot, 160 instead of 150 to 0.1%).
#include <memory>

#include "solver/node_store.h"

namespace qv {

std::unique_ptr<NodeStore> makePackedRegretStore(int actions, LayoutPointer layout, float valueScale, int component);
std::unique_ptr<NodeStore> makePackedSumStore(int actions, LayoutPointer layout, int component);

}  // namespace qv
