// Tokenising as properties; the quote and blank rules case by case, and line ends, are the
// interpreter_tokens and interpreter_crlf_input protocol scripts'.
#include <gtest/gtest.h>

#include <random>

#include "interpreter/dispatch.h"

namespace qv {
namespace {

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

}  // namespace
}  // namespace qv
