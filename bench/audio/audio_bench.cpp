// Audio engine figures: CPU time per second of playback, and how long sound
// goes on after Pause or Stop. Output goes to a WAV file written at the pace
// of real time (the engine's stand-in for a sound device).
//
//   audio_bench [seconds]     (needs sox and lame to make the test song)
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "engine/xaudio_engine.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// One player with its eventfd; waits for answers and states like the GUI would.
class Session {
  public:
    explicit Session(const fs::path& wav) {
        setenv("MP3VANDREL_AUDIO_OUT", ("wav:" + wav.string()).c_str(), 1);
        fd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        if (player_new(&player_, &fd_) != XA_SUCCESS) std::exit(1);
    }
    ~Session() {
        if (player_) player_delete(player_);
        close(fd_);
    }
    void Delete() {
        player_delete(player_);
        player_ = nullptr;
    }
    XA_Player* Player() { return player_; }

    // Waits for a record with the code whose byte at 4 is value; returns
    // when it was drained, or nothing after 10 s.
    bool Wait(int code, int value, Clock::time_point* at = nullptr) {
        const auto end = Clock::now() + std::chrono::seconds(10);
        while (Clock::now() < end) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 20) <= 0) continue;
            std::uint64_t n = 0;
            if (read(fd_, &n, sizeof n) < 0) continue;
            XA_Message m{};
            while (control_win32_params_to_message(player_, &m, XA_NOTIFY_WINDOW_MESSAGE, 0, 0) ==
                   XA_SUCCESS) {
                if (m.code == code && xa_message_u8(&m, 4) == value) {
                    if (at) *at = Clock::now();
                    return true;
                }
            }
        }
        return false;
    }

  private:
    int fd_ = -1;
    XA_Player* player_ = nullptr;
};

long WavFrames(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> b((std::istreambuf_iterator<char>(in)), {});
    for (std::size_t at = 12; at + 8 <= b.size();) {
        std::uint32_t size = 0;
        std::memcpy(&size, b.data() + at + 4, 4);
        if (std::memcmp(b.data() + at, "data", 4) == 0) return size / 4;  // 16-bit stereo
        at += 8 + size;
    }
    return -1;
}

void PlaybackCpu(const fs::path& mp3, const fs::path& wav, double seconds, const char* what,
                 int speed, bool equalizer) {
    Session s(wav);
    control_message_send_SI(s.Player(), XA_CMD_SET_PLAYER_ENVIRONMENT_INTEGER, XA_ENV_PITCH, speed);
    XA_EqualizerInfo eq{};
    for (int i = 0; i < 32; ++i)
        eq.left[i] = eq.right[i] = static_cast<std::int8_t>(i % 2 ? 40 : -40);
    control_message_send_P(s.Player(), XA_CMD_SET_CODEC_EQUALIZER, equalizer ? &eq : nullptr);
    control_message_send_S(s.Player(), XA_CMD_INPUT_OPEN, mp3.c_str());
    const double cpu0 = CpuSeconds();
    const auto t0 = Clock::now();
    control_message_send_N(s.Player(), XA_CMD_PLAY);
    if (!s.Wait(XA_NOTIFY_PLAYER_STATE, XA_PLAYER_STATE_EOS)) std::printf("no end of stream!\n");
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    const double cpu = CpuSeconds() - cpu0;
    std::printf("%-34s %6.2f s played in %5.2f s wall, CPU %6.3f s = %5.2f %% of one core\n", what,
                seconds * 1000.0 / speed, wall, cpu, 100.0 * cpu / wall);
}

// Sound still written after the command, in ms: what was written minus the
// real time that had passed when the command was sent.
void SilenceDelay(const fs::path& mp3, const fs::path& wav, int command, const char* what) {
    std::vector<double> delays;
    std::vector<double> answers;
    for (int trial = 0; trial < 8; ++trial) {
        Session s(wav);
        control_message_send_S(s.Player(), XA_CMD_INPUT_OPEN, mp3.c_str());
        control_message_send_N(s.Player(), XA_CMD_PLAY);
        Clock::time_point playing;
        if (!s.Wait(XA_NOTIFY_PLAYER_STATE, XA_PLAYER_STATE_PLAYING, &playing)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(300 + 37 * trial));
        const auto sent = Clock::now();
        control_message_send_N(s.Player(), command);
        Clock::time_point acked;
        s.Wait(XA_NOTIFY_ACK, command, &acked);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        s.Delete();
        const double heard = std::chrono::duration<double>(sent - playing).count();
        const double written = WavFrames(wav) / 44100.0;
        delays.push_back((written - heard) * 1000.0);
        answers.push_back(std::chrono::duration<double, std::milli>(acked - sent).count());
    }
    std::sort(delays.begin(), delays.end());
    std::sort(answers.begin(), answers.end());
    std::printf(
        "%-6s to silence: median %5.1f ms, max %5.1f ms (ack after median %4.1f ms, max %4.1f "
        "ms)\n",
        what, delays[delays.size() / 2], delays.back(), answers[answers.size() / 2],
        answers.back());
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    const fs::path dir = fs::temp_directory_path() / ("mv_audio_bench_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path mp3 = dir / "song.mp3";
    const std::string make = "sox -n -r 44100 -c 2 -b 16 '" + (dir / "song.wav").string() +
                             "' synth " + std::to_string(seconds) +
                             " sine 220-3520 vol 0.5 && lame --quiet -b 192 '" +
                             (dir / "song.wav").string() + "' '" + mp3.string() + "'";
    if (std::system(make.c_str()) != 0) {
        std::fprintf(stderr, "sox and lame are needed to make the test song\n");
        return 1;
    }
    const fs::path wav = dir / "out.wav";
    PlaybackCpu(mp3, wav, seconds, "plain playback", 1000, false);
    PlaybackCpu(mp3, wav, seconds, "speed 1500 (resampling)", 1500, false);
    PlaybackCpu(mp3, wav, seconds, "speed 700, equalizer on", 700, true);
    SilenceDelay(mp3, wav, XA_CMD_PAUSE, "Pause");
    SilenceDelay(mp3, wav, XA_CMD_STOP, "Stop");
    fs::remove_all(dir);
    return 0;
}
