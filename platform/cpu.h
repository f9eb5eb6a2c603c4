#pragma once
// Processor identification through the CPUID instruction, and the number of hardware threads.
#include <string>
#include <vector>

namespace qv {

struct CpuFeature {
    const char* name;
    bool present;
};

struct CpuIdentity {
    std::string vendor;  // blanks around the text removed
    std::string brand;   // blanks around the text removed
    std::vector<CpuFeature> features;  // the x86 feature flags, in byte order of their names
};

CpuIdentity identifyCpu();

// Both checks include the operating system's support for the 256-bit register state, without
// which the instructions fault even on a processor that has them.
bool cpuSupportsAvx();
bool cpuSupportsAvx2();

// The processors the system runs threads on (at least 1), as counted at the first call: the count
// comes from a file of the system's, and a river iteration asks for it in a few microseconds.
int hardwareThreadCount();

}  // namespace qv
