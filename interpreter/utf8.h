#pragma once
#include <string_view>

namespace qv {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no cut sequences.
bool isValidUtf8(std::string_view text);

}  // namespace qv
