#pragma once
// The binary payloads of a shared solve. A master sends each worker the jobs of a pass that the
// worker holds, with the settings of the pass and the opponent reach at every chance slot they
// start from; the worker runs them on its own state and answers their values. Strategies of the
// records a worker holds travel node by node, one subgame at a time.
#include <cstdint>
#include <vector>

#include "solver/subgame_marks.h"
#include "solver/subgames.h"

namespace qv {

// Tells states apart: equal for states built from equal game definitions, different (but for
// hash collisions) when the trees, ranges, storage or rake differ.
uint64_t stateFingerprint(const SolverState& state);

// Master: one worker's share of a pass, the jobs at `jobIndices` of `pass.jobs`.
std::vector<uint8_t> encodeJobsRequest(const Traversal& traversal, const PassJobs& pass,
                                       const std::vector<int>& jobIndices, uint64_t fingerprint);
// Master: the worker's answer to that request, copied into the jobs' output vectors.
void decodeJobsAnswer(const Traversal& traversal, const PassJobs& pass, const std::vector<int>& jobIndices,
                      const std::vector<uint8_t>& answer);
// Worker: runs a request's jobs for `player` in training (or evaluation) mode on the thread team.
std::vector<uint8_t> answerJobsRequest(SolverState& state, int player, bool training,
                                       const std::vector<uint8_t>& request, int threads, int numaMode);

// The records of a decision node inside the subgame below the first segment that starts at
// `subgame`, in the order the strategy payload carries them.
std::vector<int> subgameRecords(const SolverState& state, uint32_t node, const SubgameRef& subgame);
// The subgame below the first segment that holds a node's record; invalid for nodes of the
// first street.
SubgameRef heldSubgameOf(const SolverState& state, uint32_t node, int record);
// Worker: the strategy of a node at every record it has in a subgame, record after record.
// Fails with "incorrect path" when the node is not a decision of that subgame.
std::vector<uint8_t> encodeSubgameStrategy(const SolverState& state, const SubgameRef& subgame, uint32_t node,
                                           bool average);
// Elements of one record's strategy (actions x stride).
size_t recordStrategySize(const SolverState& state, uint32_t node, int record);

}  // namespace qv
