#pragma once
// Bit-level reading and writing of byte buffers, least significant bit first. Every access is
// checked against the buffer: a writer that runs out of room and a reader that runs past the end
// only raise their `failed` flag, so coders can be fed any bytes without reading outside them.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace qv {

class BitWriter {
public:
    BitWriter(uint8_t* out, size_t capacity) : out_(out), capacity_(capacity) {}

    // n <= 32.
    void put(uint32_t value, int n) {
        bits_ |= uint64_t(value & (n == 32 ? 0xFFFFFFFFu : (1u << n) - 1)) << count_;
        count_ += n;
        if (count_ < 32) return;
        // Whole words while there is room for them, bytes near the end.
        if (capacity_ - size_ >= 8) {
            std::memcpy(out_ + size_, &bits_, 8);
            size_ += 4;
            bits_ >>= 32;
            count_ -= 32;
            return;
        }
        while (count_ >= 8) {
            emit(uint8_t(bits_));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    // Elias gamma code of x >= 1: the bit length minus one in unary, then the bits below the top one.
    void putGamma(uint32_t x) {
        int k = 31 - __builtin_clz(x);
        put(0, k);
        put(1, 1);
        put(x, k);
    }
    // Pads the last byte with zeros; returns the bytes written.
    size_t finish() {
        for (; count_ > 0; count_ -= 8) {
            emit(uint8_t(bits_));
            bits_ >>= 8;
        }
        bits_ = 0;
        count_ = 0;
        return size_;
    }
    bool failed() const { return failed_; }

private:
    void emit(uint8_t byte) {
        if (size_ < capacity_) out_[size_++] = byte;
        else failed_ = true;
    }

    uint8_t* out_;
    size_t capacity_;
    size_t size_ = 0;
    uint64_t bits_ = 0;
    int count_ = 0;
    bool failed_ = false;
};

class BitReader {
public:
    BitReader(const uint8_t* in, size_t size) : in_(in), size_(size) {}

    // n <= 32; reading past the end gives zeros and fails.
    uint32_t get(int n) {
        uint32_t value = 0;
        for (int i = 0; i < n; ++i) value |= uint32_t(bit()) << i;
        return value;
    }
    // At most `limit` leading zeros are accepted.
    uint32_t getGamma(int limit) {
        int k = 0;
        while (!failed_ && bit() == 0)
            if (++k > limit) failed_ = true;
        if (failed_) return 0;
        return (1u << k) | get(k);
    }
    // Bytes consumed, counting a partly read byte as whole.
    size_t bytesUsed() const { return (position_ + 7) / 8; }
    bool failed() const { return failed_; }

private:
    int bit() {
        if (position_ >= size_ * 8) {
            failed_ = true;
            return 0;
        }
        int b = (in_[position_ / 8] >> (position_ % 8)) & 1;
        ++position_;
        return b;
    }

    const uint8_t* in_;
    size_t size_;
    size_t position_ = 0;
    bool failed_ = false;
};

// Reads back, last value first, the bits a BitWriter wrote and closed with a single 1 bit.
class BackwardBitReader {
public:
    BackwardBitReader(const uint8_t* in, size_t size) : in_(in), size_(size) {
        if (size == 0 || in[size - 1] == 0) {
            failed_ = true;
            return;
        }
        position_ = (size - 1) * 8 + size_t(31 - __builtin_clz(in[size - 1]));
    }

    // n <= 24.
    uint32_t get(int n) {
        if (size_t(n) > position_) {
            failed_ = true;
            position_ = 0;
            return 0;
        }
        position_ -= size_t(n);
        const size_t byte = position_ / 8;
        uint64_t word = 0;
        if (byte + 8 <= size_) std::memcpy(&word, in_ + byte, 8);  // a fixed size keeps the copy one load
        else std::memcpy(&word, in_ + byte, size_ - byte);
        return uint32_t(word >> (position_ % 8)) & ((1u << n) - 1);
    }
    bool exhausted() const { return position_ == 0; }
    bool failed() const { return failed_; }

private:
    const uint8_t* in_;
    size_t size_;
    size_t position_ = 0;
    bool failed_ = false;
};

}  // namespace qv
