// The player on a private session bus (its own dbus-daemon), driven by gdbus,
// an independent client, as the desktop's media keys would drive it.
#include <gtest/gtest.h>
#include <signal.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

#include "app/mpris_service.h"

namespace mv {

namespace {

QString Q(const char* text) {
    return QString::fromUtf8(text);
}

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "mpris_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app =
        QCoreApplication::instance() != nullptr ? nullptr : new QCoreApplication(argc, argv);
    return app != nullptr ? *app : *QCoreApplication::instance();
}

// A dbus-daemon of our own, ended with the test.
class PrivateBus {
  public:
    PrivateBus() {
        FILE* out = ::popen(
            "dbus-daemon --session --fork --nopidfile --print-address=1 --print-pid=1 "
            "2>/dev/null",
            "r");
        if (out == nullptr) return;
        char line[512];
        if (std::fgets(line, sizeof line, out) != nullptr) address_ = std::string(line);
        if (std::fgets(line, sizeof line, out) != nullptr) pid_ = std::atoi(line);
        ::pclose(out);
        while (!address_.empty() && (address_.back() == '\n' || address_.back() == '\r')) {
            address_.pop_back();
        }
    }
    ~PrivateBus() {
        if (pid_ > 0) ::kill(pid_, SIGTERM);
    }
    const std::string& Address() const { return address_; }

  private:
    std::string address_;
    int pid_ = 0;
};

// gdbus run in the background while our event loop answers it.
QString Gdbus(const std::string& address, QStringList args) {
    QProcess gdbus;
    args.insert(1, Q("--address"));  // after the command word ("call")
    args.insert(2, QString::fromStdString(address));
    QEventLoop loop;
    QObject::connect(&gdbus, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&gdbus, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    gdbus.start(Q("gdbus"), args);
    loop.exec();
    return QString::fromUtf8(gdbus.readAllStandardOutput()) +
           QString::fromUtf8(gdbus.readAllStandardError());
}

class MprisTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        if (std::system("command -v dbus-daemon >/dev/null && command -v gdbus >/dev/null") != 0) {
            GTEST_SKIP() << "dbus-daemon or gdbus is not installed";
        }
        bus_ = std::make_unique<PrivateBus>();
        ASSERT_FALSE(bus_->Address().empty()) << "the private bus did not start";
        hooks.playPause = [this] { ++calls["PlayPause"]; };
        hooks.play = [this] { ++calls["Play"]; };
        hooks.pause = [this] { ++calls["Pause"]; };
        hooks.next = [this] { ++calls["Next"]; };
        hooks.stop = [this] { ++calls["Stop"]; };
        hooks.raise = [this] { ++calls["Raise"]; };
        hooks.quit = [this] { ++calls["Quit"]; };
        hooks.playbackStatus = [this] { return status; };
        hooks.title = [this] { return title; };
        hooks.path = [] { return Q("/music/Song Title.mp3"); };
    }
    // A connection of its own per test: Qt keeps connections by name.
    QDBusConnection Connect(const char* name) {
        static int serial = 0;
        const QString unique = Q(name) + QString::number(++serial);
        names_.push_back(unique);
        return QDBusConnection::connectToBus(QString::fromStdString(bus_->Address()), unique);
    }
    void TearDown() override {
        for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
    }
    QString Call(const QString& name, const char* method, QStringList args = {}) {
        QStringList all = {
            Q("call"),     Q("--dest"), name, Q("--object-path"), Q("/org/mpris/MediaPlayer2"),
            Q("--method"), Q(method)};
        return Gdbus(bus_->Address(), all + args);
    }

    std::unique_ptr<PrivateBus> bus_;
    QStringList names_;
    MprisHooks hooks;
    std::map<std::string, int> calls;
    QString status = Q("Stopped");
    QString title;
};

TEST_F(MprisTest, MediaKeysReachThePlayer) {
    MprisService service(hooks, Connect("service"));
    ASSERT_TRUE(service.Register());
    EXPECT_EQ(service.RegisteredName(), Q("org.mpris.MediaPlayer2.mp3vandrel"));
    const struct {
        const char* method;
        const char* hook;
    } cases[] = {{"org.mpris.MediaPlayer2.Player.PlayPause", "PlayPause"},
                 {"org.mpris.MediaPlayer2.Player.Play", "Play"},
                 {"org.mpris.MediaPlayer2.Player.Pause", "Pause"},
                 {"org.mpris.MediaPlayer2.Player.Next", "Next"},
                 {"org.mpris.MediaPlayer2.Player.Stop", "Stop"},
                 {"org.mpris.MediaPlayer2.Raise", "Raise"},
                 {"org.mpris.MediaPlayer2.Quit", "Quit"}};
    for (const auto& c : cases) {
        const QString reply = Call(service.RegisteredName(), c.method);
        EXPECT_EQ(calls[c.hook], 1) << c.method << ": " << reply.toStdString();
    }
    EXPECT_EQ(calls.size(), 7u);
}

TEST_F(MprisTest, StateAndTitleAreReadAndAnnounced) {
    MprisService service(hooks, Connect("service"));
    ASSERT_TRUE(service.Register());
    const QString player = Q("org.mpris.MediaPlayer2.Player");
    const char* get = "org.freedesktop.DBus.Properties.Get";
    QString reply = Call(service.RegisteredName(), get, {player, Q("PlaybackStatus")});
    EXPECT_TRUE(reply.contains(Q("'Stopped'"))) << reply.toStdString();
    reply = Call(service.RegisteredName(), get, {Q("org.mpris.MediaPlayer2"), Q("Identity")});
    EXPECT_TRUE(reply.contains(Q("'Mp3 Vandrel'"))) << reply.toStdString();

    // A listener on another connection hears the change of state and song:
    // its loop ends on the signal, long before the time limit.
    QDBusConnection listener = Connect("listener");
    QEventLoop loop;
    ASSERT_TRUE(listener.connect(QString(), Q("/org/mpris/MediaPlayer2"),
                                 Q("org.freedesktop.DBus.Properties"), Q("PropertiesChanged"),
                                 &loop, SLOT(quit())));
    status = Q("Playing");
    title = Q("Song Title");
    service.NotifyChanged();
    QElapsedTimer waited;
    waited.start();
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_LT(waited.elapsed(), 4000) << "no PropertiesChanged signal";

    reply = Call(service.RegisteredName(), get, {player, Q("Metadata")});
    EXPECT_TRUE(reply.contains(Q("'xesam:title': <'Song Title'>"))) << reply.toStdString();
    EXPECT_TRUE(reply.contains(Q("file:///music/Song%20Title.mp3"))) << reply.toStdString();
    reply = Call(service.RegisteredName(), get, {player, Q("PlaybackStatus")});
    EXPECT_TRUE(reply.contains(Q("'Playing'"))) << reply.toStdString();
}

TEST_F(MprisTest, ASecondProgramTakesAnInstanceName) {
    MprisService first(hooks, Connect("first"));
    MprisService second(hooks, Connect("second"));
    ASSERT_TRUE(first.Register());
    ASSERT_TRUE(second.Register());
    EXPECT_TRUE(second.RegisteredName().startsWith(Q("org.mpris.MediaPlayer2.mp3vandrel.instance")))
        << second.RegisteredName().toStdString();
    Call(second.RegisteredName(), "org.mpris.MediaPlayer2.Player.Next");
    EXPECT_EQ(calls["Next"], 1);
}

}  // namespace

namespace {

// The bars as a plain model: the volume, and a 200 s song at 50 s.
class MprisBarsTest : public MprisTest {
  protected:
    void SetUp() override {
        MprisTest::SetUp();
        if (IsSkipped()) return;
        title = Q("Song Title");
        status = Q("Playing");
        hooks.volume = [this] { return volume; };
        hooks.setVolume = [this](double v) { volume = v; };
        hooks.length = [] { return qint64(200'000'000); };
        hooks.position = [this] { return position; };
        hooks.seekTo = [this](qint64 p) { position = p; };
    }
    QString Player(const char* method, QStringList args = {}) {
        return Call(name, (std::string("org.mpris.MediaPlayer2.Player.") + method).c_str(), args);
    }
    QString Property(const char* property) {
        return Call(name, "org.freedesktop.DBus.Properties.Get",
                    {Q("org.mpris.MediaPlayer2.Player"), Q(property)});
    }
    QString name;
    double volume = 1.0;
    qint64 position = 50'000'000;
};

TEST_F(MprisBarsTest, VolumeIsWritableAndSeekingMovesThePosition) {
    MprisService service(hooks, Connect("service"));
    ASSERT_TRUE(service.Register());
    name = service.RegisteredName();
    EXPECT_TRUE(Property("CanSeek").contains(Q("true"))) << Property("CanSeek").toStdString();
    const char* set = "org.freedesktop.DBus.Properties.Set";
    const QString iface = Q("org.mpris.MediaPlayer2.Player");
    // Written, then read back through the bus; below 0 is silence.
    for (const auto& [written, kept] :
         {std::pair{"<0.25>", 0.25}, {"<-1.0>", 0.0}, {"<1.0>", 1.0}}) {
        Call(name, set, {iface, Q("Volume"), Q(written)});
        EXPECT_DOUBLE_EQ(volume, kept) << written;
    }
    volume = 0.5;
    EXPECT_TRUE(Property("Volume").contains(Q("0.5"))) << Property("Volume").toStdString();

    // Seek by offsets from 50 s: clamped at the start; past the end is Next.
    const struct {
        const char* offset;
        qint64 after;
        int nexts;
    } seeks[] = {{"10000000", 60'000'000, 0}, {"-100000000", 0, 0}, {"500000000", 50'000'000, 1}};
    for (const auto& s : seeks) {
        position = 50'000'000;
        Player("Seek", {Q("--"), Q(s.offset)});  // "--": a negative offset is no option
        EXPECT_EQ(position, s.after) << s.offset;
        EXPECT_EQ(calls["Next"], s.nexts) << s.offset;
    }
    EXPECT_TRUE(Property("Position").contains(Q("int64 50000000")))
        << Property("Position").toStdString();

    // SetPosition takes the song's own id only, within the song.
    const QString metadata = Property("Metadata");
    const qsizetype at = metadata.indexOf(Q("/io/github/mp3vandrel/track/"));
    ASSERT_GE(at, 0) << metadata.toStdString();
    const QString id = metadata.mid(at, metadata.indexOf(QLatin1Char('\''), at) - at);
    EXPECT_TRUE(metadata.contains(Q("'mpris:length': <int64 200000000>")))
        << metadata.toStdString();
    Player("SetPosition", {Q("'/io/github/mp3vandrel/track/0'"), Q("7000000")});
    Player("SetPosition", {Q("'") + id + Q("'"), Q("300000000")});
    EXPECT_EQ(position, 50'000'000);
    Player("SetPosition", {Q("'") + id + Q("'"), Q("7000000")});
    EXPECT_EQ(position, 7'000'000);
}

}  // namespace

}  // namespace mv
