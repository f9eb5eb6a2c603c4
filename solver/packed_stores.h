#pragma once
// The packed store classes of river nodes in flop trees, for the compressed storage levels:
//
//   regrets, component 1   16-bit regrets as the plain class keeps them, rows coded with the
//                          store value coder
//   regrets, component 2   the same for the first (warm-up) iterations, then in units so coarse
//                          that a record's largest value stays at most 255: one byte per value
//   sums, component 1      16-bit sums whose record scale keeps them at most 4095, rows coded
//                          with the store value coder
//   sums, component 2      sums at most 255, rows coded with the entropy stream compressor
#include <memory>

#include "solver/node_store.h"

namespace qv {

std::unique_ptr<NodeStore> makePackedRegretStore(int actions, LayoutPointer layout, float valueScale, int component);
std::unique_ptr<NodeStore> makePackedSumStore(int actions, LayoutPointer layout, int component);

}  // namespace qv
