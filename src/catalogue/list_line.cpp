#include "catalogue/list_line.h"

namespace mv {

ListLineKind KindOfListLine(std::string_view line) {
    if (line.empty()) return ListLineKind::Empty;
    if (line.front() == '\\') return ListLineKind::CdMarker;
    if (line.front() == '/') return ListLineKind::FolderEntry;
    if (line == "..") return ListLineKind::UpEntry;
    return ListLineKind::Title;
}

std::string ToSingleLine(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

}  // namespace mv
