#pragma once
// The two preconditions most tree commands share.
namespace qv {

// Fails with "missing/incorrect tree" unless a game tree is built.
void requireBuiltTree();
// Fails with "Can't do that when solver is running" while a solver thread exists.
void requireSolverIdle();

}  // namespace qv
