#include "dupes/name_matcher.h"

#include <cstdint>

#include "platform/text_encoding.h"

namespace mv {
namespace {

char FoldByte(unsigned char b) {
    switch (b) {
        case 0xE8:
        case 0xE9:
        case 0xEA:
            return 'e';
        case 0xC8:
        case 0xC9:
        case 0xCA:
            return 'E';
        case 0xE0:
            return 'a';
        case 0xC0:
            return 'A';
        case 0xC7:
            return 'C';
        case 0xE7:
            return 'c';
        default:
            break;
    }
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == ' ' ||
        b == '.') {
        return static_cast<char>(b);
    }
    return ' ';
}

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string NormalizeName(std::string_view name) {
    // Every name of a run passes here: one pass in place, since folding,
    // dropping inner dots and tidying blanks only ever shorten the text.
    std::string s = ToWindows1252(name);
    const size_t size = s.size();
    size_t removed = 0;     // inner dots dropped so far
    bool dotsDone = false;  // a dot stayed: no later one goes
    size_t out = 0;
    for (size_t pos = 0; pos < size; ++pos) {
        const char c = FoldByte(static_cast<unsigned char>(s[pos]));
        // Inner dots: the first dot goes while it stands before the last six
        // characters; each removal shortens the string, so the bound moves too.
        if (c == '.' && !dotsDone) {
            if (pos - removed + 1 + 5 < size - removed) {
                ++removed;
                continue;
            }
            dotsDone = true;
        }
        // No leading blanks, and one blank for a run of them.
        if (c == ' ' && (out == 0 || s[out - 1] == ' ')) continue;
        s[out++] = c;
    }
    s.resize(out);
    return s;
}

bool WordsMatch(std::string_view first, std::string_view second) {
    if (first.size() == 1 || second.size() == 1) return first == second;
    const std::string_view& s = first.size() <= second.size() ? first : second;
    const std::string_view& l = first.size() <= second.size() ? second : first;
    return l.size() < s.size() + 3 && l.find(s) != std::string_view::npos;
}

// The first dot and the characters after it that the cut takes.
constexpr size_t kExtensionCut = 5;

std::string CutExtension(std::string_view normalized) {
    std::string s(normalized);
    const size_t dot = s.find('.');
    if (dot != std::string::npos) s.erase(dot, kExtensionCut);
    return s;
}

PreparedName PrepareName(std::string_view normalized) {
    PreparedName out;
    // Most names end in their extension: the cut leaves the text before it,
    // read where it lies; only text after the cut needs the cut made.
    const size_t dot = normalized.find('.');
    std::string cut;
    std::string_view s = normalized;
    if (dot != std::string_view::npos && dot + kExtensionCut >= normalized.size()) {
        s = normalized.substr(0, dot);
    } else if (dot != std::string_view::npos) {
        cut = CutExtension(normalized);
        s = cut;
    }
    out.startsWithBackslash = !s.empty() && s[0] == '\\';
    // Every name of a run is prepared: one allocation for the word list.
    size_t words = 0;
    for (size_t k = 0; k < s.size(); ++k) words += s[k] != ' ' && (k == 0 || s[k - 1] == ' ');
    out.words.reserve(words);
    size_t k = 0;
    while (k < s.size()) {
        while (k < s.size() && s[k] == ' ') ++k;
        const size_t start = k;
        while (k < s.size() && s[k] != ' ') ++k;
        if (k > start) {
            std::string& w = out.words.emplace_back(s.substr(start, k - start));
            for (char& c : w) c = Upper(c);
        }
    }
    return out;
}

bool PreparedNamesMatch(const PreparedName& first, const PreparedName& second, int percent) {
    if (percent >= 102) return false;
    const size_t total = first.words.size() + second.words.size();
    if (percent <= 99 && (total == 0 || first.startsWithBackslash || second.startsWithBackslash)) {
        return false;
    }

    std::vector<std::string_view> f(first.words.begin(), first.words.end());
    std::vector<std::string_view> s(second.words.begin(), second.words.end());
    size_t matched = 0;
    // Greedy pairing in scan order. After a pair is taken the scan could restart
    // from the first word of S, but no earlier word of S can pair now: the words
    // of F it was tested against only lost one, so the scan resumes where it was.
    size_t si = 0;
    while (si < s.size()) {
        bool paired = false;
        for (size_t fi = 0; fi < f.size(); ++fi) {
            if (WordsMatch(s[si], f[fi])) {
                f[fi] = f.back();
                f.pop_back();
                s[si] = s.back();
                s.pop_back();
                matched += 2;
                paired = true;
                break;
            }
        }
        if (!paired) ++si;
    }

    if (percent == kPercentEveryFirstWord) return f.empty();
    if (percent == kPercentEverySecondWord) return s.empty();
    return 100LL * static_cast<long long>(matched) >=
           static_cast<long long>(percent) * static_cast<long long>(total);
}

bool NamesMatch(std::string_view first, std::string_view second, int percent) {
    return PreparedNamesMatch(PrepareName(first), PrepareName(second), percent);
}

}  // namespace mv
