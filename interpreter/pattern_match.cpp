#include "interpreter/pattern_match.h"

#include <regex>

#include "platform/large_stack.h"

namespace qv {

namespace {

// The library's compiler recurses once per nesting level of the pattern and its matcher once per
// state it walks; this much reserved stack keeps any line a client can send from overflowing it.
constexpr size_t kMatchStack = size_t(512) << 20;

std::regex compilePattern(const std::string& pattern) {
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
