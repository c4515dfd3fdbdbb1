#include "filetools/naming_model.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <random>
#include <thread>

#include "support/core/tag_fixture.h"
#include "support/core/temp_tree.h"

using ::testing::HasSubstr;

namespace mv {
namespace {

namespace fs = std::filesystem;
using test::TagBlock;

// The name as the steps read, done the plain way: expand the placeholders,
// then remove the zero bytes, then shrink blank runs until none is left.
std::string PlainName(const std::string& block, const std::string& model) {
    const size_t offsets[] = {3, 33, 63, 93, 97};
    const size_t widths[] = {30, 30, 30, 4, 30};
    std::string name;
    for (size_t k = 0; k < model.size(); ++k) {
        if (model[k] != '%') {
            name += model[k];
        } else if (k + 1 < model.size()) {
            const int f = model[++k] - '1';
            if (f >= 0 && f < 5) name += block.substr(offsets[f], widths[f]);
        }
    }
    name.erase(std::remove(name.begin(), name.end(), '\0'), name.end());
    for (size_t at; (at = name.find("  ")) != std::string::npos;) name.erase(at, 1);
    return name;
}

TEST(NamingModel, BuildsNamesAsTheStepsSay) {
    const std::string zeroPadded = TagBlock("Title", "Artist", "Album", "1999", "Note");
    const std::string blankPadded = TagBlock("Title", "Artist", "Album", "1999", "Note", ' ');
    struct Case {
        const char* what;
        std::string block;
        const char* model;
        std::string name;
    };
    const Case cases[] = {
        {"default model", zeroPadded, "%2 - %1", "Artist - Title"},
        {"Rename All's extension", zeroPadded, "%2 - %1.Mp3", "Artist - Title.Mp3"},
        {"blank runs shrink to one", blankPadded, "%2 - %1.Mp3", "Artist - Title .Mp3"},
        {"zero bytes only", TagBlock(), "%2 - %1", " - "},
        {"unknown and final percent signs vanish", zeroPadded, "%1%9x%", "Titlex"},
        {"tag text is not expanded again", TagBlock("100%1 Hits"), "%1", "100%1 Hits"},
        {"bytes around a zero byte join", TagBlock(std::string("ab\0cd", 5)), "%1", "abcd"},
        {"the model's own blank runs shrink", zeroPadded, "%4  %3", "1999 Album"},
        {"every field", zeroPadded, "%1|%2|%3|%4|%5", "Title|Artist|Album|1999|Note"},
        {"a full-width year", TagBlock("", "", "", "2024", "c"), "%4%5", "2024c"},
        {"Windows-1252 bytes become UTF-8", TagBlock("Caf\xE9 \x80 \x81"), "%1",
         "Caf\xC3\xA9 \xE2\x82\xAC \xEF\xBF\xBD"},
        {"a typed character after % goes whole", zeroPadded, "%\xC3\xA9%1", "Title"},
        {"the model's UTF-8 stays", zeroPadded, "%2 \xE2\x80\x93 %1", "Artist \xE2\x80\x93 Title"},
        {"percent percent", zeroPadded, "%%1", "1"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildNameFromModel(c.block, c.model), c.name) << c.what;
        EXPECT_EQ(BuildNameFromModel(c.block.substr(0, 127), c.model), c.name) << c.what;
    }
}

// Random ASCII models and blocks against the plain reading of the steps.
TEST(NamingModel, AgreesWithThePlainReadingOfTheSteps) {
    std::mt19937 rng(11);
    const char alphabet[] = {'%', '%', '1', '2', '3', '4', '5', '6', '0', ' ', ' ', 'a', '-', '\0'};
    auto randomText = [&](size_t maxLength) {
        std::string text;
        const size_t length = rng() % (maxLength + 1);
        for (size_t k = 0; k < length; ++k) text += alphabet[rng() % std::size(alphabet)];
        return text;
    };
    for (int round = 0; round < 2000; ++round) {
        const std::string block = TagBlock(randomText(30), randomText(30), randomText(30),
                                           randomText(4), randomText(30), rng() % 2 ? ' ' : '\0');
        std::string model = randomText(12);
        model.erase(std::remove(model.begin(), model.end(), '\0'), model.end());
        ASSERT_EQ(BuildNameFromModel(block, model), PlainName(block, model))
            << "round " << round << " model \"" << model << "\"";
    }
}

TEST(NamingModel, RefusesWhatIsNotAFileName) {
    struct Case {
        std::string name;
        const char* reason;  // empty: a name
    };
    const Case cases[] = {
        {"", "empty"},
        {".", "not a file name"},
        {"..", "not a file name"},
        {"AC/DC - Song.Mp3", "\"/\""},
        {"/", "\"/\""},
        {std::string(256, 'a'), "at most 255"},
        {std::string(255, 'a'), ""},
        {" - ", ""},
        // Hidden on Linux, and skipped by the program's own listings.
        {"...", "starts with \".\""},
        {".hidden", "starts with \".\""},
        {".. - x.Mp3", "starts with \".\""},
        {"a.b.", ""},
        // A control byte breaks every list that names the file; it is named,
        // never copied into the reason.
        {"Title\r\nInjected.Mp3", "CR (byte 0x0D)"},
        {"Tab\there", "TAB (byte 0x09)"},
        {"new\nline", "LF (byte 0x0A)"},
        {std::string("a\x01", 2), "(byte 0x01)"},
        {"del\x7f", "(byte 0x7F)"},
        {"AC/DC\x1f", "(byte 0x1F)"},
        {"\x1f.Mp3", "(byte 0x1F)"},
        {"caf\xC3\xA9 \xC2\x85", ""},  // UTF-8 bytes above 0x7F are text
    };
    for (const Case& c : cases) {
        const std::string why = NameRefusal(c.name, 255);
        if (*c.reason == '\0') {
            EXPECT_EQ(why, "") << c.name;
        } else {
            EXPECT_THAT(why, HasSubstr(c.reason)) << c.name;
        }
        const bool rawControl = std::any_of(why.begin(), why.end(), [](char ch) {
            return static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F;
        });
        EXPECT_FALSE(rawControl) << why;
    }
}

class Renaming : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::ToneAudio()) GTEST_SKIP() << "lame or sox missing: no MP3 to rename";
    }
    std::string Mp3(const std::string& rel, const std::optional<std::string>& tag) {
        const std::string path = tree.Path(rel);
        EXPECT_TRUE(test::WriteMp3(path, tag));
        return path;
    }
    std::vector<std::string> Names(const std::string& rel) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(tree.Path(rel))) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    test::TempTree tree;
};

TEST_F(Renaming, OneFileTakesTheModelsNameWithoutAnExtension) {
    const std::string tag = TagBlock("Title", "Artist");
    const std::string path = Mp3("m/a.mp3", tag);
    const RenameOutcome r = RenameFromModel(path, kDefaultNamingModel);
    EXPECT_EQ(r.status, RenameStatus::Renamed) << r.reason;
    EXPECT_EQ(r.newName, "Artist - Title");
    EXPECT_EQ(Names("m"), std::vector<std::string>{"Artist - Title"});
    EXPECT_EQ(test::FileBytes(tree.Path("m/Artist - Title")), *test::ToneAudio() + tag);

    // Again: it already has that name.
    EXPECT_EQ(RenameFromModel(tree.Path("m/Artist - Title"), "%2 - %1").status,
              RenameStatus::SameName);
}

// Each file the model cannot name keeps its name, with the reason.
TEST_F(Renaming, FilesKeepTheirNamesWhenTheTagGivesNoName) {
    struct Case {
        const char* file;
        std::optional<std::string> tag;
        const char* model;
        RenameStatus status;
        const char* reason;
    };
    const Case cases[] = {
        {"slash.mp3", TagBlock("Song", "AC/DC"), "%2 - %1", RenameStatus::NotAName, "\"/\""},
        {"empty.mp3", TagBlock(), "%1", RenameStatus::NotAName, "empty"},
        {"dot.mp3", TagBlock("."), "%1", RenameStatus::NotAName, "not a file name"},
        {"dots.mp3", TagBlock(".", "."), "%1%2", RenameStatus::NotAName, "not a file name"},
        {"long.mp3", TagBlock(std::string(30, 't')), "%1%1%1%1%1%1%1%1%1", RenameStatus::NotAName,
         "at most"},
        {"hidden.mp3", TagBlock(), "%1.Mp3", RenameStatus::NotAName, "starts with \".\""},
        {"dotdot.mp3", TagBlock("x", ".."), "%2 - %1.Mp3", RenameStatus::NotAName, "hide"},
        {"cr.mp3", TagBlock("Song\r\nInjected"), "%1", RenameStatus::NotAName, "0x0D"},
        {"untagged.mp3", std::nullopt, "%1", RenameStatus::NoTag, "no ID3v1 tag"},
        {"taken.mp3", TagBlock("untagged.mp3"), "%1", RenameStatus::NameTaken, "already exists"},
    };
    for (const Case& c : cases) Mp3(std::string("m/") + c.file, c.tag);
    tree.File("m/tiny.mp3", "TAG");
    for (const Case& c : cases) {
        const RenameOutcome r = RenameFromModel(tree.Path(std::string("m/") + c.file), c.model);
        EXPECT_EQ(r.status, c.status) << c.file;
        EXPECT_THAT(r.reason, HasSubstr(c.reason)) << c.file;
    }
    const RenameOutcome tiny = RenameFromModel(tree.Path("m/tiny.mp3"), "%1");
    EXPECT_EQ(tiny.status, RenameStatus::Unreadable);
    EXPECT_THAT(tiny.reason, HasSubstr("128 bytes"));
    EXPECT_EQ(Names("m").size(), std::size(cases) + 1);
    EXPECT_TRUE(fs::exists(tree.Path("m/slash.mp3")));
    EXPECT_FALSE(fs::exists(tree.Path("AC")));
}

// Rename All over a tree: ".Mp3" on every name, subfolders by CollectFolders,
// and a second tag of only zero bytes finds its name taken by the first.
TEST_F(Renaming, RenameAllRenamesEveryListedFileOfEachFolder) {
    Mp3("r/a.mp3", TagBlock("Title", "Artist"));
    Mp3("r/b.MP3", TagBlock("Title", "Band", "", "", "", ' '));
    Mp3("r/c.mp3", TagBlock());
    Mp3("r/d.mp3", TagBlock());
    Mp3("r/notes.txt", TagBlock("Not", "Listed"));
    Mp3("r/sub/e.mp3", TagBlock("Deep", "Down"));
    Mp3("r/.hidden/f.mp3", TagBlock("Hidden", "Folder"));
    tree.Folder("r/empty");

    RenameAllParams params;
    params.root = tree.Path("r");
    params.recurse = true;
    const RenameAllResult r = RenameAll(params);
    EXPECT_EQ(r.renamed, 4u);
    ASSERT_EQ(r.outcomes.size(), 5u);
    EXPECT_EQ(r.outcomes[3].path, tree.Path("r/d.mp3"));
    EXPECT_EQ(r.outcomes[3].status, RenameStatus::NameTaken);
    EXPECT_EQ(Names("r"), (std::vector<std::string>{" - .Mp3", ".hidden", "Artist - Title.Mp3",
                                                    "Band - Title .Mp3", "d.mp3", "empty",
                                                    "notes.txt", "sub"}));
    EXPECT_EQ(Names("r/sub"), std::vector<std::string>{"Down - Deep.Mp3"});
    EXPECT_EQ(Names("r/.hidden"), std::vector<std::string>{"f.mp3"});
}

// A dry run reports what the real run then does, name clashes within the run
// included, and changes nothing.
TEST_F(Renaming, ADryRunForetellsTheRealRun) {
    std::mt19937 rng(5);
    const char* const titles[] = {"A", "B", "a.mp3", "b.mp3", "", "x/y", "A.Mp3"};
    for (int k = 0; k < 40; ++k) {
        const std::string file = std::string(1, static_cast<char>('a' + k % 26)) +
                                 std::to_string(k) + (k % 3 ? ".mp3" : ".MP3");
        const bool tagged = rng() % 6 != 0;
        Mp3((k % 2 ? "d/" : "d/sub/") + file,
            tagged ? std::optional(TagBlock(titles[rng() % std::size(titles)],
                                            titles[rng() % std::size(titles)]))
                   : std::nullopt);
    }
    // Names the model gives that are there already.
    Mp3("d/A - A.Mp3", std::nullopt);
    Mp3("d/sub/.Mp3", std::nullopt);

    RenameAllParams params;
    params.root = tree.Path("d");
    params.recurse = true;
    params.model = "%1 - %2";
    params.dryRun = true;
    const std::vector<std::string> before = Names("d");
    const RenameAllResult dry = RenameAll(params);
    EXPECT_EQ(Names("d"), before);
    params.dryRun = false;
    const RenameAllResult real = RenameAll(params);
    ASSERT_EQ(dry.outcomes.size(), real.outcomes.size());
    for (size_t k = 0; k < dry.outcomes.size(); ++k) {
        EXPECT_EQ(dry.outcomes[k].path, real.outcomes[k].path);
        EXPECT_EQ(dry.outcomes[k].newName, real.outcomes[k].newName) << real.outcomes[k].path;
        EXPECT_EQ(dry.outcomes[k].status, real.outcomes[k].status) << real.outcomes[k].path;
    }
    EXPECT_EQ(dry.renamed, real.renamed);
    EXPECT_GT(real.renamed, 5u);
    EXPECT_LT(real.renamed, real.outcomes.size());
}

// Two files renamed to one name at the same moment: one gets it, the other
// keeps its own, and no file is ever lost. A check followed by a rename
// loses one now and then.
TEST_F(Renaming, AFileThatAppearsMeanwhileIsNeverReplaced) {
    const std::string tag = TagBlock("Same", "Name");
    for (int round = 0; round < 100; ++round) {
        const std::string dir = "race" + std::to_string(round) + "/";
        const std::string a = Mp3(dir + "a.mp3", tag + "");
        const std::string b = tree.File(dir + "b.mp3", *test::ToneAudio() + "b" + tag);
        std::atomic<int> ready{0};
        RenameOutcome ra, rb;
        auto race = [&ready](const std::string& path, RenameOutcome& out) {
            ++ready;
            while (ready < 2) {
            }
            out = RenameFromModel(path, "%2 - %1");
        };
        std::thread ta(race, a, std::ref(ra));
        std::thread tb(race, b, std::ref(rb));
        ta.join();
        tb.join();
        const int renamed =
            (ra.status == RenameStatus::Renamed) + (rb.status == RenameStatus::Renamed);
        ASSERT_EQ(renamed, 1) << "round " << round;
        ASSERT_EQ(Names(dir).size(), 2u) << "round " << round;
        ASSERT_TRUE(fs::exists(tree.Path(dir + "Name - Same"))) << "round " << round;
    }
}

// Both ways of renaming, the flag and the link fallback, on names free and taken.
TEST_F(Renaming, NoReplaceRenamesNeverReplace) {
    for (auto rename : {&RenameNoReplace, &RenameByLink}) {
        test::TempTree t;
        const std::string a = t.File("a", "first");
        const std::string b = t.File("b", "second");
        EXPECT_EQ(rename(a, b), EEXIST);
        EXPECT_EQ(test::FileBytes(b), "second");
        EXPECT_EQ(test::FileBytes(a), "first");
        EXPECT_EQ(rename(a, t.Path("c")), 0);
        EXPECT_EQ(test::FileBytes(t.Path("c")), "first");
        EXPECT_FALSE(fs::exists(a));
        EXPECT_EQ(rename(t.Path("missing"), t.Path("d")), ENOENT);
    }
}

}  // namespace
}  // namespace mv
