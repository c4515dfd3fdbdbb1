#pragma once

#include <dlfcn.h>

#include <stdexcept>
#include <string>

#include "fake_engine_control.h"

// The test's own handle on a fake engine library: the same loaded instance
// the component gets, so the test sees what the component asked of it.
class FakeEngineHandle {
  public:
    explicit FakeEngineHandle(const std::string& path) {
        handle_ = ::dlopen(path.c_str(), RTLD_NOW);
        if (handle_ == nullptr) {
            throw std::runtime_error("cannot open " + path);
        }
        auto stateFn =
            reinterpret_cast<FakeEngineState* (*)()>(::dlsym(handle_, "fake_engine_state"));
        push_ = reinterpret_cast<void (*)(const XA_Message*)>(::dlsym(handle_, "fake_engine_push"));
        state_ = stateFn();
        *state_ = FakeEngineState{};
    }
    ~FakeEngineHandle() { ::dlclose(handle_); }
    FakeEngineHandle(const FakeEngineHandle&) = delete;
    FakeEngineHandle& operator=(const FakeEngineHandle&) = delete;

    FakeEngineState& State() { return *state_; }
    void Push(const XA_Message& msg) { push_(&msg); }

  private:
    void* handle_ = nullptr;
    FakeEngineState* state_ = nullptr;
    void (*push_)(const XA_Message*) = nullptr;
};

// Whether any handle still holds the library at `path`.
inline bool IsLoaded(const std::string& path) {
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) {
        return false;
    }
    ::dlclose(handle);
    return true;
}
