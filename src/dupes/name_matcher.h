#pragma once

#include <string>
#include <string_view>
#include <vector>

// Decides whether two file names name the same song: names are normalised,
// split into words, and the share of words that pair off is compared with a
// percentage.
namespace mv {

// Raw name (bytes as on disk or in a list) to its comparable form: a few accented
// letters folded, other non-alphanumerics blanked, inner dots removed, blanks
// tidied. Letter case is kept. The result is in Windows-1252 bytes.
std::string NormalizeName(std::string_view name);

// Two upper-cased words match when equal, or when the shorter (at least two
// characters) occurs in the longer and the longer is at most two characters longer.
bool WordsMatch(std::string_view first, std::string_view second);

// A normalised name made ready for pairing: extension cut, split into
// upper-cased words. Comparisons that test one name many times prepare it once.
struct PreparedName {
    std::vector<std::string> words;
    bool startsWithBackslash = false;
};
PreparedName PrepareName(std::string_view normalized);

// The verdict of NamesMatch on prepared names.
bool PreparedNamesMatch(const PreparedName& first, const PreparedName& second, int percent);

// The two percentages that ask for every word of one side instead of a share.
inline constexpr int kPercentEveryFirstWord = 100;
inline constexpr int kPercentEverySecondWord = 101;

// Both names already normalised. At 100 every word of `first` must find a
// partner, at 101 every word of `second`; 102 and above never match; otherwise
// paired words / all words >= percent / 100 (and at least one word).
bool NamesMatch(std::string_view first, std::string_view second, int percent);

// The cut of the extension: the first dot and up to four characters after it.
std::string CutExtension(std::string_view normalized);

}  // namespace mv
