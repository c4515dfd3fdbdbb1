// The engine's inner parts whose faults would be hard to see through sound:
// the value curves, the output choice and the notification records.
#include <gtest/gtest.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cmath>
#include <cstring>

#include "engine/audio_output.h"
#include "engine/engine_values.h"
#include "engine/notification_queue.h"

namespace mv {
namespace {

TEST(EngineValues, CurvesHitTheirDocumentedPoints) {
    EXPECT_EQ(VolumeGain(0), 0.0);
    EXPECT_EQ(VolumeGain(100), 1.0);
    EXPECT_DOUBLE_EQ(VolumeGain(50), 0.25);
    EXPECT_EQ(VolumeGain(-5), 0.0);
    EXPECT_EQ(VolumeGain(150), 1.0);

    EXPECT_DOUBLE_EQ(SpeedFactor(1000), 1.0);
    EXPECT_DOUBLE_EQ(SpeedFactor(2000), 2.0);
    EXPECT_DOUBLE_EQ(SpeedFactor(0), 0.05);  // slowest usable, never a standstill
    EXPECT_DOUBLE_EQ(SpeedFactor(5000), 2.0);

    EXPECT_DOUBLE_EQ(EqualizerFactor(0), 1.0);
    EXPECT_NEAR(20 * std::log10(EqualizerFactor(80)), 12.0, 1e-9);
    EXPECT_NEAR(20 * std::log10(EqualizerFactor(-80)), -12.0, 1e-9);
}

TEST(EngineOutput, EnvironmentPicksWavFileOrSoundServer) {
    const auto wav = OutputTargetFromEnvironment("wav:/tmp/a b.wav");
    EXPECT_EQ(wav.driver, "wav");
    EXPECT_EQ(wav.device, "/tmp/a b.wav");
    EXPECT_TRUE(wav.paced);
    for (const char* other : {static_cast<const char*>(nullptr), "", "wav:", "alsa"}) {
        const auto t = OutputTargetFromEnvironment(other);
        EXPECT_EQ(t.driver, "pulse,alsa");
        EXPECT_TRUE(t.device.empty());
        EXPECT_FALSE(t.paced);
    }
}

TEST(NotificationQueue, RecordsKeepOffsetsTextsAndOrder) {
    const int fd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    ASSERT_GE(fd, 0);
    NotificationQueue queue(fd);
    XA_EqualizerInfo eq{};
    eq.right[0] = -7;
    queue.Push(Notification(XA_NOTIFY_STREAM_PARAMETERS).U32(4, 44100).S16(8, -2).U8(10, 2));
    queue.Push(Notification(XA_NOTIFY_ERROR).U8(4, 1).S16(6, -8).Text(8, std::string(100, 'x')));
    queue.Push(Notification(XA_NOTIFY_CODEC_EQUALIZER).Equalizer(eq));

    std::uint64_t signals = 0;
    ASSERT_EQ(::read(fd, &signals, sizeof signals), 8);
    EXPECT_EQ(signals, 3u);

    XA_Message m{};
    ASSERT_TRUE(queue.Pop(&m));
    EXPECT_EQ(m.code, XA_NOTIFY_STREAM_PARAMETERS);
    const std::uint8_t expected[] = {0x44, 0xac, 0x00, 0x00, 0xfe, 0xff, 0x02};
    EXPECT_EQ(std::memcmp(m.payload, expected, sizeof expected), 0);
    EXPECT_EQ(m.ptr4, nullptr);
    EXPECT_STREQ(xa_message_text(&m, 8), "");

    ASSERT_TRUE(queue.Pop(&m));
    EXPECT_EQ(xa_message_s16(&m, 6), -8);
    const char* text = xa_message_text(&m, 8);
    EXPECT_EQ(std::string(text), std::string(100, 'x'));  // still alive after the pop

    ASSERT_TRUE(queue.Pop(&m));
    ASSERT_NE(m.ptr4, nullptr);
    EXPECT_EQ(static_cast<const XA_EqualizerInfo*>(m.ptr4)->right[0], -7);
    EXPECT_FALSE(queue.Pop(&m));
    ::close(fd);
}

}  // namespace
}  // namespace mv
