#include "cards/game_setup.h"

#include <cmath>
#include <cstdio>

#include "cards/combo_tables.h"
#include "cards/range_setup.h"
#include "interpreter/errors.h"

namespace qv {

GameSetup& gameSetup() {
    static GameSetup setup;
    return setup;
}

void checkRangeConsistency(const std::array<std::vector<double>, 2>& ranges, CardMask flop) {
    const CardTables& t = cardTables();
    for (int player = 0; player < 2; ++player) {
        const std::vector<double>& range = ranges[player];
        if (range.size() != size_t(kComboCount)) continue;
        for (HandClass cell = 0; cell < kHandClassCount; ++cell) {
            int reference = -1;
            for (uint16_t slot : t.classSlots(cell)) {
                if (t.maskOfSlot[slot] & flop) continue;
                if (reference < 0) {
                    if (range[slot] >= 0) reference = slot;
                    continue;
                }
                if (std::fabs(range[slot] - range[reference]) <= kWeightTolerance) continue;
                char message[256];
                snprintf(message, sizeof message,
                         "inconsistent range: %s P(%s) == %.2g, P(%s) == %.2g, use "
                         "'set_isomorphism 0 0' if intended",
                         playerName(player), cardsToText(t.maskOfSlot[reference]).c_str(),
                         range[reference], cardsToText(t.maskOfSlot[slot]).c_str(), range[slot]);
                throw EngineError(message);
            }
        }
    }
}

}  // namespace qv
