#include "platform/text_lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace mv {

std::vector<std::string> SplitLines(std::string_view text) {
    const size_t nul = text.find('\0');
    if (nul != std::string_view::npos) text = text.substr(0, nul);
    std::vector<std::string> lines;
    size_t start = 0;
    size_t k = 0;
    while (k < text.size()) {
        const char c = text[k];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, k - start));
            k += (c == '\r' && k + 1 < text.size() && text[k + 1] == '\n') ? 2 : 1;
            start = k;
        } else {
            ++k;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::optional<std::vector<std::string>> ReadLines(const std::filesystem::path& path) {
    // A folder opens like an empty file; it is no list.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream buf;
    buf << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return SplitLines(buf.str());
}

std::string WriteLinesAtomically(const std::filesystem::path& path,
                                 const std::vector<std::string>& lines) {
    std::string content;
    size_t size = 0;
    for (const auto& l : lines) size += l.size() + 2;
    content.reserve(size);
    for (const auto& l : lines) {
        content += l;
        content += "\r\n";
    }

    const std::string target = path.string();
    std::string tmp = target + ".tmp-XXXXXX";
    const int fd = mkstemp(tmp.data());
    if (fd < 0) return "Cannot write " + target + ": " + std::strerror(errno);
    const char* p = content.data();
    size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            const std::string err = std::strerror(errno);
            ::close(fd);
            ::unlink(tmp.c_str());
            return "Cannot write " + target + ": " + err;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    // mkstemp makes the file private; a kept file is as readable as any other.
    ::fchmod(fd, 0644);
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const std::string err = std::strerror(errno);
        ::unlink(tmp.c_str());
        return "Cannot write " + target + ": " + err;
    }
    if (std::rename(tmp.c_str(), target.c_str()) != 0) {
        const std::string err = std::strerror(errno);
        ::unlink(tmp.c_str());
        return "Cannot replace " + target + ": " + err;
    }
    return {};
}

}  // namespace mv
