#include "song_names.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

namespace mv {
namespace {

const char* const kHead[] = {
    "The",    "Love",   "You",     "Me",       "My",      "I",      "A",      "Of",     "In",
    "Your",   "It",     "Baby",    "Night",    "Heart",   "Don't",  "Time",   "Day",    "Girl",
    "On",     "Is",     "Be",      "All",      "Dance",   "Life",   "Go",     "Down",   "World",
    "Away",   "Blue",   "Man",     "Song",     "Home",    "Light",  "Dream",  "Fire",   "Rain",
    "Good",   "Come",   "Feel",    "Never",    "Tonight", "Way",    "Soul",   "Sun",    "Sweet",
    "Boy",    "Back",   "Little",  "One",      "Woman",   "Heaven", "Summer", "Star",   "Wild",
    "Crazy",  "Eyes",   "Forever", "Again",    "Hold",    "Run",    "Let",    "Got",    "Know",
    "Want",   "Need",   "Can't",   "Stay",     "Free",    "Hot",    "Gone",   "Black",  "Red",
    "Gold",   "Road",   "City",    "Street",   "Moon",    "Angel",  "Kiss",   "Lonely", "Morning",
    "Rock",   "Roll",   "Blues",   "Party",    "Music",   "Radio",  "Young",  "Old",    "Alone",
    "Side",   "River",  "Train",   "Paradise", "Dark",    "Shadow", "Lovers", "Songs",  "Other",
    "Nights", "Dreams", "Stars",   "2",        "II",
};

const char* const kOnsets[] = {"b", "d", "f", "g",  "k",  "l",  "m",  "n",  "p",  "r",  "s",
                               "t", "v", "z", "br", "dr", "gr", "st", "tr", "sh", "ch", "kl"};
const char* const kVowels[] = {"a", "e", "i", "o", "u", "a", "e", "o", "ia", "ou", "ee"};
const char* const kCodas[] = {"", "", "", "n", "r", "s", "l", "m", "nd", "rt", "x"};

// Accented letters as the collection would hold them, with their plain letters.
struct Accent {
    char plain;
    const char* utf8;
};
const Accent kAccents[] = {{'e', "\xC3\xA9"}, {'e', "\xC3\xA8"}, {'o', "\xC3\xB6"},
                           {'u', "\xC3\xBC"}, {'a', "\xC3\xA0"}, {'a', "\xC3\xA4"},
                           {'i', "\xC3\xAF"}, {'n', "\xC3\xB1"}, {'c', "\xC3\xA7"}};

std::string Capitalised(std::string w) {
    if (!w.empty() && w[0] >= 'a' && w[0] <= 'z') w[0] = static_cast<char>(w[0] - 'a' + 'A');
    return w;
}

std::string Invented(Dice& dice) {
    std::string w;
    const uint32_t syllables = 1 + dice.Below(3);
    for (uint32_t s = 0; s < syllables; ++s) {
        w += kOnsets[dice.Below(std::size(kOnsets))];
        w += kVowels[dice.Below(std::size(kVowels))];
        if (s + 1 == syllables || dice.Chance(0.3)) w += kCodas[dice.Below(std::size(kCodas))];
    }
    if (dice.Chance(0.06)) {
        // Give the word an accent on one of its letters that has one.
        for (size_t k = 0; k < w.size(); ++k) {
            const size_t at = (k + dice.Below(static_cast<uint32_t>(w.size()))) % w.size();
            std::vector<const Accent*> fits;
            for (const Accent& a : kAccents) {
                if (a.plain == w[at]) fits.push_back(&a);
            }
            if (!fits.empty()) {
                w.replace(at, 1, fits[dice.Below(static_cast<uint32_t>(fits.size()))]->utf8);
                break;
            }
        }
    }
    return Capitalised(w);
}

std::string Transformed(std::string s, int letterCase) {
    for (char& c : s) {
        if (letterCase == 1 && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (letterCase == 2 && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

std::string Replaced(std::string s, char from, std::string_view to) {
    std::string out;
    for (char c : s) {
        if (c == from) {
            out += to;
        } else {
            out += c;
        }
    }
    return out;
}

std::string Track(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

}  // namespace

Vocabulary::Vocabulary(uint32_t seed, size_t size) {
    Dice dice(seed ^ 0x5EEDu);
    std::unordered_set<std::string> seen;
    for (const char* w : kHead) {
        words_.emplace_back(w);
        seen.insert(w);
    }
    headSize_ = words_.size();
    while (words_.size() < std::max(size, headSize_ + 1)) {
        std::string w = Invented(dice);
        if (seen.insert(w).second) words_.push_back(std::move(w));
    }
    double sum = 0;
    cumulative_.reserve(words_.size());
    for (size_t r = 0; r < words_.size(); ++r) {
        sum += 1.0 / (static_cast<double>(r) + 2.7);
        cumulative_.push_back(sum);
    }
}

const std::string& Vocabulary::Common(Dice& dice) const {
    const double at = dice.Unit() * cumulative_.back();
    const auto it = std::lower_bound(cumulative_.begin(), cumulative_.end(), at);
    return words_[std::min<size_t>(it - cumulative_.begin(), words_.size() - 1)];
}

const std::string& Vocabulary::Rare(Dice& dice) const {
    return words_[headSize_ + dice.Below(static_cast<uint32_t>(words_.size() - headSize_))];
}

std::string SongMaker::Words(int count, bool rare) {
    std::string s;
    for (int k = 0; k < count; ++k) {
        if (k > 0) s += ' ';
        s += rare && dice_.Chance(0.8) ? words_.Rare(dice_) : words_.Common(dice_);
    }
    return s;
}

std::string SongMaker::Artist() {
    const uint32_t roll = dice_.Below(100);
    if (roll < 18) return "The " + Words(1 + static_cast<int>(dice_.Below(2)), true);
    if (roll < 22) return "DJ " + Words(1, true);
    if (roll < 27) return Words(1, true) + " & " + Words(1, true);
    return Words(1 + static_cast<int>(dice_.Below(3)), true);
}

std::string SongMaker::Album() {
    const uint32_t roll = dice_.Below(100);
    if (roll < 8) return "Greatest Hits";
    if (roll < 13) return "Live at " + Words(1, true);
    if (roll < 18) return std::to_string(1965 + dice_.Below(45));
    return Words(1 + static_cast<int>(dice_.Below(3)), false);
}

std::string SongMaker::Title() {
    static const int kLengths[] = {1, 2, 2, 3, 3, 3, 4, 4, 5, 6};
    std::string t = Words(kLengths[dice_.Below(std::size(kLengths))], false);
    if (dice_.Chance(0.04)) t += " Pt " + std::to_string(1 + dice_.Below(3));
    return t;
}

NameStyle DrawNameStyle(Dice& dice) {
    // Layout weights in percent, in the order of FormatFileName's table.
    static const int kWeights[] = {30, 20, 8, 8, 6, 5, 10, 5, 2, 6};
    NameStyle style;
    int roll = static_cast<int>(dice.Below(100));
    style.layout = 0;
    while (roll >= kWeights[style.layout]) roll -= kWeights[style.layout++];
    const uint32_t c = dice.Below(100);
    style.letterCase = c < 80 ? 0 : c < 93 ? 1 : 2;
    const uint32_t e = dice.Below(100);
    style.ext = e < 94 ? ".mp3" : e < 99 ? ".MP3" : ".Mp3";
    return style;
}

std::string FormatFileName(const Song& song, const NameStyle& style) {
    const std::string nn = Track(song.track);
    const std::string& a = song.artist;
    const std::string& t = song.title;
    std::string name;
    switch (style.layout) {
        case 0:
            name = nn + " - " + a + " - " + t;
            break;
        case 1:
            name = a + " - " + t;
            break;
        case 2:
            name = nn + ". " + t;
            break;
        case 3:
            name = Transformed(Replaced(nn + " " + a + " " + t, ' ', "_"), 1);
            break;
        case 4:
            name = "[" + nn + "] " + a + " - " + t;
            break;
        case 5:
            name = Replaced(a, ' ', "_") + "_-_" + Replaced(t, ' ', "_");
            break;
        case 6:
            name = nn + " " + t;
            break;
        case 7:
            name = a + " - " + song.album + " - " + nn + " - " + t;
            break;
        case 8:
            name = Replaced(a + "." + t, ' ', ".");
            break;
        default:
            name = t + " (" + a + ")";
            break;
    }
    return Transformed(std::move(name), style.letterCase) + style.ext;
}

std::string NearDuplicateName(const Song& song, Dice& dice) {
    static const char* const kExtras[] = {
        " (Live)",  " (Remastered)",     " - Remastered 2011", " (Radio Edit)",
        " [Bonus]", " (Acoustic)",       " (Album Version)",   " (Demo)",
        " (Remix)", " (feat. The Other)"};
    Song s = song;
    NameStyle style = DrawNameStyle(dice);
    const uint32_t edits = 1 + dice.Below(2);
    for (uint32_t e = 0; e < edits; ++e) {
        switch (dice.Below(4)) {
            case 0:
                s.title += kExtras[dice.Below(std::size(kExtras))];
                break;
            case 1:
                s.artist = StripAccents(s.artist);
                s.title = StripAccents(s.title);
                break;
            case 2:
                // A typing slip: one letter of the title lost (never half of
                // an accented letter, which would leave invalid UTF-8).
                if (s.title.size() > 3) {
                    const size_t at = 1 + dice.Below(static_cast<uint32_t>(s.title.size() - 2));
                    const auto c = static_cast<unsigned char>(s.title[at]);
                    if (c < 0x80 && c != ' ') s.title.erase(at, 1);
                }
                break;
            default:
                style.letterCase = static_cast<int>(dice.Below(3));
                break;
        }
    }
    return FormatFileName(s, style);
}

std::string StripAccents(std::string_view text) {
    std::string out(text);
    for (const Accent& a : kAccents) {
        size_t at = 0;
        while ((at = out.find(a.utf8, at)) != std::string::npos) out.replace(at, 2, 1, a.plain);
    }
    return out;
}

}  // namespace mv
