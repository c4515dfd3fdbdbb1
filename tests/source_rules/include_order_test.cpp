#include <gtest/gtest.h>

#include "source_rules.h"

namespace {

using mv::test::IncludeRefusal;

TEST(IncludeOrder, RefusalsFollowTheLayerOrder) {
    const struct {
        const char* from;
        const char* to;
        bool allowed;
    } cases[] = {
        {"dupes/compare_engine.cpp", "platform/text_lines.h", true},
        {"dupes/compare_engine.cpp", "catalogue/list_line.h", true},
        {"catalogue/mp3_list.cpp", "dupes/name_matcher.h", false},
        {"platform/drives.cpp", "dupes/name_matcher.h", false},
        {"dupes/compare_engine.cpp", "ui/common/dialogs.h", false},
        {"ui/common/qt_dialogs.cpp", "dupes/windows/compare_commands.h", false},
        {"dupes/windows/compare_commands.cpp", "ui/common/dialogs.h", true},
        {"dupes/windows/compare_commands.cpp", "ui/main/tf_princ.h", false},
        {"dupes/windows/compare_commands.cpp", "player/windows/equalizer.h", false},
        {"dupes/windows/compare_commands.cpp", "dupes/windows/result_pair_model.h", true},
        {"ui/main/tf_princ.cpp", "dupes/windows/compare_commands.h", true},
        {"ui/main/tf_princ.cpp", "app/shell.h", false},
        {"app/shell.cpp", "ui/main/tf_princ.h", true},
        {"cli/main.cpp", "dupes/compare_engine.h", true},
        {"cli/main.cpp", "ui/common/display_text.h", false},
        {"server/main.cpp", "net/poll_reply.h", true},
        {"server/main.cpp", "dupes/windows/result_pair_model.h", false},
        {"stray/file.cpp", "platform/text_lines.h", false},
        // The cores in their order: either direction of a pair is refused.
        {"filetools/ban_list.cpp", "dupes/name_matcher.h", true},
        {"dupes/name_matcher.cpp", "filetools/ban_list.h", false},
        {"player/engine_library.h", "engine/xaudio_engine.h", true},
        {"engine/engine_player.cpp", "player/playlist_file.h", false},
        {"net/poll_wire.cpp", "player/playlist_file.h", true},
        {"player/playlist_file.cpp", "net/poll_wire.h", false},
        {"media/file_facts.cpp", "catalogue/mp3_list.h", false},
        {"dupes/windows/compare_commands.cpp", "player/playlist_file.h", true},
        {"dupes/compare_engine.cpp", "../ui/main/tf_princ.h", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IncludeRefusal(c.from, c.to).empty(), c.allowed) << c.from << " -> " << c.to;
    }
}

TEST(IncludeOrder, EveryProjectIncludeFollowsTheLayerOrder) {
    const auto tree = mv::test::ProgramTree();
    EXPECT_GT(mv::test::ProjectIncludeCount(tree), 100u);
    const auto faults = mv::test::RuleFaults("includes", tree);
    EXPECT_TRUE(faults.empty()) << ::testing::PrintToString(faults);
}

}  // namespace
