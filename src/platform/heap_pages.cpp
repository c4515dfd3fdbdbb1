#include "platform/heap_pages.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace mv {

std::optional<std::string> HugePageTunables(std::string_view thpMode, const char* tunables) {
    if (thpMode.find("[madvise]") == std::string_view::npos) return std::nullopt;
    const std::string current = tunables == nullptr ? std::string() : std::string(tunables);
    if (current.find("glibc.malloc.hugetlb") != std::string::npos) return std::nullopt;
    return current.empty() ? std::string("glibc.malloc.hugetlb=1")
                           : current + ":glibc.malloc.hugetlb=1";
}

void PreferHugeHeapPages(char** argv) {
    std::ifstream file("/sys/kernel/mm/transparent_hugepage/enabled");
    const std::string mode((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    const char* before = std::getenv("GLIBC_TUNABLES");
    const auto tunables = HugePageTunables(mode, before);
    if (!tunables) return;
    const std::optional<std::string> kept =
        before == nullptr ? std::nullopt : std::optional<std::string>(before);
    // The new start finds the tunable set and goes on, so this happens once.
    if (setenv("GLIBC_TUNABLES", tunables->c_str(), 1) != 0) return;
    execv("/proc/self/exe", argv);
    // No new start to be had (no /proc): go on as before, without the wish.
    if (kept) {
        setenv("GLIBC_TUNABLES", kept->c_str(), 1);
    } else {
        unsetenv("GLIBC_TUNABLES");
    }
}

}  // namespace mv
