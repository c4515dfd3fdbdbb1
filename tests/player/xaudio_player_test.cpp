#include "player/xaudio_player.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <stdexcept>

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

// Counts the wake-ups of the component's descriptor that reach the event loop.
class WakeCounter : public QObject {
  public:
    explicit WakeCounter(int fd) : fd_(fd) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~WakeCounter() override { QCoreApplication::instance()->removeEventFilter(this); }
    int wakes = 0;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::SockAct) {
            auto* notifier = qobject_cast<QSocketNotifier*>(watched);
            if (notifier != nullptr && notifier->socket() == fd_) ++wakes;
        }
        return false;
    }

  private:
    int fd_;
};

// Runs a nested event loop for `ms`, as a modal box does.
void RunNestedLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

TEST_F(TXaudioPlayerTest, AHandlerRunningANestedLoopGetsLaterRecordsWithoutSpinning) {
    TXaudioPlayer player;
    EventRecorder recorder(player);
    player.OnNotifyMessage = nullptr;
    player.SetXaudioPath(FAKE_XAUDIO);
    player.Init();
    WakeCounter counter(player.NotificationFd());
    player.OnNotifyPlayerState = [&](XaudioComponent&, int32_t state) {
        recorder.log.push_back("PlayerState(" + std::to_string(state) + ") begins");
        if (state == 3) {
            // A record arrives while the box is up, and the descriptor stays
            // signalled unless the nested drain resets it.
            QTimer::singleShot(20, [&] { fake.Push(N(78).U8(4, 0)); });
            RunNestedLoop(300);
        }
        recorder.log.push_back("ends");
    };
    fake.Push(N(78).U8(4, 3));
    EXPECT_TRUE(ProcessEventsUntil([&] { return recorder.log.size() >= 4; }));
    EXPECT_THAT(recorder.log,
                ElementsAre("PlayerState(3) begins", "PlayerState(0) begins", "ends", "ends"));
    // One wake per push, with some slack; a spinning loop wakes thousands of times.
    EXPECT_LE(counter.wakes, 4);
}

TEST_F(TXaudioPlayerTest, RecordsWaitWhileAHandlerHoldsTheEnginesRecordAndNothingSpins) {
    TXaudioPlayer player;
    EventRecorder recorder(player);
    player.SetXaudioPath(FAKE_XAUDIO);
    player.Init();
    WakeCounter counter(player.NotificationFd());
    bool nested = false;
    player.OnNotifyMessage = [&](XaudioComponent&, XA_Message& msg) {
        if (msg.code == 77 && !nested) {
            nested = true;
            QTimer::singleShot(20, [&] { fake.Push(N(78).U8(4, 1)); });
            RunNestedLoop(300);
            recorder.log.push_back("message handler ends");
        }
    };
    fake.Push(N(77));
    EXPECT_TRUE(ProcessEventsUntil([&] { return recorder.log.size() >= 3; }));
    EXPECT_THAT(recorder.log, ElementsAre("message handler ends", "Exited()", "PlayerState(1)"));
    EXPECT_LE(counter.wakes, 4);
}

TEST_F(TXaudioPlayerTest, AnExceptionFromAHandlerIsReportedOnceAndDeliveryGoesOn) {
    TXaudioPlayer player;
    EventRecorder recorder(player);
    player.OnNotifyMessage = nullptr;
    player.SetXaudioPath(FAKE_XAUDIO);
    player.Init();
    player.OnNotifyExited = [](XaudioComponent&) { throw std::runtime_error("no tray"); };
    ::testing::internal::CaptureStderr();
    fake.Push(N(77));
    fake.Push(N(78).U8(4, 2));
    const bool delivered = ProcessEventsUntil([&] { return !recorder.log.empty(); });
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(delivered);
    EXPECT_THAT(recorder.log, ElementsAre("PlayerState(2)"));
    EXPECT_EQ(err, "mp3vandrel: a command stopped on an error: no tray\n");

    // A program hands it to its own error handling instead.
    std::vector<std::string> reported;
    player.OnHandlerError = [&](const std::string& what) { reported.push_back(what); };
    fake.Push(N(77));
    EXPECT_TRUE(ProcessEventsUntil([&] { return !reported.empty(); }));
    EXPECT_THAT(reported, ElementsAre("no tray"));
}

}  // namespace
}  // namespace mv
