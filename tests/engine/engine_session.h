// Drives one engine player through the library's C entry points the way the
// player component does: an eventfd signals records, which are drained and
// copied (their texts live only until the next drain).
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/xaudio_engine.h"
#include "support/core/scoped_env.h"

namespace mv::test {

struct Record {
    int code = 0;
    std::uint8_t u8at4 = 0;
    std::int16_t s16at6 = 0;
    std::uint32_t u32at4 = 0;
    std::uint32_t u32at8 = 0;
    std::string text4;
    std::string text8;
    std::optional<XA_EqualizerInfo> equalizer;
    std::chrono::steady_clock::time_point at;
};

using namespace std::chrono_literals;

class EngineSession {
  public:
    // Output goes to the WAV file wav; with an empty path, to the default
    // sound output.
    explicit EngineSession(const std::filesystem::path& wav);
    ~EngineSession();
    EngineSession(const EngineSession&) = delete;
    EngineSession& operator=(const EngineSession&) = delete;

    XA_Player* Player() const { return player_; }
    bool Started() const { return player_ != nullptr; }

    // Send a command and wait for its ack (true) or nack (false).
    bool Command(int code, std::chrono::milliseconds timeout = 3s);
    bool CommandS(int code, const std::string& s, std::chrono::milliseconds timeout = 3s);
    bool CommandI(int code, int i);
    bool CommandSI(int code, const std::string& s, int i);
    bool CommandSS(int code, const std::string& s1, const std::string& s2);
    bool CommandII(int code, int i1, int i2);
    bool CommandIII(int code, int i1, int i2, int i3);
    bool CommandP(int code, const void* p);

    // Later waits look only at records drained from now on.
    void Mark();
    // Waits for the next record (after the last one waited for, or the mark)
    // that matches.
    std::optional<Record> WaitFor(const std::function<bool(const Record&)>& match,
                                  std::chrono::milliseconds timeout);
    std::optional<Record> WaitForState(int state, std::chrono::milliseconds timeout = 5s);

    // Every record drained so far.
    const std::vector<Record>& Records() const { return records_; }

    // Ends the player now (finishes the WAV file).
    void Delete();

  private:
    bool AckOf(int code, std::chrono::milliseconds timeout);
    void DrainOnce(std::chrono::milliseconds wait);

    ScopedEnv output_;  // the engine's output while the session lives
    int fd_ = -1;
    XA_Player* player_ = nullptr;
    std::vector<Record> records_;
    std::size_t cursor_ = 0;
    std::size_t answerCursor_ = 0;
};

}  // namespace mv::test
