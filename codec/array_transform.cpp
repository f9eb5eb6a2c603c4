#include "codec/array_transform.h"

namespace qv {

bool transformArray(const uint32_t* values, int n, const uint32_t* reference, uint32_t* coded) {
    if (n <= 0) return false;
    int firstNonZero = 0;
    for (int i = 0; i < n; ++i) {
        const uint32_t previous = i ? values[i - 1] : reference ? reference[0] : 0;
        coded[i] = zigzag(values[i] - previous);
        firstNonZero += coded[i] != 0;
    }
    if (!reference) return false;
    int secondNonZero = coded[0] != 0;
    for (int i = 1; i < n; ++i)
        secondNonZero += (values[i] - values[i - 1]) != (reference[i] - reference[i - 1]);
    if (secondNonZero >= firstNonZero) return false;
    for (int i = 1; i < n; ++i) coded[i] = zigzag((values[i] - values[i - 1]) - (reference[i] - reference[i - 1]));
    return true;
}

void restoreArray(const uint32_t* coded, int n, const uint32_t* reference, bool relative, uint32_t* values) {
    for (int i = 0; i < n; ++i) {
        const uint32_t d = unzigzag(coded[i]);
        if (i == 0) values[0] = (reference ? reference[0] : 0) + d;
        else if (relative) values[i] = values[i - 1] + (reference[i] - reference[i - 1]) + d;
        else values[i] = values[i - 1] + d;
    }
}

}  // namespace qv
