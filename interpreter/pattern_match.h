#pragma once
#include <string>

namespace qv {

// Whether the ECMAScript regular expression occurs anywhere in text. An invalid pattern throws
// std::regex_error carrying the library's message.
bool patternFound(const std::string& text, const std::string& pattern);

}  // namespace qv
