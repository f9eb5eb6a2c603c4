#pragma once
// The process-wide variables that scripts read with $name; values are text, guarded by one mutex
// because the solver's report stores its figures from the solver thread.
#include <map>
#include <mutex>
#include <optional>
#include <string>

namespace qv {

class VariableStore {
public:
    bool exists(const std::string& name) const;
    std::optional<std::string> get(const std::string& name) const;
    void set(const std::string& name, const std::string& value);
    // Sets the value only when the name is unset, in one step under the lock.
    void setIfAbsent(const std::string& name, const std::string& value);
    void clear();
    std::map<std::string, std::string> snapshot() const;

private:
    mutable std::mutex mutex_;
    std::map<std::string, std::string> values_;
};

VariableStore& variables();

}  // namespace qv
