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
    bool details = false;  // adds sound_similarity
    std::string keep;      // "better": the better copy of each pair on the right
};

// TSV and NUL: LEFT, RIGHT, and with details sound_similarity (three
// decimals). CSV: LEFT, RIGHT, their kinds, then sound_similarity. JSON: the
// same keys, the similarity a number.
int RunSoundDupes(const SoundDupesOptions& opts, CommandIo& io);

}  // namespace mv::cli
