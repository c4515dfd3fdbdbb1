#pragma once

#include <string>
#include <string_view>

// Letter case of ASCII letters only: file names, extensions, INI keys and the
// program's own file names are compared this way. Every other byte (UTF-8
// sequences, Windows-1252 letters) is compared as it stands.
namespace mv {

inline char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The text with A-Z turned into a-z.
std::string FoldAsciiCase(std::string_view text);

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Sort order of names shown to the user: ASCII letter case ignored, bytes
// compared unsigned. Names that differ only in letter case are ordered by their
// exact bytes, so the order is total and never depends on the sort's whims.
bool LessIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace mv
