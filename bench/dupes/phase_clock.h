#pragma once

#include <chrono>

// The phase benches print each step's wall time in milliseconds.
namespace mv::bench {

inline double MsSince(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - since)
        .count();
}

}  // namespace mv::bench
