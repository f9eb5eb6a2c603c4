#pragma once
// The line printer of the per-combo queries: all values of an array on one line, separated by one
// blank, each in a printf number format, with a fixed text in place of every non-number.
#include <functional>
#include <span>
#include <string>

namespace qv {

// Longest line the printer produces, newline included.
constexpr size_t kValueLineLimit = 65535;

// Fails with "buffer too small" when the line would be longer than kValueLineLimit.
std::string valueLine(std::span<const double> values, const char* format, const char* nanText);
// The same with the text for a non-number chosen per position.
std::string valueLine(std::span<const double> values, const char* format,
                      const std::function<const char*(size_t index)>& nanText);

}  // namespace qv
