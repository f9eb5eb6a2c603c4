#include "solver/compression.h"

#include <cmath>

#include "tree/storage_estimate.h"

namespace qv {

namespace {

const char* const kWords[] = {"none", "low", "medium", "high", "max", "fast"};

}  // namespace

const char* compressionWord(int level) {
    if (level < 0 || level > 5) return "auto";
    return kWords[level];
}

int parseCompressionLevel(const std::string& text) {
    if (text == "auto") return CompressionAuto;
    for (int level = 0; level <= 5; ++level)
        if (text == kWords[level]) return level;
    int value = std::stoi(text);
    if (value > 5) return CompressionFast;
    if (value < 0) return CompressionAuto;
    return value;
}

CompressionComponents componentsOf(int level) {
    switch (level) {
        case CompressionLow: return {0, 1};
        case CompressionMedium: return {1, 1};
        case CompressionHigh: return {1, 2};
        case CompressionMax: return {2, 2};
        case CompressionFast: return {0, 3};
        default: return {0, 0};
    }
}

int chooseAutomaticLevel(double uncompressedBytes, int flopSuits, uint64_t physicalBytes, int loadPercent) {
    const double budget = std::trunc(std::trunc(double(physicalBytes) * 0.01 * (100 - loadPercent)) * 0.9);
    for (int level : {CompressionFast, CompressionLow, CompressionMedium, CompressionHigh})
        if (uncompressedBytes * compressionFactor(flopSuits, level) < budget) return level;
    return CompressionMax;
}

}  // namespace qv
