#pragma once

#include <optional>
#include <string>
#include <string_view>

// Huge pages for the program's heap. A large comparison builds hundreds of
// megabytes out of small pieces; mapped 4 KiB at a time, the page faults cost
// more than the work on many machines (virtual ones most of all). glibc maps
// its heap in 2 MiB pages when asked, but reads that wish only from the
// environment, at start-up.
namespace mv {

// The GLIBC_TUNABLES value to start again with, or nullopt to go on as is:
// when the kernel gives huge pages only to memory that asks for them
// (`thpMode` as in /sys/kernel/mm/transparent_hugepage/enabled, "[madvise]")
// and the environment's tunables (`tunables`, null when unset) say nothing of
// them yet. A user's own glibc.malloc.hugetlb setting, 0 included, is kept.
std::optional<std::string> HugePageTunables(std::string_view thpMode, const char* tunables);

// Starts the program again (same arguments) with the tunable set when
// HugePageTunables asks for it; returns only when it does not, or when the
// new start fails, in which case the program simply goes on without.
void PreferHugeHeapPages(char** argv);

}  // namespace mv
