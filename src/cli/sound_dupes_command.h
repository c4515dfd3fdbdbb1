#pragma once

#include <string>

#include "cli/command.h"
#include "cli/row_output.h"

// dupes --by sound: the files below a folder that hold the same recording,
// whatever their names, in the rows the search by names prints.
namespace mv::cli {

struct SoundDupesOptions {
    std::string folder;
    std::string ext = "Mp3";
    bool noRecurse = false;
    FormatOptions output;
    bool details = false;  // the facts of dupes --details, and sound_similarity
    std::string keep;      // "better": the better copy of each pair on the right
};

// The rows of dupes by names; with details those of dupes --details
// (pair_details.h) and sound_similarity last (three decimals; in JSON a
// number).
int RunSoundDupes(const SoundDupesOptions& opts, CommandIo& io);

}  // namespace mv::cli
