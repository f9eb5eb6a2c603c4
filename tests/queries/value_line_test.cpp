// The line printer of the per-combo queries: its length cap (the separators and the texts for
// non-numbers are in every per-combo line of the queries protocol scripts).
#include <gtest/gtest.h>

#include "interpreter/errors.h"
#include "queries/value_line.h"

namespace qv {
namespace {

TEST(ValueLine, LinesLongerThanTheBufferFail) {
    // Each value takes 10 characters and a blank: the last one that fits ends at 65535 with the newline.
    const size_t fits = (kValueLineLimit - 10) / 11 + 1;
    std::vector<double> values(fits, 1.23456789);
    EXPECT_LE(valueLine(values, "%.9g", "0").size(), kValueLineLimit);
    values.resize(fits + 1, 1.23456789);
    try {
        valueLine(values, "%.9g", "0");
        FAIL() << "a line of " << values.size() << " values fitted";
    } catch (const EngineError& e) {
        EXPECT_STREQ(e.what(), "buffer too small");
    }
}

}  // namespace
}  // namespace qv
