#pragma once
// Aligned, zero-initialised memory for per-hand vectors and store data.
#include <cstddef>
#include <cstdint>
#include <utility>

namespace qv {

// How a large array's pages are mapped: 2 MB pages suit arrays that are written whole and swept
// every iteration (stores); small pages suit arrays of which only a part may ever be touched
// (scratch), since a 2 MB page is charged whole at its first write.
enum class Paging { Huge, Small };

// A 32-byte aligned array of T, zero-filled at creation. Small arrays come from the scalable
// allocator; large ones are mapped pages, so memory that is never written is never charged.
template <typename T>
class AlignedArray {
public:
    AlignedArray() = default;
    explicit AlignedArray(size_t count, Paging paging = Paging::Huge) { allocate(count, paging); }
    AlignedArray(const AlignedArray&) = delete;
    AlignedArray& operator=(const AlignedArray&) = delete;
    AlignedArray(AlignedArray&& other) noexcept { swap(other); }
    AlignedArray& operator=(AlignedArray&& other) noexcept {
        AlignedArray moved(std::move(other));
        swap(moved);
        return *this;
    }
    ~AlignedArray() { release(); }

    void allocate(size_t count, Paging paging = Paging::Huge);
    void release();

    T* data() { return data_; }
    const T* data() const { return data_; }
    size_t size() const { return count_; }
    size_t bytes() const { return count_ * sizeof(T); }
    T& operator[](size_t i) { return data_[i]; }
    const T& operator[](size_t i) const { return data_[i]; }

private:
    void swap(AlignedArray& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(count_, other.count_);
        std::swap(mapped_, other.mapped_);
    }

    T* data_ = nullptr;
    size_t count_ = 0;
    bool mapped_ = false;
};

// Raw helpers behind AlignedArray.
void* allocateZeroed(size_t bytes, Paging paging, bool& mapped);
void releaseZeroed(void* pointer, size_t bytes, bool mapped);

template <typename T>
void AlignedArray<T>::allocate(size_t count, Paging paging) {
    release();
    if (count == 0) return;
    data_ = static_cast<T*>(allocateZeroed(count * sizeof(T), paging, mapped_));
    count_ = count;
}

template <typename T>
void AlignedArray<T>::release() {
    if (data_) releaseZeroed(data_, count_ * sizeof(T), mapped_);
    data_ = nullptr;
    count_ = 0;
    mapped_ = false;
}

using AlignedFloats = AlignedArray<float>;

}  // namespace qv
