#include "catalogue/list_location.h"

#include "catalogue/list_line.h"

namespace mv {

void AdvanceListLocation(std::string& location, std::string_view line) {
    switch (KindOfListLine(line)) {
        case ListLineKind::CdMarker:
            location.assign(line);
            location.front() = '/';
            break;
        case ListLineKind::FolderEntry:
            location.append(line);
            break;
        case ListLineKind::UpEntry:
            if (!location.empty()) {
                const size_t slash = location.rfind('/');
                location.erase(slash == std::string::npos ? 0 : slash);
            }
            break;
        case ListLineKind::Title:
        case ListLineKind::Empty:
            break;
    }
}

std::string FullListLocation(std::string_view location, std::string_view title) {
    std::string full(location);
    full += '/';
    full.append(title);
    return full;
}

ListLocations::ListLocations(const std::vector<std::string>& lines) : lines_(lines) {
    pieces_.push_back({0, 0, 0});
    before_.reserve(lines.size());
    uint32_t at = 0;
    for (uint32_t j = 0; j < lines.size(); ++j) {
        before_.push_back(at);
        // A marker's or entry's first character stands for the slash of its
        // first piece; every further '/' starts another piece.
        switch (KindOfListLine(lines[j])) {
            case ListLineKind::CdMarker:
                at = AddPieces(0, j, 1);
                break;
            case ListLineKind::FolderEntry:
                at = AddPieces(at, j, 1);
                break;
            case ListLineKind::UpEntry:
                at = pieces_[at].parent;
                break;
            case ListLineKind::Title:
            case ListLineKind::Empty:
                break;
        }
    }
}

uint32_t ListLocations::AddPieces(uint32_t parent, uint32_t line, uint32_t begin) {
    const std::string& text = lines_[line];
    for (;;) {
        pieces_.push_back({parent, line, begin});
        parent = static_cast<uint32_t>(pieces_.size() - 1);
        const size_t slash = text.find('/', begin);
        if (slash == std::string::npos) return parent;
        begin = static_cast<uint32_t>(slash + 1);
    }
}

std::string_view ListLocations::Text(const Piece& piece) const {
    const std::string_view line = lines_[piece.line];
    const size_t slash = line.find('/', piece.begin);
    return line.substr(piece.begin,
                       slash == std::string_view::npos ? line.npos : slash - piece.begin);
}

std::string ListLocations::Before(size_t line) const {
    std::vector<uint32_t> chain;
    size_t length = 0;
    for (uint32_t p = before_[line]; p != 0; p = pieces_[p].parent) {
        chain.push_back(p);
        length += 1 + Text(pieces_[p]).size();
    }
    std::string location;
    location.reserve(length);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        location += '/';
        location.append(Text(pieces_[*it]));
    }
    return location;
}

}  // namespace mv
