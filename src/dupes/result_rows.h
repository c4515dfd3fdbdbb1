#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "dupes/compare_engine.h"
#include "platform/file_ops.h"

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
std::vector<ResultRow> RowsFromCompare(CompareMode mode, std::vector<CompareRow>&& rows);

// The rows that go when the `selected` rows are removed: every selected row
// and every other row whose left text is the same, byte for byte (on Linux
// "A.mp3" and "a.mp3" are two files). Returned in ascending order.
std::vector<std::size_t> RowsToRemove(const std::vector<ResultRow>& rows,
                                      const std::vector<std::size_t>& selected);

struct DeleteFailure {
    std::string path;
    std::string why;
};

struct DeleteOutcome {
    // Rows whose left side is gone: deleted now, already gone before, or
    // naming no file on disk (never touched). These rows may leave the lists.
    std::vector<std::size_t> rowsDone;
    std::vector<std::string> deleted;
    std::vector<DeleteFailure> passedOver;  // could not be deleted; their rows stay
    std::size_t notFiles = 0;               // rows that name no file on disk
    // Files went but the deletion log could not take their lines: the first cause.
    std::string logError;
};

// Deletes the files named on the left of the given rows, in the given order.
// Only rows of kind FileOnDisk reach the file system; attributes are cleared
// first, folders are never removed. A file named by several rows is tried
// once; a file that was already gone counts as deleted. `policy` says whether
// the files go to the trash (then they keep their attributes, so they come
// back as they were) and where each removal is logged.
DeleteOutcome DeleteLeftFiles(const std::vector<ResultRow>& rows,
                              const std::vector<std::size_t>& indices,
                              const RemovalPolicy& policy = {});

// The one message after a delete command that could not delete every file:
// each file with its cause (the first `maxListed`, then how many more).
// Empty when nothing failed.
std::string DeleteFailureMessage(const std::vector<DeleteFailure>& failures,
                                 std::size_t maxListed = 15);

// Everything up to and including the last "/", and the rest.
std::string FolderPart(const std::string& path);
std::string NamePart(const std::string& path);

}  // namespace mv
