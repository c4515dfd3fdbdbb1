#pragma once

#include <cstddef>
#include <string>
#include <vector>

// How a comparison tells the user about the folders it could not read: a short
// note beside the result count, and the full list on request.
namespace mv {

// " (N folder(s) not read)"; empty when there are none.
std::string PassedOverNote(std::size_t folderCount);

// The folders one per line under a heading, the first `maxListed` of them,
// then how many more.
std::string PassedOverMessage(const std::vector<std::string>& folders, std::size_t maxListed = 30);

}  // namespace mv
