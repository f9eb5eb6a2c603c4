// The command table and the dispatch states; what a session answers (substitution, end strings,
// suppressed ok lines) is shown by the interpreter protocol scripts.
#include <gtest/gtest.h>

#include <boost/regex.hpp>
#include <set>

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

TEST_F(DispatchTest, TableHasUniqueWordsAndTheFullCatalogue) {
    std::set<std::string> names;
    for (const CommandRow& row : commandTable()) {
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
        EXPECT_NE(row.handler, nullptr) << row.name;
        EXPECT_TRUE(row.tokenCount == -1 || row.tokenCount >= 1) << row.name;
    }
    EXPECT_EQ(names.size(), 130u);  // the catalogue's 129 and show_version
    EXPECT_EQ(names.count("exit"), 0u);
}

TEST_F(DispatchTest, SkippingStatesConsumeLinesInOrder) {
    interpreter().soughtLabel = "L";
    EXPECT_EQ(run("echo hidden"), "");
    EXPECT_EQ(run("end_if"), "");  // end_if is skipped too while a label is sought
    EXPECT_EQ(run("LABEL: other"), "");
    EXPECT_EQ(interpreter().soughtLabel, "L");
    EXPECT_EQ(run("LABEL: L"), "");
    EXPECT_TRUE(interpreter().soughtLabel.empty());
    interpreter().ifSkipping = true;
    EXPECT_EQ(run("echo hidden"), "");
    EXPECT_EQ(run("if_match a a"), "");  // no nesting: skipped like any line
    EXPECT_TRUE(interpreter().ifSkipping);
    EXPECT_EQ(run("end_if"), "");
    EXPECT_EQ(run("echo shown"), "shown\n");
}

// Errors raised by handlers keep the command word of the command that raised them.
TEST_F(DispatchTest, ErrorKindsMapToTheirReplyLines) {
    EXPECT_EQ(run("verify_value"), "ERROR: verify_value incorrect or missing argument\n");
    EXPECT_EQ(interpreter().currentCommand, "verify_value");
    EXPECT_EQ(run("set_threads 99999999999"), "ERROR: Invalid value\n");
    std::string libraryMessage;
    try {
        boost::regex unused("[", boost::regex::ECMAScript);
    } catch (const boost::regex_error& e) {
        libraryMessage = e.what();
    }
    EXPECT_EQ(run("if_match a \"[\""), libraryMessage + "\n");
}

}  // namespace
}  // namespace qv
