// One environment variable set (or removed) for a scope. The destructor puts
// back what was there before, including its absence, so a test that fails
// half-way leaves no setting behind for the tests after it.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace mv::test {

class ScopedEnv {
  public:
    ScopedEnv(std::string name, const std::string& value) : name_(std::move(name)) {
        Save();
        ::setenv(name_.c_str(), value.c_str(), 1);
    }
    // Removes NAME for the scope: ScopedEnv guard = ScopedEnv::Unset("NAME");
    static ScopedEnv Unset(std::string name) { return ScopedEnv(std::move(name)); }

    ~ScopedEnv() {
        if (!active_) return;
        if (before_) {
            ::setenv(name_.c_str(), before_->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    ScopedEnv(ScopedEnv&& other) noexcept
        : name_(std::move(other.name_)), before_(std::move(other.before_)), active_(other.active_) {
        other.active_ = false;
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ScopedEnv& operator=(ScopedEnv&&) = delete;

  private:
    explicit ScopedEnv(std::string name) : name_(std::move(name)) {
        Save();
        ::unsetenv(name_.c_str());
    }
    void Save() {
        if (const char* now = std::getenv(name_.c_str())) before_ = now;
    }

    std::string name_;
    std::optional<std::string> before_;
    bool active_ = true;
};

}  // namespace mv::test
