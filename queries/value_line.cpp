#include "queries/value_line.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "interpreter/errors.h"

namespace qv {

std::string valueLine(std::span<const double> values, const char* format, const char* nanText) {
    return valueLine(values, format, [nanText](size_t) { return nanText; });
}

std::string valueLine(std::span<const double> values, const char* format,
                      const std::function<const char*(size_t index)>& nanText) {
    std::string line;
    line.reserve(values.size() * 12);
    char number[64];
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) line += ' ';
        if (std::isnan(values[i])) {
            line += nanText(i);
        } else {
            int n = std::snprintf(number, sizeof number, format, values[i]);
            line.append(number, size_t(std::max(0, std::min(n, int(sizeof number) - 1))));
        }
        if (line.size() >= kValueLineLimit) throw EngineError("buffer too small");
    }
    line += '\n';
    return line;
}

}  // namespace qv
