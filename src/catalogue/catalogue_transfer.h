#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/cd_block.h"
#include "catalogue/mp3_list.h"

// The catalogue in and out of other programs: every title with its CD and
// folder (for spreadsheets and scripts), a CD made from a list of relative
// paths, and renaming a CD.
namespace mv {

struct CatalogueRow {
    std::string cd;      // the CD's name; empty above the first CD marker
    std::string folder;  // below the CD's root, parts joined by '/'; empty at the root
    std::string title;
    bool operator==(const CatalogueRow&) const = default;
};

// Every title in list order. The header counts as a CD ("Mp3 List") for the
// titles put under it; an up entry at a CD's root leaves it there.
std::vector<CatalogueRow> CatalogueRows(const TMp3List& list);

enum class CatalogueFormat { Csv, Json };

// By the file's extension: ".json" (letter case ignored) is JSON, anything else CSV.
CatalogueFormat CatalogueFormatOf(const std::filesystem::path& file);

// CatalogueRows as lines for WriteLinesAtomically (CR LF after each). CSV:
// the header "cd,folder,title", then RFC 4180 rows; JSON: an array of
// {"cd", "folder", "title"} objects, one a line. Every text as UTF-8, the way
// the window shows it (a list written on Windows holds Windows-1252 bytes).
std::vector<std::string> CatalogueExportLines(const TMp3List& list, CatalogueFormat format);

struct CsvCdParams {
    // The CSV's lines: one column of paths relative to the CD's root ("Disc
    // 1/a.mp3"); a quoted field may span lines. A first row that is exactly
    // "path" (letter case ignored) is a header.
    std::vector<std::string> lines;
    // File name -> title, as the drive scan makes them; unset: the name as it stands.
    std::function<std::string(std::string_view)> normalize;
};

struct CsvCdResult {
    // For SaveCd with the drive root "/": grouped by folder, the root's files
    // first, then the folders in the order first met, each folder's files in
    // CSV order.
    std::vector<FoundFile> files;
    std::string error;  // not empty: nothing is to be saved (names the line and the cause)
};

// Refuses a row with a second column, an unclosed quote, and a path with an
// empty, "." or ".." part or ending in '/'; a leading '/' is taken as the CD's
// root. Empty rows are skipped.
CsvCdResult FoundFilesFromCsv(const CsvCdParams& params);

// Why `name` cannot be a CD's name, empty when it can: empty, or holding a
// line break, '\' or '/' (the list's markers; '/' also splits list locations).
std::string CdNameProblem(std::string_view name);

struct RenameCdResult {
    bool renamed = false;
    std::string error;  // why not, when not renamed
};

// Renames the CD named `oldName` (letter case ignored). Refused: no such CD,
// the list's header, a name with a CdNameProblem, a name another CD holds
// (letter case ignored; the same CD in other case is a rename).
RenameCdResult RenameCd(TMp3List& list, std::string_view oldName, std::string_view newName);

// RenameCd for the CD whose marker stands at line `marker`, for a caller that
// knows which CD it means (two CDs may differ only in letter case).
RenameCdResult RenameCdAt(TMp3List& list, size_t marker, std::string_view newName);

}  // namespace mv
