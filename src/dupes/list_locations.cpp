#include "dupes/list_locations.h"

namespace mv {
namespace {

// Records `location` for the next line, reusing the last stored value when unchanged.
void Record(std::vector<std::string>& values, std::vector<uint32_t>& ids,
            const std::string& location) {
    if (values.empty() || values.back() != location) values.push_back(location);
    ids.push_back(static_cast<uint32_t>(values.size() - 1));
}

}  // namespace

bool IsListControlLine(std::string_view line) {
    return line.empty() || line.front() == '\\' || line.front() == '/' || line == "..";
}

void AdvanceListLocation(std::string& location, std::string_view line) {
    if (!line.empty() && line.front() == '\\') {
        location.assign(line);
        location.front() = '/';
    } else if (!line.empty() && line.front() == '/') {
        location.append(line);
    } else if (line == ".." && !location.empty()) {
        const size_t slash = location.rfind('/');
        location.erase(slash == std::string::npos ? 0 : slash);
    }
}

std::optional<ListLocations> ListLocations::Compute(const std::vector<std::string>& lines) {
    size_t firstMarker = lines.size();
    for (size_t j = 0; j < lines.size(); ++j) {
        if (!lines[j].empty() && lines[j].front() == '\\') {
            firstMarker = j;
            break;
        }
    }
    if (firstMarker == lines.size()) return std::nullopt;

    ListLocations out;
    // First walk: the location starts as line 0 as it stands.
    // Lines before the first marker get their later-walk slots below.
    out.anyWalk_.assign(firstMarker, 0);
    std::string location = lines.front();
    for (size_t j = 0; j < lines.size(); ++j) {
        Record(out.values_, j < firstMarker ? out.firstWalk_ : out.anyWalk_, location);
        AdvanceListLocation(location, lines[j]);
    }
    // Later walks start where the previous one ended.
    for (size_t j = 0; j < firstMarker; ++j) {
        if (out.values_.back() != location) out.values_.push_back(location);
        out.anyWalk_[j] = static_cast<uint32_t>(out.values_.size() - 1);
        AdvanceListLocation(location, lines[j]);
    }
    return out;
}

const std::string& ListLocations::Before(size_t line, bool firstWalk) const {
    if (firstWalk && line < firstWalk_.size()) return values_[firstWalk_[line]];
    return values_[anyWalk_[line]];
}

}  // namespace mv
