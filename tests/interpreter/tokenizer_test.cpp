#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "interpreter/dispatch.h"

namespace qv {
namespace {

using namespace std::string_literals;

TEST(Tokenizer, FollowsTheQuoteAndBlankRules) {
    const struct {
        std::string line;
        TokenList tokens;
    } cases[] = {
        {"", {}},
        {"     ", {}},
        {" set_pot  1   2 3  ", {"set_pot", "1", "2", "3"}},
        {"a\tb c", {"a\tb", "c"}},  // only the blank separates
        {"load_script \"my dir/a b.txt\"", {"load_script", "my dir/a b.txt"}},
        {"a\"b c\"d", {"ab c", "d"}},  // joins before the quote, splits after it
        {"\"\"", {}},
        {"x \"\" y", {"x", "y"}},
        {"\"a\"\"b\"", {"a", "b"}},
        {"\"unclosed  ", {"unclosed  "}},
        {"say \"  \"", {"say", "  "}},
        {"#comment \"q\"", {"#comment", "q"}},
        {"\r\x01\xff", {"\r\x01\xff"}},
    };
    for (const auto& c : cases) EXPECT_EQ(tokenizeLine(c.line), c.tokens) << "line: " << c.line;
}

// Without quotes, tokenising is splitting at blanks and dropping empty pieces.
TEST(Tokenizer, WithoutQuotesEqualsSplittingAtBlanks) {
    std::mt19937 rng(7);
    const std::string alphabet = "ab \t$#";
    for (int round = 0; round < 2000; ++round) {
        std::string line;
        for (int n = int(rng() % 20); n > 0; --n) line += alphabet[rng() % alphabet.size()];
        EXPECT_EQ(tokenizeLine(line), splitString(line, ' ')) << "line: [" << line << "]";
    }
}

// Quoting any token that has no quote of its own and joining with blanks gives the tokens back.
TEST(Tokenizer, QuotedTokensRoundTrip) {
    std::mt19937 rng(11);
    const std::string alphabet = "ab  \t$#x";
    for (int round = 0; round < 2000; ++round) {
        TokenList tokens;
        for (int t = int(rng() % 5); t > 0; --t) {
            std::string token(1 + rng() % 6, 'x');
            for (char& c : token) c = alphabet[rng() % alphabet.size()];
            tokens.push_back(token);
        }
        std::string line;
        for (const std::string& token : tokens) line += " \"" + token + "\"";
        EXPECT_EQ(tokenizeLine(line), tokens) << "line: [" << line << "]";
    }
}

TEST(ReadCommandLine, EndsLinesAtLfCrAndCrLf) {
    const struct {
        std::string input;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb", {"a", "b"}},
        {"a\n\nb", {"a", "", "b"}},
        {"\n", {""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"x\0y\n"s, {"x\0y"s}},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.input);
        std::vector<std::string> lines;
        std::string line;
        while (readCommandLine(in, line)) lines.push_back(line);
        EXPECT_EQ(lines, c.lines) << "input: " << c.input;
    }
}

}  // namespace
}  // namespace qv
