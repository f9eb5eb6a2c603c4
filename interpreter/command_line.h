#pragma once
// The program's command-line options.
#include <string>
#include <vector>

namespace qv {

struct StartupOptions {
    bool verbose = false;
    bool terminateOnError = false;
    bool server = false;
    bool colorText = false;
    int port = 5251;
    std::string bindAddress;  // empty: every IPv4 address
    bool echoCommands = false;
    bool compactMessages = false;
    bool suppressOk = false;
    bool exitAfterDisconnect = false;
    std::vector<std::string> postScriptCommands;  // --pscmd, in the order given
    std::vector<std::string> commands;            // --cmd, in the order given
    std::vector<std::string> variables;           // --var, in the order given
    std::string scriptFile;

    // The port to listen on, or 0 for the standard-input loop (also for an out-of-range port).
    int listeningPort() const { return server && port >= 0 && port <= 65535 ? port : 0; }
};

// Parses the options. --help and --version print the library's texts and end the process with
// status 0; a malformed option is reported on standard error and ends it with status 1.
StartupOptions parseCommandLine(int argc, const char* const* argv);

}  // namespace qv
