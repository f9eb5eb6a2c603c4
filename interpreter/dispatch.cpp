// The read-dispatch step every command line passes through, whatever its source.
#include "interpreter/dispatch.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "interpreter/command_table.h"
#include "interpreter/errors.h"
#include "interpreter/session.h"
#include "interpreter/variables.h"
#include "platform/console.h"

namespace qv {

bool readCommandLine(std::istream& in, std::string& line) {
    line.clear();
    bool any = false;
    for (int c = in.get(); c != EOF; c = in.get()) {
        any = true;
        if (c == '\n') return true;
        if (c == '\r') {
            if (in.peek() == '\n') in.get();
            return true;
        }
        line += char(c);
    }
    return any;
}

TokenList tokenizeLine(const std::string& line) {
    TokenList tokens;
    std::string current;
    bool inQuotes = false;
    auto endToken = [&] {
        if (!current.empty()) tokens.push_back(current);
        current.clear();
    };
    for (char c : line) {
        if (inQuotes) {
            if (c == '"') {
                endToken();
                inQuotes = false;
            } else {
                current += c;
            }
        } else if (c == ' ') {
            endToken();
        } else if (c == '"') {
            inQuotes = true;
        } else {
            current += c;
        }
    }
    endToken();
    return tokens;
}

TokenList substituteVariables(const TokenList& tokens) {
    if (tokens.empty() || tokens[0][0] == '#') return tokens;
    TokenList out = tokens;
    for (std::string& token : out) {
        if (token.size() < 2 || token[0] != '$') continue;
        if (auto value = variables().get(token.substr(1))) token = *value;
    }
    return out;
}

namespace {

void endStringStep() {
    const std::string& end = interpreter().endString;
    if (end.empty()) return;
    if (end[0] == '#' && !interpreter().allowHashLines) return;
    replyText(end + "\n");
}

[[noreturn]] void terminateAfterError() {
    flushReply();
    fflush(stdout);
    if (interpreter().flags.colorText) setConsoleColor(7);
    std::exit(1);
}

void reportError(std::string text, bool red) {
    if (text.empty() || text.back() != '\n') text += '\n';
    if (red && interpreter().flags.colorText) setConsoleColor(4);
    replyText(text);
    endStringStep();
    if (interpreter().flags.terminateOnError) terminateAfterError();
}

void echoLine(const TokenList& tokens) {
    std::string text = joinTokens(tokens, 0, INT_MAX);
    bool color = interpreter().flags.colorText;
    if (color) setConsoleColor(text[0] == '#' ? 5 : 3);
    printDirect("%s\n", text.c_str());
    if (color) setConsoleColor(7);
}

[[noreturn]] void exitCommand(const TokenList& tokens) {
    int code = 0;
    if (tokens.size() > 1) {
        try {
            code = std::stoi(tokens[1]);
        } catch (const std::logic_error&) {
            code = 0;
        }
    }
    fflush(stdout);
    std::exit(code);
}

void runHandler(const CommandRow& row, TokenList& tokens) {
    try {
        if (row.tokenCount >= 1 && size_t(row.tokenCount) != tokens.size()) argError(tokens);
        interpreter().currentCommand = tokens[0];
        row.handler(tokens);
        endStringStep();
    } catch (const std::invalid_argument&) {
        replyText("ERROR: Invalid value\n");
        endStringStep();
        if (interpreter().flags.terminateOnError) terminateAfterError();
    } catch (const std::out_of_range&) {
        replyText("ERROR: Invalid value\n");
        endStringStep();
        if (interpreter().flags.terminateOnError) terminateAfterError();
    } catch (const EngineError& e) {
        char buffer[256];
        snprintf(buffer, sizeof buffer, "ERROR: %s %s\n", interpreter().currentCommand.c_str(),
                 e.what());
        reportError(buffer, true);
    } catch (const std::runtime_error& e) {
        reportError(e.what(), true);
    } catch (const CodecError& e) {
        reply("#exception: %s\n", e.what());
        flushReply();
        fflush(stdout);
        std::exit(1);
    }
}

}  // namespace

void dispatchCommand(const TokenList& input) {
    if (input.empty()) return;
    InterpreterState& st = interpreter();
    TokenList once = substituteVariables(input);
    if (st.flags.echoCommands) echoLine(once);
    if (once.size() >= 2 && once[0] == "LABEL:") {
        if (st.soughtLabel == once[1]) st.soughtLabel.clear();
        return;
    }
    if (!st.soughtLabel.empty()) return;
    if (once[0] == "end_if") {
        st.ifSkipping = false;
        return;
    }
    if (st.ifSkipping) return;
    if (once[0][0] == '#') return;
    if (once[0] == "exit") exitCommand(once);

    TokenList twice = substituteVariables(once);
    const CommandRow* row = findCommand(twice[0]);
    if (!row) {
        char buffer[512];
        snprintf(buffer, sizeof buffer, "ERROR: Command %s not recognized\n", twice[0].c_str());
        reportError(buffer, true);
        return;
    }
    runHandler(*row, twice);
}

}  // namespace qv
