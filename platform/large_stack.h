#pragma once
// Runs deeply recursive library code (the regular-expression engine recurses once per nesting
// level of a pattern and once per state it walks) on a thread whose stack is large enough that
// hostile input cannot overflow it.
#include <cstddef>
#include <functional>

namespace qv {

// Runs work on a fresh thread with the given stack size and waits for it; an exception thrown by
// work is rethrown on the calling thread. Runs work directly if no thread can be created.
void runOnLargeStack(const std::function<void()>& work, size_t stackBytes);

}  // namespace qv
