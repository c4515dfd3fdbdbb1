#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The list location: where the next title of the list lies, as the list is read
// from the top ("/CD/folder/sub", no trailing '/'). It starts empty, so titles
// above the first CD marker (a list without its header) have no location. The
// list editor, the walk over the titles and the comparison all keep it by these
// rules, so they always agree.
namespace mv {

// The location after walking past one line: a CD marker sets "/" + its name, a
// folder entry appends itself, an up entry drops the last "/part" (nothing when
// the location is empty); titles and empty lines leave it as it is.
void AdvanceListLocation(std::string& location, std::string_view line);

// A title's full list location: location + "/" + title.
std::string FullListLocation(std::string_view location, std::string_view title);

// The location before every line of a list, from one walk from line 0 with an
// empty location. A location is a chain of "/part" pieces, each one piece of
// a CD marker or folder entry between its slashes, and is kept as a tree of
// such pieces with their parents: a deep list costs memory in proportion to its
// size, not to its size times its depth. The text is built only when asked for.
// The lines must outlive the object unchanged; lists hold fewer than 2^32 lines
// and lines fewer than 2^32 bytes.
class ListLocations {
  public:
    explicit ListLocations(const std::vector<std::string>& lines);

    // The location before line `line` (below the list's size), as
    // AdvanceListLocation keeps it from an empty start.
    std::string Before(size_t line) const;

    // Pieces held; at most one per '/' or '\' of the list, plus the empty location.
    size_t PieceCount() const { return pieces_.size(); }

  private:
    struct Piece {
        uint32_t parent;  // index into pieces_; piece 0 is the empty location
        uint32_t line;    // the line the piece comes from
        uint32_t begin;   // its text: from here in that line up to the next '/' or the end
    };
    // Appends the pieces of lines_[line] from `begin` on (split at '/') below `parent`.
    uint32_t AddPieces(uint32_t parent, uint32_t line, uint32_t begin);
    std::string_view Text(const Piece& piece) const;

    const std::vector<std::string>& lines_;
    std::vector<Piece> pieces_;
    std::vector<uint32_t> before_;  // per line: the piece that ends the location before it
};

}  // namespace mv
