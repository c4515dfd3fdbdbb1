#pragma once

#include <string>
#include <string_view>

// The list location: where the next title of the list lies, as the list is read
// from the top ("/CD/folder/sub", no trailing '/').
namespace mv {

// Moves the location past one line: a CD marker sets it to "/" + the CD's name,
// a folder entry appends the whole line, an up entry drops the last "/name"
// (nothing when the location is already empty; all of it when it holds no '/').
// Titles and empty lines leave it as it is.
void StepListLocation(std::string& location, std::string_view line);

// A title's full list location: location + "/" + title.
std::string FullListLocation(std::string_view location, std::string_view title);

}  // namespace mv
