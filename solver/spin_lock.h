#pragma once
// Locks that threads hold only briefly. A futex-based mutex puts a thread that finds it taken to
// sleep and needs a system call to wake it, which costs more than sections of a few instructions
// that the team's threads meet at many times a millisecond.
#include <immintrin.h>

#include <atomic>
#include <thread>

namespace qv {

// Takes a flag: spins a little, then gives the processor away between tries, so a holder that
// was preempted gets it back.
inline void acquireFlag(std::atomic<bool>& flag) {
    while (flag.exchange(true, std::memory_order_acquire))
        for (int spins = 0; flag.load(std::memory_order_relaxed); ++spins) {
            if (spins < 64)
                _mm_pause();
            else
                std::this_thread::yield();
        }
}

inline void releaseFlag(std::atomic<bool>& flag) { flag.store(false, std::memory_order_release); }

// For std::lock_guard and std::unique_lock.
class SpinLock {
public:
    void lock() { acquireFlag(flag_); }
    void unlock() { releaseFlag(flag_); }

private:
    std::atomic<bool> flag_{false};
};

}  // namespace qv
