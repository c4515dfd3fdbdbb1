#pragma once

#include <string>
#include <vector>

#include "source_files.h"

namespace mv::test {

// Each rule reads a tree and returns one line per fault ("<file>: <what>"),
// none when the tree keeps the rule. They run on the project's tree and on
// trees planted with faults, so a rule that cannot fail shows up as such.
struct SourceRule {
    const char* name;
    std::vector<std::string> (*faults)(const SourceTree& tree);
};

// Every rule, by name: "includes", "dialogs", "display_text", "removals",
// "renames", "contextless_connect".
const std::vector<SourceRule>& SourceRules();

// The faults the rule called `name` finds in `tree`.
std::vector<std::string> RuleFaults(const std::string& name, const SourceTree& tree);

// Why the file at `from` may not include `to` (both relative to src/, or
// "server/..."); empty when it may.
std::string IncludeRefusal(const std::string& from, const std::string& to);

// How many project includes the include rule read in `tree`.
size_t ProjectIncludeCount(const SourceTree& tree);

}  // namespace mv::test
