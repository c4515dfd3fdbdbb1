#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where each line of the Mp3 list lies (/CD/folder/sub), as the comparison
// walks the list once for every file.
namespace mv {

// Lines that are never compared: empty lines, CD markers ("\..."), folder
// entries ("/...") and up entries ("..").
bool IsListControlLine(std::string_view line);

// The location after walking past one line: a CD marker starts "/" + its
// name, a folder entry appends itself, an up entry drops the last "/part".
void AdvanceListLocation(std::string& location, std::string_view line);

// The location before every line, computed once per comparison. The location
// is carried from one walk into the next and only a CD marker resets it, so the
// lines before the first marker see one location in the first walk and another
// in every later walk; from the first marker on all walks agree.
class ListLocations {
  public:
    // nullopt when the list holds no CD marker: then every walk may differ.
    static std::optional<ListLocations> Compute(const std::vector<std::string>& lines);

    const std::string& Before(size_t line, bool firstWalk) const;

  private:
    std::vector<std::string> values_;  // distinct locations
    std::vector<uint32_t> anyWalk_;    // per line: index into values_ (later walks)
    std::vector<uint32_t> firstWalk_;  // lines before the first marker, first walk
};

}  // namespace mv
