#pragma once
// Process-wide state of the command interpreter, in one place so that tests can reset it.
#include <chrono>
#include <mutex>
#include <string>

namespace qv {

class ReplyRoute;

struct SessionFlags {
    bool echoCommands = false;
    bool colorText = false;
    bool suppressOk = false;
    bool terminateOnError = false;
    bool compactMessages = false;
    bool exitAfterDisconnect = false;
    int verbosity = 0;
};

struct InterpreterState {
    SessionFlags flags;
    std::string endString;
    std::string currentCommand;
    std::string pendingReply;
    size_t commandReplyStart = 0;  // where the running command's part of pendingReply begins
    bool allowHashLines = false;
    ReplyRoute* replyRoute = nullptr;  // nullptr: replies go to the console
    std::string soughtLabel;
    bool ifSkipping = false;
    int scriptDepth = 0;  // load_script levels now open
    // Taken at start-up: the OpenMP runtime's thread count before any solve changed it, and the
    // reference point of solver_time.
    int startupThreadCount = 1;
    std::chrono::steady_clock::time_point startTime = std::chrono::steady_clock::now();
};

InterpreterState& interpreter();
std::mutex& outputLock();

}  // namespace qv
