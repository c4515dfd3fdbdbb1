#include "catalogue/mp3_list.h"

#include <system_error>

#include "catalogue/list_location.h"
#include "catalogue/name_case.h"
#include "platform/text_lines.h"

namespace mv {

bool TMp3List::Load(const std::filesystem::path& path) {
    return LoadWithStatus(path) == ListLoadStatus::Read;
}

ListLoadStatus TMp3List::LoadWithStatus(const std::filesystem::path& path) {
    return LoadReporting(path).status;
}

ReadLinesResult TMp3List::LoadReporting(const std::filesystem::path& path) {
    // A folder or a device in the file's place is no list, and must not be
    // mistaken for an empty one that a later save may replace: the reader
    // reports it as Unreadable.
    ReadLinesResult read = ReadLinesWithStatus(path);
    lines_ = std::move(read.lines);
    read.lines.clear();
    return read;
}

std::string TMp3List::Save(const std::filesystem::path& path) const {
    return WriteLinesAtomically(path, lines_);
}

ListLineKind TMp3List::LineKind(size_t index) const {
    return index < lines_.size() ? KindOfListLine(lines_[index]) : ListLineKind::Empty;
}

void TMp3List::SetLine(size_t index, std::string_view text) {
    if (index < lines_.size()) lines_[index] = ToSingleLine(text);
}

void TMp3List::InsertLine(size_t index, std::string_view text) {
    if (index <= lines_.size()) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), ToSingleLine(text));
    }
}

void TMp3List::RemoveLine(size_t index) {
    if (index < lines_.size()) lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TMp3List::SetLines(std::vector<std::string> lines) {
    for (auto& line : lines) line = ToSingleLine(line);
    lines_ = std::move(lines);
}

void TMp3List::EnsureHeader() {
    if (lines_.empty() || lines_.front() != kListHeader) {
        lines_.insert(lines_.begin(), std::string(kListHeader));
    }
}

long TMp3List::FindCd(std::string_view name) const {
    // The name is looked for as it would be stored.
    const std::string wanted = FoldNameCase(ToSingleLine(name));
    for (size_t i = 0; i < lines_.size(); ++i) {
        const std::string& line = lines_[i];
        if (KindOfListLine(line) == ListLineKind::CdMarker &&
            FoldNameCase(std::string_view(line).substr(1)) == wanted) {
            return static_cast<long>(i);
        }
    }
    return -1;
}

bool TMp3List::DeleteCd(size_t index) {
    if (LineKind(index) != ListLineKind::CdMarker) return false;
    size_t end = index + 1;
    while (end < lines_.size() && KindOfListLine(lines_[end]) != ListLineKind::CdMarker) ++end;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
    return true;
}

CdBlockResult TMp3List::AppendCd(std::string_view name, std::string_view driveRoot,
                                 const std::vector<FoundFile>& files) {
    CdBlockResult block = BuildCdBlock({std::string(name), std::string(driveRoot), files});
    if (block.error.empty()) lines_.insert(lines_.end(), block.lines.begin(), block.lines.end());
    return block;
}

void TMp3List::WalkTitles(const TitleAction& action) const {
    std::string location;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const std::string& line = lines_[i];
        if (KindOfListLine(line) == ListLineKind::Title) {
            action(i, line, location);
        } else {
            AdvanceListLocation(location, line);
        }
    }
}

std::string UnreadableListMessage(const std::filesystem::path& path) {
    ReadLinesResult read = ReadLinesWithStatus(path);
    return read.status == ReadStatus::Unreadable ? read.message : std::string();
}

}  // namespace mv
