#include <gtest/gtest.h>

#include <regex>

#include "interpreter/errors.h"
#include "interpreter/pattern_match.h"

namespace qv {
namespace {

// The bounded search must give the same answer as the standard library's ECMAScript search.
TEST(PatternMatch, AgreesWithTheStandardSearch) {
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
        EXPECT_THROW(patternFound("abc", pattern), std::runtime_error) << pattern;
}

// Searches that backtrack exponentially, nest past the library's limits or walk long chains of
// empty transitions end, with an answer or with the "too complex" error.
TEST(PatternMatch, HostilePatternsAndTextsFinish) {
    EXPECT_THROW(patternFound(std::string(41, 'a') + "b", "^(a|a)*\\1$"), EngineError);
    EXPECT_THROW(patternFound(std::string(30, 'a'), "(a*)*b"), EngineError);
    EXPECT_THROW(patternFound(std::string(200000, 'a'), "^(a|b)*$"), EngineError);
    std::string longPattern;  // the library alone would take minutes to give up
    for (int i = 0; i < 1000; ++i) longPattern += "a?a?";
    EXPECT_THROW(patternFound(std::string(1000, 'a') + "b", longPattern + "c"), EngineError);
    EXPECT_THROW(patternFound("a", std::string(60000, '(') + "a" + std::string(60000, ')')), EngineError);
    EXPECT_TRUE(patternFound("a", std::string(100, '(') + "a" + std::string(100, ')')));
    EXPECT_TRUE(patternFound("(((", "\\((\\(|[(])\\("));
    std::string chain;
    for (int i = 0; i < 1500; ++i) chain += "a?";
    EXPECT_TRUE(patternFound("b", chain));
}

}  // namespace
}  // namespace qv
