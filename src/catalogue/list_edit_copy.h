#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/list_tree.h"
#include "catalogue/mp3_list.h"

// The list editor's own copy of the Mp3 list: loaded when the window opens,
// changed by the editing commands, written back only when the user agrees at
// closing. It holds the tree of CDs and folders, the titles shown for the
// selected node (each with its line) and the changed mark; the window only
// shows them. Used on the GUI thread only.
namespace mv {

// Why `text` cannot replace a title: a text that would read back as a CD
// marker, a folder or up entry, or no line at all. Empty when it can.
std::string RefusedTitleReason(std::string_view text);

// "Total Titles: T", and with the shown count " This directory titles number: n".
std::string StatsText(size_t totalTitles);
std::string StatsText(size_t totalTitles, size_t shownTitles);

enum class TitleEdit {
    Stored,   // the entry's line now holds the text
    NoEntry,  // no such entry: nothing to change (the list still counts as changed)
    Refused,  // see RefusedTitleReason: nothing changed
};

// Where a search result (a full list location) lies in the tree.
struct LocatedTitle {
    std::vector<uint32_t> path;  // the nodes from the root down to the title's folder
    std::string title;           // the last part of the location
    // The title's line when that folder holds it as it stands; npos when the
    // copy no longer does (edited since the file was saved).
    size_t line = std::string::npos;
};

// One step of the search: the result shown and where the next step starts.
struct SearchStep {
    size_t row = 0;  // the result shown
    LocatedTitle where;
    size_t nextPosition = 0;
};

class ListEditCopy {
  public:
    // Replaces the copy by the file. Read: the tree is built. Absent or
    // Unreadable: the copy and the tree are empty. Either way no titles are
    // shown and the copy is unchanged.
    ListLoadStatus Open(const std::filesystem::path& file);
    // The copy as if opened from a file holding `lines`.
    void Reset(std::vector<std::string> lines);
    // Writes the copy (see TMp3List::Save); empty on success, else the message.
    [[nodiscard]] std::string Save(const std::filesystem::path& file) const;
    // Drops the copy, the tree and the shown titles.
    void Close();

    const std::vector<std::string>& Lines() const { return lines_; }
    const ListTree& Tree() const { return tree_; }
    // Title lines of the copy (empty lines not counted).
    size_t TitleCount() const { return titleCount_; }
    bool Changed() const { return changed_; }
    void MarkChanged() { changed_ = true; }

    // Fills the shown titles with those of `node` (see TitleLinesOf).
    void ShowTitles(uint32_t node, TitleMode mode);
    void ClearTitles() { titleLines_.clear(); }
    const std::vector<size_t>& TitleLines() const { return titleLines_; }
    // The text of shown entry `entry` (below TitleLines().size()).
    const std::string& TitleText(size_t entry) const { return lines_.at(titleLines_.at(entry)); }

    // Stores `text` into the line of shown entry `entry`. The tree and the
    // counts stay valid: a title only ever becomes another title.
    TitleEdit EditTitle(size_t entry, std::string_view text);
    // Removes the shown entries (any order; out-of-range ones are ignored) and
    // their lines; the remaining entries and the tree's nodes keep pointing
    // at their own lines. Marks the copy changed.
    void RemoveTitles(std::vector<size_t> entries);
    // Deletes a CD or folder with everything in it (see EndOfNodeBlock) and
    // builds the tree again; no titles are shown afterwards. False, with
    // nothing changed, for the root or a node that does not exist.
    bool DeleteNode(uint32_t node);

    // Where `location` ("/CD/folder/title") lies: each part before a '/'
    // names a child of the node reached, starting at the root. A name may
    // itself hold '/' (CD names are typed by the user), so the node that
    // holds the title as it stands is looked for first; failing that, each
    // part is taken as the first child named exactly so, and the title need
    // not be there. nullopt when the tree lacks a CD or folder of the way.
    std::optional<LocatedTitle> Locate(std::string_view location) const;
    // The shown entry to make current for a located title: its own line when
    // shown, else the first entry equal to the title without regard to
    // letter case.
    std::optional<size_t> EntryOf(const LocatedTitle& located) const;

    // The result to show for a click that starts at result `position` (from 0
    // again past the end): the first one from there, cycling, whose place the
    // tree has. nullopt when there are none or the tree has none of them.
    std::optional<SearchStep> NextSearchResult(const std::vector<std::string>& results,
                                               size_t position) const;

  private:
    bool FindHolding(uint32_t node, std::string_view rest, LocatedTitle& found) const;
    void Rebuild();

    std::vector<std::string> lines_;
    ListTree tree_;
    std::vector<size_t> titleLines_;  // per shown entry, its line
    size_t titleCount_ = 0;
    bool changed_ = false;
};

}  // namespace mv
