#pragma once

#include <stdexcept>
#include <string>

namespace mv {

// The player component's own failures (library not loadable, entry point
// missing, wrong interface version, engine player not created). It carries
// only its message text; the engine's command results are never turned into
// exceptions.
class EXaudioException : public std::runtime_error {
  public:
    explicit EXaudioException(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace mv
