#pragma once
// Storage compression levels: what each level stores compactly, how much memory it needs, and
// the automatic choice from the machine's free memory.
#include <cstdint>
#include <string>

namespace qv {

enum CompressionLevel : int {
    CompressionAuto = -1,
    CompressionNone = 0,
    CompressionLow = 1,
    CompressionMedium = 2,
    CompressionHigh = 3,
    CompressionMax = 4,
    CompressionFast = 5,
};

struct CompressionComponents {
    int regret = 0;    // 0 plain 16-bit river regrets, 1 and 2 packed
    int strategy = 0;  // 0 float river sums, 1 and 2 packed, 3 "fast" 16-bit
};

// "auto", "none", "low", "medium", "high", "max", "fast"; "auto" for anything out of range.
const char* compressionWord(int level);
// A word of the list above or an integer (above 5 gives 5, below 0 gives -1); an unreadable
// number raises the conversion error of std::stoi.
int parseCompressionLevel(const std::string& text);
CompressionComponents componentsOf(int level);
// The level "auto" resolves to: the least compressed level that fits 90% of the free memory.
int chooseAutomaticLevel(double uncompressedBytes, int flopSuits, uint64_t physicalBytes, int loadPercent);

}  // namespace qv
