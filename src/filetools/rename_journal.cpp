#include "filetools/rename_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>

#include "platform/file_ops.h"
#include "platform/text_fields.h"

namespace mv {
namespace {

std::string UnescapeTsvField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] != '\\' || k + 1 == text.size()) {
            out += text[k];
            continue;
        }
        const char c = text[++k];
        out += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return out;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

std::string NewBatchId() {
    static unsigned counter = 0;
    return std::to_string(std::time(nullptr)) + "-" + std::to_string(::getpid()) + "-" +
           std::to_string(++counter);
}

std::string LocalTime() {
    const std::time_t now = std::time(nullptr);
    struct tm local {};
    char text[32] = "";
    if (::localtime_r(&now, &local) != nullptr)
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// Adds one record line to the batch `id` of `batches`; false for a line
// that is not a record (which reading passes over).
bool TakeLine(std::string_view line, std::vector<JournalBatch>& batches) {
    std::vector<std::string_view> f = SplitTabs(line);
    // A line cut by a crash lacks its end mark, whatever line end follows it.
    if (f.size() < 2 || f.back() != ".") return false;
    f.pop_back();
    if (f[0] == "B" && f.size() == 3) {
        batches.push_back({std::string(f[1]), std::string(f[2]), {}, false});
        return true;
    }
    for (auto it = batches.rbegin(); it != batches.rend(); ++it) {
        if (it->id != f[1]) continue;
        if (f[0] == "U" && f.size() == 2) {
            it->undone = true;
            return true;
        }
        if (f[0] != "R" || f.size() != 5) return false;
        JournalRename r{UnescapeTsvField(f[3]), UnescapeTsvField(f[4]),
                        std::strtoull(std::string(f[2]).c_str(), nullptr, 10)};
        it->renames.push_back(std::move(r));
        return true;
    }
    return false;
}

bool AppendOnce(const std::filesystem::path& file, const std::string& line, std::string& why) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    const bool ok = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
    if (!ok) why = errno != 0 ? std::strerror(errno) : "short write";
    return ::close(fd) == 0 && ok;
}

UndoRow UndoOne(const JournalRename& rename) {
    UndoRow row{rename, UndoStatus::Gone, {}};
    struct stat st {};
    if (::lstat(rename.to.c_str(), &st) != 0) {
        row.reason = "no file has the new name any more";
        return row;
    }
    if (static_cast<std::uint64_t>(st.st_ino) != rename.inode) {
        row.reason = "another file has the new name now";
        return row;
    }
    const int error = RenameNoReplace(rename.to, rename.from);
    if (error == 0) {
        row.status = UndoStatus::Restored;
    } else if (error == EEXIST) {
        row.status = UndoStatus::OldNameTaken;
        row.reason = "a file has its old name now";
    } else {
        row.status = UndoStatus::Refused;
        row.reason = std::strerror(error);
    }
    return row;
}

}  // namespace

RenameJournal::RenameJournal(std::filesystem::path file) : file_(std::move(file)) {}

RenameJournal::~RenameJournal() {
    if (fd_ >= 0) ::close(fd_);
}

void RenameJournal::Append(const std::string& line) {
    if (!error_.empty()) return;
    if (::write(fd_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
        error_ = "The rename journal " + file_.string() +
                 " could not be written: " + std::strerror(errno != 0 ? errno : ENOSPC);
    }
}

void RenameJournal::Record(const std::string& from, const std::string& to) {
    if (fd_ < 0 && error_.empty()) {
        fd_ = ::open(file_.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd_ < 0) {
            error_ = "The rename journal " + file_.string() +
                     " could not be opened: " + std::strerror(errno);
            return;
        }
        // A line cut by a crash must not swallow this batch's start.
        struct stat st {};
        char last = '\n';
        if (::fstat(fd_, &st) == 0 && st.st_size > 0) ::pread(fd_, &last, 1, st.st_size - 1);
        id_ = NewBatchId();
        Append(std::string(last == '\n' ? "" : "\n") + "B\t" + id_ + "\t" + LocalTime() + "\t.\n");
    }
    if (fd_ < 0) return;
    struct stat st {};
    const auto inode = ::lstat(to.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_ino) : 0;
    Append("R\t" + id_ + "\t" + std::to_string(inode) + "\t" + EscapeTsvField(from) + "\t" +
           EscapeTsvField(to) + "\t.\n");
}

std::vector<JournalBatch> ReadRenameJournal(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<JournalBatch> batches;
    // Only whole lines count: what follows the last line end was cut.
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        TakeLine(std::string_view(text).substr(start, end - start), batches);
    }
    return batches;
}

UndoResult UndoLastRenameBatch(const std::filesystem::path& file) {
    UndoResult result;
    const std::vector<JournalBatch> batches = ReadRenameJournal(file);
    auto last = batches.rbegin();
    while (last != batches.rend() && last->undone) ++last;
    if (last == batches.rend()) return result;
    result.found = true;
    result.batchId = last->id;
    for (auto it = last->renames.rbegin(); it != last->renames.rend(); ++it) {
        result.rows.push_back(UndoOne(*it));
        if (result.rows.back().status == UndoStatus::Restored) ++result.restored;
    }
    // The leading line end closes a line a crash may have cut.
    std::string why;
    if (!AppendOnce(file, "\nU\t" + result.batchId + "\t.\n", why)) {
        result.error = "The rename journal " + file.string() + " could not be written: " + why;
    }
    return result;
}

std::string UndoLine(const UndoRow& row) {
    if (row.status == UndoStatus::Restored) return row.rename.to + " -> " + row.rename.from;
    return row.rename.to + ": stays: " + row.reason + ".";
}

}  // namespace mv
