#pragma once
// File-system queries on UTF-8 paths (Linux passes the bytes through unchanged).
#include <string>

namespace qv {

// True when the path names something that exists and is not a directory.
bool fileIsPresent(const std::string& path);

}  // namespace qv
