// load_script: runs the command lines of a file, to any reasonable depth of nesting.
#include <fstream>
#include <stdexcept>

#include "interpreter/commands.h"
#include "interpreter/dispatch.h"
#include "interpreter/line_forwarding.h"
#include "interpreter/session.h"
#include "interpreter/utf8.h"
#include "platform/files.h"

namespace qv {

namespace {

// Each level keeps a file open and a few stack frames; a script that loads itself must end in
// an error, not in a stack overflow.
constexpr int kMaxScriptDepth = 200;

class ScriptLevel {
public:
    ScriptLevel() { ++interpreter().scriptDepth; }
    ~ScriptLevel() { --interpreter().scriptDepth; }
    ScriptLevel(const ScriptLevel&) = delete;
    ScriptLevel& operator=(const ScriptLevel&) = delete;
};

// One line as the script runner sees it: LF ends it and a CR before the LF is dropped. Editors
// on other systems put a byte-order mark in front of the first line; it is not part of a command.
void prepareLine(std::string& line, bool first) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (first && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    if (!isValidUtf8(line)) throw std::runtime_error("bad conversion");
}

void runScriptLines(std::istream& in) {
    // A script's lines answer on the console, also when a server client ran the script: the
    // client's reply frame holds only what load_script itself leaves pending.
    ReplyRouteScope console(nullptr);
    std::string line;
    for (bool first = true; std::getline(in, line); first = false) {
        prepareLine(line, first);
        if (line.empty()) continue;
        TokenList tokens = tokenizeLine(line);
        dispatchCommand(tokens);
        forwardLine(line, tokens);
        deliverReply();
        fflush(stdout);
    }
}

}  // namespace

void cmdLoadScript(TokenList& tokens) {
    if (tokens.size() < 2) argError(tokens);
    const std::string path = tokens[1];
    const bool present = fileIsPresent(path);
    if (tokens.size() > 2 && tokens[2] == "if_exists" && !present) return;
    if (interpreter().flags.verbosity > 0) reply("[load_script %s]\n", path.c_str());
    if (interpreter().scriptDepth >= kMaxScriptDepth) valueError("too many nested scripts");
    std::ifstream file;
    if (present) file.open(path, std::ios::binary);
    if (!file.is_open()) valueError("can't open file");
    ScriptLevel level;
    runScriptLines(file);
}

}  // namespace qv
