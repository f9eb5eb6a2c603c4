#include "interpreter/arguments.h"

namespace qv {

int wholeNumberIn(const TokenList& tokens, size_t index, int lowest, int highest) {
    int value = std::stoi(tokens.at(index));
    if (value < lowest || value > highest) argError(tokens);
    return value;
}

double decimalIn(const TokenList& tokens, size_t index, double lowest, double highest) {
    double value = std::stod(tokens.at(index));
    if (!(value >= lowest && value <= highest)) argError(tokens);
    return value;
}

bool switchArgument(const TokenList& tokens, size_t index) {
    const std::string& text = tokens.at(index);
    if (text != "0" && text != "1") argError(tokens);
    return text == "1";
}

}  // namespace qv
