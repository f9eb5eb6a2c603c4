#pragma once
// Byte sources and sinks of tree files. Every field is little-endian and packed; this program
// runs on little-endian machines only, so fields are copied as they lie in memory. A reader
// raises an error when its source ends early or fails, so a section reader never sees bytes
// that are not there; a writer raises "can't open file (...)" with the system's text on any
// failure, from the first open to the last byte.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qv {

class BinaryReader {
public:
    virtual ~BinaryReader() = default;
    // Fills `destination` with the next `count` bytes; raises when they are not there.
    virtual void read(void* destination, size_t count) = 0;

    template <typename T>
    T get() {
        T value;
        read(&value, sizeof value);
        return value;
    }
    int32_t i32() { return get<int32_t>(); }
    double f64() { return get<double>(); }
    uint8_t byte() { return get<uint8_t>(); }

    // The file's format version, set once its version field is read; section readers consult it.
    int version() const { return version_; }
    void setVersion(int version) { version_ = version; }

private:
    int version_ = 0;
};

// A file read sequentially through a 1 MiB buffer. Coded arrays may also be read at offsets
// of their own (readAt), which leaves the sequential position alone.
class FileReader final : public BinaryReader {
public:
    explicit FileReader(const std::string& path);
    ~FileReader() override;
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    void read(void* destination, size_t count) override;
    uint64_t position() const { return position_; }
    uint64_t size() const { return size_; }
    // Moves the sequential position forward by `count` bytes, which must lie within the file.
    void skip(uint64_t count);
    // Up to `count` bytes at `offset`; returns how many there were.
    size_t readAt(uint64_t offset, void* destination, size_t count);

private:
    int descriptor_ = -1;
    uint64_t size_ = 0;
    uint64_t position_ = 0;  // of the next byte handed out
    std::unique_ptr<uint8_t[]> buffer_;  // 1 MiB, or the whole file when it is smaller
    size_t bufferSize_ = 0, bufferStart_ = 0, bufferEnd_ = 0;
};

// Bytes already in memory (the tail that show_metadata reads).
class MemoryReader final : public BinaryReader {
public:
    MemoryReader(const uint8_t* data, size_t size) : data_(data), left_(size) {}
    void read(void* destination, size_t count) override;

private:
    const uint8_t* data_;
    size_t left_;
};

class BinaryWriter {
public:
    virtual ~BinaryWriter() = default;
    virtual void write(const void* data, size_t count) = 0;

    template <typename T>
    void put(T value) {
        write(&value, sizeof value);
    }
};

// A new file written through a 1 MiB buffer under a temporary name beside the target, renamed
// to the target by commit(); until then the target is untouched, and a writer destroyed without
// commit removes the temporary file.
class SafeFileWriter final : public BinaryWriter {
public:
    explicit SafeFileWriter(const std::string& path);
    ~SafeFileWriter() override;
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    void write(const void* data, size_t count) override;
    void commit();

private:
    void flush();

    std::string path_, temporary_;
    int descriptor_ = -1;
    std::vector<uint8_t> buffer_;
};

// A scratch file that takes bytes now and gives them back once, in order, later: the coded
// streams of a tree file wait in such files until each stream's length is known. It lives in
// the target's folder and has no name.
class SpillFile {
public:
    explicit SpillFile(const std::string& folder);
    ~SpillFile();
    SpillFile(const SpillFile&) = delete;
    SpillFile& operator=(const SpillFile&) = delete;

    void append(const void* data, size_t count);
    uint64_t size() const { return size_; }
    // Writes everything appended to `out`.
    void copyTo(BinaryWriter& out);

private:
    void flush();

    int descriptor_ = -1;
    uint64_t size_ = 0;
    std::vector<uint8_t> buffer_;
};

// "can't open file (<the system's text>)" for errno `error`, raised.
[[noreturn]] void raiseOpenError(int error);
// The folder part of a path ("." when it has none).
std::string folderOf(const std::string& path);

}  // namespace qv
