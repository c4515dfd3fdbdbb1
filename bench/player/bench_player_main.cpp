// mv-bench-player: the playlist handlers (offscreen) on a playlist of 20,000
// entries: loading it, the first shuffled advance (it draws the order), a
// whole shuffled pass, scrolling to rows across the box, a Delete of 1,000
// selected rows and a drop; then, when the engine and sox/lame are there, a
// ten-second song played through the real engine into a WAV file at the pace
// of real time: the process's CPU share and the position bar's moves per
// second.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "player/engine_library.h"
#include "player/player_control.h"
#include "player/windows/playback_events.h"
#include "player/windows/playback_handlers.h"
#include "player/windows/playlist_handlers.h"
#include "player/xaudio_player.h"
#include "ui/common/silent_dialogs.h"

using mv::PlaybackHandlers;
using mv::PlaybackWidgets;
using mv::PlaylistHandlers;
using mv::PlaylistWidgets;
using mv::SilentDialogs;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double CpuSeconds() {
    rusage use{};
    ::getrusage(RUSAGE_SELF, &use);
    return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

// A player that takes every command and does nothing.
class NullPlayer : public mv::PlayerControl {
  public:
    void Stop() override {}
    void InputClose() override {}
    void OutputClose() override {}
    void InputOpen(const std::string&) override {}
    void Play() override {}
    void Pause() override {}
    void InputSeek(int32_t, int32_t) override {}
    void SetSpeed(int32_t) override {}
    void SetVolume(int32_t) override {}
    void SetEqualizer(const XA_EqualizerInfo*) override {}
    void AskEqualizer() override {}
};

struct Panel {
    Panel() {
        window.resize(300, 330);
        lPlayList = new QListWidget(&window);
        lPlayList->setGeometry(0, 0, 277, 305);
        lPlayList->setUniformItemSizes(true);
        tbPitch = new QSlider(Qt::Horizontal, &window);
        tbPitch->setRange(0, 2000);
        tbPitch->setValue(1000);
        tbVolume = new QSlider(Qt::Horizontal, &window);
        tbVolume->setRange(0, 100);
        tbTrack = new QSlider(Qt::Horizontal, &window);
        tbTrack->setRange(0, 400);
        bStop = new QPushButton(&window);
        bPause = new QPushButton(QStringLiteral("Pause"), &window);
        bNext = new QPushButton(&window);
        cbShuffle = new QCheckBox(&window);
        NextTimer = new QTimer(&window);
        NextTimer->setInterval(500);
        eExt = new QLineEdit(QStringLiteral("Mp3"), &window);
        menu = new QMenu(&window);
        for (QAction** a : {&tmi[0], &tmi[1], &tmi[2], &tmi[3], &tmi[4], &tmi[5]}) {
            *a = menu->addAction(QStringLiteral("x"));
        }
    }
    PlaybackWidgets Playback() {
        return {&window, lPlayList, tbPitch, tbVolume,  tbTrack,
                bStop,   bPause,    bNext,   cbShuffle, NextTimer};
    }
    PlaylistWidgets Playlist() {
        return {&window, lPlayList, menu, tmi[0], tmi[1], tmi[2], tmi[3], tmi[4], tmi[5], eExt};
    }
    QWidget window;
    QListWidget* lPlayList;
    QSlider *tbPitch, *tbVolume, *tbTrack;
    QPushButton *bStop, *bPause, *bNext;
    QCheckBox* cbShuffle;
    QTimer* NextTimer;
    QLineEdit* eExt;
    QMenu* menu;
    QAction* tmi[6];
};

void PlaylistFigures(const fs::path& work) {
    const int kEntries = 20000;
    const fs::path file = work / "big.txt";
    {
        std::ofstream out(file, std::ios::binary);
        for (int i = 0; i < kEntries; ++i) {
            const std::string name =
                std::to_string(i % 97) + " - Artist " + std::to_string(i) + " - Some Title.mp3";
            out << name << "\r\n/music/Folder " << i / 20 << "/" << name << "\r\n";
        }
    }
    Panel panel;
    panel.window.show();
    SilentDialogs dialogs;
    mv::Playlist playlist;
    NullPlayer player;
    PlaybackHandlers playback(panel.Playback(), dialogs, playlist, {});
    playback.SetPlayer(&player);
    PlaylistHandlers handlers(panel.Playlist(), dialogs, playlist, work, {});

    auto start = Clock::now();
    handlers.LoadPlaylist(file);
    QCoreApplication::processEvents();
    std::printf("load %d entries (box shown)     %8.3f s\n", kEntries, Seconds(start));

    panel.cbShuffle->setChecked(true);
    start = Clock::now();
    playback.AdvancePlaylist();
    std::printf("first shuffled advance (draw)    %8.3f s\n", Seconds(start));
    start = Clock::now();
    for (int i = 1; i < kEntries; ++i) playback.AdvancePlaylist();
    const double pass = Seconds(start);
    std::printf("rest of the pass, per advance    %8.3f ms (whole pass %.2f s)\n",
                pass * 1000 / (kEntries - 1), pass);

    start = Clock::now();
    for (int i = 0; i < 1000; ++i) {
        const int row = static_cast<int>((static_cast<unsigned>(i) * 7919u) % kEntries);
        panel.lPlayList->setCurrentRow(row);
        panel.lPlayList->scrollToItem(panel.lPlayList->item(row));
        panel.lPlayList->viewport()->repaint();
    }
    std::printf("scroll to a row and paint, each  %8.3f ms\n", Seconds(start));

    handlers.lPlayListClick();
    panel.lPlayList->clearSelection();
    for (int i = 0; i < 1000; ++i) panel.lPlayList->item(i * 19)->setSelected(true);
    start = Clock::now();
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QCoreApplication::sendEvent(panel.lPlayList, &del);
    std::printf("Delete 1,000 scattered rows      %8.3f s (%zu left)\n", Seconds(start),
                playlist.size());
    panel.lPlayList->setCurrentRow(18000);
    start = Clock::now();
    handlers.DropAt(QPoint(5, 5));
    std::printf("drop the current row at the top  %8.3f s\n", Seconds(start));
}

bool MakeTone(const fs::path& mp3, double seconds) {
    const fs::path wav = mp3.parent_path() / "tone.wav";
    const std::string make = "sox -n -r 44100 -c 2 '" + wav.string() + "' synth " +
                             std::to_string(seconds) +
                             " sine 440 vol 0.5 2>/dev/null && lame --quiet '" + wav.string() +
                             "' '" + mp3.string() + "'";
    return std::system(make.c_str()) == 0 && fs::exists(mp3);
}

void PlayingFigures(const fs::path& work) {
    const fs::path mp3 = work / "song.mp3";
    if (!fs::exists(mv::DefaultXaudioPath()) || !MakeTone(mp3, 10.0)) {
        std::printf("playing: skipped (engine library, sox or lame missing)\n");
        return;
    }
    ::setenv("MP3VANDREL_AUDIO_OUT", ("wav:" + (work / "out.wav").string()).c_str(), 1);
    Panel panel;
    panel.window.show();
    SilentDialogs dialogs;
    mv::Playlist playlist;
    mv::TXaudioPlayer player;
    mv::XaudioPlayerControl control(player);
    PlaybackHandlers playback(panel.Playback(), dialogs, playlist, {});
    playback.SetPlayer(&control);
    mv::ConnectPlaybackEvents(player, playback);
    player.Init();
    int moves = 0;
    QObject::connect(panel.tbTrack, &QSlider::valueChanged, [&moves] { ++moves; });

    const double cpuBefore = CpuSeconds();
    const auto start = Clock::now();
    playback.PlayFile(mp3.string());
    // The program's own loop, idle between events (a polling loop would
    // count its own spinning).
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (panel.NextTimer->isActive() || Seconds(start) > 20) loop.quit();
    });
    check.start(100);
    loop.exec();
    const double wall = Seconds(start);
    const double cpu = CpuSeconds() - cpuBefore;
    std::printf("playing 10 s: wall %.2f s, CPU %.3f s = %.1f%% of one core, bar moves %.1f/s\n",
                wall, cpu, 100.0 * cpu / wall, moves / wall);
    // Which threads took it: the GUI thread is the one named after the program.
    for (const auto& task : fs::directory_iterator("/proc/self/task")) {
        std::ifstream stat(task.path() / "stat");
        std::string line;
        std::getline(stat, line);
        const size_t close = line.rfind(')');
        std::istringstream rest(line.substr(close + 2));
        std::string field;
        long ticks[2] = {0, 0};
        for (int i = 3; i <= 15 && rest >> field; ++i) {
            if (i == 14) ticks[0] = std::stol(field);
            if (i == 15) ticks[1] = std::stol(field);
        }
        std::printf(
            "  thread %s: %.2f s\n", line.substr(0, close + 1).c_str(),
            static_cast<double>(ticks[0] + ticks[1]) / static_cast<double>(::sysconf(_SC_CLK_TCK)));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    std::string pattern = (fs::temp_directory_path() / "mv-bench-player-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return 1;
    const fs::path work = pattern;
    PlaylistFigures(work);
    PlayingFigures(work);
    std::error_code ec;
    fs::remove_all(work, ec);
    return 0;
}
