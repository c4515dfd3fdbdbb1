#pragma once

#include <string>
#include <string_view>

#include "dupes/list_locations.h"

// The list location: where the next title of the list lies, as the list is read
// from the top ("/CD/folder/sub", no trailing '/'). The upkeep line by line is
// the compare engine's AdvanceListLocation, so the list editor, the walk over
// the titles and the comparison always agree.
namespace mv {

// A title's full list location: location + "/" + title.
std::string FullListLocation(std::string_view location, std::string_view title);

}  // namespace mv
