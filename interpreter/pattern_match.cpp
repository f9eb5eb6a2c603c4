#include "interpreter/pattern_match.h"

#include <boost/regex.hpp>

#include "interpreter/errors.h"

namespace qv {

// The library counts the states its matcher visits and gives up past a bound that grows with the
// text and the pattern, and it works on the heap, not the stack, so no line a client can send
// makes it hang the command loop or overflow the stack.
namespace {

[[noreturn]] void tooComplex() { throw EngineError("pattern too complex"); }

boost::regex compiled(const std::string& pattern) {
    try {
        return boost::regex(pattern, boost::regex::ECMAScript);
    } catch (const boost::regex_error& e) {
        // Nesting past the compiler's limit is refused like a search past the matcher's.
        if (e.code() == boost::regex_constants::error_complexity || e.code() == boost::regex_constants::error_stack)
            tooComplex();
        throw;
    }
}

}  // namespace

// The library's matcher works on a bounded heap stack, not the call stack, and counts the states
// it visits, giving up past a bound of about (pattern length)^2 x (text length). That bound lets a
// long pattern run for minutes (4000 characters against 1000 took five minutes), so searches whose
// bound exceeds this budget, about a third of a second of matching, are refused before they start;
// the patterns scripts use are far inside it (100 characters against a text of 1000).
constexpr double kStateBudget = 1e7;

bool patternFound(const std::string& text, const std::string& pattern) {
    const double length = double(pattern.size());
    if (length * length * double(text.size()) > kStateBudget) tooComplex();
    const boost::regex expression = compiled(pattern);
    try {
        return boost::regex_search(text, expression);
    } catch (const std::runtime_error&) {
        tooComplex();
    }
}

}  // namespace qv
