#include "player/xaudio_player.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>

#include "event_recorder.h"
#include "fake_engine_handle.h"
#include "notification_builder.h"
#include "support/widgets/test_application.h"

namespace mv {
namespace {

using ::testing::ElementsAre;
using N = NotificationBuilder;

// Runs the event loop until `done` holds or a generous limit passes.
bool ProcessEventsUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

class TXaudioPlayerTest : public ::testing::Test {
  protected:
    TXaudioPlayerTest() : fake(FAKE_XAUDIO) { mv::test::TestApplication(); }

    FakeEngineHandle fake;
};

TEST_F(TXaudioPlayerTest, NotificationsArriveThroughTheEventLoopInOrder) {
    QObject owner;
    auto* player = new TXaudioPlayer(&owner);
    EventRecorder recorder(*player);
    player->OnNotifyMessage = nullptr;
    player->SetXaudioPath(FAKE_XAUDIO);
    player->Init();

    fake.Push(N(78).U8(4, 1));
    fake.Push(N(85).U32(4, 10).U32(8, 400));
    fake.Push(N(78).U8(4, 3));
    EXPECT_TRUE(ProcessEventsUntil([&] { return recorder.log.size() >= 3; }));
    EXPECT_THAT(recorder.log,
                ElementsAre("PlayerState(1)", "InputPosition(10,400)", "PlayerState(3)"));

    // Later records wake the loop again.
    fake.Push(N(77));
    EXPECT_TRUE(ProcessEventsUntil([&] { return recorder.log.size() >= 4; }));
    EXPECT_EQ(recorder.log.back(), "Exited()");
}

TEST_F(TXaudioPlayerTest, AHandlerRunningTheEventLoopDoesNotReorderRecords) {
    TXaudioPlayer player;
    EventRecorder recorder(player);
    player.OnNotifyMessage = nullptr;
    player.SetXaudioPath(FAKE_XAUDIO);
    player.Init();
    // Like a handler that shows a modal box: the loop runs inside it.
    player.OnNotifyPlayerState = [&](XaudioComponent&, int32_t state) {
        recorder.log.push_back("PlayerState(" + std::to_string(state) + ") begins");
        if (state == 3) {
            fake.Push(N(78).U8(4, 0));
            QElapsedTimer timer;
            timer.start();
            while (timer.elapsed() < 100) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            }
        }
        recorder.log.push_back("ends");
    };
    fake.Push(N(78).U8(4, 3));
    EXPECT_TRUE(ProcessEventsUntil([&] { return recorder.log.size() >= 4; }));
    EXPECT_THAT(recorder.log,
                ElementsAre("PlayerState(3) begins", "ends", "PlayerState(0) begins", "ends"));
}

}  // namespace
}  // namespace mv
