#pragma once
// The solver's accuracy target: the exploitability (chips) at which a solve stops. It is entered
// either in chips or as a fraction of the starting pot, so a new pot changes it.
namespace qv {

struct AccuracyTarget {
    double rawValue = 0;
    bool asFraction = false;  // rawValue is a fraction of the starting pot
    double chips = 0;         // 0: no accuracy stop
    double fraction = 0;

    // Derives chips and fraction from the raw value and the starting pot.
    void recompute(double pot);
};

AccuracyTarget& accuracyTarget();

}  // namespace qv
