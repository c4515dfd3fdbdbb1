#include "filetools/ban_list.h"

#include <utility>

#include "platform/folder_listing.h"
#include "platform/program_folder.h"

namespace mv {

std::filesystem::path BanListFile(const std::filesystem::path& programFolder) {
    return FindProgramFile(programFolder, kBanListFileName);
}

ReadLinesResult ReadBanList(const std::filesystem::path& file) {
    return ReadLinesWithStatus(file);
}

std::string NoBanListMessage(const ReadLinesResult& read) {
    std::string message = kNoBanListMessage;
    if (read.status == ReadStatus::Unreadable && !read.message.empty()) {
        message += "\n" + read.message;
    }
    return message;
}

BanListForScan ReadBanListForScan(const std::filesystem::path& file) {
    BanListForScan scan;
    ReadLinesResult read = ReadBanList(file);
    if (read.status != ReadStatus::Read) {
        scan.message = NoBanListMessage(read);
    } else if (read.lines.empty()) {
        // The comparison would call it "You don't have any list!!", the Mp3
        // list's words, and run for nothing.
        scan.message = std::string(kNoBanListMessage) + "\n" + file.string() + " is empty.";
    } else {
        scan.usable = true;
        scan.lines = std::move(read.lines);
    }
    return scan;
}

std::vector<std::string> EditorLinesFromFileLines(std::vector<std::string> fileLines) {
    if (!fileLines.empty() && !fileLines[0].empty() && fileLines[0][0] == '\\') {
        fileLines.erase(fileLines.begin());
    }
    return fileLines;
}

std::vector<std::string> FileLinesFromEditorText(std::string_view editorText) {
    // A line end added at the close makes the reader keep a last empty line,
    // which an editor shows as a line of its own.
    std::string text(editorText);
    text += '\n';
    std::vector<std::string> lines = SplitLines(text);
    lines.insert(lines.begin(), kBanListHeader);
    return lines;
}

std::string SaveBanList(const std::filesystem::path& file, std::string_view editorText) {
    return WriteLinesAtomically(file, FileLinesFromEditorText(editorText));
}

BanScanResult RunBanScan(const BanScanParams& params, CompareControl& control) {
    BanScanResult result;
    BanListForScan read = ReadBanListForScan(params.banFile);
    if (!read.usable) {
        result.message = std::move(read.message);
        return result;
    }
    result.banListRead = true;
    result.banLines = read.lines.size();

    CompareChoice choice;
    choice.command = CompareCommand::BanScan;
    choice.folder = TrimFolderPath(params.folder);
    choice.withSubfolders = params.recurse;
    choice.banLines = std::move(read.lines);
    CompareParams compare = ParamsForRequest(BuildCompareRequest(std::move(choice)), params.ext);
    compare.threads = params.threads;
    compare.onRows = params.onRows;
    result.compare = RunCompare(compare, control);
    return result;
}

}  // namespace mv
