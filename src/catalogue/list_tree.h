#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The list editor's tree: one node per CD marker and per folder entry of the
// Mp3 list, nested by the folder and up entries, with the header "\Mp3 List"
// as the root and every CD a child of it. Nodes are numbered in depth-first
// order, which is the order of their lines, so a node's id grows with its line.
namespace mv {

struct ListTreeNode {
    size_t line = 0;      // its CD marker or folder entry (the header for the root)
    uint32_t parent = 0;  // ListTree::kNone for a top-level node
    uint32_t row = 0;     // its place among its parent's children (or the top level)
    std::vector<uint32_t> children;
};

// Which titles a node shows.
enum class TitleMode {
    RootContent = 0,  // the node's own titles: up to its first folder or up entry
    WholeCd = 1,      // on a CD node: every title of the CD, in every folder
};

class ListTree {
  public:
    static constexpr uint32_t kNone = UINT32_MAX;

    // The tree of `lines`. A CD marker becomes a child of the first node (the
    // root; the first marker itself when there is no node yet); a folder entry
    // other than "/" alone a child of the current node; an up entry climbs to
    // the current node's parent. A list whose nesting was broken elsewhere (an
    // up entry above a CD's root) leaves no current node, and the folders that
    // follow become top-level nodes beside the root until the next CD marker.
    static ListTree Build(const std::vector<std::string>& lines);

    size_t NodeCount() const { return nodes_.size(); }
    const ListTreeNode& Node(uint32_t id) const { return nodes_.at(id); }
    const std::vector<uint32_t>& TopLevel() const { return topLevel_; }
    // The node of the header; kNone for a tree without nodes.
    uint32_t Root() const { return topLevel_.empty() ? kNone : topLevel_.front(); }
    // A child of the root.
    bool IsCd(uint32_t id) const;
    // The node standing for line `line`; kNone when no node does.
    uint32_t NodeOfLine(size_t line) const;
    // The chain of nodes from the top level down to `id`, both included.
    std::vector<uint32_t> PathTo(uint32_t id) const;

    // The lines at these positions (ascending) were removed from the list, and
    // none of them was a node's line: every node's line moves up with its line.
    void LinesRemoved(const std::vector<size_t>& ascending);

  private:
    std::vector<ListTreeNode> nodes_;
    std::vector<uint32_t> topLevel_;
};

// A node's name: its line without the leading '\' or '/'.
std::string_view NodeName(const std::vector<std::string>& lines, const ListTreeNode& node);

// The lines of the titles `node` shows in `mode`, in file order. The whole-CD
// mode applies to CD nodes only; every other node shows its own titles. The
// range starts after the node's line and ends before the next CD marker (in
// the root mode also before the next folder or up entry); empty lines are
// passed over.
std::vector<size_t> TitleLinesOf(const std::vector<std::string>& lines, const ListTree& tree,
                                 uint32_t node, TitleMode mode);

// The lines that deleting the CD or folder at line `first` removes, as the
// half-open range [first, end): the node's line, everything nested in it and,
// for a folder, its matching up entry. It stops before the next CD marker, so
// a CD loses its whole block.
size_t EndOfNodeBlock(const std::vector<std::string>& lines, size_t first);

}  // namespace mv
