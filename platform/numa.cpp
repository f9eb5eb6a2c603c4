#include "platform/numa.h"

#include <sched.h>

#include <cctype>
#include <filesystem>
#include <string>

namespace qv {

namespace {

bool isNodeDirectory(const std::string& name) {
    return name.size() > 4 && name.compare(0, 4, "node") == 0 && std::isdigit(static_cast<unsigned char>(name[4]));
}

}  // namespace

int numaNodeCount() {
    int count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/sys/devices/system/node", error))
        if (isNodeDirectory(entry.path().filename().string())) ++count;
    return count > 0 ? count : 1;
}

int currentNumaNode() {
    const int cpu = sched_getcpu();
    if (cpu < 0) return 0;
    std::error_code error;
    const std::string dir = "/sys/devices/system/cpu/cpu" + std::to_string(cpu);
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        std::string name = entry.path().filename().string();
        if (isNodeDirectory(name)) return std::stoi(name.substr(4));
    }
    return 0;
}

}  // namespace qv
