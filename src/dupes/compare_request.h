#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "dupes/compare_engine.h"
#include "dupes/name_matcher.h"

// From what the user chose to what one comparison is asked to do: the mode,
// the percentage, one folder or a tree to walk, and where the list lines come
// from. The window, the tool and the ban scan all start their runs here, so a
// command means the same run wherever it is given. Nothing is read or walked
// here; the caller walks `walkRoot` (on its worker thread or before the run).
namespace mv {

// The ban scan's percentage: every word of a ban entry must be in the file's
// name. The search's is kPercentEverySecondWord: every word of its text.
inline constexpr const char* kBanPercent = "100";

// The commands that start a comparison.
enum class CompareCommand {
    FolderVsItself,  // duplicates among the files of a folder
    FolderVsList,    // the files of a folder already in the Mp3 list
    SearchList,      // the titles of the Mp3 list holding every word of a text
    BanScan,         // the files of a folder that the ban list names
};

struct CompareChoice {
    CompareCommand command = CompareCommand::FolderVsItself;
    std::string folder;                 // all but the search: the folder chosen
    bool withSubfolders = false;        // also every folder below it that holds a match
    std::string percentText;            // the percentage box's text (folder commands)
    std::string searchText;             // the search
    std::vector<std::string> banLines;  // the ban scan: the ban list's lines as read
};

struct CompareRequest {
    CompareMode mode = kModeFolderVsItself;
    std::string percentText;
    std::string searchText;  // mode 3
    // Modes 1 and 2: walk this tree for the folders that hold a match, or
    // else compare `folders` as they are. The search names neither.
    std::optional<std::string> walkRoot;
    std::vector<std::string> folders;
    // Modes 1 and 3: these lines instead of the Mp3 list, which is then not read.
    std::optional<std::vector<std::string>> listLines;

    bool ReadsMp3List() const { return mode != kModeFolderVsItself && !listLines; }
};

CompareRequest BuildCompareRequest(CompareChoice choice);

// The parameters of the run a request asks for, given the extension box's
// text: its tree walked with CollectFolderFiles (ended early by walk.stop) or
// its folders taken as they are. The list lines are the request's own; a
// caller whose request ReadsMp3List sets them from ReadListForRun.
CompareParams ParamsForRequest(CompareRequest request, const std::string& ext,
                               const FolderWalkHooks& walk = {});

// The Mp3 list as a run takes it when it starts. A list that is there but
// cannot be read (or that memory cannot hold) refuses the run with `message`;
// an absent one gives no lines, and the run says there is no list.
struct ListForRun {
    bool refused = false;
    std::string message;  // when refused
    std::optional<std::vector<std::string>> lines;
};
ListForRun ReadListForRun(const std::filesystem::path& listFile);

}  // namespace mv
