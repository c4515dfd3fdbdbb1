#include "dupes/list_place_text.h"

namespace mv {

std::string ListPlaceText(std::string_view fullLocation) {
    if (!fullLocation.starts_with('/')) return {};
    const std::string_view rest = fullLocation.substr(1);
    const size_t cdEnd = rest.find('/');
    if (cdEnd == std::string_view::npos) return "In the list, above every CD";
    std::string text = "On CD '" + std::string(rest.substr(0, cdEnd)) + "', ";
    // The title is the last part: file names hold no '/'.
    const size_t titleStart = rest.rfind('/');
    if (titleStart == cdEnd) return text + "top folder";
    return text + "folder " + std::string(rest.substr(cdEnd + 1, titleStart - cdEnd - 1));
}

}  // namespace mv
