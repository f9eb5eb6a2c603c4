#include "interpreter/pattern_match.h"

#include <algorithm>
#include <regex>

#include "platform/large_stack.h"

namespace qv {

namespace {

// The library's compiler recurses once per nesting level of the pattern and its matcher once per
// state it walks; this much reserved stack keeps any line a client can send from overflowing it.
constexpr size_t kMatchStack = size_t(512) << 20;
// Far beyond any real pattern; deeper nesting is refused before the library's compiler recurses
// into it (an error thrown from tens of megabytes down the stack is also more than the address
// sanitizer's stack bookkeeping supports).
constexpr int kMaxGroupNesting = 1000;

int groupNesting(const std::string& pattern) {
    int depth = 0, deepest = 0;
    bool inBrackets = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\\') {
            ++i;  // an escaped character never opens or closes anything
        } else if (inBrackets) {
            inBrackets = c != ']';
        } else if (c == '[') {
            inBrackets = true;
        } else if (c == '(') {
            deepest = std::max(deepest, ++depth);
        } else if (c == ')') {
            --depth;
        }
    }
    return deepest;
}

std::regex compilePattern(const std::string& pattern) {
    if (groupNesting(pattern) > kMaxGroupNesting) throw std::regex_error(std::regex_constants::error_stack);
    // The polynomial mode bounds the search time; it refuses back-references, which alone need
    // the backtracking matcher.
    try {
        return std::regex(pattern, std::regex::ECMAScript | std::regex_constants::__polynomial);
    } catch (const std::regex_error& e) {
        if (e.code() != std::regex_constants::error_complexity) throw;
    }
    return std::regex(pattern, std::regex::ECMAScript);
}

}  // namespace

bool patternFound(const std::string& text, const std::string& pattern) {
    bool found = false;
    runOnLargeStack([&] { found = std::regex_search(text, compilePattern(pattern)); }, kMatchStack);
    return found;
}

}  // namespace qv
