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

}  // namespace
}  // namespace mv
