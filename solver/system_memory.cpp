#include "solver/system_memory.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace qv {

SystemMemory systemMemory() {
    SystemMemory memory;
    FILE* file = fopen("/proc/meminfo", "r");
    if (!file) return memory;
    char line[256];
    unsigned long long total = 0, available = 0, value = 0;
    while (fgets(line, sizeof line, file)) {
        if (sscanf(line, "MemTotal: %llu kB", &value) == 1) total = value;
        if (sscanf(line, "MemAvailable: %llu kB", &value) == 1) available = value;
    }
    fclose(file);
    memory.totalBytes = total * 1024;
    if (total > 0) memory.loadPercent = int(100 - available * 100 / total);
    return memory;
}

int numaNodeCount() {
    int count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/devices/system/node", error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("node", 0) == 0 && name.size() > 4 && std::isdigit(static_cast<unsigned char>(name[4]))) ++count;
    }
    return count > 0 ? count : 1;
}

}  // namespace qv
