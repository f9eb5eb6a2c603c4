// The command table as a whole: its words are what help lists in interpreter_info; what a session
// answers (substitution, end strings, suppressed ok lines, skipped lines and labels, error lines) is
// shown by the interpreter protocol scripts.
#include <gtest/gtest.h>

#include "interpreter/command_table.h"
#include "interpreter/errors.h"
#include "session_fixture.h"

namespace qv {
namespace {

using DispatchTest = FreshSession;

// The argument-count check runs for every row with a fixed count, before its handler: one token
// too many and one too few both answer the argument error of that command word.
TEST_F(DispatchTest, EveryFixedCountRowChecksItsTokenCount) {
    for (const CommandRow& row : commandTable()) {
        if (row.tokenCount < 1) continue;
        for (int count : {row.tokenCount - 1, row.tokenCount + 1}) {
            if (count < 1) continue;
            TokenList tokens(size_t(count), "1");
            tokens[0] = row.name;
            dispatchCommand(tokens);
            EXPECT_EQ(takeReply(), "ERROR: " + row.name + " incorrect or missing argument\n")
                << row.name << " with " << count << " tokens";
        }
    }
}

}  // namespace
}  // namespace qv
