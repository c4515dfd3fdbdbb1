#include "catalogue/list_location.h"

namespace mv {

std::string FullListLocation(std::string_view location, std::string_view title) {
    std::string full(location);
    full += '/';
    full.append(title);
    return full;
}

}  // namespace mv
