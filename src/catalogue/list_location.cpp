#include "catalogue/list_location.h"

#include "catalogue/list_line.h"

namespace mv {

void StepListLocation(std::string& location, std::string_view line) {
    switch (KindOfListLine(line)) {
        case ListLineKind::CdMarker: {
            std::string next(1, '/');
            next.append(line.substr(1));
            location = std::move(next);
            break;
        }
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

}  // namespace mv
