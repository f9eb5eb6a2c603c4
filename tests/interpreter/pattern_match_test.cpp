#include <gtest/gtest.h>

#include <regex>

#include "interpreter/pattern_match.h"

namespace qv {
namespace {

// The bounded-time search must give the same answer as the library's default search.
TEST(PatternMatch, AgreesWithTheDefaultSearch) {
    const char* texts[] = {"", "abc", "AhKs", "2022-01-07", "aaaa", "x y", "r:0:c:b100", "$x"};
    const char* patterns[] = {"", "b", "^a", "c$", "^A[hd]K", "^\\d{4}-\\d\\d-\\d\\d$", "a{3,}",
                              "(a|b)+c", "\\s", "^r:0(:c)?", "z|x", "[^a]", "(?=b)", "\\$x",
                              "(a)\\1", "^(a+)\\1$", "\\bKs\\b"};
    for (const char* text : texts)
        for (const char* pattern : patterns)
            EXPECT_EQ(patternFound(text, pattern),
                      std::regex_search(text, std::regex(pattern, std::regex::ECMAScript)))
                << "text " << text << " pattern " << pattern;
}

TEST(PatternMatch, InvalidPatternsRaiseTheLibraryError) {
    for (const char* pattern : {"(", "[", "a{2,1}", "*", "\\"})
        EXPECT_THROW(patternFound("abc", pattern), std::regex_error) << pattern;
}

// Inputs that overflow the stack or take exponential time with a plain search on the command
// thread finish here.
TEST(PatternMatch, HostilePatternsAndTextsFinish) {
    EXPECT_FALSE(patternFound(std::string(30, 'a'), "(a*)*b"));
    EXPECT_TRUE(patternFound(std::string(200000, 'a'), "^(a|b)*$"));
    EXPECT_THROW(patternFound("a", std::string(60000, '(') + "a" + std::string(60000, ')')),
                 std::regex_error);
    EXPECT_TRUE(patternFound("a", std::string(1000, '(') + "a" + std::string(1000, ')')));
    EXPECT_TRUE(patternFound("(((", "\\((\\(|[(])\\("));  // escaped and bracketed ( do not nest
    std::string chain;  // a long chain of empty transitions for the matcher to follow
    for (int i = 0; i < 20000; ++i) chain += "a?";
    EXPECT_TRUE(patternFound("b", chain));
}

}  // namespace
}  // namespace qv
