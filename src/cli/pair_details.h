#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/row_output.h"
#include "dupes/better_copy.h"
#include "dupes/result_rows.h"

// The rows of dupes and compare with --details: both files' facts and
// whether they hold the same audio.
namespace mv::cli {

// TSV and NUL: LEFT, RIGHT, the left file's FactsColumns(), the right
// file's, same_audio. CSV: the kinds after LEFT and RIGHT as without
// --details, then "left size" ... "right audio_hash", same_audio. JSON keys
// left, right, left kind, right kind, left_facts, right_facts, same_audio.
// `withSound` adds sound_similarity last, in every format.
std::vector<std::string> DetailsColumns(RowFormat format, bool withSound = false);

// The sound_similarity of a row: the prints' similarity when both sides
// have a print, nullopt when either side is no file or cannot be printed.
struct SoundColumn {
    std::optional<double> similarity;
};

// One row in `format` (the writer's), a side that names no file on disk
// with empty facts (null in JSON); `sound` for the columns of
// DetailsColumns(format, true): three decimals, "-" or JSON null unknown.
void WriteDetailsRow(RowWriter& writer, RowFormat format, const ResultRow& row,
                     const FactsByPath& facts,
                     const std::optional<SoundColumn>& sound = std::nullopt);

}  // namespace mv::cli
