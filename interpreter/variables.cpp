// The process-wide variable store.
#include "interpreter/variables.h"

namespace qv {

bool VariableStore::exists(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return values_.count(name) != 0;
}

std::optional<std::string> VariableStore::get(const std::string& name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

void VariableStore::set(const std::string& name, const std::string& value) {
    std::lock_guard<std::mutex> lock(mutex_);
    values_[name] = value;
}

void VariableStore::setIfAbsent(const std::string& name, const std::string& value) {
    std::lock_guard<std::mutex> lock(mutex_);
    values_.emplace(name, value);
}

void VariableStore::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    values_.clear();
}

std::map<std::string, std::string> VariableStore::snapshot() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return values_;
}

VariableStore& variables() {
    static VariableStore store;
    return store;
}

}  // namespace qv
