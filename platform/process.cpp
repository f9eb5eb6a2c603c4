#include "platform/process.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>

namespace qv {

namespace {

int niceValueOf(PriorityClass priority) {
    switch (priority) {
        case PriorityClass::Idle: return 19;
        case PriorityClass::BelowNormal: return 10;
        case PriorityClass::Normal: return 0;
        case PriorityClass::AboveNormal: return -5;
        case PriorityClass::High: return -10;
        case PriorityClass::Realtime: return -20;
    }
    return 0;
}

int savedStandardOutput = -1;

struct MapHeader {
    unsigned long start = 0, end = 0;
    bool writable = false;
    std::string_view path;
};

// A mapping's header line: "start-end perms offset device inode path".
bool parseMapHeader(std::string_view line, MapHeader& header) {
    size_t at = 0;
    auto hex = [&](unsigned long& value) {
        const size_t from = at;
        value = 0;
        for (; at < line.size(); ++at) {
            const char c = line[at];
            const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
            if (digit < 0) break;
            value = value * 16 + unsigned(digit);
        }
        return at > from;
    };
    if (!hex(header.start) || at >= line.size() || line[at++] != '-' || !hex(header.end)) return false;
    if (at + 5 > line.size() || line[at] != ' ') return false;
    header.writable = line[at + 2] == 'w';
    // Skip the permissions, offset, device and inode fields; the rest is the path.
    for (int field = 0; field < 4; ++field) {
        while (at < line.size() && line[at] == ' ') ++at;
        while (at < line.size() && line[at] != ' ') ++at;
    }
    while (at < line.size() && line[at] == ' ') ++at;
    header.path = line.substr(at);
    return true;
}

}  // namespace

void raiseThreadPriority() {
    // On Linux the nice value belongs to the thread, so PRIO_PROCESS with the thread id changes
    // this thread only. getpriority() can legitimately answer -1, hence the errno dance.
    const id_t self = id_t(gettid());
    errno = 0;
    int current = getpriority(PRIO_PROCESS, self);
    if (errno != 0) return;
    (void)setpriority(PRIO_PROCESS, self, current - 1);
}

void setProcessPriorityClass(PriorityClass priority) {
    const int nice = niceValueOf(priority);
    DIR* tasks = opendir("/proc/self/task");
    if (!tasks) {
        (void)setpriority(PRIO_PROCESS, 0, nice);
        return;
    }
    while (dirent* entry = readdir(tasks)) {
        char* end = nullptr;
        long tid = strtol(entry->d_name, &end, 10);
        if (end != entry->d_name && *end == '\0') (void)setpriority(PRIO_PROCESS, id_t(tid), nice);
    }
    closedir(tasks);
}

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

long peakResidentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;  // reported in kilobytes
}

void releaseReadOnlyFilePages() {
    // Read and parsed with system calls and plain loops: C library reading and scanning functions
    // would map back, as the scan ran, the very pages that it gives back.
    const int fd = open("/proc/self/smaps", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    std::string text;
    char buffer[16384];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, size_t(n));
    close(fd);
    const std::string program = programPath();
    unsigned long start = 0, end = 0;
    bool candidate = false;
    for (size_t at = 0; at < text.size();) {
        size_t next = text.find('\n', at);
        if (next == std::string::npos) next = text.size();
        const std::string_view line(text.data() + at, next - at);
        at = next + 1;
        if (MapHeader header; parseMapHeader(line, header)) {
            start = header.start;
            end = header.end;
            // Only the program's and the shared libraries' own files: data files that the program
            // maps may change under it.
            const std::string_view& path = header.path;
            const bool sharedObject = path.ends_with(".so") || path.find(".so.") != std::string_view::npos;
            const bool codeFile = path == program || sharedObject;
            candidate = codeFile && !header.writable;
            continue;
        }
        // A page written once (relocated constants) is the process's own copy: only mappings
        // without such pages are given back.
        if (candidate && line.starts_with("Anonymous:")) {
            if (line.find_first_of("123456789") == std::string_view::npos)
                madvise(reinterpret_cast<void*>(start), end - start, MADV_DONTNEED);
            candidate = false;
        }
    }
}

void restartWithSleepingThreadWaits(const char* const* argv) {
    if (std::getenv("OMP_WAIT_POLICY")) return;
    const std::string path = programPath();
    if (path.empty() || setenv("OMP_WAIT_POLICY", "passive", 1) != 0 || setenv("GOMP_SPINCOUNT", "300000", 0) != 0)
        return;
    execv(path.c_str(), const_cast<char* const*>(argv));
}

std::string programPath() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || size_t(n) >= sizeof buffer) return {};
    return std::string(buffer, size_t(n));
}

void saveStandardOutput() {
    if (savedStandardOutput < 0) savedStandardOutput = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
}

bool redirectStandardOutput(const std::string& path, bool append) {
    saveStandardOutput();
    fflush(stdout);
    // open + dup2 rather than freopen: freopen closes the old stream even when the new file
    // cannot be opened, which would leave the process without any standard output.
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    int fd = open(path.c_str(), flags, 0666);
    if (fd < 0) return false;
    bool ok = dup2(fd, STDOUT_FILENO) >= 0;
    close(fd);
    return ok;
}

void restoreStandardOutput() {
    fflush(stdout);
    if (savedStandardOutput >= 0) dup2(savedStandardOutput, STDOUT_FILENO);
}

void reportFailedWritesAsErrors() {
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
}

void endProcess(int status) {
    std::cout.flush();
    fflush(nullptr);
    _exit(status);
}

}  // namespace qv
