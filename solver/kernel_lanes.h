#pragma once
// Vector lanes of the terminal kernels. A batch of W terminals runs in P >= W lanes (1, 4 or 8:
// plain float, SSE or AVX registers); the spare lanes carry zero reach and their results are
// dropped. Every lane does exactly the arithmetic of a one-lane run, so the width never changes
// a result.
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

}  // namespace qv
