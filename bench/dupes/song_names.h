#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// Invented but realistic song names for benchmarks and demos: words with
// Zipf-like frequencies (THE and LOVE everywhere, most words rare), artists,
// albums, titles, and file names written in the many ways people write them.
namespace mv {

// The few random draws the generator needs, from one seeded engine.
class Dice {
  public:
    explicit Dice(uint32_t seed) : rng_(seed) {}
    uint32_t Below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng_); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
    double Unit() { return std::uniform_real_distribution<double>(0, 1)(rng_); }

  private:
    std::mt19937 rng_;
};

// Words by rank: a head of very common English words, then invented words,
// a few of them with accented letters (UTF-8).
class Vocabulary {
  public:
    Vocabulary(uint32_t seed, size_t size);
    // A word drawn with weight 1 / (rank + 2.7): a Zipf-like law.
    const std::string& Common(Dice& dice) const;
    // A word from the long tail, drawn evenly: artist names are distinctive.
    const std::string& Rare(Dice& dice) const;
    size_t Size() const { return words_.size(); }

  private:
    std::vector<std::string> words_;
    std::vector<double> cumulative_;
    size_t headSize_ = 0;
};

struct Song {
    std::string artist;
    std::string album;
    std::string title;
    int track = 1;
};

class SongMaker {
  public:
    SongMaker(const Vocabulary& words, Dice& dice) : words_(words), dice_(dice) {}
    std::string Artist();
    std::string Album();
    std::string Title();

  private:
    std::string Words(int count, bool rare);
    const Vocabulary& words_;
    Dice& dice_;
};

// How the files of one album are named: an index into a fixed table of
// layouts ("01 - Artist - Title", "artist_title", "[01] Title", ...) and a
// letter-case rule, drawn once per album.
struct NameStyle {
    int layout = 0;
    int letterCase = 0;  // 0 as is, 1 lower, 2 upper
    std::string ext = ".mp3";
};
NameStyle DrawNameStyle(Dice& dice);

std::string FormatFileName(const Song& song, const NameStyle& style);

// The same song as someone else saved it: other separators or case, an extra
// word such as "(Live)" or "Remastered", accents lost, a letter dropped.
std::string NearDuplicateName(const Song& song, Dice& dice);

// Accented UTF-8 letters replaced by their plain letters.
std::string StripAccents(std::string_view text);

}  // namespace mv
