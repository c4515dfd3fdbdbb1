// The rename preview performed as shown, and the journal that undoes it.
#include "filetools/rename_journal.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "filetools/rename_preview.h"
#include "support/core/tag_fixture.h"
#include "support/core/temp_tree.h"

namespace mv {
namespace {

namespace fs = std::filesystem;
using test::TagBlock;

class RenameBatch : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!test::ToneAudio()) GTEST_SKIP() << "lame or sox missing";
    }
    std::string Mp3(const std::string& rel, const std::optional<std::string>& tag) {
        EXPECT_TRUE(test::WriteMp3(tree.Path(rel), tag));
        return tree.Path(rel);
    }
    std::string Journal() const { return tree.Path("home/RenameJournal.txt"); }
    test::TempTree tree;
};

TEST_F(RenameBatch, PerformingThePreviewDoesWhatItShowed) {
    Mp3("m/a.mp3", TagBlock("One", "Band"));
    Mp3("m/b.mp3", TagBlock("Two", "Band"));
    Mp3("m/c.mp3", std::nullopt);
    Mp3("m/d.mp3", TagBlock("One", "Band"));  // the name a.mp3 takes
    Mp3("m/e.mp3", TagBlock("Three", "Band"));
    tree.Folder("home");
    RenameJournal journal(Journal());
    RenameAllParams params;
    params.root = tree.Path("m");
    params.journal = &journal;
    const RenamePreview preview = PreviewRenameAll(params);
    ASSERT_EQ(preview.rows.size(), 5u);
    EXPECT_EQ(preview.counts[static_cast<int>(RenameStatus::Renamed)], 3u);
    EXPECT_EQ(preview.counts[static_cast<int>(RenameStatus::NoTag)], 1u);
    EXPECT_EQ(preview.counts[static_cast<int>(RenameStatus::NameTaken)], 1u);
    EXPECT_TRUE(fs::exists(tree.Path("m/a.mp3")));  // a preview renames nothing
    EXPECT_FALSE(fs::exists(Journal()));

    // A name the preview saw free is taken before the batch runs.
    const std::string squatter = tree.File("m/Band - Two.Mp3", "not mine");
    const RenameAllResult done = PerformPreview(preview);
    EXPECT_EQ(done.renamed, 2u);
    EXPECT_EQ(done.outcomes[1].status, RenameStatus::NameTaken);
    EXPECT_EQ(test::FileBytes(squatter), "not mine");
    EXPECT_TRUE(fs::exists(tree.Path("m/b.mp3")));
    EXPECT_TRUE(fs::exists(tree.Path("m/Band - One.Mp3")));
    EXPECT_TRUE(fs::exists(tree.Path("m/d.mp3")));

    const auto batches = ReadRenameJournal(Journal());
    ASSERT_EQ(batches.size(), 1u);
    ASSERT_EQ(batches[0].renames.size(), 2u);
    EXPECT_EQ(batches[0].renames[1].from, tree.Path("m/e.mp3"));
    EXPECT_EQ(batches[0].renames[1].to, tree.Path("m/Band - Three.Mp3"));
}

// Files renamed by hand, then recorded, as a batch does it.
void RenameRecorded(RenameJournal& journal, const std::string& from, const std::string& to) {
    ASSERT_EQ(RenameNoReplace(from, to), 0) << from;
    journal.Record(from, to);
}

TEST_F(RenameBatch, OddNamesRoundTripAndUndoGoesBackBatchByBatch) {
    const std::string odd[] = {"tab\there",      "line\nfeed",      "cr\rx",
                               "back\\slash\\t", "bad\xFF\xFEutf8", "plain"};
    tree.Folder("home");
    {
        RenameJournal first(Journal());
        RenameRecorded(first, tree.File("m/" + odd[0], "0"), tree.Path("m/renamed0"));
    }
    {
        RenameJournal second(Journal());
        for (int k = 1; k < 6; ++k) {
            RenameRecorded(second, tree.File("m/" + odd[k], std::to_string(k)),
                           tree.Path("m/renamed" + std::to_string(k)));
        }
        EXPECT_EQ(second.error(), "");
    }
    const auto batches = ReadRenameJournal(Journal());
    ASSERT_EQ(batches.size(), 2u);
    ASSERT_EQ(batches[1].renames.size(), 5u);
    for (int k = 1; k < 6; ++k) EXPECT_EQ(batches[1].renames[k - 1].from, tree.Path("m/" + odd[k]));

    // Meanwhile one old name is taken and one renamed file is replaced.
    tree.File("m/" + odd[2], "new file");
    fs::rename(tree.File("m/other", "someone else's"), tree.Path("m/renamed3"));
    const UndoResult undo = UndoLastRenameBatch(Journal());
    ASSERT_TRUE(undo.found);
    EXPECT_EQ(undo.restored, 3u);
    ASSERT_EQ(undo.rows.size(), 5u);
    EXPECT_EQ(undo.rows[0].rename.from, tree.Path("m/plain"));  // the batch, reversed
    EXPECT_EQ(undo.rows[1].status, UndoStatus::Restored);
    EXPECT_EQ(undo.rows[2].status, UndoStatus::Gone);
    EXPECT_EQ(undo.rows[3].status, UndoStatus::OldNameTaken);
    EXPECT_EQ(test::FileBytes(tree.Path("m/" + odd[2])), "new file");
    EXPECT_EQ(test::FileBytes(tree.Path("m/renamed2")), "2");
    for (int k : {1, 4, 5}) EXPECT_EQ(test::FileBytes(tree.Path("m/" + odd[k])), std::to_string(k));

    const UndoResult before = UndoLastRenameBatch(Journal());
    ASSERT_TRUE(before.found);
    EXPECT_EQ(before.restored, 1u);
    EXPECT_EQ(test::FileBytes(tree.Path("m/" + odd[0])), "0");
    EXPECT_FALSE(UndoLastRenameBatch(Journal()).found);
}

// A crash cut the last record: the renames before it are undone, the file of
// the cut record keeps its new name, and the next batch still starts cleanly.
TEST_F(RenameBatch, AJournalCutMidLineUndoesTheWholeRecords) {
    tree.Folder("home");
    {
        RenameJournal journal(Journal());
        for (int k = 0; k < 3; ++k) {
            RenameRecorded(journal, tree.File("m/old" + std::to_string(k), "x"),
                           tree.Path("m/new" + std::to_string(k)));
        }
    }
    fs::resize_file(Journal(), fs::file_size(Journal()) - 7);
    {
        RenameJournal later(Journal());
        RenameRecorded(later, tree.File("m/late", "y"), tree.Path("m/later"));
    }
    const auto batches = ReadRenameJournal(Journal());
    ASSERT_EQ(batches.size(), 2u);
    EXPECT_EQ(batches[0].renames.size(), 2u);
    EXPECT_EQ(batches[1].renames.size(), 1u);
    EXPECT_EQ(UndoLastRenameBatch(Journal()).restored, 1u);
    EXPECT_EQ(UndoLastRenameBatch(Journal()).restored, 2u);
    EXPECT_TRUE(fs::exists(tree.Path("m/old0")));
    EXPECT_TRUE(fs::exists(tree.Path("m/old1")));
    EXPECT_TRUE(fs::exists(tree.Path("m/new2")));
    EXPECT_TRUE(fs::exists(tree.Path("m/late")));
}

}  // namespace
}  // namespace mv
