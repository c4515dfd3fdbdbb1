#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/cd_block.h"
#include "catalogue/list_line.h"
#include "platform/text_lines.h"

// The catalogue of burned CDs (Mp3List.txt), and the ban list in the same
// layout: an ordered list of lines, CD markers, folder and up entries, titles.
// Each command loads a fresh copy, changes it in memory and saves it whole.
namespace mv {

// Read; Absent: no such file, callers go on with an empty list; Unreadable:
// something is there but could not be read, never overwrite it.
using ListLoadStatus = ReadStatus;

// Why the list at `path` cannot be read: the file and the cause ("Cannot read
// /x/Mp3List.txt: it is a folder, not a regular file."). Empty when it can.
std::string UnreadableListMessage(const std::filesystem::path& path);

class TMp3List {
  public:
    using TitleAction = std::function<void(size_t lineIndex, const std::string& title,
                                           const std::string& location)>;

    // Replaces the lines by those of the file; an empty list when it cannot be
    // read. True when the file was read.
    bool Load(const std::filesystem::path& path);
    // Load, telling an absent file from one that exists but could not be read.
    ListLoadStatus LoadWithStatus(const std::filesystem::path& path);
    // The same, with the message that names the file and the cause (empty when read).
    ReadLinesResult LoadReporting(const std::filesystem::path& path);

    // Writes every line followed by CR LF to a temporary file and renames it into
    // place. Returns an empty string on success, else the message to show; the
    // old file is then left as it was.
    [[nodiscard]] std::string Save(const std::filesystem::path& path) const;

    size_t LineCount() const { return lines_.size(); }
    const std::vector<std::string>& Lines() const { return lines_; }
    // The index must be below LineCount() (std::out_of_range otherwise).
    const std::string& Line(size_t index) const { return lines_.at(index); }
    // Empty for an index past the end.
    ListLineKind LineKind(size_t index) const;

    // Texts with line breaks get blanks in their place (see ToSingleLine), so
    // the list always reads back as the same lines. Indexes past the end are
    // ignored.
    void SetLine(size_t index, std::string_view text);
    void InsertLine(size_t index, std::string_view text);
    void RemoveLine(size_t index);
    void SetLines(std::vector<std::string> lines);

    // Makes line 0 exactly "\Mp3 List": inserted in front of whatever stands
    // there (an empty list gets it as its only line).
    void EnsureHeader();

    // Index of the first CD marker whose name equals `name` without regard to
    // letter case (see name_case.h); -1 when there is none. The header counts,
    // so "Mp3 List" finds line 0.
    long FindCd(std::string_view name) const;

    // Removes the CD marker at `index` and every line up to the next CD marker
    // or the end. False (nothing removed) when the line is no CD marker.
    bool DeleteCd(size_t index);

    // Appends the block of one CD (see BuildCdBlock). Nothing is appended when
    // the result carries an error.
    CdBlockResult AppendCd(std::string_view name, std::string_view driveRoot,
                           const std::vector<FoundFile>& files);

    // Calls `action` for every title from line 0 on, with the title's list
    // location. Titles above the first CD marker (a list without its header)
    // get an empty location.
    void WalkTitles(const TitleAction& action) const;

  private:
    std::vector<std::string> lines_;
};

}  // namespace mv
