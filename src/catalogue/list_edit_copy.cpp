#include "catalogue/list_edit_copy.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "catalogue/list_line.h"
#include "catalogue/name_case.h"

namespace mv {

std::string RefusedTitleReason(std::string_view text) {
    const std::string line = ToSingleLine(text);
    switch (KindOfListLine(line)) {
        case ListLineKind::Title:
            return {};
        case ListLineKind::Empty:
            return "A title cannot be empty. To take titles out of the list, select them and "
                   "use \"Remove selected title(s) from list\".";
        case ListLineKind::CdMarker:
            return "A title cannot begin with \\: the list would read it as the start of a CD.";
        case ListLineKind::FolderEntry:
            return "A title cannot begin with /: the list would read it as a folder.";
        case ListLineKind::UpEntry:
            return "A title cannot be \"..\": the list would read it as the end of a folder.";
    }
    return {};
}

std::string StatsText(size_t totalTitles) {
    return "Total Titles: " + std::to_string(totalTitles);
}

std::string StatsText(size_t totalTitles, size_t shownTitles) {
    return StatsText(totalTitles) + " This directory titles number: " + std::to_string(shownTitles);
}

ListLoadStatus ListEditCopy::Open(const std::filesystem::path& file) {
    TMp3List list;
    const ListLoadStatus status = list.LoadWithStatus(file);
    Reset(list.Lines());
    return status;
}

void ListEditCopy::Reset(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    changed_ = false;
    Rebuild();
}

std::string ListEditCopy::Save(const std::filesystem::path& file) const {
    TMp3List list;
    list.SetLines(lines_);
    return list.Save(file);
}

void ListEditCopy::Close() {
    lines_.clear();
    lines_.shrink_to_fit();
    Rebuild();
}

void ListEditCopy::Rebuild() {
    tree_ = ListTree::Build(lines_);
    titleLines_.clear();
    titleCount_ = static_cast<size_t>(std::count_if(lines_.begin(), lines_.end(), [](auto& line) {
        return KindOfListLine(line) == ListLineKind::Title;
    }));
}

void ListEditCopy::ShowTitles(uint32_t node, TitleMode mode) {
    titleLines_ = TitleLinesOf(lines_, tree_, node, mode);
}

TitleEdit ListEditCopy::EditTitle(size_t entry, std::string_view text) {
    if (entry >= titleLines_.size()) {
        changed_ = true;
        return TitleEdit::NoEntry;
    }
    if (!RefusedTitleReason(text).empty()) return TitleEdit::Refused;
    changed_ = true;
    lines_[titleLines_[entry]] = ToSingleLine(text);
    return TitleEdit::Stored;
}

void ListEditCopy::RemoveTitles(std::vector<size_t> entries) {
    changed_ = true;
    std::vector<size_t> removed;
    std::vector<bool> gone(titleLines_.size(), false);
    for (size_t entry : entries) {
        if (entry < titleLines_.size() && !gone[entry]) {
            gone[entry] = true;
            removed.push_back(titleLines_[entry]);
        }
    }
    if (removed.empty()) return;
    std::sort(removed.begin(), removed.end());

    // One pass over the lines, however many titles go.
    size_t out = removed.front();
    size_t next = 0;
    for (size_t in = removed.front(); in < lines_.size(); ++in) {
        if (next < removed.size() && removed[next] == in) {
            ++next;
            continue;
        }
        lines_[out++] = std::move(lines_[in]);
    }
    lines_.resize(out);

    std::vector<size_t> kept;
    kept.reserve(titleLines_.size() - removed.size());
    for (size_t entry = 0; entry < titleLines_.size(); ++entry) {
        if (gone[entry]) continue;
        const size_t line = titleLines_[entry];
        const auto before =
            std::lower_bound(removed.begin(), removed.end(), line) - removed.begin();
        kept.push_back(line - static_cast<size_t>(before));
    }
    titleLines_ = std::move(kept);
    tree_.LinesRemoved(removed);
    titleCount_ -= removed.size();
}

bool ListEditCopy::DeleteNode(uint32_t node) {
    if (node >= tree_.NodeCount() || node == tree_.Root()) return false;
    const size_t first = tree_.Node(node).line;
    const size_t end = EndOfNodeBlock(lines_, first);
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(first),
                 lines_.begin() + static_cast<std::ptrdiff_t>(end));
    changed_ = true;
    Rebuild();
    return true;
}

bool ListEditCopy::FindHolding(uint32_t node, std::string_view rest, LocatedTitle& found) const {
    found.path.push_back(node);
    for (uint32_t child : tree_.Node(node).children) {
        const std::string_view name = NodeName(lines_, tree_.Node(child));
        if (rest.size() > name.size() && rest.starts_with(name) && rest[name.size()] == '/' &&
            FindHolding(child, rest.substr(name.size() + 1), found)) {
            return true;
        }
    }
    for (size_t line : TitleLinesOf(lines_, tree_, node, TitleMode::RootContent)) {
        if (lines_[line] == rest) {
            found.title = std::string(rest);
            found.line = line;
            return true;
        }
    }
    found.path.pop_back();
    return false;
}

std::optional<LocatedTitle> ListEditCopy::Locate(std::string_view location) const {
    const uint32_t root = tree_.Root();
    if (root == ListTree::kNone) return std::nullopt;
    if (location.starts_with('/')) location.remove_prefix(1);

    LocatedTitle found;
    // The root holds the header's titles, which no location names, so the
    // way starts at the CDs.
    found.path.push_back(root);
    for (uint32_t cd : tree_.Node(root).children) {
        const std::string_view name = NodeName(lines_, tree_.Node(cd));
        if (location.size() > name.size() && location.starts_with(name) &&
            location[name.size()] == '/' &&
            FindHolding(cd, location.substr(name.size() + 1), found)) {
            return found;
        }
    }

    found = LocatedTitle{};
    found.path.push_back(root);
    std::string_view rest = location;
    for (size_t slash = rest.find('/'); slash != std::string_view::npos; slash = rest.find('/')) {
        const std::string_view part = rest.substr(0, slash);
        uint32_t next = ListTree::kNone;
        for (uint32_t child : tree_.Node(found.path.back()).children) {
            if (NodeName(lines_, tree_.Node(child)) == part) {
                next = child;
                break;
            }
        }
        if (next == ListTree::kNone) return std::nullopt;
        found.path.push_back(next);
        rest.remove_prefix(slash + 1);
    }
    found.title = std::string(rest);
    return found;
}

std::optional<size_t> ListEditCopy::EntryOf(const LocatedTitle& located) const {
    if (located.line != std::string::npos) {
        const auto it = std::find(titleLines_.begin(), titleLines_.end(), located.line);
        if (it != titleLines_.end()) return static_cast<size_t>(it - titleLines_.begin());
    }
    const std::string wanted = FoldNameCase(located.title);
    for (size_t entry = 0; entry < titleLines_.size(); ++entry) {
        if (FoldNameCase(lines_[titleLines_[entry]]) == wanted) return entry;
    }
    return std::nullopt;
}

std::optional<SearchStep> ListEditCopy::NextSearchResult(const std::vector<std::string>& results,
                                                         size_t position) const {
    if (results.empty()) return std::nullopt;
    if (position >= results.size()) position = 0;
    for (size_t tried = 0; tried < results.size(); ++tried) {
        const size_t row = (position + tried) % results.size();
        if (auto where = Locate(results[row])) {
            return SearchStep{row, std::move(*where), (row + 1) % results.size()};
        }
    }
    return std::nullopt;
}

}  // namespace mv
