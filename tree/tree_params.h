#pragma once
// The betting side of the game description that is not the schematic tree itself.
#include <string>
#include <vector>

namespace qv {

struct TreeParams {
    double potValues[3] = {0, 0, 100};  // the three set_pot values; the third is the starting pot
    float rakeFraction = 0;
    float rakeCap = 0;
    int requestedCompression = -1;      // -1 auto .. 5 fast
    std::vector<std::string> infoLines;

    double pot() const { return potValues[2]; }
    bool rakeOn() const { return rakeFraction != 0 && rakeCap != 0; }
};

TreeParams& treeParams();

}  // namespace qv
