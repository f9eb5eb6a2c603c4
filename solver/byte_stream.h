#pragma once
// Little-endian binary writing and reading for the payloads that processes of a shared solve
// exchange. The reader trusts nothing: reading past the end raises an EngineError.
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "interpreter/errors.h"

namespace qv {

class ByteWriter {
public:
    template <typename T>
    void put(T value) {
        static_assert(std::is_arithmetic_v<T>);
        putBytes(&value, sizeof value);
    }
    void putFloats(const float* values, size_t count) { putBytes(values, count * sizeof(float)); }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    void putBytes(const void* data, size_t size) {
        const size_t old = bytes_.size();
        bytes_.resize(old + size);
        std::memcpy(bytes_.data() + old, data, size);
    }

    std::vector<uint8_t> bytes_;
};

class ByteReader {
public:
    explicit ByteReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    template <typename T>
    T get() {
        static_assert(std::is_arithmetic_v<T>);
        T value;
        getBytes(&value, sizeof value);
        return value;
    }
    // A whole number that must lie in [low, high].
    int getIndex(int low, int high) {
        const int32_t value = get<int32_t>();
        if (value < low || value > high) throw EngineError("bad payload");
        return value;
    }
    void getFloats(float* out, size_t count) { getBytes(out, count * sizeof(float)); }
    bool atEnd() const { return offset_ == bytes_.size(); }

private:
    void getBytes(void* out, size_t size) {
        if (size > bytes_.size() - offset_) throw EngineError("bad payload");
        std::memcpy(out, bytes_.data() + offset_, size);
        offset_ += size;
    }

    const std::vector<uint8_t>& bytes_;
    size_t offset_ = 0;
};

}  // namespace qv
