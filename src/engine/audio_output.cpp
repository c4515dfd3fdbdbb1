#include "engine/audio_output.h"

#include <out123.h>

#include <string_view>
#include <thread>

namespace mv {

namespace {

// How far a paced file output may run ahead of real time, like a device's
// buffer.
constexpr double kPaceLeadSeconds = 0.03;
// Device buffer of live outputs: small, so pause and stop fall silent soon.
constexpr double kDeviceBufferSeconds = 0.08;

}  // namespace

OutputTarget OutputTargetFromEnvironment(const char* value) {
    OutputTarget target;
    const std::string_view v = value ? value : "";
    if (v.starts_with("wav:") && v.size() > 4) {
        target.driver = "wav";
        target.device = std::string(v.substr(4));
        target.paced = true;
    }
    return target;
}

AudioOutput::AudioOutput(OutputTarget target) : target_(std::move(target)) {}

AudioOutput::~AudioOutput() {
    Close();
}

std::string AudioOutput::OpenFile() {
    if (fileOpen_) return {};
    if (!file_.StillAt(target_.device)) {
        if (std::string error = file_.Open(target_.device); !error.empty()) {
            return "Cannot open sound output " + Name() + ": " + error;
        }
    }
    fileOpen_ = true;
    return {};
}

std::string AudioOutput::Open() {
    if (IsFile()) return OpenFile();
    if (handle_) return {};
    handle_ = out123_new();
    if (!handle_) return "Cannot create the sound output";
    out123_param_int(handle_, OUT123_FLAGS, OUT123_QUIET);
    out123_param_float(handle_, OUT123_DEVICEBUFFER, kDeviceBufferSeconds);
    const char* device = target_.device.empty() ? nullptr : target_.device.c_str();
    if (out123_open(handle_, target_.driver.c_str(), device) != OUT123_OK) {
        std::string error = "Cannot open sound output " + Name() + ": " + out123_strerror(handle_);
        out123_del(handle_);
        handle_ = nullptr;
        return error;
    }
    return {};
}

std::string AudioOutput::Start(long rate, int channels) {
    if (std::string error = Open(); !error.empty()) return error;
    if (IsFile()) {
        if (std::string error = file_.SetFormat(rate, channels); !error.empty()) {
            return "Cannot start sound output " + Name() + ": " + error;
        }
        rate = file_.Rate();
        channels = file_.Channels();
    }
    if (started_ && rate == rate_ && channels == channels_) return {};
    if (started_ && handle_) out123_stop(handle_);
    started_ = false;
    if (!IsFile() && out123_start(handle_, rate, channels, MPG123_ENC_SIGNED_16) != OUT123_OK) {
        return "Cannot start sound output " + Name() + ": " + out123_strerror(handle_);
    }
    started_ = true;
    rate_ = rate;
    channels_ = channels;
    pacedSeconds_ = 0;
    paceStart_ = std::chrono::steady_clock::now();
    return {};
}

std::string AudioOutput::Play(const std::int16_t* samples, std::size_t frames) {
    if (!started_ || frames == 0) return {};
    if (IsFile()) {
        if (std::string error = file_.Write(samples, frames); !error.empty()) {
            return "Sound output " + Name() + " failed: " + error;
        }
        if (target_.paced) Pace(frames);
        return {};
    }
    const std::size_t bytes = frames * static_cast<std::size_t>(channels_) * sizeof(std::int16_t);
    if (out123_play(handle_, const_cast<std::int16_t*>(samples), bytes) < bytes &&
        out123_errcode(handle_) != OUT123_OK) {
        return "Sound output " + Name() + " failed: " + out123_strerror(handle_);
    }
    if (target_.paced) Pace(frames);
    return {};
}

void AudioOutput::Pace(std::size_t frames) {
    using namespace std::chrono;
    const auto now = steady_clock::now();
    auto due = paceStart_ + duration_cast<steady_clock::duration>(duration<double>(pacedSeconds_));
    // After a pause or a seek the writer is behind real time: start over
    // rather than rushing to catch up.
    if (due < now) {
        paceStart_ = now;
        pacedSeconds_ = 0;
    }
    pacedSeconds_ += static_cast<double>(frames) / static_cast<double>(rate_);
    due = paceStart_ +
          duration_cast<steady_clock::duration>(duration<double>(pacedSeconds_ - kPaceLeadSeconds));
    if (due > now) std::this_thread::sleep_until(due);
}

void AudioOutput::Pause() {
    if (started_ && handle_) out123_pause(handle_);
}

void AudioOutput::Continue() {
    if (started_ && handle_) out123_continue(handle_);
}

void AudioOutput::Drop() {
    if (started_ && handle_) out123_drop(handle_);
    pacedSeconds_ = 0;
    paceStart_ = std::chrono::steady_clock::now();
}

void AudioOutput::Drain() {
    if (!started_) return;
    if (handle_) out123_drain(handle_);
    if (target_.paced) {
        // A device plays its buffer out; the file writer waits for the clock.
        const auto end =
            paceStart_ + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                             std::chrono::duration<double>(pacedSeconds_));
        std::this_thread::sleep_until(end);
    }
}

void AudioOutput::Close() {
    if (IsFile()) {
        // The file stays open for the next song; its header is always whole.
        started_ = false;
        fileOpen_ = false;
        return;
    }
    if (!handle_) return;
    if (started_) out123_stop(handle_);
    started_ = false;
    out123_close(handle_);
    out123_del(handle_);
    handle_ = nullptr;
}

std::string AudioOutput::Name() const {
    return target_.device.empty() ? target_.driver : target_.driver + ":" + target_.device;
}

}  // namespace mv
