#include "treefile/binary_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "interpreter/errors.h"

namespace qv {

namespace {

constexpr size_t kBufferBytes = size_t(1) << 20;
// A scratch file per coded stream: small buffers, as a part has 24 of them.
constexpr size_t kSpillBufferBytes = size_t(64) << 10;

[[noreturn]] void raiseReadError(const char* text) {
    throw EngineError(std::string("can't read from file (") + text + ")");
}

void writeAll(int descriptor, const uint8_t* data, size_t count) {
    while (count > 0) {
        ssize_t n = ::write(descriptor, data, count);
        if (n < 0 && errno == EINTR) continue;
        if (n == 0) errno = ENOSPC;
        if (n <= 0) raiseOpenError(errno);
        data += n;
        count -= size_t(n);
    }
}

}  // namespace

void raiseOpenError(int error) { throw EngineError(std::string("can't open file (") + std::strerror(error) + ")"); }

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

FileReader::FileReader(const std::string& path) {
    descriptor_ = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor_ < 0) raiseOpenError(errno);
    struct stat info;
    if (fstat(descriptor_, &info) != 0 || S_ISDIR(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
        ::close(descriptor_);
        raiseOpenError(error);
    }
    size_ = uint64_t(info.st_size);
    bufferSize_ = size_t(std::clamp<uint64_t>(size_, 1, kBufferBytes));
    buffer_.reset(new uint8_t[bufferSize_]);
    (void)posix_fadvise(descriptor_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

FileReader::~FileReader() { ::close(descriptor_); }

void FileReader::read(void* destination, size_t count) {
    uint8_t* out = static_cast<uint8_t*>(destination);
    while (count > 0) {
        if (bufferStart_ == bufferEnd_) {
            ssize_t n;
            do n = ::pread(descriptor_, buffer_.get(), bufferSize_, off_t(position_));
            while (n < 0 && errno == EINTR);
            if (n < 0) raiseReadError(std::strerror(errno));
            if (n == 0) raiseReadError("unexpected end of file");
            bufferStart_ = 0;
            bufferEnd_ = size_t(n);
        }
        const size_t take = std::min(count, bufferEnd_ - bufferStart_);
        std::memcpy(out, buffer_.get() + bufferStart_, take);
        bufferStart_ += take;
        position_ += take;
        out += take;
        count -= take;
    }
}

void FileReader::skip(uint64_t count) {
    if (count > size_ - position_) raiseReadError("unexpected end of file");
    const uint64_t buffered = bufferEnd_ - bufferStart_;
    if (count <= buffered) {
        bufferStart_ += size_t(count);
    } else {
        bufferStart_ = bufferEnd_ = 0;
    }
    position_ += count;
}

size_t FileReader::readAt(uint64_t offset, void* destination, size_t count) {
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::pread(descriptor_, static_cast<uint8_t*>(destination) + done, count - done, off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) raiseReadError(std::strerror(errno));
        if (n == 0) break;
        done += size_t(n);
    }
    return done;
}

void MemoryReader::read(void* destination, size_t count) {
    if (count > left_) raiseReadError("unexpected end of file");
    std::memcpy(destination, data_, count);
    data_ += count;
    left_ -= count;
}

SafeFileWriter::SafeFileWriter(const std::string& path) : path_(path) {
    buffer_.reserve(kBufferBytes);
    temporary_ = path + ".part" + std::to_string(getpid());
    descriptor_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (descriptor_ < 0) raiseOpenError(errno);
}

SafeFileWriter::~SafeFileWriter() {
    if (descriptor_ < 0) return;
    ::close(descriptor_);
    ::unlink(temporary_.c_str());
}

void SafeFileWriter::write(const void* data, size_t count) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (buffer_.size() + count > kBufferBytes) flush();
    if (count >= kBufferBytes) return writeAll(descriptor_, bytes, count);
    buffer_.insert(buffer_.end(), bytes, bytes + count);
}

void SafeFileWriter::flush() {
    writeAll(descriptor_, buffer_.data(), buffer_.size());
    buffer_.clear();
}

void SafeFileWriter::commit() {
    flush();
    // The data must be on the disk before the name points at it, or a crash could leave a
    // complete-looking name over a short file.
    if (::fsync(descriptor_) != 0) raiseOpenError(errno);
    const int descriptor = descriptor_;
    descriptor_ = -1;
    const bool closed = ::close(descriptor) == 0;
    const int error = errno;
    if (!closed || ::rename(temporary_.c_str(), path_.c_str()) != 0) {
        const int failure = closed ? errno : error;
        ::unlink(temporary_.c_str());
        raiseOpenError(failure);
    }
}

SpillFile::SpillFile(const std::string& folder) {
    buffer_.reserve(kSpillBufferBytes);
    // File systems without unnamed files (and folders like /dev) send it to /tmp.
    descriptor_ = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    const int error = errno;
    if (descriptor_ < 0) descriptor_ = open("/tmp", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (descriptor_ < 0) raiseOpenError(error);
}

SpillFile::~SpillFile() { ::close(descriptor_); }

void SpillFile::append(const void* data, size_t count) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    if (buffer_.size() + count > kSpillBufferBytes) flush();
    if (count >= kSpillBufferBytes) {
        writeAll(descriptor_, bytes, count);
    } else {
        buffer_.insert(buffer_.end(), bytes, bytes + count);
    }
    size_ += count;
}

void SpillFile::flush() {
    writeAll(descriptor_, buffer_.data(), buffer_.size());
    buffer_.clear();
}

void SpillFile::copyTo(BinaryWriter& out) {
    flush();
    std::vector<uint8_t> chunk(kBufferBytes);
    for (uint64_t offset = 0; offset < size_;) {
        const ssize_t n = ::pread(descriptor_, chunk.data(), chunk.size(), off_t(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) raiseOpenError(n < 0 ? errno : EIO);
        out.write(chunk.data(), size_t(n));
        offset += uint64_t(n);
    }
}

}  // namespace qv
