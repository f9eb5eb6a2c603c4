// The read-dispatch step every command line passes through, whatever its source.
#include "interpreter/dispatch.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <stdexcept>

#include "interpreter/command_table.h"
#include "interpreter/errors.h"
#include "interpreter/session.h"
#include "interpreter/variables.h"
#include "platform/console.h"
#include "platform/process.h"

namespace qv {

bool readCommandLine(std::istream& in, std::string& line) {
    line.clear();
    bool any = false;
    for (int c = in.get(); c != EOF; c = in.get()) {
        any = true;
        if (c == '\n') return true;
        if (c == '\r') {
            // Only look for the LF of a CR LF pair when it has already arrived: waiting for it
            // would stall a client that ends its lines with a bare CR. An LF that arrives later
            // reads as an empty line, which every caller ignores.
            if (in.rdbuf()->in_avail() > 0 && in.peek() == '\n') in.get();
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
            inQuotes = true;  // text before the quote joins the quoted text
        } else {
            current += c;
        }
    }
    endToken();
    return tokens;
}

TokenList substituteVariables(const TokenList& tokens) {
    if (tokens.empty() || tokens[0].starts_with('#')) return tokens;
    TokenList out = tokens;
    for (std::string& token : out) {
        if (token.size() < 2 || token[0] != '$') continue;
        if (auto value = variables().get(token.substr(1))) token = *value;
    }
    return out;
}

void resetFlowControl() {
    InterpreterState& st = interpreter();
    st.soughtLabel.clear();
    st.ifSkipping = false;
    st.scriptDepth = 0;
}

namespace {

// The dispatcher's own lines (errors, the end string) are short and always fit: they bypass the
// reply size limit, which is there for what handlers build.
void appendOwnLine(const std::string& text) { interpreter().pendingReply += text; }

void endStringStep() {
    const std::string& end = interpreter().endString;
    if (end.empty()) return;
    // The end string goes through the '#' rule like any reply, but is never formatted.
    if (end[0] == '#' && !interpreter().allowHashLines) return;
    appendOwnLine(end + "\n");
}

void terminateIfRequested() {
    if (!interpreter().flags.terminateOnError) return;
    deliverReply();
    fflush(stdout);
    if (interpreter().flags.colorText) setConsoleColor(7);
    endProcess(1);
}

void reportError(std::string text) {
    if (text.empty() || text.back() != '\n') text += '\n';
    if (interpreter().flags.colorText) setConsoleColor(4);
    appendOwnLine(text);
    endStringStep();
    terminateIfRequested();
}

void reportInvalidValue() {
    appendOwnLine("ERROR: Invalid value\n");
    endStringStep();
    terminateIfRequested();
}

void echoLine(const TokenList& tokens) {
    std::string text = joinTokens(tokens, 0, INT_MAX);
    const bool color = interpreter().flags.colorText;
    if (color) setConsoleColor(text.starts_with('#') ? 5 : 3);
    printDirect("%s\n", text.c_str());
    if (color) setConsoleColor(7);
}

[[noreturn]] void exitCommand(const TokenList& tokens) {
    int code = 0;
    if (tokens.size() > 1) {
        try {
            code = std::stoi(tokens[1]);
        } catch (const std::logic_error&) {  // unreadable or out of range: status 0
            code = 0;
        }
    }
    // Replies still pending (from earlier --cmd lines) are written rather than lost.
    flushReply();
    endProcess(code);
}

void runHandler(const CommandRow& row, TokenList& tokens) {
    InterpreterState& st = interpreter();
    st.commandReplyStart = st.pendingReply.size();
    try {
        if (row.tokenCount >= 1 && size_t(row.tokenCount) != tokens.size()) argError(tokens);
        interpreter().currentCommand = tokens[0];
        row.handler(tokens);
        endStringStep();
    } catch (const std::invalid_argument&) {
        reportInvalidValue();
    } catch (const std::out_of_range&) {
        reportInvalidValue();
    } catch (const EngineError& e) {
        reportError("ERROR: " + interpreter().currentCommand + " " + e.what());
    } catch (const std::runtime_error& e) {
        reportError(e.what());
    } catch (const ReplyTooLong& e) {
        // What the command replied so far is dropped; a mid-command flush may have sent part.
        st.pendingReply.resize(std::min(st.pendingReply.size(), st.commandReplyStart));
        reportError("ERROR: " + interpreter().currentCommand + " " + e.what());
    } catch (const CodecError& e) {
        reply("#exception: %s\n", e.what());
        deliverReply();
        endProcess(1);
    } catch (const std::exception& e) {
        // Anything else a handler lets escape (a failed allocation, a library's logic error) is
        // reported in the command-error form instead of ending the program.
        reportError("ERROR: " + interpreter().currentCommand + " " + e.what());
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
    if (once[0].starts_with('#')) return;
    if (once[0] == "exit") exitCommand(once);

    // A second pass resolves a variable whose value names another variable.
    TokenList twice = substituteVariables(once);
    const CommandRow* row = findCommand(twice[0]);
    if (!row) {
        reportError("ERROR: Command " + twice[0] + " not recognized\n");
        return;
    }
    runHandler(*row, twice);
}

}  // namespace qv
