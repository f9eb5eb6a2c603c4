// libFuzzer target: arbitrary bytes as command lines through the whole dispatch path (reading,
// tokenising, substitution, flow control, lookup, argument checks, handlers, error reporting).
// Commands that would end the process, pause, redirect output, touch files or the network, start
// threads or change the scheduling of the machine are filtered out by their command word, after
// the same two substitution passes that dispatch applies (a variable may supply the word).
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <set>
#include <sstream>
#include <string>

#include "interpreter/dispatch.h"
#include "interpreter/session.h"
#include "interpreter/variables.h"

namespace {

const std::set<std::string>& refusedWords() {
    static const std::set<std::string> words = {
        "exit", "sleep", "take_a_break", "stdoutredi", "stdoutredi_append", "stdoutback",
        "load_script", "skip_if_done", "set_priority_class", "dump_tree", "load_tree",
        "show_metadata", "spawn", "connect", "connect_to_workers", "init_worker",
        "get_worker_data", "get_worker_strategy", "traverse_subgames", "ping", "go",
        "wait_for_solver", "build_tree", "solve_partial", "explo_partial", "solve_all_splits",
    };
    return words;
}

bool refused(const qv::TokenList& tokens) {
    if (tokens.empty()) return false;
    qv::TokenList once = qv::substituteVariables(tokens);
    qv::TokenList twice = qv::substituteVariables(once);
    return refusedWords().count(once[0]) || refusedWords().count(twice[0]);
}

void resetSession(uint8_t flagBits) {
    qv::InterpreterState& st = qv::interpreter();
    st = qv::InterpreterState{};
    st.flags.echoCommands = flagBits & 1;
    st.flags.colorText = flagBits & 2;
    st.flags.suppressOk = flagBits & 4;
    st.flags.verbosity = (flagBits >> 3) & 1;
    if (flagBits & 16) st.endString = "DONE";
    qv::variables().clear();
    qv::variables().set("build", "1081");
    qv::variables().set("operating_system", "linux");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Echoed lines, colours and progress output go to standard output; keep the fuzzer's own
    // console readable.
    int devNull = open("/dev/null", O_WRONLY);
    if (devNull >= 0) dup2(devNull, STDOUT_FILENO);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    resetSession(data[0]);
    std::istringstream input(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    std::string line;
    while (qv::readCommandLine(input, line)) {
        if (line.empty()) continue;
        qv::TokenList tokens = qv::tokenizeLine(line);
        if (refused(tokens)) continue;
        qv::dispatchCommand(tokens);
        (void)qv::takeReply();
        qv::replyDelivered();
    }
    return 0;
}
