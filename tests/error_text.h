#pragma once
// The text of the error an action raises ("" when it raises none), for the tests that compare the
// program's own wording.
#include <exception>
#include <functional>
#include <string>

namespace qv {

inline std::string errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        return e.what();
    }
    return "";
}

}  // namespace qv
