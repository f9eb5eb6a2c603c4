// The line printer of the per-combo queries: its length cap (the separators and the texts for
// non-numbers are in every per-combo line of the queries protocol scripts).
#include <gtest/gtest.h>

#include "error_text.h"
#include "queries/value_line.h"

namespace qv {
namespace {

TEST(ValueLine, LinesLongerThanTheBufferFail) {
    // Each value takes 10 characters and a blank: the last one that fits ends at 65535 with the newline.
    const size_t fits = (kValueLineLimit - 10) / 11 + 1;
    std::vector<double> values(fits, 1.23456789);
    EXPECT_LE(valueLine(values, "%.9g", "0").size(), kValueLineLimit);
    values.resize(fits + 1, 1.23456789);
    EXPECT_EQ(errorOf([&] { valueLine(values, "%.9g", "0"); }), "buffer too small");
}

}  // namespace
}  // namespace qv
