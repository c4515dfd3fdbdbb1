#pragma once

#include <string>
#include <string_view>

// Where a catalogue title lies, in words, for the pair details strip.
namespace mv {

// For a title's full list location ("/CD/folder/sub/title", see
// FullListLocation): "On CD 'CD', folder folder/sub", or "On CD 'CD', top
// folder" for a title at the CD's root. The names keep the list's bytes (the
// caller turns them into display text). A location's first part is taken as
// the CD, as the comparison builds it. A title above every CD marker
// ("/title"): "In the list, above every CD". Empty for a text that is no
// location (not starting with '/').
std::string ListPlaceText(std::string_view fullLocation);

}  // namespace mv
