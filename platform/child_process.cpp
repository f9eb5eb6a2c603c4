#include "platform/child_process.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>

#include "platform/process.h"

namespace qv {

int startChildProgram(const std::vector<std::string>& arguments, const std::string& logPattern) {
    const std::string program = programPath();
    if (program.empty()) return -1;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // Children that end are reaped by the system: nobody waits for them.
    signal(SIGCHLD, SIG_IGN);
    const pid_t parent = getpid();
    fflush(nullptr);
    const pid_t child = fork();
    if (child != 0) return child < 0 ? -1 : int(child);
    // In the child, nothing that may take a lock (another thread may have held it at the fork).
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != parent) _exit(127);
    const std::string::size_type mark = logPattern.find("%d");
    char log[512];
    size_t length = 0;
    auto append = [&](const char* text, size_t n) {
        for (size_t i = 0; i < n && length + 1 < sizeof log; ++i) log[length++] = text[i];
    };
    append(logPattern.data(), std::min(mark, logPattern.size()));
    if (mark != std::string::npos) {
        char digits[16];
        int count = 0;
        for (unsigned id = unsigned(getpid()); id || !count; id /= 10) digits[count++] = char('0' + id % 10);
        while (count) append(&digits[--count], 1);
        append(logPattern.data() + mark + 2, logPattern.size() - mark - 2);
    }
    log[length] = '\0';
    const int out = open(log, O_WRONLY | O_CREAT | O_APPEND, 0644);
    const int in = open("/dev/null", O_RDONLY);
    if (out < 0 || in < 0) _exit(127);
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(out, STDERR_FILENO);
    signal(SIGCHLD, SIG_DFL);
    execv(program.c_str(), argv.data());
    _exit(127);
}

}  // namespace qv
