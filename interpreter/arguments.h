#pragma once
// Argument readers shared by the handlers. Numbers use the standard conversions, so a text that
// does not start with a number escapes as std::invalid_argument (answered "ERROR: Invalid value"
// by the dispatcher) and trailing characters are ignored ("12abc" reads as 12).
#include <string>

#include "interpreter/reply.h"

namespace qv {

// tokens[index] as a whole number; argError when it lies outside lowest..highest.
int wholeNumberIn(const TokenList& tokens, size_t index, int lowest, int highest);
// tokens[index] as a decimal; argError when it lies outside lowest..highest (NaN included).
double decimalIn(const TokenList& tokens, size_t index, double lowest, double highest);
// tokens[index] when it is exactly "0" or "1"; argError otherwise.
bool switchArgument(const TokenList& tokens, size_t index);

}  // namespace qv
