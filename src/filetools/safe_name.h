#pragma once

#include <string>
#include <string_view>

namespace mv {

// A name Windows also takes, for files that go to a FAT or NTFS disk or a
// Windows share: ":" becomes " -" ("Live: Paris" reads "Live - Paris"), each
// of \ * ? " < > | becomes "_", and trailing dots and blanks go, since
// Windows drops them silently and two names would then clash. Everything
// else, "/" and control bytes included, is left for NameRefusal.
std::string WindowsSafeName(std::string_view name);

}  // namespace mv
