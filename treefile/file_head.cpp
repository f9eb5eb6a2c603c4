#include "treefile/file_head.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "cards/card.h"
#include "cards/hand_rules.h"
#include "interpreter/errors.h"

namespace qv {

namespace {

constexpr double kLargestWeight = 1e9;  // what set_range accepts
constexpr double kLargestPot = 1e12;
constexpr uint64_t kDeckBits = (uint64_t(1) << kCardCount) - 1;

void check(bool valid) {
    if (!valid) invalidFile();
}

bool validBoard(uint64_t flop, uint64_t turn, uint64_t river) {
    if (((flop | turn | river) & ~kDeckBits) || std::popcount(flop) != 3) return false;
    if (std::popcount(turn) > 1 || std::popcount(river) > 1 || (river && !turn)) return false;
    return !(flop & turn) && !(flop & river) && !(turn & river);
}

}  // namespace

void invalidFile() { throw EngineError("invalid file"); }

void readMagicAndVersion(BinaryReader& in, const char* badMagic) {
    char magic[4];
    in.read(magic, sizeof magic);
    if (std::memcmp(magic, kMagic, sizeof magic) != 0) throw EngineError(badMagic);
    const int version = in.i32();
    if (version >= kFirstUnreadVersion) throw EngineError("unsupported data format, update to latest version");
    if (version < 0) invalidFile();
    in.setVersion(version);
}

FileHead readHeadFields(BinaryReader& in) {
    FileHead head;
    head.version = in.version();
    if (head.version >= 4) {
        const uint8_t flag = in.byte();
        check(flag <= 1);
        head.noEv = flag == 1;
    }
    if (head.version >= 8) {
        head.lowCard = in.byte();
        head.mustUseHoleCards = in.byte();
        check(head.lowCard <= 4 && head.mustUseHoleCards <= 2);
        uint8_t order[9];
        in.read(order, sizeof order);
        HandRules probe;
        for (int i = 0; i < 9; ++i) head.handTypeOrder[i] = order[i];
        check(setHandTypeOrder(probe, head.handTypeOrder));
    }
    head.flop = in.get<uint64_t>();
    head.turn = in.get<uint64_t>();
    head.river = in.get<uint64_t>();
    check(validBoard(head.flop, head.turn, head.river));
    for (double& pot : head.potValues) {
        pot = in.f64();
        check(std::isfinite(pot) && std::fabs(pot) <= kLargestPot);
    }
    check(head.potValues[2] >= 0);
    for (std::vector<double>& range : head.ranges) {
        range.resize(kComboCount);
        in.read(range.data(), sizeof(double) * range.size());
        for (double w : range) check(w >= 0 && w <= kLargestWeight);
    }
    return head;
}

void writeHead(BinaryWriter& out, const FileHead& head) {
    out.write(kMagic, sizeof kMagic);
    out.put<int32_t>(kWrittenVersion);
    out.put<uint8_t>(head.noEv ? 1 : 0);
    out.put<uint8_t>(uint8_t(head.lowCard));
    out.put<uint8_t>(uint8_t(head.mustUseHoleCards));
    for (int category : head.handTypeOrder) out.put<uint8_t>(uint8_t(category));
    out.put(head.flop);
    out.put(head.turn);
    out.put(head.river);
    for (double pot : head.potValues) out.put(pot);
    for (const std::vector<double>& range : head.ranges) out.write(range.data(), sizeof(double) * range.size());
}

std::vector<std::string> readInfoLines(BinaryReader& in, uint64_t limit) {
    const int32_t count = in.i32();
    // Each line takes at least its 4-byte length.
    check(count >= 0 && uint64_t(count) <= limit / 4);
    std::vector<std::string> lines;
    for (int32_t i = 0; i < count; ++i) {
        const int32_t length = in.i32();
        check(length >= 0 && uint64_t(length) <= limit);
        std::string line(size_t(length), '\0');
        in.read(line.data(), line.size());
        lines.push_back(std::move(line));
    }
    return lines;
}

void writeInfoLines(BinaryWriter& out, const std::vector<std::string>& lines) {
    out.put<int32_t>(int32_t(lines.size()));
    for (const std::string& line : lines) {
        out.put<int32_t>(int32_t(line.size()));
        out.write(line.data(), line.size());
    }
}

}  // namespace qv
