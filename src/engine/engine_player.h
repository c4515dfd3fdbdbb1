// One engine player: a decoder thread that executes queued commands in order
// and plays the open input through the output, reporting back through the
// notification queue.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/audio_output.h"
#include "engine/engine_command.h"
#include "engine/mp3_decoder.h"
#include "engine/notification_queue.h"
#include "engine/speed_resampler.h"

namespace mv {

struct EnginePlayerParams {
    int notifyFd = -1;
    OutputTarget output;
};

class EnginePlayer {
  public:
    explicit EnginePlayer(EnginePlayerParams params);
    // Ends playback and joins the decoder thread; queued commands are dropped.
    ~EnginePlayer();
    EnginePlayer(const EnginePlayer&) = delete;
    EnginePlayer& operator=(const EnginePlayer&) = delete;

    void Send(EngineCommand command);
    bool Drain(XA_Message* out) { return queue_.Pop(out); }

    void SetPriority(int priority) { priority_ = priority; }
    int Priority() const { return priority_; }

  private:
    void Run();
    void Execute(const EngineCommand& command);
    void PlayStep();

    // Commands
    void Play(const EngineCommand& c);
    void Pause(const EngineCommand& c);
    void Stop(const EngineCommand& c);
    void Seek(const EngineCommand& c);
    void OpenInput(const EngineCommand& c);
    void CloseInput(const EngineCommand& c);
    void OpenOutput(const EngineCommand& c);
    void CloseOutput(const EngineCommand& c);
    void SetEnvironmentInteger(const EngineCommand& c);
    void SetVolume(const EngineCommand& c);
    void SetEqualizer(const EngineCommand& c);
    // The commands that set or report a value of the player, its modules,
    // its environment, its input or its output; any other is refused.
    void SettingOrQuery(const EngineCommand& c);
    bool ModuleCommand(const EngineCommand& c);
    bool EnvironmentCommand(const EngineCommand& c);
    bool InputOutputCommand(const EngineCommand& c);
    bool PlayerValueCommand(const EngineCommand& c);

    // Notifications
    void Push(Notification n) { queue_.Push(std::move(n)); }
    void Ack(int code);
    void Nack(int code, int error);
    // Nacks with XA_ERROR_INVALID_PARAMETERS; true, as the command is answered.
    bool RefuseParameters(const EngineCommand& c) {
        Nack(c.code, XA_ERROR_INVALID_PARAMETERS);
        return true;
    }
    void Error(int source, int error, const std::string& text);
    void SetState(int state);
    void ReportPosition();
    void ReportVolume();
    void ReportModule(int code);

    bool StartOutput();
    void ForgetPendingSound();
    std::int64_t PlayingSample() const;

    NotificationQueue queue_;
    std::atomic<int> priority_{3};

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<EngineCommand> commands_;
    bool quit_ = false;

    // Owned by the decoder thread only.
    Mp3Decoder decoder_;
    AudioOutput output_;
    SpeedResampler resampler_;
    std::string inputName_;
    int state_ = XA_PLAYER_STATE_STOPPED;
    std::uint32_t positionRange_ = XA_DEFAULT_POSITION_RANGE;
    std::uint32_t timecodeGranularity_ = 10;
    int speedValue_ = 1000;
    int master_ = 100;
    int pcm_ = 100;
    int balance_ = 50;
    bool muted_ = false;
    bool equalizerOn_ = false;
    XA_EqualizerInfo equalizer_{};
    int playerMode_ = 0;
    int ports_ = 0;
    int codecQuality_ = 0;
    std::uint32_t notificationMask_ = 0xffffffffu;
    int debugLevel_ = 0;
    std::map<std::string, int> envIntegers_;
    std::map<std::string, std::string> envStrings_;

    std::vector<float> decoded_;
    std::vector<float> pending_;  // sound after speed change, not yet played
    std::size_t pendingFrame_ = 0;
    std::int64_t pendingStartSample_ = 0;  // input sample where pending_ starts
    std::vector<std::int16_t> outBuffer_;
    long fedRate_ = 0;  // the song format the output was last started for
    int fedChannels_ = 0;
    std::chrono::steady_clock::time_point lastPosition_{};

    std::thread thread_;  // last: starts after everything above exists
};

}  // namespace mv
