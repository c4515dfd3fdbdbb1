#include "platform/file_ops.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace mv {

bool ClearAttributes(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return false;
    // A link has no permissions of its own, and removing it needs none.
    if (S_ISLNK(st.st_mode)) return true;
    if (!S_ISREG(st.st_mode)) return false;
    if (st.st_mode & S_IWUSR) return true;
    return chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR) == 0;
}

bool DeletePermanently(const std::string& path, std::string* why) {
    auto fail = [why](const char* cause) {
        if (why != nullptr) *why = cause;
        return false;
    };
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return fail(std::strerror(errno));
    if (S_ISDIR(st.st_mode)) return fail("Is a folder, not a file");
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return fail("Not a regular file");
    if (unlink(path.c_str()) != 0) return fail(std::strerror(errno));
    return true;
}

}  // namespace mv
