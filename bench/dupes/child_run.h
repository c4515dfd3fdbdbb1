#pragma once

#include <functional>
#include <string>

// Runs a piece of work in a forked child, so that its peak memory is measured
// on its own and whatever it allocates is gone afterwards.
namespace mv {

struct ChildOutcome {
    bool ok = false;        // the child ran to its end
    std::string output;     // what the work returned
    long peakRssKiB = 0;    // the child's maximum resident set size
    double cpuSeconds = 0;  // user + system time of the child and its threads
};

ChildOutcome RunInChild(const std::function<std::string()>& work);

}  // namespace mv
