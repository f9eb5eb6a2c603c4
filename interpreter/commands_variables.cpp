// The variable commands: scripts keep their own values and read the solver's figures here.
#include "interpreter/commands.h"
#include "interpreter/variables.h"

namespace qv {

namespace {

std::string valueOf(const std::string& name) {
    auto value = variables().get(name);
    if (!value) valueError("invalid key");
    return *value;
}

}  // namespace

void cmdSetValue(TokenList& tokens) {
    variables().set(tokens[1], tokens[2]);
    replyOk(tokens);
}

void cmdDefaultValue(TokenList& tokens) {
    variables().setIfAbsent(tokens[1], tokens[2]);
    replyOk(tokens);
}

void cmdGetValue(TokenList& tokens) {
    std::string value = valueOf(tokens[1]);
    reply("%s %s\n", tokens[1].c_str(), value.c_str());
}

void cmdGetAllValues(TokenList&) {
    for (const auto& [name, value] : variables().snapshot()) reply("%s %s\n", name.c_str(), value.c_str());
    replyEndLine();
}

void cmdVerifyValue(TokenList& tokens) {
    if (tokens.size() != 3 && tokens.size() != 4) argError(tokens);
    std::string text = valueOf(tokens[1]);
    double expected = std::stod(tokens[2]);
    double tolerance = tokens.size() == 4 ? std::stod(tokens[3]) : 0.0;
    double actual = std::stod(text);
    if (actual < expected - tolerance || actual > expected + tolerance) valueError("unexpected value");
    replyOk(tokens);
}

}  // namespace qv
