#pragma once

#include <string>
#include <vector>

// The lines that catalogue one CD: its marker, then its titles under folder and
// up entries that nest like brackets, starting and ending at the CD's root.
namespace mv {

// One file found on the drive: the title to store (the normalised file name)
// and the absolute path of the folder that holds it, without a trailing '/'
// (the drive's root is written as the root itself, "/media/cdrom" or "/").
struct FoundFile {
    std::string title;
    std::string folder;
};

struct CdBlockParams {
    std::string name;              // the CD's name as the user typed it
    std::string driveRoot;         // the drive's mount point
    std::vector<FoundFile> files;  // in the scan's order
};

struct CdBlockResult {
    // Empty when the block cannot be built; then nothing is to be stored.
    std::vector<std::string> lines;
    std::string error;  // why nothing can be stored
    size_t titleCount = 0;
    // Titles that would read back as something else (empty, starting with '\'
    // or '/', or exactly ".."), left out of the block.
    std::vector<std::string> titlesPassedOver;
    // The CD name, a folder name or a title held a line break, turned into a blank.
    bool lineBreaksReplaced = false;
};

// Builds the block. A folder that does not lie on the drive (neither the root
// nor below it) is refused: the files then come from some other scan.
CdBlockResult BuildCdBlock(const CdBlockParams& params);

}  // namespace mv
