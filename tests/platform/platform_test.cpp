// The processor report; which files count as present (a file, not a folder or nothing) is shown
// by skip_if_done in interpreter_comments_labels.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/cpu.h"

namespace qv {
namespace {

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
