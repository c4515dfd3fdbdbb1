#include "cli/play_command.h"

#include <poll.h>
#include <sys/stat.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <random>

#include "cli/command.h"
#include "cli/interrupt_watch.h"
#include "cli/terminal_text.h"
#include "player/equalizer_record.h"
#include "player/playlist_file.h"
#include "player/shuffle_order.h"
#include "player/xaudio_component.h"
#include "player/xaudio_exception.h"

namespace mv {

namespace {

constexpr int kWaitMs = 100;  // how soon a stop request is noticed
// How long a stop may take before the tool ends itself: enough for the
// engine to close its output, short enough that nothing can hold it up.
constexpr std::chrono::milliseconds kStopGrace{1500};

const char* StateName(int32_t state) {
    switch (state) {
        case 0:
            return "stopped";
        case 1:
            return "playing";
        case 2:
            return "paused";
        case 3:
            return "end of stream";
        default:
            return "unknown";
    }
}

// Component texts may hold a CR between their lines.
std::string ForTerminal(std::string text) {
    for (char& c : text) {
        if (c == '\r') {
            c = '\n';
        }
    }
    return text;
}

enum class Outcome { Ended, Failed, Stopped };

// Plays one file after the other on a started component, reporting what the
// engine tells.
class PlaySession {
  public:
    PlaySession(XaudioComponent& player, std::atomic<bool>& stop) : player_(player), stop_(stop) {
        player_.OnNotifyPlayerState = [this](XaudioComponent&, int32_t state) {
            std::cout << "state: " << StateName(state) << " (" << state << ")\n" << std::flush;
            if (state == XA_PLAYER_STATE_EOS) {
                ended_ = true;
            } else if (state == XA_PLAYER_STATE_STOPPED && playSent_) {
                // Nothing here asks for a stop while a file plays: the engine
                // gave up (its output failed) and no end of stream will come.
                failed_ = true;
            }
        };
        player_.OnNotifyInputPosition = [this](XaudioComponent&, uint32_t offset, uint32_t range) {
            if (range == 0) {
                return;
            }
            // One line per percent is plenty for a terminal.
            const int percent = static_cast<int>(uint64_t{offset} * 100 / range);
            if (percent != lastPercent_) {
                lastPercent_ = percent;
                std::cout << "position: " << offset << "/" << range << "\n" << std::flush;
            }
        };
        player_.OnNotifyError = [this](XaudioComponent&, uint8_t, int16_t code,
                                       const std::string& msg) {
            if (holdErrors_) {
                heldError_ = msg;
                return;
            }
            std::cerr << "error: " << msg << " (" << code << ")\n";
        };
        player_.OnNotifyAck = [this](XaudioComponent&, uint8_t command) {
            if (command == XA_CMD_INPUT_OPEN || command == XA_CMD_OUTPUT_OPEN) {
                openAnswered_ = true;
            }
        };
        player_.OnNotifyNack = [this](XaudioComponent& sender, uint8_t command, int16_t code) {
            if (command == XA_CMD_OUTPUT_OPEN) {
                openAnswered_ = true;
                openRefused_ = true;
                return;
            }
            if (command == XA_CMD_INPUT_OPEN) {
                openAnswered_ = true;
                openRefused_ = true;
            } else if (command == XA_CMD_PLAY) {
                failed_ = true;
            } else {
                return;
            }
            std::cerr << "refused: " << sender.ErrorString(code) << "\n";
        };
    }

    // Opens the output before anything plays; the engine's reason when it
    // refuses, nullopt when it opened (or a stop came first: see Stopped()).
    std::optional<std::string> OpenOutput() {
        openAnswered_ = false;
        openRefused_ = false;
        holdErrors_ = true;
        player_.OutputOpen("");
        const bool answered = WaitFor([this] { return openAnswered_; });
        holdErrors_ = false;
        if (!answered || !openRefused_) return std::nullopt;
        return heldError_.empty() ? std::string("the sound output cannot be opened") : heldError_;
    }

    Outcome Play(const std::string& file) {
        ended_ = false;
        failed_ = false;
        openAnswered_ = false;
        openRefused_ = false;
        playSent_ = false;
        lastPercent_ = -1;
        // A name can hold a line break or ESC: one line, nothing for the terminal.
        std::cout << "Playing " << cli::TsvField(file) << "\n" << std::flush;
        player_.Stop();
        player_.InputClose();
        player_.OutputClose();
        player_.InputOpen(file);
        // Play only an input that opened, so no answer about one file is
        // taken for the next.
        if (!WaitFor([this] { return openAnswered_; })) {
            return Outcome::Stopped;
        }
        if (openRefused_) {
            return Outcome::Failed;
        }
        // Every record of the commands before InputOpen came before its
        // answer, so a stopped state from here on is about this playback.
        playSent_ = true;
        player_.Play();
        if (!WaitFor([this] { return ended_ || failed_; })) {
            return Outcome::Stopped;
        }
        return ended_ ? Outcome::Ended : Outcome::Failed;
    }

  private:
    // Handles notifications until `done` holds; false (playback stopped) when
    // a stop was asked first.
    template <typename Done>
    bool WaitFor(Done done) {
        pollfd watched{player_.NotificationFd(), POLLIN, 0};
        while (!done()) {
            if (stop_) {
                player_.Stop();
                player_.InputClose();
                player_.OutputClose();
                return false;
            }
            ::poll(&watched, 1, kWaitMs);
            player_.DrainNotifications();
        }
        return true;
    }

    XaudioComponent& player_;
    std::atomic<bool>& stop_;
    bool ended_ = false;
    bool failed_ = false;
    bool openAnswered_ = false;
    bool openRefused_ = false;
    bool playSent_ = false;
    bool holdErrors_ = false;  // while the output opens: its reason is kept, not printed
    std::string heldError_;
    int lastPercent_ = -1;
};

// The input file that `out` would overwrite, if any: the same file on disk
// (device and inode, links followed), whatever name reaches it.
const std::string* InputAtOutput(const std::vector<std::string>& files, const std::string& out) {
    struct stat outStat {};
    if (::stat(out.c_str(), &outStat) != 0) {
        return nullptr;  // not there yet: nothing to overwrite
    }
    for (const auto& file : files) {
        struct stat inStat {};
        if (::stat(file.c_str(), &inStat) == 0 && inStat.st_dev == outStat.st_dev &&
            inStat.st_ino == outStat.st_ino) {
            return &file;
        }
    }
    return nullptr;
}

}  // namespace

int PlayFiles(const std::vector<std::string>& files, const PlayParams& params,
              std::atomic<bool>& stop);

int RunPlayCommand(const std::vector<std::string>& files, const std::string& out,
                   std::atomic<bool>& stop) {
    PlayParams params;
    params.files = files;
    params.out = out;
    return RunPlayCommand(params, stop);
}

std::vector<size_t> PlayOrder(size_t count, bool shuffle,
                              const std::function<size_t(size_t)>& random) {
    std::vector<size_t> order;
    if (!shuffle) {
        for (size_t i = 0; i < count; ++i) order.push_back(i);
        return order;
    }
    // One pass of the playlist's own shuffle: each entry once.
    ShuffleOrder drawn;
    for (size_t i = 0; i < count; ++i) {
        order.push_back(
            static_cast<size_t>(AdvancePlaylist({count, -1, true}, drawn, random).next));
    }
    return order;
}

int RunPlayCommand(const PlayParams& params, std::atomic<bool>& stop) {
    std::vector<std::string> files;
    if (!params.playlist.empty()) {
        Playlist entries;
        const auto read = LoadPlaylistWithStatus(params.playlist, entries);
        if (read.status != ReadStatus::Read) {
            std::cerr << "play: " << read.message << "\n";
            return 2;
        }
        for (const PlaylistEntry& entry : entries) files.push_back(entry.path);
    }
    files.insert(files.end(), params.files.begin(), params.files.end());
    if (params.volume && (*params.volume < 0 || *params.volume > 100)) {
        std::cerr << "play: --volume takes 0 to 100\n";
        return 2;
    }
    if (params.speed && (*params.speed < 0 || *params.speed > 2000)) {
        std::cerr << "play: --speed takes 0 to 2000 (1000 is normal)\n";
        return 2;
    }
    if (!params.eq.empty()) {
        const bool inRange = std::all_of(params.eq.begin(), params.eq.end(), [](int v) {
            return v >= kEqualizerBarMin && v <= kEqualizerBarMax;
        });
        if (params.eq.size() != kEqualizerBars || !inRange) {
            std::cerr << "play: --eq takes eight values of -80 to 80, comma-separated\n";
            return 2;
        }
    }
    std::mt19937 clockSeeded(
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
    const auto order = PlayOrder(files.size(), params.shuffle, [&](size_t bound) {
        return std::uniform_int_distribution<size_t>(0, bound - 1)(clockSeeded);
    });
    std::vector<std::string> ordered;
    for (size_t i : order) ordered.push_back(files[i]);
    return PlayFiles(ordered, params, stop);
}

int PlayFiles(const std::vector<std::string>& files, const PlayParams& params,
              std::atomic<bool>& stop) {
    const std::string& out = params.out;
    if (files.empty()) {
        std::cerr << "play: no files given\n";
        return 2;
    }
    if (!out.empty()) {
        if (out.rfind("wav:", 0) != 0 || out.size() == 4) {
            std::cerr << "play: --out takes wav:FILE\n";
            return 2;
        }
        const std::string wav = out.substr(4);
        if (const std::string* input = InputAtOutput(files, wav)) {
            std::cerr << "play: --out " << out << " is the file to play " << *input
                      << "; writing the sound there would destroy it\n";
            return 2;
        }
        // The engine reads its output choice from the environment.
        ::setenv("MP3VANDREL_AUDIO_OUT", out.c_str(), 1);
    }
    try {
        XaudioComponent player;
        player.Init();
        // Sent once: the engine keeps them from one file to the next.
        if (params.volume) player.SetOutputVolume(-1, *params.volume, -1);
        if (params.speed) player.SetPlayerEnvironmentInteger(XA_ENV_PITCH, *params.speed);
        if (!params.eq.empty()) {
            EqualizerBars bars{};
            std::copy(params.eq.begin(), params.eq.end(), bars.begin());
            const XA_EqualizerInfo record = BuildEqualizerRecord(bars);
            player.SetCodecEqualizer(&record);
        }
        PlaySession session(player, stop);
        if (!out.empty()) {
            if (const auto refused = session.OpenOutput()) {
                std::cerr << "play: " << ForTerminal(*refused) << "\n";
                return 2;
            }
        }
        int failed = 0;
        for (const auto& file : files) {
            // A stop asked while the engine started or between two files.
            const Outcome outcome = stop ? Outcome::Stopped : session.Play(file);
            if (outcome == Outcome::Stopped) {
                std::cout << "Stopped\n";
                return 130;
            }
            if (outcome == Outcome::Failed) {
                ++failed;
            }
        }
        return failed == 0 ? 0 : 1;
    } catch (const EXaudioException& e) {
        std::cerr << "play: " << ForTerminal(e.what()) << "\n";
        return 1;
    }
}

}  // namespace mv

namespace mv::cli {

void AddPlayCommand(CLI::App& app, CommandList& commands) {
    auto* command = app.add_subcommand("play", "Play MP3 files one after the other");
    auto params = std::make_shared<PlayParams>();
    command->add_option("--out", params->out, "Write the sound to a WAV file instead: wav:FILE");
    command->add_option("--playlist", params->playlist,
                        "Play the entries of a playlist file first, in their order");
    command->add_flag("--shuffle", params->shuffle, "Play every entry once, in a random order");
    command->add_option("--volume", params->volume, "Volume, 0 to 100");
    command->add_option("--speed", params->speed, "Speed, 0 to 2000 (1000 is normal)");
    command
        ->add_option("--eq", params->eq,
                     "Equalizer: eight values of -80 to 80, low bands first (-80 boosts)")
        ->delimiter(',')
        ->allow_extra_args(false)
        ->type_name("B1,...,B8");
    command->add_option("files", params->files, "The MP3 files to play");
    commands.push_back({command, [params](CommandIo&) {
                            // Before the engine starts its threads, so only the
                            // watch takes the stop signals.
                            std::atomic<bool> stop{false};
                            InterruptWatch watch(stop, {.terminateToo = true, .grace = kStopGrace});
                            const int result = RunPlayCommand(*params, stop);
                            return result == kExitInterrupted ? watch.ExitCode() : result;
                        }});
}

}  // namespace mv::cli
