#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <xxhash.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <set>
#include <thread>

#include "dupes/compare_engine.h"
#include "dupes/list_index_file.h"
#include "support/core/temp_tree.h"

namespace mv {
using test::TempTree;

bool operator==(const CompareRow& a, const CompareRow& b);
void PrintTo(const CompareRow& r, std::ostream* os);

namespace {

// Titles that stress what the kept index must reproduce: bytes beyond ASCII
// (Windows-1252 and UTF-8), folded accents, containment within two letters,
// one-letter words, names of many words (past the postings' inline limit)
// and names without words.
const char* const kWords[] = {"love",     "lover", "lovers", "caf\xE9",   "caf\xC3\xA9", "no\xEBl",
                              "\xFF\xFE", "a",     "I",      "01",        "1.5",         "abc",
                              "abcd",     "xabc",  "night",  "nightfall", "()",          "_"};

std::string Title(std::mt19937& rng) {
    std::string name;
    const unsigned n = rng() % 9 == 0 ? 12 : rng() % 5;
    for (unsigned k = 0; k < n; ++k) {
        if (k > 0) name += rng() % 3 == 0 ? " - " : " ";
        name += kWords[rng() % std::size(kWords)];
    }
    return name + ".mp3";
}

// A list with markers, folders, empty lines and repeated titles.
std::vector<std::string> List(std::mt19937& rng, size_t size) {
    std::vector<std::string> lines{"\\Mp3 List"};
    while (lines.size() < size) {
        const unsigned kind = rng() % 16;
        if (kind == 0) {
            lines.push_back("\\CD" + std::to_string(rng() % 5));
        } else if (kind == 1) {
            lines.push_back("/F" + std::to_string(rng() % 3));
        } else if (kind == 2) {
            lines.push_back("..");
        } else if (kind == 3) {
            lines.push_back("");
        } else if (kind == 4 && lines.size() > 2) {
            lines.push_back(lines[rng() % lines.size()]);  // the same title again
        } else {
            lines.push_back(Title(rng));
        }
    }
    return lines;
}

struct Collection {
    TempTree tree;
    std::vector<std::string> folders;
    std::vector<std::string> lines;
};

void Fill(Collection& c, unsigned seed) {
    std::mt19937 rng(seed);
    std::set<std::string> used;
    while (used.size() < 60) {
        std::string rel = "d" + std::to_string(rng() % 2) + "/" + Title(rng);
        if (used.insert(rel).second) c.tree.File(rel);
    }
    c.tree.Folder("empty");
    c.folders = {c.tree.Path("d0"), c.tree.Path("empty"), c.tree.Path("d1")};
    c.lines = List(rng, 400);
}

std::vector<CompareRow> Rows(const Collection& c, int percent, std::optional<std::string> folder,
                             const std::string* search = nullptr) {
    CompareParams p;
    p.mode = search ? kModeSearchList : kModeFolderVsList;
    if (search) p.searchText = *search;
    p.folders = c.folders;
    p.listLines = c.lines;
    p.percentText = std::to_string(percent);
    p.exhaustive = !folder;
    p.listIndexFolder = folder ? std::filesystem::path(*folder) : std::filesystem::path();
    CompareControl control;
    CompareResult r = RunCompare(p, control);
    EXPECT_FALSE(r.cancelled);
    return std::move(r.rows);
}

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteAll(const std::filesystem::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

// What is in the cache folder when a run starts.
struct Before {
    const char* what;
    std::function<void(Collection&, const std::filesystem::path& file)> make;
};

const Before kBefore[] = {
    {"no index yet", [](Collection&, const std::filesystem::path&) {}},
    {"the index of these lines", [](Collection&, const std::filesystem::path&) {}},
    {"stale: one title changed",
     [](Collection& c, const std::filesystem::path&) { c.lines[7] = "Other Song.mp3"; }},
    {"stale: a title added",
     [](Collection& c, const std::filesystem::path&) { c.lines.push_back("love.mp3"); }},
    {"damaged header",
     [](Collection&, const std::filesystem::path& f) {
         std::string b = ReadAll(f);
         b[1] ^= 0x20;
         WriteAll(f, b);
     }},
    {"damaged body",
     [](Collection&, const std::filesystem::path& f) {
         std::string b = ReadAll(f);
         b[b.size() / 2] ^= 0x01;
         WriteAll(f, b);
     }},
    {"truncated body",
     [](Collection&, const std::filesystem::path& f) { WriteAll(f, ReadAll(f).substr(0, 100)); }},
    {"foreign file",
     [](Collection&, const std::filesystem::path& f) {
         WriteAll(f, "\\Mp3 List\r\nA song.mp3\r\n");
     }},
    {"empty file", [](Collection&, const std::filesystem::path& f) { WriteAll(f, ""); }},
};

TEST(KeptListIndex, EveryStateOfTheCacheGivesThePlainRows) {
    for (const int percent : {1, 50, 80, 100, 101}) {
        Collection c;
        Fill(c, static_cast<unsigned>(percent));
        const std::string cache = c.tree.Folder("cache");
        const std::filesystem::path file = ListIndexFile(cache, percent);
        size_t rows = 0;
        for (const Before& before : kBefore) {
            SCOPED_TRACE(std::string(before.what) + ", percent " + std::to_string(percent));
            Rows(c, percent, cache);  // leaves the index of the current lines
            before.make(c, file);
            const std::vector<CompareRow> plain = Rows(c, percent, std::nullopt);
            rows += plain.size();
            EXPECT_EQ(Rows(c, percent, cache), plain);
            // Whatever was there, the run leaves the index of its lines.
            EXPECT_NE(ReadListIndex(file, KeyOfLines(c.lines), c.lines.size(), percent), nullptr);
        }
        EXPECT_GT(rows, 0u) << "percent " << percent;
    }
}

TEST(KeptListIndex, SearchesThroughTheKeptIndexFindThePlainRows) {
    Collection c;
    Fill(c, 11);
    const std::string cache = c.tree.Folder("cache");
    std::mt19937 rng(11);
    size_t rows = 0;
    for (const int percent : {100, 101}) {
        for (int k = 0; k < 12; ++k) {
            // The first search builds and keeps the index, the later ones read it.
            const std::string text = k % 3 == 0 ? std::string(kWords[k]) : Title(rng);
            const std::vector<CompareRow> plain = Rows(c, percent, std::nullopt, &text);
            rows += plain.size();
            EXPECT_EQ(Rows(c, percent, cache, &text), plain) << text << " at " << percent;
        }
        EXPECT_NE(ReadListIndex(ListIndexFile(cache, percent), KeyOfLines(c.lines), c.lines.size(),
                                percent),
                  nullptr);
    }
    EXPECT_GT(rows, 0u);
}

TEST(KeptListIndex, TheKeptIndexIsWhatTheRunUses) {
    // An index of other titles filed under this list's key: a run that reads
    // it finds that list's titles. Only a run that trusts the key does so;
    // this shows the cache is read, not rebuilt, when the key matches.
    Collection c;
    Fill(c, 9);
    const std::string cache = c.tree.Folder("cache");
    std::vector<std::string> others = c.lines;
    for (std::string& line : others) {
        if (!line.empty() && line[0] != '\\' && line[0] != '/' && line != "..") line = "zzz.mp3";
    }
    ASSERT_FALSE(Rows(c, 80, std::nullopt).empty());
    Collection o;
    o.folders = c.folders;
    o.lines = others;
    const std::string otherCache = c.tree.Folder("other");
    Rows(o, 80, otherCache);
    std::string bytes = ReadAll(ListIndexFile(otherCache, 80));
    const ListKey key = KeyOfLines(c.lines);
    std::memcpy(&bytes[16], &key.low, 8);  // the key's place in the header
    std::memcpy(&bytes[24], &key.high, 8);
    WriteAll(ListIndexFile(cache, 80), bytes);
    EXPECT_TRUE(Rows(c, 80, cache).empty());
}

TEST(KeptListIndex, ACacheThatCannotBeWrittenOnlyMeansBuilding) {
    Collection c;
    Fill(c, 4);
    const std::string blocker = c.tree.File("not-a-folder", "x");
    EXPECT_EQ(Rows(c, 80, blocker + "/cache"), Rows(c, 80, std::nullopt));
    EXPECT_FALSE(std::filesystem::exists(blocker + "/cache"));
}

// Whatever lies at the index's name, the run goes on without it: a FIFO
// must not hold the open, a folder must not be read.
TEST(KeptListIndex, SomethingElseAtTheIndexNameIsNeitherWaitedForNorTrusted) {
    Collection c;
    Fill(c, 4);
    const std::vector<CompareRow> plain = Rows(c, 80, std::nullopt);
    const std::string fifoFolder = c.tree.Folder("fifo");
    ASSERT_EQ(::mkfifo(ListIndexFile(fifoFolder, 80).c_str(), 0600), 0);
    EXPECT_EQ(Rows(c, 80, fifoFolder), plain);
    const std::string dirFolder = c.tree.Folder("dir");
    std::filesystem::create_directory(ListIndexFile(dirFolder, 80));
    EXPECT_EQ(Rows(c, 80, dirFolder), plain);
}

TEST(KeptListIndex, ReaderRefusesEveryOtherKeyCountPercentageAndCut) {
    std::mt19937 rng(5);
    const std::vector<std::string> lines = List(rng, 300);
    std::vector<PreparedName> refs;
    for (const auto& line : lines) refs.push_back(PrepareName(NormalizeName(line)));
    const auto index = CandidateIndex::Build(refs, 80);
    const ListKey key = KeyOfLines(lines);
    const std::string bytes = ListIndexBytes(*index, key, lines.size(), 80);
    ASSERT_NE(ReadListIndexBytes(bytes, key, lines.size(), 80), nullptr);
    EXPECT_EQ(ReadListIndexBytes(bytes, {key.low, key.high + 1}, lines.size(), 80), nullptr);
    EXPECT_EQ(ReadListIndexBytes(bytes, key, lines.size() + 1, 80), nullptr);
    EXPECT_EQ(ReadListIndexBytes(bytes, key, lines.size(), 81), nullptr);
    for (size_t cut = 0; cut < bytes.size(); cut += 1 + cut / 8) {
        EXPECT_EQ(ReadListIndexBytes(std::string_view(bytes).substr(0, cut), key, lines.size(), 80),
                  nullptr)
            << "cut at " << cut;
    }
    // The key is of the lines themselves: a changed line is another key.
    std::vector<std::string> changed = lines;
    changed[3] += " ";
    EXPECT_FALSE(KeyOfLines(changed) == key);
    EXPECT_FALSE(KeyOfLines({"ab", "c"}) == KeyOfLines({"a", "bc"}));
}

// The loader reads most arrays where they lie in the file's bytes; bytes at
// an address not aligned for them are copied instead. Either way the loaded
// index must give every probe the built index's candidates.
TEST(KeptListIndex, LoadedAtAnyAlignmentGivesTheBuiltCandidates) {
    std::mt19937 rng(11);
    const std::vector<std::string> lines = List(rng, 500);
    std::vector<PreparedName> refs;
    for (const auto& line : lines) refs.push_back(PrepareName(NormalizeName(line)));
    for (const int percent : {1, 50, 80, 100, 101}) {
        const auto built = CandidateIndex::Build(refs, percent);
        const ListKey key = KeyOfLines(lines);
        const std::string bytes = ListIndexBytes(*built, key, lines.size(), percent);
        for (const size_t shift : {0, 1, 2, 4}) {
            // Eight-aligned storage, the bytes `shift` past its start.
            std::vector<uint64_t> store(bytes.size() / 8 + 2);
            char* at = reinterpret_cast<char*>(store.data()) + shift;
            std::memcpy(at, bytes.data(), bytes.size());
            const auto loaded = ReadListIndexBytes({at, bytes.size()}, key, lines.size(), percent);
            ASSERT_NE(loaded, nullptr) << percent << " shifted by " << shift;
            for (size_t k = 0; k < 200; ++k) {
                const PreparedName probe = PrepareName(NormalizeName(Title(rng)));
                std::vector<uint32_t> want, got;
                built->Candidates(probe, 0, want);
                loaded->Candidates(probe, 0, got);
                ASSERT_EQ(got, want) << percent << " shifted by " << shift;
            }
        }
    }
}

// A loaded index lays out a segment when a probe asks for it a second time:
// probes on several threads at once, each segment asked for first by any of
// them, still get the built index's candidates.
TEST(KeptListIndex, ProbesOnThreadsAtOnceGetTheBuiltCandidates) {
    std::mt19937 rng(12);
    const std::vector<std::string> lines = List(rng, 3000);
    std::vector<PreparedName> refs, probes;
    for (const auto& line : lines) refs.push_back(PrepareName(NormalizeName(line)));
    for (int k = 0; k < 400; ++k) probes.push_back(PrepareName(NormalizeName(Title(rng))));
    const auto built = CandidateIndex::Build(refs, 80);
    const ListKey key = KeyOfLines(lines);
    const std::string bytes = ListIndexBytes(*built, key, lines.size(), 80);
    const auto loaded = ReadListIndexBytes(bytes, key, lines.size(), 80);
    ASSERT_NE(loaded, nullptr);
    // By thread, by probe.
    std::vector<std::vector<std::vector<uint32_t>>> got(
        4, std::vector<std::vector<uint32_t>>(probes.size()));
    std::vector<std::thread> threads;
    for (size_t t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            // Each thread its own order, so the first asker of a word varies.
            for (size_t k = 0; k < probes.size(); ++k) {
                const size_t at = t % 2 == 0 ? k : probes.size() - 1 - k;
                loaded->Candidates(probes[at], 0, got[t][at]);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (size_t k = 0; k < probes.size(); ++k) {
        std::vector<uint32_t> want;
        built->Candidates(probes[k], 0, want);
        for (size_t t = 0; t < got.size(); ++t) ASSERT_EQ(got[t][k], want) << "probe " << k;
    }
}

TEST(KeptListIndex, TheKeyIsTheHashOfTheLinesEachEndedByALineFeed) {
    // Against the plain model: the lines joined and hashed in one go, across
    // the sizes where the key's own gathering of short lines changes course.
    const std::string longLine(40000, 'x');
    const std::string nearChunk(65535, 'y');
    const std::vector<std::vector<std::string>> cases = {
        {},
        {""},
        {"a", "b"},
        {"a", longLine, "b"},
        {longLine},
        {nearChunk, "c"},
        {"c", nearChunk},
        {"d", longLine, longLine, "e", nearChunk},
    };
    for (const auto& lines : cases) {
        std::string joined;
        for (const std::string& line : lines) joined += line + '\n';
        const XXH128_hash_t want = XXH3_128bits(joined.data(), joined.size());
        const ListKey key = KeyOfLines(lines);
        EXPECT_EQ(key.low, want.low64) << lines.size() << " lines";
        EXPECT_EQ(key.high, want.high64) << lines.size() << " lines";
    }
}

}  // namespace
}  // namespace mv
