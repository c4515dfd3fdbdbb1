// The command protocol without sound: every command gets one answer, in the
// order sent, and the values asked for come back as notifications.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "engine_session.h"
#include "support/core/temp_tree.h"

namespace mv::test {
namespace {

// Nothing is played here; the WAV output only keeps the sound card out of it.
TEST(EngineProtocol, ReportsVersionAndStartsReady) {
    const TempTree tree;
    EXPECT_EQ((xaudio_get_version(2) >> 16) & 0xff, 3u);
    EXPECT_EQ((xaudio_get_version(2) >> 8) & 0xff, 8u);
    EXPECT_STRNE(xaudio_error_string(12345), nullptr);
    XA_Player* none = nullptr;
    EXPECT_NE(player_new(nullptr, nullptr), XA_SUCCESS);
    EXPECT_NE(control_message_send_N(none, XA_CMD_PLAY), XA_SUCCESS);

    EngineSession s(tree.Path("out.wav"));
    ASSERT_TRUE(s.Started());
    EXPECT_TRUE(s.WaitFor([](const Record& r) { return r.code == XA_NOTIFY_READY; }, 1s));
    EXPECT_EQ(player_get_priority(s.Player()), 3);
    EXPECT_EQ(player_set_priority(s.Player(), 5), XA_SUCCESS);
    EXPECT_EQ(player_get_priority(s.Player()), 5);
    XA_Message m{};
    EXPECT_EQ(control_win32_params_to_message(s.Player(), &m, 0x8fff, 0, 0),
              XA_ERROR_NOT_A_MESSAGE);
}

TEST(EngineProtocol, AnswersEveryCommandInOrder) {
    const TempTree tree;
    EngineSession s(tree.Path("out.wav"));
    // Unknown codes, codes sent with the wrong variant and commands this
    // engine cannot carry out are refused; what the program sends is accepted.
    EXPECT_FALSE(s.Command(53));
    EXPECT_FALSE(s.Command(XA_CMD_INPUT_SEEK));  // needs II
    EXPECT_FALSE(s.CommandSI(XA_CMD_INPUT_ADD_FILTER, "reverb", 0));
    EXPECT_TRUE(s.CommandS(XA_CMD_OUTPUT_MODULE_REGISTER, "xa_dsound_output.dll"));
    EXPECT_TRUE(s.CommandSI(XA_CMD_SET_PLAYER_ENVIRONMENT_INTEGER, XA_ENV_WINDOW, 77));
    EXPECT_FALSE(s.CommandSI(XA_CMD_SET_PLAYER_ENVIRONMENT_INTEGER, XA_ENV_PITCH, 2001));
    EXPECT_TRUE(s.Command(XA_CMD_STOP));  // harmless without a song
    EXPECT_TRUE(s.Command(XA_CMD_INPUT_CLOSE));
    EXPECT_TRUE(s.Command(XA_CMD_OUTPUT_CLOSE));

    // A burst of commands is answered one by one in the order sent.
    s.Mark();
    for (int tag = 1; tag <= 50; ++tag) control_message_send_I(s.Player(), XA_CMD_PING, tag);
    for (std::uint32_t tag = 1; tag <= 50; ++tag) {
        const auto pong = s.WaitFor([](const Record& r) { return r.code == XA_NOTIFY_PONG; }, 2s);
        ASSERT_TRUE(pong);
        EXPECT_EQ(pong->u32at4, tag);
        const auto ack = s.WaitFor([](const Record& r) { return r.code == XA_NOTIFY_ACK; }, 2s);
        ASSERT_TRUE(ack);
        EXPECT_EQ(ack->u8at4, XA_CMD_PING);
    }
}

TEST(EngineProtocol, GivesBackWhatWasSet) {
    const TempTree tree;
    EngineSession s(tree.Path("out.wav"));
    ASSERT_TRUE(s.CommandSI(XA_CMD_SET_PLAYER_ENVIRONMENT_INTEGER, XA_ENV_PITCH, 1500));
    s.Mark();
    ASSERT_TRUE(s.CommandS(XA_CMD_GET_PLAYER_ENVIRONMENT_INTEGER, XA_ENV_PITCH));
    const auto env = s.WaitFor(
        [](const Record& r) { return r.code == XA_NOTIFY_PLAYER_ENVIRONMENT_INTEGER; }, 1s);
    ASSERT_TRUE(env);
    EXPECT_EQ(env->text4, XA_ENV_PITCH);
    EXPECT_EQ(env->u32at8, 1500u);
    EXPECT_FALSE(s.CommandS(XA_CMD_GET_PLAYER_ENVIRONMENT_INTEGER, "NO.SUCH.NAME"));

    ASSERT_TRUE(s.CommandIII(XA_CMD_SET_OUTPUT_VOLUME, 80, 40, -1));
    s.Mark();
    ASSERT_TRUE(s.Command(XA_CMD_GET_OUTPUT_VOLUME));
    const auto volume =
        s.WaitFor([](const Record& r) { return r.code == XA_NOTIFY_OUTPUT_VOLUME; }, 1s);
    ASSERT_TRUE(volume);
    EXPECT_EQ(volume->u32at4 & 0xffffff, 80u | (40u << 8) | (50u << 16));
}

// Every value the player keeps for the program comes back as it was set, and
// the values it cannot take are refused without changing anything.
TEST(EngineProtocol, EachKeptValueComesBackAndBadOnesAreRefused) {
    const TempTree tree;
    EngineSession s(tree.Path("out.wav"));
    const auto u8 = [](const Record& r) { return std::uint32_t{r.u8at4}; };
    const auto u32 = [](const Record& r) { return r.u32at4; };
    struct Kept {
        int set, get, notify;
        int value;
        std::function<std::uint32_t(const Record&)> read;
    };
    const Kept kept[] = {
        {XA_CMD_SET_PLAYER_MODE, XA_CMD_GET_PLAYER_MODE, XA_NOTIFY_PLAYER_MODE, 7, u32},
        {XA_CMD_SET_INPUT_POSITION_RANGE, XA_CMD_GET_INPUT_POSITION_RANGE,
         XA_NOTIFY_INPUT_POSITION_RANGE, 1000, u32},
        {XA_CMD_SET_INPUT_TIMECODE_GRANULARITY, XA_CMD_GET_INPUT_TIMECODE_GRANULARITY,
         XA_NOTIFY_INPUT_TIMECODE_GRANULARITY, 250, u32},
        {XA_CMD_SET_OUTPUT_PORTS, XA_CMD_GET_OUTPUT_PORTS, XA_NOTIFY_OUTPUT_PORTS, 3, u8},
        {XA_CMD_SET_CODEC_QUALITY, XA_CMD_GET_CODEC_QUALITY, XA_NOTIFY_CODEC_QUALITY, 2, u8},
        {XA_CMD_SET_NOTIFICATION_MASK, XA_CMD_GET_NOTIFICATION_MASK, XA_NOTIFY_NOTIFICATION_MASK,
         0x1234, u32},
        {XA_CMD_SET_DEBUG_LEVEL, XA_CMD_GET_DEBUG_LEVEL, XA_NOTIFY_DEBUG_LEVEL, 4, u8},
    };
    for (const Kept& k : kept) {
        SCOPED_TRACE(k.set);
        ASSERT_TRUE(s.CommandI(k.set, k.value));
        s.Mark();
        ASSERT_TRUE(s.Command(k.get));
        const int notify = k.notify;
        const auto got = s.WaitFor([notify](const Record& r) { return r.code == notify; }, 1s);
        ASSERT_TRUE(got);
        EXPECT_EQ(k.read(*got), static_cast<std::uint32_t>(k.value));
    }
    // One module per stage, numbered 0; ranges count from 1.
    EXPECT_FALSE(s.CommandI(XA_CMD_SET_INPUT_POSITION_RANGE, 0));
    EXPECT_FALSE(s.CommandI(XA_CMD_SET_INPUT_TIMECODE_GRANULARITY, -1));
    EXPECT_FALSE(s.CommandI(XA_CMD_SET_INPUT_MODULE, 1));
    EXPECT_FALSE(s.CommandI(XA_CMD_SET_OUTPUT_MODULE, 2));
    EXPECT_FALSE(s.CommandI(XA_CMD_CODEC_MODULE_QUERY, 1));
    EXPECT_TRUE(s.CommandI(XA_CMD_SET_INPUT_MODULE, 0));
    s.Mark();
    ASSERT_TRUE(s.Command(XA_CMD_GET_INPUT_POSITION_RANGE));
    const auto range =
        s.WaitFor([](const Record& r) { return r.code == XA_NOTIFY_INPUT_POSITION_RANGE; }, 1s);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->u32at4, 1000u);
    ASSERT_TRUE(s.CommandI(XA_CMD_OUTPUT_MODULE_QUERY, 0));
    EXPECT_TRUE(
        s.WaitFor([](const Record& r) { return r.code == XA_NOTIFY_OUTPUT_MODULE_INFO; }, 1s));

    EXPECT_TRUE(s.Command(XA_CMD_OUTPUT_MUTE));
    EXPECT_TRUE(s.Command(XA_CMD_OUTPUT_UNMUTE));
    ASSERT_TRUE(s.CommandSS(XA_CMD_SET_PLAYER_ENVIRONMENT_STRING, "OUR.NAME", "blue"));
    s.Mark();
    ASSERT_TRUE(s.CommandS(XA_CMD_GET_PLAYER_ENVIRONMENT_STRING, "OUR.NAME"));
    const auto env = s.WaitFor(
        [](const Record& r) { return r.code == XA_NOTIFY_PLAYER_ENVIRONMENT_STRING; }, 1s);
    ASSERT_TRUE(env);
    EXPECT_EQ(env->text4, "OUR.NAME");
    EXPECT_EQ(env->text8, "blue");
    ASSERT_TRUE(s.CommandS(XA_CMD_UNSET_PLAYER_ENVIRONMENT, "OUR.NAME"));
    EXPECT_FALSE(s.CommandS(XA_CMD_GET_PLAYER_ENVIRONMENT_STRING, "OUR.NAME"));
}

}  // namespace
}  // namespace mv::test
