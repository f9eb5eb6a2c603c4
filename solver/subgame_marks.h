#pragma once
// What a solver state knows about its subgames beyond the stores: which street's data were
// dropped to save memory, which subgames of that street were solved again since, and the locks
// that keep a command's edit of a river record from interleaving with a solver thread's update.
// A subgame is named by the segment that starts it and a board state at that segment's level.
#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

namespace qv {

struct SubgameRef {
    int segment = -1;
    int state = 0;
    bool valid() const { return segment >= 0; }
};

class SubgameMarks {
public:
    // The street (2 turn, 3 river) whose stores were released, or -1.
    int droppedStreet() const { return street_; }
    // A new dropped street forgets every mark; -1 means nothing is dropped any more.
    void setDroppedStreet(int street);

    bool solved(const SubgameRef& subgame) const;
    void markSolved(const SubgameRef& subgame);

    // The lock of a river subgame. Locks are shared out among subgames by a hash: a flop tree has
    // hundreds of thousands of river subgames, and a holder keeps one only for one segment solve.
    // Solver threads never want the same subgame, only the same lock: a job that solves four river
    // segments holds four, so with too few locks two threads would often wait for each other.
    std::mutex& riverLock(const SubgameRef& subgame);

private:
    struct alignas(64) PaddedMutex {
        std::mutex mutex;
    };

    int street_ = -1;
    std::vector<std::vector<uint64_t>> solved_;  // per segment: one bit per board state
    std::array<PaddedMutex, 1024> locks_;
};

}  // namespace qv
