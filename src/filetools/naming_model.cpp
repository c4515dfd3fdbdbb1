#include "filetools/naming_model.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <map>

#include "filetools/id3v1_tag.h"
#include "filetools/rename_journal.h"
#include "filetools/safe_name.h"
#include "platform/folder_listing.h"
#include "platform/text_encoding.h"

namespace mv {
namespace {

// The length of the character at model[pos]: a whole UTF-8 character, or one
// byte that is not part of one.
std::size_t CharLength(std::string_view model, std::size_t pos) {
    char32_t cp;
    const std::size_t len = DecodeUtf8(model, pos, cp);
    return len == 0 ? 1 : len;
}

// The five steps of building a name: `field(digit)` gives the text of the
// placeholder "%" + digit (empty for one that stands for nothing).
template <typename Field>
std::string BuildName(std::string_view model, const Field& field) {
    std::string name;
    for (std::size_t pos = 0; pos < model.size();) {
        if (model[pos] != '%') {
            name += model[pos++];
            continue;
        }
        ++pos;  // a "%" at the very end stands for nothing
        if (pos >= model.size()) break;
        const char digit = model[pos];
        pos += CharLength(model, pos);
        name += field(digit);
    }
    // Zero bytes go first, so the blanks on both sides of one join into one run.
    std::string reduced;
    reduced.reserve(name.size());
    for (char c : name) {
        if (c == '\0') continue;
        if (c == ' ' && !reduced.empty() && reduced.back() == ' ') continue;
        reduced += c;
    }
    return reduced;
}

bool LinkExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

std::size_t NameMaxOf(const std::string& folder) {
    const long max = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    return max > 0 ? static_cast<std::size_t>(max) : NAME_MAX;
}

std::string Quoted(std::string_view name) {
    // Appended, not "\"" + string: GCC 12 warns falsely on that when optimizing.
    std::string out = "\"";
    out.append(name);
    out += '"';
    return out;
}

// The first C0 control byte or DEL in `name`, or npos. A CR, LF or TAB in a
// name breaks every line-based list that names the file (LastList.txt, the
// tool's rows); the others are as unreadable.
std::size_t FirstControlByte(std::string_view name) {
    for (std::size_t k = 0; k < name.size(); ++k) {
        const auto c = static_cast<unsigned char>(name[k]);
        if (c < 0x20 || c == 0x7F) return k;
    }
    return std::string_view::npos;
}

// "CR (byte 0x0D)": the byte named, never written raw into a message.
std::string ControlByteText(unsigned char c) {
    const char* name = c == '\t' ? "TAB " : c == '\n' ? "LF " : c == '\r' ? "CR " : "";
    char code[16];
    std::snprintf(code, sizeof code, "(byte 0x%02X)", c);
    return name + std::string(code);
}

// Builds outcome.newName from the file's tags as `naming` says; false with
// the status and reason set when there is no tag to name the file from.
bool BuildFileName(const std::string& path, std::string_view model, const NamingOptions& naming,
                   RenameOutcome& outcome) {
    bool named = false;
    if (naming.fromId3v2) {
        const RichTagRead rich = ReadRichTag(path);
        if (rich.ok && rich.source != RichTagSource::None) {
            outcome.newName = BuildNameFromTexts(NameTextsOf(rich.tag), model);
            named = true;
        }
    }
    if (!named) {
        const TagReadResult tag = ReadFileTag(path);
        if (tag.status == TagReadStatus::Failed) {
            outcome.status = RenameStatus::Unreadable;
            outcome.reason = "its tag cannot be read: " + tag.reason;
            return false;
        }
        if (tag.status == TagReadStatus::Untagged) {
            outcome.status = RenameStatus::NoTag;
            outcome.reason =
                naming.fromId3v2 ? "it has no ID3v2, APE or ID3v1 tag" : "it has no ID3v1 tag";
            return false;
        }
        outcome.newName = BuildNameFromModel(tag.block, model);
    }
    if (naming.windowsSafe) outcome.newName = WindowsSafeName(outcome.newName);
    return true;
}

}  // namespace

std::string BuildNameFromModel(std::string_view block, std::string_view model) {
    return BuildName(model, [block](char digit) -> std::string {
        if (digit < '1' || digit > '5') return {};
        const TagFieldSlice slice = kTagFields[digit - '1'];
        if (block.size() <= slice.offset) return {};
        return Windows1252ToUtf8(block.substr(slice.offset, slice.width));
    });
}

NameTexts NameTextsOf(const RichTag& tag) {
    std::size_t digits = 0;
    while (digits < tag.track.size() && tag.track[digits] >= '0' && tag.track[digits] <= '9')
        ++digits;
    std::string track = tag.track.substr(0, digits);
    if (digits == 1) track.insert(0, 1, '0');
    return {tag.title, tag.artist, tag.album, tag.year, tag.comment, track, tag.genre};
}

std::string BuildNameFromTexts(const NameTexts& texts, std::string_view model) {
    return BuildName(model, [&texts](char digit) -> std::string {
        if (digit < '1' || digit >= '1' + kNameTextCount) return {};
        return texts[digit - '1'];
    });
}

std::string NameRefusal(std::string_view name, std::size_t nameMax) {
    if (name.empty()) return "the tag gives an empty name";
    if (name == "." || name == "..") return "the tag gives " + Quoted(name) + ", not a file name";
    // Named by the byte, not quoted: the name itself would break the message.
    if (const std::size_t at = FirstControlByte(name); at != std::string_view::npos) {
        return "the name holds the control character " +
               ControlByteText(static_cast<unsigned char>(name[at])) +
               ", which would break the lists that name the file";
    }
    if (name.find('/') != std::string_view::npos) {
        return "the name " + Quoted(name) + " holds a \"/\", which no file name may hold";
    }
    if (name.front() == '.') {
        return "the name " + Quoted(name) + " starts with \".\", which would hide the file";
    }
    if (name.size() > nameMax) {
        return "the name " + Quoted(name) + " is " + std::to_string(name.size()) +
               " bytes long; the file system takes at most " + std::to_string(nameMax);
    }
    return {};
}

RenameOutcome RenameFromModel(const std::string& path, std::string_view model, bool dryRun,
                              const PathExists& exists) {
    return RenameFromModel(path, model, NamingOptions{}, dryRun, exists);
}

RenameOutcome RenameFromModel(const std::string& path, std::string_view model,
                              const NamingOptions& naming, bool dryRun, const PathExists& exists) {
    RenameOutcome outcome;
    outcome.path = path;
    if (!BuildFileName(path, model, naming, outcome)) return outcome;
    const std::string folder = ParentFolder(path);
    const std::string oldName = FileNamePart(path);
    outcome.reason = NameRefusal(outcome.newName, NameMaxOf(folder));
    if (!outcome.reason.empty()) {
        outcome.status = RenameStatus::NotAName;
        return outcome;
    }
    // A bare file name stays relative to the current folder.
    const std::string& target = outcome.newPath =
        path.find('/') == std::string::npos ? outcome.newName : JoinPath(folder, outcome.newName);
    if (outcome.newName == oldName) {
        outcome.status = RenameStatus::SameName;
        return outcome;
    }
    const std::string taken = "a file named " + Quoted(outcome.newName) + " already exists";
    if (dryRun) {
        if (exists ? exists(target) : LinkExists(target)) {
            outcome.status = RenameStatus::NameTaken;
            outcome.reason = taken;
        } else {
            outcome.status = RenameStatus::Renamed;
        }
        return outcome;
    }
    const int error = RenameNoReplace(path, target);
    if (error == 0) {
        outcome.status = RenameStatus::Renamed;
    } else if (error == EEXIST) {
        outcome.status = RenameStatus::NameTaken;
        outcome.reason = taken;
    } else {
        outcome.status = RenameStatus::Refused;
        outcome.reason = "the file system refused the name " + Quoted(outcome.newName) + ": " +
                         std::strerror(error);
    }
    return outcome;
}

RenameAllResult RenameAll(const RenameAllParams& params) {
    RenameAllResult result;
    std::vector<std::string> folders;
    if (params.recurse) {
        FolderCollection collected = CollectFolders(params.root, params.ext);
        folders = std::move(collected.folders);
        result.foldersPassedOver = std::move(collected.passedOver);
    } else {
        folders.push_back(TrimFolderPath(params.root));
    }
    // A dry run keeps the names its renames would take (true) and free (false).
    std::map<std::string, bool> planned;
    const PathExists exists = [&planned](const std::string& path) {
        const auto it = planned.find(path);
        return it != planned.end() ? it->second : LinkExists(path);
    };
    const std::string model = params.model + kRenameAllExtension;
    for (const std::string& folder : folders) {
        const auto names =
            params.listFiles ? params.listFiles(folder) : ListFolderFiles(folder, params.ext);
        if (!names) {
            result.foldersPassedOver.push_back(folder);
            continue;
        }
        for (const std::string& name : *names) {
            RenameOutcome outcome = RenameFromModel(JoinPath(folder, name), model, params.naming,
                                                    params.dryRun, exists);
            if (outcome.status == RenameStatus::Renamed) {
                ++result.renamed;
                if (params.journal != nullptr && !params.dryRun)
                    params.journal->Record(outcome.path, outcome.newPath);
                if (params.dryRun) {
                    planned[outcome.path] = false;
                    planned[outcome.newPath] = true;
                }
            }
            result.outcomes.push_back(std::move(outcome));
        }
    }
    return result;
}

std::string KeptNameLine(const RenameOutcome& outcome) {
    switch (outcome.status) {
        case RenameStatus::Renamed:
            return {};
        case RenameStatus::SameName:
            return outcome.path + ": already has its name.";
        default:
            return outcome.path + ": keeps its name: " + outcome.reason + ".";
    }
}

std::string FolderPassedOverLine(const std::string& folder) {
    return "Passed over a folder that cannot be read: " + folder;
}

std::string RenameAllSummary(const RenameAllResult& result, std::size_t shown) {
    std::vector<std::string> lines;
    for (const std::string& folder : result.foldersPassedOver) {
        lines.push_back(FolderPassedOverLine(folder));
    }
    for (const RenameOutcome& outcome : result.outcomes) {
        if (outcome.status != RenameStatus::Renamed) lines.push_back(KeptNameLine(outcome));
    }
    std::string text = std::to_string(result.renamed) +
                       (result.renamed == 1 ? " file renamed." : " files renamed.");
    if (!lines.empty()) text += '\n';
    for (std::size_t k = 0; k < lines.size() && k < shown; ++k) text += "\n" + lines[k];
    if (lines.size() > shown)
        text += "\n... and " + std::to_string(lines.size() - shown) + " more.";
    return text;
}

}  // namespace mv
