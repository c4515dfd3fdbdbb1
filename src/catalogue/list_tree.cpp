#include "catalogue/list_tree.h"

#include <algorithm>

#include "catalogue/list_line.h"

namespace mv {

ListTree ListTree::Build(const std::vector<std::string>& lines) {
    ListTree tree;
    uint32_t current = kNone;
    auto add = [&tree](size_t line, uint32_t parent) {
        const auto id = static_cast<uint32_t>(tree.nodes_.size());
        tree.nodes_.push_back({line, parent, 0, {}});
        // Taken after the push, which may move the nodes.
        std::vector<uint32_t>& siblings =
            parent == kNone ? tree.topLevel_ : tree.nodes_[parent].children;
        tree.nodes_.back().row = static_cast<uint32_t>(siblings.size());
        siblings.push_back(id);
        return id;
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        switch (KindOfListLine(lines[i])) {
            case ListLineKind::CdMarker:
                current = add(i, tree.Root());
                break;
            case ListLineKind::FolderEntry:
                // "/" alone names no folder and adds no node.
                if (lines[i].size() > 1) current = add(i, current);
                break;
            case ListLineKind::UpEntry:
                if (current != kNone) current = tree.nodes_[current].parent;
                break;
            case ListLineKind::Title:
            case ListLineKind::Empty:
                break;
        }
    }
    return tree;
}

bool ListTree::IsCd(uint32_t id) const {
    return id < nodes_.size() && nodes_[id].parent != kNone && nodes_[id].parent == Root();
}

uint32_t ListTree::NodeOfLine(size_t line) const {
    const auto it = std::lower_bound(nodes_.begin(), nodes_.end(), line,
                                     [](const ListTreeNode& n, size_t l) { return n.line < l; });
    if (it == nodes_.end() || it->line != line) return kNone;
    return static_cast<uint32_t>(it - nodes_.begin());
}

std::vector<uint32_t> ListTree::PathTo(uint32_t id) const {
    std::vector<uint32_t> path;
    for (uint32_t n = id; n != kNone && n < nodes_.size(); n = nodes_[n].parent) path.push_back(n);
    std::reverse(path.begin(), path.end());
    return path;
}

void ListTree::LinesRemoved(const std::vector<size_t>& ascending) {
    size_t removedBefore = 0;
    for (ListTreeNode& node : nodes_) {
        while (removedBefore < ascending.size() && ascending[removedBefore] < node.line) {
            ++removedBefore;
        }
        node.line -= removedBefore;
    }
}

std::string_view NodeName(const std::vector<std::string>& lines, const ListTreeNode& node) {
    if (node.line >= lines.size()) return {};
    return std::string_view(lines[node.line]).substr(1);
}

std::vector<size_t> TitleLinesOf(const std::vector<std::string>& lines, const ListTree& tree,
                                 uint32_t node, TitleMode mode) {
    std::vector<size_t> titles;
    if (node >= tree.NodeCount()) return titles;
    const bool wholeCd = mode == TitleMode::WholeCd && tree.IsCd(node);
    for (size_t i = tree.Node(node).line + 1; i < lines.size(); ++i) {
        const ListLineKind kind = KindOfListLine(lines[i]);
        if (kind == ListLineKind::CdMarker) break;
        if (!wholeCd && (kind == ListLineKind::FolderEntry || kind == ListLineKind::UpEntry)) break;
        if (kind == ListLineKind::Title) titles.push_back(i);
    }
    return titles;
}

size_t EndOfNodeBlock(const std::vector<std::string>& lines, size_t first) {
    if (first >= lines.size()) return first;
    size_t end = first + 1;
    int depth = 1;
    while (depth > 0 && end < lines.size()) {
        const ListLineKind kind = KindOfListLine(lines[end]);
        if (kind == ListLineKind::FolderEntry) ++depth;
        if (kind == ListLineKind::UpEntry) --depth;
        if (kind == ListLineKind::CdMarker) break;  // the next CD stays
        ++end;
    }
    return end;
}

}  // namespace mv
