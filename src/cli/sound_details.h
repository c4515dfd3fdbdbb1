#pragma once

#include <atomic>
#include <iosfwd>
#include <optional>
#include <vector>

#include "dupes/result_rows.h"

// --check-sound: how alike the sound of the two files of each row is.
namespace mv::cli {

// The similarity of the prints of each row's two files, in the rows' order;
// nullopt for a row with a side that is no file on disk or has no print.
// Every file is printed once, on every core, through the facts cache; the
// files that cannot be printed and a cache that cannot be used are said on
// `err`. Stopped by `stop`, the rows not printed by then get nullopt.
std::vector<std::optional<double>> RowSoundSimilarities(const std::vector<ResultRow>& rows,
                                                        const std::atomic<bool>& stop,
                                                        std::ostream& err);

}  // namespace mv::cli
