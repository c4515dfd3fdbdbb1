#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "event_recorder.h"
#include "fake_engine_handle.h"
#include "notification_builder.h"
#include "player/xaudio_component.h"

namespace mv {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using N = NotificationBuilder;

class XaudioDispatchTest : public ::testing::Test {
  protected:
    XaudioDispatchTest() : fake(FAKE_XAUDIO), recorder(player) {
        player.SetXaudioPath(FAKE_XAUDIO);
    }

    // Queues the record as the engine would and lets the component drain it.
    std::vector<std::string> Deliver(const XA_Message& msg) {
        recorder.log.clear();
        fake.Push(msg);
        player.DrainNotifications();
        return recorder.log;
    }

    FakeEngineHandle fake;
    XaudioComponent player;
    EventRecorder recorder;
};

struct DispatchCase {
    XA_Message record;
    std::string event;
};

TEST_F(XaudioDispatchTest, EachCodeRaisesItsEventWithThePayloadFields) {
    static const XA_Property properties[] = {{"TITLE", "Song"}};
    static XA_EqualizerInfo equalizer{};
    equalizer.left[0] = 80;
    equalizer.left[31] = -80;
    equalizer.right[0] = 1;
    equalizer.right[31] = -1;

    const std::vector<DispatchCase> cases = {
        {N(73), "Ready()"},
        {N(74).U8(4, 8).U8(5, 9), "Ack(8)"},
        {N(75).U8(4, 8).S16(6, -8), "Nack(8,-8)"},
        {N(76).U32(4, 0xDEADBEEF), "Pong(3735928559)"},
        {N(77), "Exited()"},
        {N(78).U8(4, 3).U8(5, 0xFF).U8(6, 0xFF).U8(7, 0xFF), "PlayerState(3)"},
        {N(79).U32(4, 0xFFFFFFFE), "PlayerMode(-2)"},
        {N(80).Ref(4, "OUTPUT.DIRECTSOUND.PITCH").U32(8, 1500),
         "PlayerEnvironmentInteger(\"OUTPUT.DIRECTSOUND.PITCH\",1500)"},
        {N(81).Ref(4, "key").Ref(8, "value"), "PlayerEnvironmentString(\"key\",\"value\")"},
        {N(82).U8(4, 1).U8(5, 1), "InputState(1)"},
        {N(83).Ref(4, "/music/a b.mp3"), "InputName(\"/music/a b.mp3\")"},
        {N(84).U32(4, 0x80000001), "InputCaps(2147483649)"},
        {N(85).U32(4, 123).U32(8, 400), "InputPosition(123,400)"},
        {N(86).U32(4, 1000), "InputPositionRange(1000)"},
        {N(87).U8(4, 1).U8(5, 2).U8(6, 3).U8(7, 99), "InputTimecode(1,2,3,99)"},
        {N(88).U32(4, 10), "InputTimecodeGranularity(10)"},
        {N(89).S16(4, -2), "InputModule(-2)"},
        {N(90).U8(4, 1).U8(5, 2).Ref(8, "mp3").Ref(12, "MPEG audio"),
         "InputModuleInfo(1,2,\"mp3\",\"MPEG audio\")"},
        {N(91).U8(4, 1).U8(5, 2).U8(6, 3).Ref(8, "dev"), "InputDeviceInfo(1,2,3,\"dev\",\"\")"},
        {N(92).U8(4, 5).U8(8, 7).Ref(4, "filter"), "InputFilterInfo(7,\"filter\")"},
        {N(93).U8(4, 1), "OutputState(1)"},
        {N(94).Ref(4, "pulse"), "OutputName(\"pulse\")"},
        {N(95).U32(4, 5), "OutputCaps(5)"},
        {N(100).U8(4, 100).U8(5, 50).U8(6, 25), "OutputVolume(100,50,25)"},
        {N(101).U8(4, 9).U8(5, 9).U8(6, 60), "OutputBalance(60)"},
        {N(102).U8(4, 9).U8(5, 70).U8(6, 9), "OutputPcmLevel(70)"},
        {N(103).U8(4, 80).U8(5, 9).U8(6, 9), "OutputMasterLevel(80)"},
        {N(104).U8(4, 2).U8(5, 9), "OutputChannels(2)"},
        {N(105).U8(4, 6).U8(5, 1).U8(6, 1), "OutputPorts(6)"},
        {N(106).S16(4, 300), "OutputModule(300)"},
        {N(107).U8(4, 4).U8(5, 1).Ref(8, "pulse").Ref(12, "PulseAudio"),
         "OutputModuleInfo(4,1,\"pulse\",\"PulseAudio\")"},
        {N(108).U8(4, 4).U8(5, 0).U8(6, 128).Ref(8, "default").Ref(12, "Default sink"),
         "OutputDeviceInfo(4,0,128,\"default\",\"Default sink\")"},
        {N(109).U8(8, 3).Ref(4, "gain"), "OutputFilterInfo(3,\"gain\")"},
        {N(110).Ref(4, "audio/mpeg"), "StreamMimeType(\"audio/mpeg\")"},
        {N(111).U32(4, 180000), "StreamDuration(180000)"},
        {N(112).U32(4, 44100).S16(8, 128).U8(10, 2), "StreamParameters(44100,128,2)"},
        {N(113).U32(4, 1).Ref(8, properties), "StreamProperties(1,\"TITLE\")"},
        {N(114).U8(4, 200), "CodecQuality(200)"},
        {N(115).Ref(4, &equalizer), "CodecEqualizer(80,-80,1,-1)"},
        {N(115), "CodecEqualizer(0,0,0,0)"},
        {N(116).S16(4, -1), "CodecModule(-1)"},
        {N(117).U8(4, 2).U8(5, 1).Ref(8, "mpg"), "CodecModuleInfo(2,1,\"mpg\",\"\")"},
        {N(118).U8(4, 2).U8(5, 1).U8(6, 0).Ref(12, "desc"), "CodecDeviceInfo(2,1,0,\"\",\"desc\")"},
        {N(119).U32(4, 0xFFFF), "NotificationMask(65535)"},
        {N(120).U8(4, 5), "DebugLevel(5)"},
        {N(121).U8(4, 1).U8(5, 2).S16(6, -300).Ref(8, "half"), "Progress(1,2,-300,\"half\")"},
        {N(122).U8(4, 2).U8(5, 3).Ref(8, "dbg"), "Debug(2,3,\"dbg\")"},
        {N(123).U8(4, 1).S16(6, -8).Ref(8, "cannot open"), "Error(1,-8,\"cannot open\")"},
    };

    player.Init();
    for (const auto& c : cases) {
        const std::string message = "Message(" + std::to_string(c.record.code) + ")";
        EXPECT_THAT(Deliver(c.record), ElementsAre(message, c.event)) << c.event;
    }
}

TEST_F(XaudioDispatchTest, CodesWithoutAnEventRaiseOnlyTheMessageEvent) {
    player.Init();
    for (int code : {96, 97, 98, 99, 124, 72, 2, 0, -1, 100000}) {
        EXPECT_THAT(Deliver(N(code).U8(4, 1)),
                    ElementsAre("Message(" + std::to_string(code) + ")"));
    }
}

TEST_F(XaudioDispatchTest, MessageHandlerCanRedirectTheRecord) {
    player.Init();
    player.OnNotifyMessage = [](XaudioComponent&, XA_Message& msg) {
        if (msg.code == 78) {
            msg.code = 77;
        }
    };
    EXPECT_THAT(Deliver(N(78).U8(4, 1)), ElementsAre("Exited()"));
    player.OnNotifyMessage = nullptr;
    EXPECT_THAT(Deliver(N(78).U8(4, 1)), ElementsAre("PlayerState(1)"));
}

TEST_F(XaudioDispatchTest, NothingIsDispatchedBeforeTheEngineStarts) {
    fake.Push(N(78).U8(4, 1));
    EXPECT_FALSE(player.HandleEngineMessage(XA_NOTIFY_WINDOW_MESSAGE, 0, 0));
    EXPECT_EQ(player.DrainNotifications(), 0);
    EXPECT_THAT(recorder.log, IsEmpty());
    EXPECT_FALSE(player.IsLibraryLoaded());

    player.Init();
    recorder.log.clear();  // the Ready of the start is not queued by the fake
    EXPECT_FALSE(player.HandleEngineMessage(XA_NOTIFY_WINDOW_MESSAGE - 1, 0, 0));
    EXPECT_EQ(fake.State().queue.size(), 1u);
    EXPECT_EQ(player.DrainNotifications(), 1);
    EXPECT_THAT(recorder.log, ElementsAre("Message(78)", "PlayerState(1)"));
}

TEST_F(XaudioDispatchTest, AThrowingHandlerDoesNotHoldBackLaterRecords) {
    player.Init();
    player.OnNotifyPlayerState = [](XaudioComponent&, int32_t) {
        throw std::runtime_error("handler failed");
    };
    player.OnNotifyMessage = nullptr;
    fake.Push(N(78).U8(4, 1));
    fake.Push(N(85).U32(4, 1).U32(8, 400));
    fake.Push(N(78).U8(4, 3));
    fake.Push(N(77));
    EXPECT_EQ(player.DrainNotifications(), 4);
    EXPECT_THAT(recorder.log, ElementsAre("InputPosition(1,400)", "Exited()"));
    EXPECT_TRUE(fake.State().queue.empty());
}

TEST_F(XaudioDispatchTest, NestedDrainDeliversLaterRecordsUnlessTheHandlerHoldsTheRecord) {
    player.Init();
    player.OnNotifyMessage = nullptr;
    player.OnNotifyReady = [this](XaudioComponent& sender) {
        recorder.log.push_back("Ready()");
        fake.Push(N(77));
        EXPECT_EQ(sender.DrainNotifications(), 2);
        recorder.log.push_back("Ready done");
    };
    fake.Push(N(73));
    fake.Push(N(78).U8(4, 2));
    EXPECT_EQ(player.DrainNotifications(), 1);
    EXPECT_THAT(recorder.log, ElementsAre("Ready()", "PlayerState(2)", "Exited()", "Ready done"));
    // The nested call reset the descriptor, so it no longer wakes anyone.
    uint64_t counter = 0;
    EXPECT_LT(::read(player.NotificationFd(), &counter, sizeof counter), 0);

    // The equalizer reference points into the engine's memory: the records
    // after it wait for the outer drain.
    recorder.log.clear();
    player.OnNotifyReady = nullptr;
    const XA_EqualizerInfo bands{};
    player.OnNotifyCodecEqualizer = [this](XaudioComponent& sender, const XA_EqualizerInfo&) {
        fake.Push(N(77));
        EXPECT_EQ(sender.DrainNotifications(), 0);
        recorder.log.push_back("Equalizer done");
    };
    fake.Push(N(115).Ref(4, &bands));
    EXPECT_EQ(player.DrainNotifications(), 2);
    EXPECT_THAT(recorder.log, ElementsAre("Equalizer done", "Exited()"));
}

}  // namespace
}  // namespace mv
