#pragma once
#include <string>

namespace qv {

// Whether the ECMAScript regular expression occurs anywhere in text. An invalid pattern throws the
// library's error (a std::runtime_error carrying its message); a search that the library finds too
// complex to finish in bounded time (exponential backtracking, nesting past its limits) throws
// EngineError "pattern too complex" instead of running on.
bool patternFound(const std::string& text, const std::string& pattern);

}  // namespace qv
