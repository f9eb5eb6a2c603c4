#pragma once
// The program's version and build number as the banner, the start-up variables, the command-line
// --version and show_version give them: one place, so that they never disagree.

namespace qv {

inline constexpr const char* kProgramVersion = "2.0.6";
inline constexpr const char* kBuildNumber = "1081";

}  // namespace qv
