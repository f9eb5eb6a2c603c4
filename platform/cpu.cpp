#include "platform/cpu.h"

#include <cpuid.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <thread>

namespace qv {

namespace {

struct Registers {
    uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

Registers cpuid(uint32_t leaf, uint32_t subleaf = 0) {
    Registers r;
    if (!__get_cpuid_count(leaf, subleaf, &r.eax, &r.ebx, &r.ecx, &r.edx)) return Registers{};
    return r;
}

uint32_t highestLeaf(uint32_t base) { return __get_cpuid_max(base, nullptr); }

bool bit(uint32_t word, int index) { return (word >> index) & 1u; }

std::string trimmed(const char* text) {
    std::string s(text);
    size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// Bits 1 and 2 of XCR0: the operating system saves the SSE and AVX register halves.
bool osSavesYmmState() {
    if (!bit(cpuid(1).ecx, 27)) return false;  // OSXSAVE: XGETBV is usable
    uint32_t low, high;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (low & 6u) == 6u;
}

}  // namespace

CpuIdentity identifyCpu() {
    CpuIdentity id;
    Registers v = cpuid(0);
    char vendor[13] = {};
    memcpy(vendor + 0, &v.ebx, 4);
    memcpy(vendor + 4, &v.edx, 4);
    memcpy(vendor + 8, &v.ecx, 4);
    id.vendor = trimmed(vendor);

    if (highestLeaf(0x80000000u) >= 0x80000004u) {
        char brand[49] = {};
        for (uint32_t i = 0; i < 3; ++i) {
            Registers b = cpuid(0x80000002u + i);
            memcpy(brand + 16 * i + 0, &b.eax, 4);
            memcpy(brand + 16 * i + 4, &b.ebx, 4);
            memcpy(brand + 16 * i + 8, &b.ecx, 4);
            memcpy(brand + 16 * i + 12, &b.edx, 4);
        }
        id.brand = trimmed(brand);
    }

    const Registers l1 = cpuid(1);
    const Registers l7 = highestLeaf(0) >= 7 ? cpuid(7, 0) : Registers{};
    const Registers e1 = highestLeaf(0x80000000u) >= 0x80000001u ? cpuid(0x80000001u) : Registers{};
    id.features = {
        {"3DNOW", bit(e1.edx, 31)},      {"3DNOWEXT", bit(e1.edx, 30)},  {"ABM", bit(e1.ecx, 5)},
        {"ADX", bit(l7.ebx, 19)},        {"AES", bit(l1.ecx, 25)},       {"AVX", bit(l1.ecx, 28)},
        {"AVX2", bit(l7.ebx, 5)},        {"AVX512CD", bit(l7.ebx, 28)},  {"AVX512ER", bit(l7.ebx, 27)},
        {"AVX512F", bit(l7.ebx, 16)},    {"AVX512PF", bit(l7.ebx, 26)},  {"BMI1", bit(l7.ebx, 3)},
        {"BMI2", bit(l7.ebx, 8)},        {"CLFSH", bit(l1.edx, 19)},     {"CMPXCHG16B", bit(l1.ecx, 13)},
        {"CX8", bit(l1.edx, 8)},         {"ERMS", bit(l7.ebx, 9)},       {"F16C", bit(l1.ecx, 29)},
        {"FMA", bit(l1.ecx, 12)},        {"FSGSBASE", bit(l7.ebx, 0)},   {"FXSR", bit(l1.edx, 24)},
        {"HLE", bit(l7.ebx, 4)},         {"INVPCID", bit(l7.ebx, 10)},   {"LAHF", bit(e1.ecx, 0)},
        {"LZCNT", bit(e1.ecx, 5)},       {"MMX", bit(l1.edx, 23)},       {"MMXEXT", bit(e1.edx, 22)},
        {"MONITOR", bit(l1.ecx, 3)},     {"MOVBE", bit(l1.ecx, 22)},     {"MSR", bit(l1.edx, 5)},
        {"OSXSAVE", bit(l1.ecx, 27)},    {"PCLMULQDQ", bit(l1.ecx, 1)},  {"POPCNT", bit(l1.ecx, 23)},
        {"PREFETCHWT1", bit(l7.ecx, 0)}, {"RDRAND", bit(l1.ecx, 30)},    {"RDSEED", bit(l7.ebx, 18)},
        {"RDTSCP", bit(e1.edx, 27)},     {"RTM", bit(l7.ebx, 11)},       {"SEP", bit(l1.edx, 11)},
        {"SHA", bit(l7.ebx, 29)},        {"SSE", bit(l1.edx, 25)},       {"SSE2", bit(l1.edx, 26)},
        {"SSE3", bit(l1.ecx, 0)},        {"SSE4.1", bit(l1.ecx, 19)},    {"SSE4.2", bit(l1.ecx, 20)},
        {"SSE4a", bit(e1.ecx, 6)},       {"SSSE3", bit(l1.ecx, 9)},      {"SYSCALL", bit(e1.edx, 11)},
        {"TBM", bit(e1.ecx, 21)},        {"XOP", bit(e1.ecx, 11)},       {"XSAVE", bit(l1.ecx, 26)},
    };
    return id;
}

bool cpuSupportsAvx() { return bit(cpuid(1).ecx, 28) && osSavesYmmState(); }

bool cpuSupportsAvx2() {
    return cpuSupportsAvx() && highestLeaf(0) >= 7 && bit(cpuid(7, 0).ebx, 5);
}

int hardwareThreadCount() {
    static const int count = int(std::max(1u, std::thread::hardware_concurrency()));
    return count;
}

}  // namespace qv
