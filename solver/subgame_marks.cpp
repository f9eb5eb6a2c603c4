#include "solver/subgame_marks.h"

namespace qv {

void SubgameMarks::setDroppedStreet(int street) {
    street_ = street;
    solved_.clear();
}

bool SubgameMarks::solved(const SubgameRef& subgame) const {
    if (size_t(subgame.segment) >= solved_.size()) return false;
    const std::vector<uint64_t>& bits = solved_[size_t(subgame.segment)];
    const size_t word = size_t(subgame.state) / 64;
    return word < bits.size() && ((bits[word] >> (subgame.state % 64)) & 1);
}

void SubgameMarks::markSolved(const SubgameRef& subgame) {
    if (size_t(subgame.segment) >= solved_.size()) solved_.resize(size_t(subgame.segment) + 1);
    std::vector<uint64_t>& bits = solved_[size_t(subgame.segment)];
    const size_t word = size_t(subgame.state) / 64;
    if (word >= bits.size()) bits.resize(word + 1, 0);
    bits[word] |= uint64_t(1) << (subgame.state % 64);
}

std::mutex& SubgameMarks::riverLock(const SubgameRef& subgame) {
    const uint64_t key = uint64_t(uint32_t(subgame.segment)) * 0x9E3779B97F4A7C15ull + uint64_t(subgame.state);
    return locks_[size_t((key ^ (key >> 29)) % locks_.size())].mutex;
}

}  // namespace qv
