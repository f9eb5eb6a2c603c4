#include "tree/accuracy.h"

namespace qv {

void AccuracyTarget::recompute(double pot) {
    if (asFraction) {
        chips = rawValue * pot;
        fraction = rawValue;
    } else {
        chips = rawValue;
        // A pot of 0 has no fraction; 0 keeps the verbose line and the reports readable.
        fraction = pot != 0 ? rawValue / pot : 0;
    }
}

AccuracyTarget& accuracyTarget() {
    static AccuracyTarget target;
    return target;
}

}  // namespace qv
