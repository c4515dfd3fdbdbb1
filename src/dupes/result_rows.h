#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "dupes/compare_engine.h"

// The row pairs of the two result lists and the plain work behind their
// commands. Every row says what it names, so no code has to guess it from the
// text: a list location such as /CD1/Rock/Song.mp3 looks like a path.
namespace mv {

enum class RowKind {
    FileOnDisk,     // a file the delete commands may act on
    ListLocation,   // a title under its place in the Mp3 list
    SearchRow,      // "Search\" + the searched text
    ScannedTitle,   // a drive scan's normalised file name
    ScannedFolder,  // the folder a drive scan found a file in
};

struct ResultRow {
    std::string left;
    std::string right;
    RowKind leftKind = RowKind::FileOnDisk;
    RowKind rightKind = RowKind::FileOnDisk;
};

// The kinds of the two sides of a comparison's rows, from its mode.
std::vector<ResultRow> RowsFromCompare(int mode, std::vector<CompareRow>&& rows);

// The rows that go when the `selected` rows are removed: every selected row
// and every other row whose left text is the same (letter case ignored).
// Returned in ascending order.
std::vector<std::size_t> RowsToRemove(const std::vector<ResultRow>& rows,
                                      const std::vector<std::size_t>& selected);

struct DeleteOutcome {
    std::vector<std::string> deleted;
    std::vector<std::string> passedOver;  // could not be deleted
    std::size_t notFiles = 0;             // rows that name no file on disk, never touched
};

// Deletes the files named on the left of the given rows, in the given order.
// Only rows of kind FileOnDisk reach the file system; attributes are cleared
// first, folders are never removed.
DeleteOutcome DeleteLeftFiles(const std::vector<ResultRow>& rows,
                              const std::vector<std::size_t>& indices);

// Everything up to and including the last "/", and the rest.
std::string FolderPart(const std::string& path);
std::string NamePart(const std::string& path);

}  // namespace mv
