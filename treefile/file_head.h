#pragma once
// The sections of a tree file around its solver data: the head (magic, version, the evaluator's
// rules, board, pot values and ranges; sections 1 to 9), and the tree info lines that close the
// file (section 14). Loading and show_metadata read the head alike.
//
//   #   field                      bytes      from version
//   1   magic "AI6:"               4
//   2   version                    4 (i32)    written as 11; read when below 12
//   3   no-EV flag                 1          4
//   4   lowest rank                1          8
//   5   must-use-hole-cards rule   1          8
//   6   hand category order        9          8
//   7   flop, turn, river masks    3 x 8
//   8   the three pot values       3 x 8 (f64)
//   9   OOP and IP weights         2 x 1326 x 8 (f64, HandSlot order)
//   10  the lines (schematic tree) variable
//   11  solver header              variable   (rake from version 11)
//   12  compression level          4
//   13  solver data                variable   from version 4
//   14  tree info lines            variable   from version 7
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "treefile/binary_io.h"

namespace qv {

constexpr int kWrittenVersion = 11;
constexpr int kFirstUnreadVersion = 12;
constexpr char kMagic[4] = {'A', 'I', '6', ':'};

struct FileHead {
    int version = kWrittenVersion;
    bool noEv = false;
    int lowCard = 0;
    int mustUseHoleCards = 0;
    std::array<int, 9> handTypeOrder{0, 1, 2, 3, 4, 5, 6, 7, 8};  // position to category
    uint64_t flop = 0, turn = 0, river = 0;
    double potValues[3] = {0, 0, 0};
    std::array<std::vector<double>, 2> ranges;  // HandSlot order
};

// Reads the magic and the version; `badMagic` is the message for a file of another kind.
// Sets the reader's version.
void readMagicAndVersion(BinaryReader& in, const char* badMagic);
// Sections 3 to 9 as the reader's version has them; every value is checked ("invalid file").
FileHead readHeadFields(BinaryReader& in);
void writeHead(BinaryWriter& out, const FileHead& head);

// Section 14. A line of more than `limit` bytes, or more lines than fit, is "invalid file".
std::vector<std::string> readInfoLines(BinaryReader& in, uint64_t limit);
void writeInfoLines(BinaryWriter& out, const std::vector<std::string>& lines);

// The failure of a file whose contents are not what its format allows.
[[noreturn]] void invalidFile();

}  // namespace qv
