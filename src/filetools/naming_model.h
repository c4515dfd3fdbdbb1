#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "filetools/rich_tag.h"
#include "platform/file_ops.h"  // RenameNoReplace

// Renaming MP3 files after their ID3v1 tags by a naming model such as
// "%2 - %1" (%1 title, %2 artist, %3 album, %4 year, %5 comment). A rename
// never replaces a file, not even one that appears while it runs: it is one
// atomic no-replace step, never a check followed by a rename.
namespace mv {

class RenameJournal;

inline constexpr const char* kDefaultNamingModel = "%2 - %1";
// Rename All appends this to the model, whatever extension the file had.
inline constexpr const char* kRenameAllExtension = ".Mp3";

// The name a model gives for a tag block (at least 127 bytes; the marker is
// not examined): each "%" and the character after it become all bytes of that
// field (%1..%5) or nothing; text from the tag is not searched for
// placeholders; zero bytes are removed and every run of blanks becomes one
// blank (leading and trailing blanks stay). The model's bytes are copied as
// they are; the fields' Windows-1252 bytes are written as UTF-8.
std::string BuildNameFromModel(std::string_view block, std::string_view model);

// The texts %1..%7 stand for when a name is built from the ID3v2 or APE tag:
// title, artist, album, year, comment, the track number in two digits at
// least ("3/12" gives "03"; a track that does not start with a digit gives
// nothing) and genre. UTF-8, whole: an ID3v1 field's width does not apply.
inline constexpr int kNameTextCount = 7;
using NameTexts = std::array<std::string, kNameTextCount>;
NameTexts NameTextsOf(const RichTag& tag);

// The same five steps with %1..%7 taking `texts`; any other "%" pair stands
// for nothing, as above.
std::string BuildNameFromTexts(const NameTexts& texts, std::string_view model);

// Both off gives the names built from the ID3v1 tag alone.
struct NamingOptions {
    // A file with an ID3v2 (else APE) tag is named from it by
    // BuildNameFromTexts; a file without either from its ID3v1 tag, where
    // %6 and %7 stand for nothing.
    bool fromId3v2 = false;
    bool windowsSafe = false;  // WindowsSafeName on the name built
};

// Why `name` cannot name a file in its folder (it holds "/", is empty, "."
// or "..", holds a control byte (C0 or DEL), starts with "." and would be
// hidden, or is longer than `nameMax` bytes); empty when it can.
std::string NameRefusal(std::string_view name, std::size_t nameMax);

enum class RenameStatus {
    Renamed,
    SameName,    // the file already has the name built
    Unreadable,  // missing, unreadable, not a regular file, shorter than 128 bytes
    NoTag,       // the last 128 bytes are not a tag: no name is built from audio
    NotAName,    // see NameRefusal
    NameTaken,   // a file of that name exists (or appeared meanwhile)
    Refused,     // the file system refused the rename
};

struct RenameOutcome {
    std::string path;     // the file as it was
    std::string newName;  // the name built; empty when none was built
    std::string newPath;  // the name built within the file's folder (once it is a name)
    RenameStatus status = RenameStatus::Unreadable;
    std::string reason;  // unless Renamed or SameName: why the file keeps its name
};

// Tells whether a path exists. A dry run answers from its own record of what
// the run would have changed.
using PathExists = std::function<bool(const std::string& path)>;

// BuildNameFromModel for one file: reads its tag, builds the name and renames
// the file within its folder. `dryRun` decides and reports without renaming;
// `exists` (dry runs only) says which names are taken, by default the disk.
RenameOutcome RenameFromModel(const std::string& path, std::string_view model, bool dryRun = false,
                              const PathExists& exists = {});
RenameOutcome RenameFromModel(const std::string& path, std::string_view model,
                              const NamingOptions& naming, bool dryRun = false,
                              const PathExists& exists = {});

struct RenameAllParams {
    std::string root;  // the browser folder
    std::string ext = "Mp3";
    std::string model = kDefaultNamingModel;  // kRenameAllExtension is appended
    bool recurse = false;                     // CollectFolders(root, ext) instead of root alone
    bool dryRun = false;
    NamingOptions naming;
    // Records each rename done, as one batch; unset: none is recorded.
    RenameJournal* journal = nullptr;
    // The bare names to rename in one folder, in order; nullopt when the
    // folder cannot be read. Unset: ListFolderFiles(folder, ext). The window
    // moves its browser there and gives its file list.
    std::function<std::optional<std::vector<std::string>>(const std::string& folder)> listFiles;
};

struct RenameAllResult {
    std::vector<RenameOutcome> outcomes;  // one per file, in the order renamed
    std::vector<std::string> foldersPassedOver;
    std::size_t renamed = 0;
};

// Rename All: every listed file of each folder, in order.
RenameAllResult RenameAll(const RenameAllParams& params);

// How a file that keeps its name is reported, by the tool and the window
// alike: "PATH: keeps its name: REASON." or "PATH: already has its name.";
// empty for a file renamed.
std::string KeptNameLine(const RenameOutcome& outcome);
std::string FolderPassedOverLine(const std::string& folder);

// Rename All's closing message: "N files renamed." and then the folders
// passed over and the files kept, with their reasons, the first `shown` of
// them and a count of the rest.
inline constexpr std::size_t kKeptNamesShown = 15;
std::string RenameAllSummary(const RenameAllResult& result, std::size_t shown = kKeptNamesShown);

}  // namespace mv
