#include "player/xaudio_component.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>
#include <functional>
#include <string>

#include "fake_engine_handle.h"
#include "player/xaudio_exception.h"

namespace mv {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The exception text an operation raised; empty when it raised nothing.
std::string FailureOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const EXaudioException& e) {
        return e.what();
    }
    return {};
}

TEST(XaudioComponentTest, StartsLazilyOnFirstCommandAndOnlyOnce) {
    FakeEngineHandle fake(FAKE_XAUDIO);
    XaudioComponent player;
    EXPECT_EQ(player.GetXaudioPath(),
              (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "libmv_xaudio.so")
                  .string());
    player.SetXaudioPath(FAKE_XAUDIO);

    EXPECT_EQ(player.GetVersion(2), 0u);
    EXPECT_FALSE(player.IsLibraryLoaded());
    EXPECT_EQ(fake.State().playerNewCalls, 0);

    EXPECT_EQ(player.Play(), 0);
    EXPECT_TRUE(player.IsStarted());
    EXPECT_THAT(fake.State().versionComponents, ElementsAre(2));
    EXPECT_EQ(fake.State().playerNewCalls, 1);
    EXPECT_EQ(fake.State().notifyFd, player.NotificationFd());
    EXPECT_THAT(fake.State().commands, ElementsAre(FakeCommand{"N", 4, {}, {}}));

    player.Stop();
    EXPECT_EQ(fake.State().playerNewCalls, 1);
    EXPECT_EQ(player.GetVersion(7), 0x030842u);
    EXPECT_THAT(fake.State().versionComponents, ElementsAre(2, 7));
}

TEST(XaudioComponentTest, InitAndErrorStringStartTheEngineToo) {
    FakeEngineHandle fake(FAKE_XAUDIO);
    XaudioComponent player;
    player.SetXaudioPath(FAKE_XAUDIO);
    EXPECT_EQ(player.ErrorString(-4), "not supported");
    EXPECT_TRUE(player.IsStarted());
    EXPECT_TRUE(player.Init());
    EXPECT_EQ(fake.State().playerNewCalls, 1);
    // Engine results come back unchecked.
    fake.State().sendResult = -7;
    EXPECT_EQ(player.InputOpen("/no/such.mp3"), -7);
}

TEST(XaudioComponentTest, NoNotificationChannelMeansNoComponent) {
    rlimit saved{};
    ::getrlimit(RLIMIT_NOFILE, &saved);
    rlimit none = saved;
    none.rlim_cur = 0;
    ::setrlimit(RLIMIT_NOFILE, &none);
    const std::string failure = FailureOf([] { XaudioComponent player; });
    ::setrlimit(RLIMIT_NOFILE, &saved);
    EXPECT_EQ(failure, "Cannot Create Hidden Window");
}

TEST(XaudioComponentTest, PriorityIsKeptBeforeTheStartAndForwardedAfter) {
    FakeEngineHandle fake(FAKE_XAUDIO);
    {
        XaudioComponent player;
        player.SetXaudioPath(FAKE_XAUDIO);
        EXPECT_EQ(player.GetPriority(), 3u);
        player.SetPriority(5);
        EXPECT_EQ(player.GetPriority(), 5u);
        EXPECT_FALSE(player.IsLibraryLoaded());
        player.Init();
        EXPECT_THAT(fake.State().priorityWrites, ElementsAre(5));

        fake.State().priority = 1;
        EXPECT_EQ(player.GetPriority(), 1u);
        player.SetPriority(6);
        EXPECT_THAT(fake.State().priorityWrites, ElementsAre(5, 6));
    }
    fake.State().priorityWrites.clear();
    XaudioComponent defaulted;
    defaulted.SetXaudioPath(FAKE_XAUDIO);
    defaulted.SetPriority(3);
    defaulted.Init();
    EXPECT_THAT(fake.State().priorityWrites, IsEmpty());
}

TEST(XaudioComponentTest, DestructionDeletesThePlayerAndReleasesTheLibrary) {
    int deletes = 0;
    {
        XaudioComponent player;
        player.SetXaudioPath(FAKE_XAUDIO);
        {
            FakeEngineHandle fake(FAKE_XAUDIO);
            fake.State().deleteCounter = &deletes;
            player.Init();
        }
        EXPECT_TRUE(IsLoaded(FAKE_XAUDIO));
        EXPECT_EQ(deletes, 0);
    }
    EXPECT_EQ(deletes, 1);
    EXPECT_FALSE(IsLoaded(FAKE_XAUDIO));
}

TEST(XaudioComponentTest, WrongInterfaceVersionFailsEveryCommandAndKeepsTheLibrary) {
    FakeEngineHandle fake(FAKE_XAUDIO_V39);
    XaudioComponent player;
    player.SetXaudioPath(FAKE_XAUDIO_V39);
    const std::string mismatch = "Xaudio DLL API Mismatch\rExpected 3.8, Got 3.9";
    EXPECT_EQ(FailureOf([&] { player.Play(); }), mismatch);
    EXPECT_TRUE(player.IsLibraryLoaded());
    EXPECT_FALSE(player.IsStarted());
    EXPECT_EQ(FailureOf([&] { player.SetOutputVolume(-1, 50, -1); }), mismatch);
    EXPECT_EQ(FailureOf([&] { player.Init(); }), mismatch);
    EXPECT_EQ(FailureOf([&] { player.ErrorString(0); }), mismatch);
    EXPECT_EQ(fake.State().playerNewCalls, 0);
    EXPECT_THAT(fake.State().commands, IsEmpty());
    EXPECT_EQ(player.GetVersion(2), 0u);
}

TEST(XaudioComponentTest, MissingEntryPointLeavesNothingLoadedAndIsRetried) {
    XaudioComponent player;
    player.SetXaudioPath(FAKE_XAUDIO_NOSYM);
    const std::string missing = "Cannot Find Symbol control_win32_params_to_message in Xaudio DLL";
    EXPECT_EQ(FailureOf([&] { player.Play(); }), missing);
    EXPECT_FALSE(player.IsLibraryLoaded());
    EXPECT_FALSE(IsLoaded(FAKE_XAUDIO_NOSYM));
    EXPECT_EQ(FailureOf([&] { player.Play(); }), missing);

    // Pointing at a complete library afterwards recovers.
    player.SetXaudioPath(FAKE_XAUDIO);
    EXPECT_EQ(FailureOf([&] { player.Play(); }), "");
    EXPECT_TRUE(player.IsStarted());
}

TEST(XaudioComponentTest, UnloadableLibraryAndRefusedPlayerAreReported) {
    XaudioComponent player;
    player.SetXaudioPath("/no/such/folder/libmv_xaudio.so");
    EXPECT_EQ(FailureOf([&] { player.Init(); }),
              "Cannot Load Xaudio DLL (/no/such/folder/libmv_xaudio.so)");
    EXPECT_FALSE(player.IsLibraryLoaded());

    FakeEngineHandle fake(FAKE_XAUDIO);
    player.SetXaudioPath(FAKE_XAUDIO);
    fake.State().playerNewResult = -2;
    EXPECT_EQ(FailureOf([&] { player.Play(); }), "Cannot Start Xaudio Player");
    EXPECT_FALSE(player.IsStarted());
    EXPECT_TRUE(player.IsLibraryLoaded());
    EXPECT_THAT(fake.State().commands, IsEmpty());

    fake.State().playerNewResult = 0;
    player.Play();
    EXPECT_TRUE(player.IsStarted());
    EXPECT_THAT(fake.State().commands, ElementsAre(FakeCommand{"N", 4, {}, {}}));
}

struct CommandCase {
    const char* name;
    std::function<int32_t(XaudioComponent&)> call;
    FakeCommand expected;
};

TEST(XaudioComponentTest, EveryCommandSendsItsCodeThroughItsVariant) {
    static XA_EqualizerInfo equalizer{};
    int marker = 0;
    void* p = &marker;
    const std::vector<CommandCase> cases = {
        {"Synchronize", [](auto& c) { return c.Synchronize(); }, {"N", 2}},
        {"Ping", [](auto& c) { return c.Ping(77); }, {"I", 3, {77}}},
        {"Play", [](auto& c) { return c.Play(); }, {"N", 4}},
        {"Pause", [](auto& c) { return c.Pause(); }, {"N", 5}},
        {"Stop", [](auto& c) { return c.Stop(); }, {"N", 6}},
        {"InputSeek", [](auto& c) { return c.InputSeek(120, 400); }, {"II", 7, {120, 400}}},
        {"InputOpen",
         [](auto& c) { return c.InputOpen("/m/a b.mp3"); },
         {"S", 8, {}, {"/m/a b.mp3"}}},
        {"InputClose", [](auto& c) { return c.InputClose(); }, {"N", 9}},
        {"InputSendMessage",
         [p](auto& c) { return c.InputSendMessage(0xFFFF, p, -3); },
         {"IPI", 10, {65535, -3}, {}, p}},
        {"InputAddFilter",
         [](auto& c) { return c.InputAddFilter("f", 2); },
         {"SI", 11, {2}, {"f"}}},
        {"InputRemoveFilter",
         [](auto& c) { return c.InputRemoveFilter("f", 3); },
         {"SI", 12, {3}, {"f"}}},
        {"InputFilterList", [](auto& c) { return c.InputFilterList(); }, {"N", 13}},
        {"InputModuleRegister",
         [](auto& c) { return c.InputModuleRegister("in"); },
         {"S", 14, {}, {"in"}}},
        {"InputModuleQuery", [](auto& c) { return c.InputModuleQuery(4); }, {"I", 15, {4}}},
        {"InputModulesList", [](auto& c) { return c.InputModulesList(); }, {"N", 16}},
        {"OutputOpen", [](auto& c) { return c.OutputOpen("out"); }, {"S", 17, {}, {"out"}}},
        {"OutputClose", [](auto& c) { return c.OutputClose(); }, {"N", 18}},
        {"OutputSendMessage",
         [p](auto& c) { return c.OutputSendMessage(7, p, 8); },
         {"IPI", 19, {7, 8}, {}, p}},
        {"OutputMute", [](auto& c) { return c.OutputMute(); }, {"N", 20}},
        {"OutputUnmute", [](auto& c) { return c.OutputUnmute(); }, {"N", 21}},
        {"OutputReset", [](auto& c) { return c.OutputReset(); }, {"N", 22}},
        {"OutputDrain", [](auto& c) { return c.OutputDrain(); }, {"N", 23}},
        {"OutputAddFilter",
         [](auto& c) { return c.OutputAddFilter("g", 5); },
         {"SI", 24, {5}, {"g"}}},
        {"OutputRemoveFilter",
         [](auto& c) { return c.OutputRemoveFilter("g", 6); },
         {"SI", 25, {6}, {"g"}}},
        {"OutputFilterList", [](auto& c) { return c.OutputFilterList(); }, {"N", 26}},
        {"OutputModuleRegister",
         [](auto& c) { return c.OutputModuleRegister("xa_dsound_output.dll"); },
         {"S", 27, {}, {"xa_dsound_output.dll"}}},
        {"OutputModuleQuery", [](auto& c) { return c.OutputModuleQuery(1); }, {"I", 28, {1}}},
        {"OutputModulesList", [](auto& c) { return c.OutputModulesList(); }, {"N", 29}},
        {"CodecSendMessage",
         [p](auto& c) { return c.CodecSendMessage(1, p, 2); },
         {"IPI", 30, {1, 2}, {}, p}},
        {"CodecModuleRegister",
         [](auto& c) { return c.CodecModuleRegister("c"); },
         {"S", 31, {}, {"c"}}},
        {"CodecModuleQuery", [](auto& c) { return c.CodecModuleQuery(9); }, {"I", 32, {9}}},
        {"CodecModulesList", [](auto& c) { return c.CodecModulesList(); }, {"N", 33}},
        {"SetPlayerMode", [](auto& c) { return c.SetPlayerMode(12); }, {"I", 34, {12}}},
        {"GetPlayerMode", [](auto& c) { return c.GetPlayerMode(); }, {"N", 35}},
        {"SetPlayerEnvironmentInteger",
         [](auto& c) { return c.SetPlayerEnvironmentInteger("OUTPUT.DIRECTSOUND.PITCH", 1500); },
         {"SI", 36, {1500}, {"OUTPUT.DIRECTSOUND.PITCH"}}},
        {"GetPlayerEnvironmentInteger",
         [](auto& c) { return c.GetPlayerEnvironmentInteger("k"); },
         {"S", 37, {}, {"k"}}},
        {"SetPlayerEnvironmentString",
         [](auto& c) { return c.SetPlayerEnvironmentString("k", "v"); },
         {"SS", 38, {}, {"k", "v"}}},
        {"GetPlayerEnvironmentString",
         [](auto& c) { return c.GetPlayerEnvironmentString("k"); },
         {"S", 39, {}, {"k"}}},
        {"UnsetPlayerEnvironment",
         [](auto& c) { return c.UnsetPlayerEnvironment("k"); },
         {"S", 40, {}, {"k"}}},
        {"SetInputName", [](auto& c) { return c.SetInputName("n"); }, {"S", 41, {}, {"n"}}},
        {"GetInputName", [](auto& c) { return c.GetInputName(); }, {"N", 42}},
        {"SetInputModule", [](auto& c) { return c.SetInputModule(3); }, {"I", 43, {3}}},
        {"GetInputModule", [](auto& c) { return c.GetInputModule(); }, {"N", 44}},
        {"SetInputPositionRange",
         [](auto& c) { return c.SetInputPositionRange(1000); },
         {"I", 45, {1000}}},
        {"GetInputPositionRange", [](auto& c) { return c.GetInputPositionRange(); }, {"N", 46}},
        {"SetInputTimecodeGranularity",
         [](auto& c) { return c.SetInputTimecodeGranularity(10); },
         {"I", 47, {10}}},
        {"GetInputTimecodeGranularity",
         [](auto& c) { return c.GetInputTimecodeGranularity(); },
         {"N", 48}},
        {"SetOutputName", [](auto& c) { return c.SetOutputName("o"); }, {"S", 49, {}, {"o"}}},
        {"GetOutputName", [](auto& c) { return c.GetOutputName(); }, {"N", 50}},
        {"SetOutputModule", [](auto& c) { return c.SetOutputModule(2); }, {"I", 51, {2}}},
        {"GetOutputModule", [](auto& c) { return c.GetOutputModule(); }, {"N", 52}},
        {"SetOutputVolume",
         [](auto& c) { return c.SetOutputVolume(-1, 80, -1); },
         {"III", 57, {-1, 80, -1}}},
        {"GetOutputVolume", [](auto& c) { return c.GetOutputVolume(); }, {"N", 58}},
        {"SetOutputChannels", [](auto& c) { return c.SetOutputChannels(2); }, {"I", 59, {2}}},
        {"GetOutputChannels", [](auto& c) { return c.GetOutputChannels(); }, {"N", 60}},
        {"SetOutputPorts", [](auto& c) { return c.SetOutputPorts(6); }, {"I", 61, {6}}},
        {"GetOutputPorts", [](auto& c) { return c.GetOutputPorts(); }, {"N", 62}},
        {"SetCodecQuality", [](auto& c) { return c.SetCodecQuality(200); }, {"I", 63, {200}}},
        {"GetCodecQuality", [](auto& c) { return c.GetCodecQuality(); }, {"N", 64}},
        {"SetCodecEqualizer",
         [](auto& c) { return c.SetCodecEqualizer(&equalizer); },
         {"P", 65, {}, {}, &equalizer}},
        {"SetCodecEqualizer(none)",
         [](auto& c) { return c.SetCodecEqualizer(nullptr); },
         {"P", 65, {}, {}, nullptr}},
        {"GetCodecEqualizer", [](auto& c) { return c.GetCodecEqualizer(); }, {"N", 66}},
        {"SetNotificationMask", [](auto& c) { return c.SetNotificationMask(-1); }, {"I", 69, {-1}}},
        {"GetNotificationMask", [](auto& c) { return c.GetNotificationMask(); }, {"N", 70}},
        {"SetDebugLevel", [](auto& c) { return c.SetDebugLevel(4); }, {"I", 71, {4}}},
        {"GetDebugLevel", [](auto& c) { return c.GetDebugLevel(); }, {"N", 72}},
    };

    FakeEngineHandle fake(FAKE_XAUDIO);
    XaudioComponent player;
    player.SetXaudioPath(FAKE_XAUDIO);
    player.Init();
    fake.State().sendResult = 11;
    for (const auto& c : cases) {
        fake.State().commands.clear();
        EXPECT_EQ(c.call(player), 11) << c.name;
        EXPECT_THAT(fake.State().commands, ElementsAre(c.expected)) << c.name;
    }
}

}  // namespace
}  // namespace mv
