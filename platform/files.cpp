#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace qv {

namespace {

[[noreturn]] void raiseSystemError() { throw std::system_error(errno, std::generic_category()); }

}  // namespace

bool fileIsPresent(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return false;
    return !S_ISDIR(info.st_mode);
}

void removeFile(const std::string& path) { (void)unlink(path.c_str()); }

FileWriter::FileWriter(const std::string& path) {
    descriptor_ = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor_ < 0) raiseSystemError();
}

FileWriter::~FileWriter() {
    if (descriptor_ >= 0) (void)::close(descriptor_);
}

void FileWriter::write(const void* data, size_t size) {
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t n = ::write(descriptor_, next, size);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = EIO;
        if (n <= 0) raiseSystemError();
        next += n;
        size -= size_t(n);
    }
}

void FileWriter::close() {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    if (::close(descriptor) != 0) raiseSystemError();
}

}  // namespace qv
