#include "solver/compression.h"

#include <cmath>

namespace qv {

namespace {

const char* const kWords[] = {"none", "low", "medium", "high", "max", "fast"};

const double kFactors[3][6] = {
    {1.0, 0.54, 0.41, 0.35, 0.25, 0.68},
    {1.0, 0.53, 0.39, 0.33, 0.25, 0.68},
    {1.0, 0.51, 0.36, 0.32, 0.24, 0.68},
};

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

double memoryFactor(int flopSuits, int level) {
    if (level < 0 || level > 5 || flopSuits < 1 || flopSuits > 3) return 1.0;
    return kFactors[flopSuits - 1][level];
}

int chooseAutomaticLevel(double uncompressedBytes, int flopSuits, uint64_t physicalBytes, int loadPercent) {
    const double budget = std::trunc(std::trunc(double(physicalBytes) * 0.01 * (100 - loadPercent)) * 0.9);
    for (int level : {CompressionFast, CompressionLow, CompressionMedium, CompressionHigh})
        if (uncompressedBytes * memoryFactor(flopSuits, level) < budget) return level;
    return CompressionMax;
}

}  // namespace qv
