#include <gtest/gtest.h>

#include "interpreter/reply.h"

namespace qv {
namespace {

TEST(SplitString, DropsEmptyFields) {
    const struct {
        std::string text;
        std::vector<std::string> fields;
    } cases[] = {
        {"a=b", {"a", "b"}},     {"a==b", {"a", "b"}}, {"=b", {"b"}},  {"a=", {"a"}},
        {"a=b=c", {"a", "b", "c"}}, {"", {}},        {"===", {}},    {" = ", {" ", " "}},
    };
    for (const auto& c : cases) EXPECT_EQ(splitString(c.text, '='), c.fields) << c.text;
}

TEST(TrimBlanks, RemovesOnlyOuterBlanks) {
    const std::pair<std::string, std::string> cases[] = {
        {"  a b  ", "a b"}, {"a", "a"}, {"\ta\t", "\ta\t"}, {" \ta ", "\ta"},
        {"   ", "   "},  // all blanks: unchanged
        {"", ""},
    };
    for (const auto& [text, trimmed] : cases) EXPECT_EQ(trimBlanks(text), trimmed) << "[" << text << "]";
}

TEST(JoinTokens, JoinsTheRangeClippedToTheList) {
    const TokenList t = {"a", "b", "c"};
    EXPECT_EQ(joinTokens(t, 0, 3), "a b c");
    EXPECT_EQ(joinTokens(t, 1, 2147483647), "b c");
    EXPECT_EQ(joinTokens(t, 2, 2), "");
    EXPECT_EQ(joinTokens(t, 3, 9), "");
    EXPECT_EQ(joinTokens(t, 5, 1), "");
    EXPECT_EQ(joinTokens({}, 0, 9), "");
}

}  // namespace
}  // namespace qv
