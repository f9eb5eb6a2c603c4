#pragma once
// Process-wide state of the command interpreter, in one place so that tests can reset it.
#include <mutex>
#include <string>

namespace qv {

struct SessionFlags {
    bool echoCommands = false;
    bool colorText = false;
    bool suppressOk = false;
    bool terminateOnError = false;
    bool compactMessages = false;
    int verbosity = 0;
};

struct InterpreterState {
    SessionFlags flags;
    std::string endString;
    std::string currentCommand;
    std::string pendingReply;
    bool allowHashLines = false;
    std::string soughtLabel;
    bool ifSkipping = false;
};

InterpreterState& interpreter();
std::mutex& outputLock();

}  // namespace qv
