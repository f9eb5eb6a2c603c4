#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/cpu.h"
#include "platform/files.h"

namespace qv {
namespace {

std::string tempPath(const char* name) {
    return testing::TempDir() + "quorvane_platform_" + std::to_string(getpid()) + "_" + name;
}

TEST(Files, PresentMeansExistingAndNotADirectory) {
    const std::string file = tempPath("file"), dir = tempPath("dir");
    std::ofstream(file) << "x";
    mkdir(dir.c_str(), 0700);
    EXPECT_TRUE(fileIsPresent(file));
    EXPECT_FALSE(fileIsPresent(dir));
    EXPECT_FALSE(fileIsPresent(tempPath("absent")));
    EXPECT_FALSE(fileIsPresent(""));
    remove(file.c_str());
    rmdir(dir.c_str());
}

TEST(Cpu, ReportsSortedFeaturesConsistentWithTheChecks) {
    CpuIdentity cpu = identifyCpu();
    EXPECT_EQ(cpu.features.size(), 51u);
    EXPECT_TRUE(std::is_sorted(cpu.features.begin(), cpu.features.end(),
                               [](const CpuFeature& a, const CpuFeature& b) {
                                   return std::string(a.name) < b.name;
                               }));
    EXPECT_FALSE(cpu.vendor.empty());
    EXPECT_EQ(cpu.vendor, std::string(cpu.vendor.c_str()));  // no stray NUL
    auto has = [&](const std::string& name) {
        for (const CpuFeature& f : cpu.features)
            if (name == f.name) return f.present;
        return false;
    };
    // The engine runs only where AVX2 is usable, and the feature flags must agree.
    EXPECT_TRUE(cpuSupportsAvx2());
    EXPECT_TRUE(has("AVX") && has("AVX2") && has("SSE2") && has("OSXSAVE"));
}

}  // namespace
}  // namespace qv
