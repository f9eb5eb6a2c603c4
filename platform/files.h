#pragma once
// File-system access on UTF-8 paths (Linux passes the bytes through unchanged).
#include <cstddef>
#include <string>

namespace qv {

// True when the path names something that exists and is not a directory.
bool fileIsPresent(const std::string& path);

// Removes a file; a file that is not there is not an error.
void removeFile(const std::string& path);

// A file written from its start, piece by piece (created or truncated when opened). Every failure
// raises std::system_error carrying the system's error.
class FileWriter {
public:
    explicit FileWriter(const std::string& path);
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    void write(const void* data, size_t size);
    void close();

private:
    int descriptor_ = -1;
};

}  // namespace qv
