#include "cards/hand_rules.h"

namespace qv {

HandRules& handRules() {
    static HandRules rules;
    return rules;
}

}  // namespace qv
