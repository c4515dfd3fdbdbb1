#include "catalogue/list_tree.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "catalogue/cd_block.h"
#include "catalogue/list_edit_copy.h"
#include "catalogue/list_location.h"
#include "example_list.h"

namespace mv {
namespace {

using Lines = std::vector<std::string>;
using testing::kExampleList;

// The tree as text: each node's name, children indented by two blanks.
std::string Outline(const Lines& lines, const ListTree& tree) {
    std::string out;
    std::vector<std::pair<uint32_t, int>> stack;
    for (auto it = tree.TopLevel().rbegin(); it != tree.TopLevel().rend(); ++it) {
        stack.push_back({*it, 0});
    }
    while (!stack.empty()) {
        auto [id, depth] = stack.back();
        stack.pop_back();
        out += std::string(2 * depth, ' ') + std::string(NodeName(lines, tree.Node(id))) + "\n";
        const auto& children = tree.Node(id).children;
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            stack.push_back({*it, depth + 1});
        }
    }
    return out;
}

uint32_t NodeNamed(const Lines& lines, const ListTree& tree, std::string_view name) {
    for (uint32_t id = 0; id < tree.NodeCount(); ++id) {
        if (NodeName(lines, tree.Node(id)) == name) return id;
    }
    ADD_FAILURE() << "no node " << name;
    return ListTree::kNone;
}

Lines TextsOf(const Lines& lines, const std::vector<size_t>& at) {
    Lines out;
    for (size_t i : at) out.push_back(lines[i]);
    return out;
}

TEST(ListTree, ExampleListGivesTheCdsAndFoldersInFileOrder) {
    const ListTree tree = ListTree::Build(kExampleList);
    EXPECT_EQ(Outline(kExampleList, tree),
              "Mp3 List\n  Rock 1999\n    Music\n      Pop\n      Rock\n  Live\n    Encore\n");
    ASSERT_EQ(tree.NodeCount(), 7u);
    const std::vector<size_t> lines = {0, 1, 2, 3, 6, 11, 13};
    for (uint32_t id = 0; id < tree.NodeCount(); ++id) {
        EXPECT_EQ(tree.Node(id).line, lines[id]);
        EXPECT_EQ(tree.NodeOfLine(lines[id]), id);
        if (tree.Node(id).parent != ListTree::kNone) {
            const auto& siblings = tree.Node(tree.Node(id).parent).children;
            EXPECT_EQ(siblings.at(tree.Node(id).row), id);
        }
    }
    EXPECT_EQ(tree.NodeOfLine(4), ListTree::kNone);  // a title
    EXPECT_TRUE(tree.IsCd(1));
    EXPECT_TRUE(tree.IsCd(5));
    EXPECT_FALSE(tree.IsCd(0));
    EXPECT_FALSE(tree.IsCd(2));
    EXPECT_EQ(tree.PathTo(4), (std::vector<uint32_t>{0, 1, 2, 4}));
}

TEST(ListTree, OddListsStillGiveATree) {
    const struct {
        const char* what;
        Lines lines;
        const char* outline;
    } cases[] = {
        {"empty list", {}, ""},
        {"a lone slash adds no node",
         {"\\Mp3 List", "\\CD", "/", "/A", "x", "..", ".."},
         "Mp3 List\n  CD\n    A\n"},
        {"nesting broken at a CD's root",
         {"\\Mp3 List", "\\CD", "..", "..", "/Stray", "/Inner", "..", "\\Next", "/In"},
         "Mp3 List\n  CD\n  Next\n    In\nStray\n  Inner\n"},
        {"no header: the first CD is the root",
         {"Loose.mp3", "\\First", "t", "\\Second", "/F"},
         "First\n  Second\n    F\n"},
        {"no header, a folder first", {"/Top", "\\CD"}, "Top\n  CD\n"},
        {"dots with a blank are a title",
         {"\\Mp3 List", "\\CD", "/A", ".. ", "/B"},
         "Mp3 List\n  CD\n    A\n      B\n"},
    };
    for (const auto& c : cases) {
        const ListTree tree = ListTree::Build(c.lines);
        EXPECT_EQ(Outline(c.lines, tree), c.outline) << c.what;
    }
}

TEST(ListTree, TitlesOfANodeInBothModes) {
    const ListTree tree = ListTree::Build(kExampleList);
    const auto titles = [&](std::string_view node, TitleMode mode) {
        return TextsOf(kExampleList,
                       TitleLinesOf(kExampleList, tree, NodeNamed(kExampleList, tree, node), mode));
    };
    const Lines rock = {"Band One Song A.mp3", "Band One Song B.mp3"};
    const Lines wholeRock1999 = {"Singer Tune.mp3", "Band One Song A.mp3", "Band One Song B.mp3"};
    EXPECT_EQ(titles("Rock 1999", TitleMode::RootContent), Lines{});
    EXPECT_EQ(titles("Rock 1999", TitleMode::WholeCd), wholeRock1999);
    EXPECT_EQ(titles("Live", TitleMode::RootContent), Lines{"Concert Intro.mp3"});
    EXPECT_EQ(titles("Live", TitleMode::WholeCd),
              (Lines{"Concert Intro.mp3", "Concert Finale.mp3"}));
    // Folders show their own titles in either mode; the root shows none.
    EXPECT_EQ(titles("Rock", TitleMode::RootContent), rock);
    EXPECT_EQ(titles("Rock", TitleMode::WholeCd), rock);
    EXPECT_EQ(titles("Music", TitleMode::WholeCd), Lines{});
    EXPECT_EQ(titles("Mp3 List", TitleMode::RootContent), Lines{});
    EXPECT_EQ(titles("Mp3 List", TitleMode::WholeCd), Lines{});

    // Empty lines are passed over; the run ends at the first structure line.
    const Lines gappy = {"\\Mp3 List", "\\CD", "a", "", "b", "/F", "c", "..", "d"};
    const ListTree gappyTree = ListTree::Build(gappy);
    EXPECT_EQ(TextsOf(gappy, TitleLinesOf(gappy, gappyTree, 1, TitleMode::RootContent)),
              (Lines{"a", "b"}));
    EXPECT_EQ(TextsOf(gappy, TitleLinesOf(gappy, gappyTree, 1, TitleMode::WholeCd)),
              (Lines{"a", "b", "c", "d"}));
}

TEST(ListTree, EndOfNodeBlockTakesTheNestedLinesAndTheMatchingUpEntry) {
    const struct {
        size_t first;
        size_t end;
    } cases[] = {
        {1, 11},   // Rock 1999: up to the next CD marker
        {2, 11},   // Music with Pop and Rock and its own up entry
        {3, 6},    // Pop
        {6, 10},   // Rock
        {11, 16},  // Live, the last CD: to the end
        {13, 16},  // Encore
    };
    for (const auto& c : cases) EXPECT_EQ(EndOfNodeBlock(kExampleList, c.first), c.end) << c.first;
    // A folder whose up entry is missing runs to the next CD marker, no further.
    const Lines unbalanced = {"\\Mp3 List", "\\A", "/F", "/G", "t", "..", "\\B", "u"};
    EXPECT_EQ(EndOfNodeBlock(unbalanced, 2), 6u);
}

// Catalogues made the way the program writes them: random CDs of random
// folders, each block built by BuildCdBlock from a sorted scan.
Lines RandomCatalogue(std::mt19937& rng, std::map<std::string, std::string>& titleFolder) {
    Lines lines = {"\\Mp3 List"};
    const char* folderNames[] = {"Rock", "Pop", "Rock Live", "Jazz", "A", "B"};
    const int cds = 1 + static_cast<int>(rng() % 4);
    int titleNo = 0;
    for (int cd = 0; cd < cds; ++cd) {
        std::vector<std::string> folders = {"/media/cd"};
        for (int f = 0; f < 6; ++f) {
            std::string folder = "/media/cd";
            const int depth = static_cast<int>(rng() % 4);
            for (int d = 0; d < depth; ++d) (folder += '/').append(folderNames[rng() % 6]);
            folders.push_back(folder);
        }
        std::sort(folders.begin(), folders.end());
        folders.erase(std::unique(folders.begin(), folders.end()), folders.end());
        CdBlockParams params{"CD " + std::to_string(cd), "/media/cd", {}};
        for (const auto& folder : folders) {
            const int count = static_cast<int>(rng() % 3);
            for (int t = 0; t < count; ++t) {
                const std::string title = "Title " + std::to_string(titleNo++) + ".mp3";
                params.files.push_back({title, folder});
            }
        }
        const CdBlockResult block = BuildCdBlock(params);
        EXPECT_EQ(block.error, "");
        lines.insert(lines.end(), block.lines.begin(), block.lines.end());
    }
    std::string location;
    for (const auto& line : lines) {
        if (KindOfListLine(line) == ListLineKind::Title) titleFolder[line] = location;
        AdvanceListLocation(location, line);
    }
    return lines;
}

// The location of a node: its ancestors' names below the root, as a list
// location reads them.
std::string NodeLocation(const Lines& lines, const ListTree& tree, uint32_t id) {
    std::string location;
    for (uint32_t n : tree.PathTo(id)) {
        if (n != tree.Root()) (location += '/').append(NodeName(lines, tree.Node(n)));
    }
    return location;
}

// Differential: the tree against the list locations the comparison uses.
TEST(ListTree, AgreesWithTheListLocationsOnRandomCatalogues) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 200; ++round) {
        std::map<std::string, std::string> titleFolder;
        const Lines lines = RandomCatalogue(rng, titleFolder);
        const ListTree tree = ListTree::Build(lines);
        ASSERT_EQ(tree.TopLevel().size(), 1u);

        // Every node stands for the location after its line, and every title
        // is shown exactly once, by a node of its own location.
        const ListLocations locations(lines);
        std::map<std::string, int> shown;
        for (uint32_t id = 0; id < tree.NodeCount(); ++id) {
            const std::string nodeLocation = NodeLocation(lines, tree, id);
            const size_t next = tree.Node(id).line + 1;
            if (id != tree.Root() && next < lines.size()) {
                EXPECT_EQ(locations.Before(next), nodeLocation);
            }
            for (size_t line : TitleLinesOf(lines, tree, id, TitleMode::RootContent)) {
                ++shown[lines[line]];
                EXPECT_EQ(titleFolder[lines[line]], nodeLocation) << lines[line];
            }
            if (tree.IsCd(id)) {
                Lines expected;
                for (const auto& [title, folder] : titleFolder) {
                    if (folder == nodeLocation || folder.starts_with(nodeLocation + "/")) {
                        expected.push_back(title);
                    }
                }
                Lines whole = TextsOf(lines, TitleLinesOf(lines, tree, id, TitleMode::WholeCd));
                std::sort(whole.begin(), whole.end());
                EXPECT_EQ(whole, expected);
            }
        }
        EXPECT_EQ(shown.size(), titleFolder.size());
        for (const auto& [title, count] : shown) EXPECT_EQ(count, 1) << title;

        // Deleting any node but the root takes exactly its subtree's titles
        // and folders, and leaves a list whose tree is the rest of the old one.
        const uint32_t victim = 1 + static_cast<uint32_t>(rng() % (tree.NodeCount() - 1));
        const std::string gone = NodeLocation(lines, tree, victim);
        const auto inside = [&gone](const std::string& at) {
            return at == gone || at.starts_with(gone + "/");
        };
        Lines expectedOutline;
        for (uint32_t id = 0; id < tree.NodeCount(); ++id) {
            const std::string at = NodeLocation(lines, tree, id);
            if (!inside(at)) expectedOutline.push_back(at);
        }
        ListEditCopy copy;
        copy.Reset(lines);
        ASSERT_TRUE(copy.DeleteNode(victim));
        const Lines& afterLines = copy.Lines();
        const ListTree& after = copy.Tree();
        EXPECT_EQ(copy.TitleCount() + 0, static_cast<size_t>(std::count_if(
                                             afterLines.begin(), afterLines.end(), [](auto& l) {
                                                 return KindOfListLine(l) == ListLineKind::Title;
                                             })));
        Lines afterOutline;
        for (uint32_t id = 0; id < after.NodeCount(); ++id) {
            afterOutline.push_back(NodeLocation(afterLines, after, id));
        }
        EXPECT_EQ(afterOutline, expectedOutline) << "deleting " << gone;
        std::string walked;
        std::string lastCd;
        size_t titlesLeft = 0;
        for (const auto& line : afterLines) {
            if (KindOfListLine(line) == ListLineKind::Title) {
                ++titlesLeft;
                EXPECT_EQ(titleFolder[line], walked) << line;
                EXPECT_FALSE(inside(walked)) << line;
            }
            if (KindOfListLine(line) == ListLineKind::CdMarker) {
                lastCd = line;
                lastCd.front() = '/';
            }
            AdvanceListLocation(walked, line);
        }
        EXPECT_EQ(walked, lastCd) << "the list still ends at a CD's root";
        size_t titlesInside = 0;
        for (const auto& [title, folder] : titleFolder) titlesInside += inside(folder) ? 1 : 0;
        EXPECT_EQ(titlesLeft + titlesInside, titleFolder.size());
    }
}

}  // namespace
}  // namespace mv
