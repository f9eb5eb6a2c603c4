#include "platform/system_memory.h"

#include <sys/sysinfo.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace qv {

namespace {

// One "Name: value kB" field of /proc/meminfo in bytes; 0 when it is missing.
uint64_t meminfoField(const char* name) {
    FILE* file = fopen("/proc/meminfo", "r");
    if (!file) return 0;
    char line[256];
    uint64_t value = 0;
    size_t nameLength = strlen(name);
    while (fgets(line, sizeof line, file)) {
        if (strncmp(line, name, nameLength) == 0 && line[nameLength] == ':') {
            unsigned long long kib = 0;
            if (sscanf(line + nameLength + 1, "%llu", &kib) == 1) value = kib * 1024;
            break;
        }
    }
    fclose(file);
    return value;
}

}  // namespace

SystemMemory systemMemory() {
    SystemMemory memory;
    if (const char* megabytes = std::getenv("QUORVANE_MEMORY_MB")) {
        memory.totalBytes = std::strtoull(megabytes, nullptr, 10) << 20;
        return memory;
    }
    uint64_t available = 0;
    memory.totalBytes = meminfoField("MemTotal");
    available = meminfoField("MemAvailable");
    if (memory.totalBytes == 0) {
        struct sysinfo info {};
        if (sysinfo(&info) != 0) return memory;
        memory.totalBytes = uint64_t(info.totalram) * info.mem_unit;
        available = uint64_t(info.freeram + info.bufferram) * info.mem_unit;
    }
    if (memory.totalBytes == 0 || available > memory.totalBytes) return memory;
    memory.loadPercent = int((memory.totalBytes - available) * 100 / memory.totalBytes);
    return memory;
}

namespace {

std::atomic<int64_t> charged{0};

}  // namespace

bool chargeMemory(int64_t bytes) {
    static const int64_t limit = int64_t(systemMemory().totalBytes);
    if (charged.fetch_add(bytes) + bytes <= limit || limit == 0) return true;
    charged -= bytes;
    return false;
}

void releaseCharge(int64_t bytes) { charged -= bytes; }

}  // namespace qv
