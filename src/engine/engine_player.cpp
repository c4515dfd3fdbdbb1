#include "engine/engine_player.h"

#include <algorithm>
#include <cmath>

#include "engine/engine_values.h"

namespace mv {

namespace {

// Sound is written in pieces of at most this many frames, so a command
// waits for one piece at most (about 12 ms at 44.1 kHz), even at slow speed.
constexpr std::size_t kPieceFrames = 512;
constexpr auto kPositionInterval = std::chrono::milliseconds(180);

bool ValidLevel(int v) {
    return v == -1 || (v >= 0 && v <= 100);
}

// Float frames to 16-bit ones with the gain, mixing to the output's channels
// (a WAV file keeps the channels of its first song): mono is doubled, stereo
// is averaged to mono.
void ToOutputSamples(const float* in, int inChannels, std::size_t frames, float gain,
                     int outChannels, std::int16_t* out) {
    for (std::size_t f = 0; f < frames; ++f, in += inChannels) {
        float mono = 0.0f;
        if (outChannels < inChannels) {
            for (int c = 0; c < inChannels; ++c) mono += in[c];
            mono /= static_cast<float>(inChannels);
        }
        for (int c = 0; c < outChannels; ++c) {
            const float v = outChannels < inChannels ? mono : in[std::min(c, inChannels - 1)];
            *out++ =
                static_cast<std::int16_t>(std::lrint(std::clamp(v * gain, -1.0f, 1.0f) * 32767.0f));
        }
    }
}

}  // namespace

EnginePlayer::EnginePlayer(EnginePlayerParams params)
    : queue_(params.notifyFd), output_(std::move(params.output)) {
    Push(Notification(XA_NOTIFY_READY));
    thread_ = std::thread([this] { Run(); });
}

EnginePlayer::~EnginePlayer() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
    // The output is closed by its own destructor, which finishes a WAV file.
}

void EnginePlayer::Send(EngineCommand command) {
    {
        std::lock_guard lock(mutex_);
        commands_.push_back(std::move(command));
    }
    wake_.notify_one();
}

void EnginePlayer::Run() {
    for (;;) {
        EngineCommand command;
        bool haveCommand = false;
        {
            std::unique_lock lock(mutex_);
            if (state_ != XA_PLAYER_STATE_PLAYING) {
                wake_.wait(lock, [this] { return quit_ || !commands_.empty(); });
            }
            if (quit_) break;
            if (!commands_.empty()) {
                command = std::move(commands_.front());
                commands_.pop_front();
                haveCommand = true;
            }
        }
        if (haveCommand) {
            Execute(command);
        } else {
            PlayStep();
        }
    }
    output_.Drop();
    output_.Close();
}

// ---------------------------------------------------------------------------
// Playing

std::int64_t EnginePlayer::PlayingSample() const {
    // Pending frames are at the output's rate, which a WAV file may hold
    // apart from the song's.
    double factor = SpeedFactor(speedValue_);
    if (output_.Rate() > 0) {
        factor *= static_cast<double>(decoder_.Rate()) / static_cast<double>(output_.Rate());
    }
    return pendingStartSample_ +
           static_cast<std::int64_t>(std::llround(static_cast<double>(pendingFrame_) * factor));
}

void EnginePlayer::ForgetPendingSound() {
    pending_.clear();
    pendingFrame_ = 0;
    pendingStartSample_ = decoder_.Position();
    resampler_.Reset();
}

void EnginePlayer::PlayStep() {
    if (pendingFrame_ * static_cast<std::size_t>(decoder_.Channels()) >= pending_.size()) {
        pending_.clear();
        pendingFrame_ = 0;
        pendingStartSample_ = decoder_.Position();
        const auto read = decoder_.Next(decoded_);
        if (read != Mp3Decoder::Read::Frame) {
            if (read == Mp3Decoder::Read::Failed) {
                Error(XA_SOURCE_CODEC, XA_ERROR_DECODE_FAILED,
                      "Decoding failed in " + inputName_ + ": " + decoder_.Error());
            }
            // The end (or a broken rest) of the stream: let the last sound be
            // heard, then say so, keeping the input open.
            output_.Drain();
            pendingStartSample_ = decoder_.LengthSamples();
            ReportPosition();
            SetState(XA_PLAYER_STATE_EOS);
            return;
        }
        if (decoder_.Rate() != fedRate_ || decoder_.Channels() != fedChannels_) {
            if (!StartOutput()) {
                output_.Close();
                Push(Notification(XA_NOTIFY_OUTPUT_STATE).U8(4, 0));
                SetState(XA_PLAYER_STATE_STOPPED);
                return;
            }
        }
        resampler_.Configure(decoder_.Rate(), decoder_.Channels(), SpeedFactor(speedValue_),
                             output_.Rate());
        resampler_.Process(decoded_, pending_);
    }
    const auto channels = static_cast<std::size_t>(decoder_.Channels());
    const std::size_t available = pending_.size() / channels - pendingFrame_;
    const std::size_t frames = std::min(available, kPieceFrames);
    const float gain = muted_ ? 0.0f : static_cast<float>(VolumeGain(master_) * VolumeGain(pcm_));
    const int outChannels = output_.Channels();
    outBuffer_.resize(frames * static_cast<std::size_t>(outChannels));
    ToOutputSamples(pending_.data() + pendingFrame_ * channels, decoder_.Channels(), frames, gain,
                    outChannels, outBuffer_.data());
    if (const std::string error = output_.Play(outBuffer_.data(), frames); !error.empty()) {
        // A lost device or a full disk: stop where we are rather than race
        // through the song unheard. The next Play opens the output again.
        Error(XA_SOURCE_OUTPUT, XA_ERROR_OUTPUT_FAILED, error);
        output_.Close();
        Push(Notification(XA_NOTIFY_OUTPUT_STATE).U8(4, 0));
        SetState(XA_PLAYER_STATE_STOPPED);
        return;
    }
    pendingFrame_ += frames;

    const auto now = std::chrono::steady_clock::now();
    if (now - lastPosition_ >= kPositionInterval) ReportPosition();
}

bool EnginePlayer::StartOutput() {
    const bool wasOpen = output_.IsOpen();
    const std::string error = output_.Start(decoder_.Rate(), decoder_.Channels());
    if (!error.empty()) {
        Error(XA_SOURCE_OUTPUT, XA_ERROR_OUTPUT_FAILED, error);
        return false;
    }
    fedRate_ = decoder_.Rate();
    fedChannels_ = decoder_.Channels();
    if (!wasOpen) {
        Push(Notification(XA_NOTIFY_OUTPUT_STATE).U8(4, 1));
        Push(Notification(XA_NOTIFY_OUTPUT_NAME).Text(4, output_.Name()));
    }
    return true;
}

// ---------------------------------------------------------------------------
// Notifications

void EnginePlayer::Ack(int code) {
    Push(Notification(XA_NOTIFY_ACK).U8(4, static_cast<std::uint8_t>(code)));
}

void EnginePlayer::Nack(int code, int error) {
    Push(Notification(XA_NOTIFY_NACK)
             .U8(4, static_cast<std::uint8_t>(code))
             .S16(6, static_cast<std::int16_t>(error)));
}

void EnginePlayer::Error(int source, int error, const std::string& text) {
    Push(Notification(XA_NOTIFY_ERROR)
             .U8(4, static_cast<std::uint8_t>(source))
             .S16(6, static_cast<std::int16_t>(error))
             .Text(8, text));
}

void EnginePlayer::SetState(int state) {
    state_ = state;
    Push(Notification(XA_NOTIFY_PLAYER_STATE).U8(4, static_cast<std::uint8_t>(state)));
}

void EnginePlayer::ReportPosition() {
    lastPosition_ = std::chrono::steady_clock::now();
    if (!decoder_.IsOpen()) return;
    const std::int64_t length = decoder_.LengthSamples();
    const std::int64_t sample = std::clamp<std::int64_t>(PlayingSample(), 0, length);
    const std::uint32_t offset =
        length > 0 ? static_cast<std::uint32_t>(sample * positionRange_ / length) : 0;
    Push(Notification(XA_NOTIFY_INPUT_POSITION).U32(4, offset).U32(8, positionRange_));
    const std::int64_t hundredths = decoder_.Rate() > 0 ? sample * 100 / decoder_.Rate() : 0;
    Push(Notification(XA_NOTIFY_INPUT_TIMECODE)
             .U8(4, static_cast<std::uint8_t>(std::min<std::int64_t>(hundredths / 360000, 255)))
             .U8(5, static_cast<std::uint8_t>(hundredths / 6000 % 60))
             .U8(6, static_cast<std::uint8_t>(hundredths / 100 % 60))
             .U8(7, static_cast<std::uint8_t>(hundredths % 100)));
}

void EnginePlayer::ReportVolume() {
    Push(Notification(XA_NOTIFY_OUTPUT_VOLUME)
             .U8(4, static_cast<std::uint8_t>(master_))
             .U8(5, static_cast<std::uint8_t>(pcm_))
             .U8(6, static_cast<std::uint8_t>(balance_)));
}

void EnginePlayer::ReportModule(int code) {
    // One built-in module per stage, with one device.
    const char* name = code == XA_NOTIFY_INPUT_MODULE_INFO    ? "file"
                       : code == XA_NOTIFY_OUTPUT_MODULE_INFO ? "out123"
                                                              : "mpg123";
    const char* description = code == XA_NOTIFY_INPUT_MODULE_INFO ? "Local files"
                              : code == XA_NOTIFY_OUTPUT_MODULE_INFO
                                  ? "Sound server, ALSA or WAV file"
                                  : "MPEG audio layers 1, 2 and 3";
    Push(Notification(code).U8(4, 0).U8(5, 1).Text(8, name).Text(12, description));
}

// ---------------------------------------------------------------------------
// Commands

void EnginePlayer::Execute(const EngineCommand& c) {
    const char* variant = CommandVariant(c.code);
    if (!variant) return Nack(c.code, XA_ERROR_NOT_SUPPORTED);
    if (c.variant != variant) return Nack(c.code, XA_ERROR_INVALID_PARAMETERS);
    switch (c.code) {
        case XA_CMD_PLAY:
            return Play(c);
        case XA_CMD_PAUSE:
            return Pause(c);
        case XA_CMD_STOP:
            return Stop(c);
        case XA_CMD_INPUT_SEEK:
            return Seek(c);
        case XA_CMD_INPUT_OPEN:
            return OpenInput(c);
        case XA_CMD_INPUT_CLOSE:
            return CloseInput(c);
        case XA_CMD_OUTPUT_OPEN:
            return OpenOutput(c);
        case XA_CMD_OUTPUT_CLOSE:
            return CloseOutput(c);
        case XA_CMD_SET_PLAYER_ENVIRONMENT_INTEGER:
            return SetEnvironmentInteger(c);
        case XA_CMD_SET_OUTPUT_VOLUME:
            return SetVolume(c);
        case XA_CMD_SET_CODEC_EQUALIZER:
            return SetEqualizer(c);
        default:
            return SettingOrQuery(c);
    }
}

void EnginePlayer::Play(const EngineCommand& c) {
    if (!decoder_.IsOpen()) return Nack(c.code, XA_ERROR_NO_INPUT);
    if (state_ == XA_PLAYER_STATE_PLAYING) return Ack(c.code);
    if (!StartOutput()) return Nack(c.code, XA_ERROR_OUTPUT_FAILED);
    if (decoder_.AtEnd()) {
        decoder_.Seek(0);
        ForgetPendingSound();
    }
    if (state_ == XA_PLAYER_STATE_PAUSED) output_.Continue();
    SetState(XA_PLAYER_STATE_PLAYING);
    ReportPosition();
    Ack(c.code);
}

void EnginePlayer::Pause(const EngineCommand& c) {
    if (!decoder_.IsOpen()) return Nack(c.code, XA_ERROR_NO_INPUT);
    if (state_ == XA_PLAYER_STATE_PLAYING) {
        output_.Pause();
        SetState(XA_PLAYER_STATE_PAUSED);
    }
    Ack(c.code);
}

void EnginePlayer::Stop(const EngineCommand& c) {
    if (decoder_.IsOpen()) {
        output_.Drop();
        decoder_.Seek(0);
        ForgetPendingSound();
    }
    SetState(XA_PLAYER_STATE_STOPPED);
    ReportPosition();
    Ack(c.code);
}

void EnginePlayer::Seek(const EngineCommand& c) {
    if (!decoder_.IsOpen()) return Nack(c.code, XA_ERROR_NO_INPUT);
    const std::int64_t range = c.ints[1];
    if (range <= 0) return Nack(c.code, XA_ERROR_INVALID_PARAMETERS);
    const std::int64_t offset = std::clamp<std::int64_t>(c.ints[0], 0, range);
    const std::int64_t target = decoder_.LengthSamples() * offset / range;
    output_.Drop();  // the old place must not be heard after the jump
    if (!decoder_.Seek(target)) {
        Error(XA_SOURCE_INPUT, XA_ERROR_SEEK_FAILED, "Cannot seek in " + inputName_);
        return Nack(c.code, XA_ERROR_SEEK_FAILED);
    }
    ForgetPendingSound();
    ReportPosition();
    Ack(c.code);
}

void EnginePlayer::OpenInput(const EngineCommand& c) {
    if (decoder_.IsOpen()) {
        if (state_ != XA_PLAYER_STATE_STOPPED) {
            output_.Drop();
            SetState(XA_PLAYER_STATE_STOPPED);
        }
        decoder_.Close();
        Push(Notification(XA_NOTIFY_INPUT_STATE).U8(4, 0));
    }
    inputName_ = c.texts[0];
    const auto opened = decoder_.Open(inputName_);
    if (opened.error != XA_SUCCESS) {
        Error(XA_SOURCE_INPUT, opened.error, opened.message);
        return Nack(c.code, opened.error);
    }
    state_ = XA_PLAYER_STATE_STOPPED;
    ForgetPendingSound();
    Push(Notification(XA_NOTIFY_INPUT_STATE).U8(4, 1));
    Push(Notification(XA_NOTIFY_INPUT_NAME).Text(4, inputName_));
    const std::int64_t ms = decoder_.LengthSamples() * 1000 / decoder_.Rate();
    Push(Notification(XA_NOTIFY_STREAM_DURATION).U32(4, static_cast<std::uint32_t>(ms)));
    Push(Notification(XA_NOTIFY_STREAM_PARAMETERS)
             .U32(4, static_cast<std::uint32_t>(decoder_.Rate()))
             .S16(8, static_cast<std::int16_t>(decoder_.BitrateKbps()))
             .U8(10, static_cast<std::uint8_t>(decoder_.Channels())));
    ReportPosition();
    Ack(c.code);
}

void EnginePlayer::CloseInput(const EngineCommand& c) {
    if (decoder_.IsOpen()) {
        if (state_ != XA_PLAYER_STATE_STOPPED) {
            output_.Drop();
            SetState(XA_PLAYER_STATE_STOPPED);
        }
        decoder_.Close();
        ForgetPendingSound();
        Push(Notification(XA_NOTIFY_INPUT_STATE).U8(4, 0));
    }
    Ack(c.code);
}

void EnginePlayer::OpenOutput(const EngineCommand& c) {
    // The device is chosen by the environment; the name is not used.
    const bool wasOpen = output_.IsOpen();
    const std::string error = output_.Open();
    if (!error.empty()) {
        Error(XA_SOURCE_OUTPUT, XA_ERROR_OUTPUT_FAILED, error);
        return Nack(c.code, XA_ERROR_OUTPUT_FAILED);
    }
    if (!wasOpen) {
        Push(Notification(XA_NOTIFY_OUTPUT_STATE).U8(4, 1));
        Push(Notification(XA_NOTIFY_OUTPUT_NAME).Text(4, output_.Name()));
    }
    Ack(c.code);
}

void EnginePlayer::CloseOutput(const EngineCommand& c) {
    // Without an output nothing can go on playing; the position is kept.
    if (state_ == XA_PLAYER_STATE_PLAYING || state_ == XA_PLAYER_STATE_PAUSED) {
        SetState(XA_PLAYER_STATE_STOPPED);
    }
    if (output_.IsOpen()) {
        output_.Drop();
        output_.Close();
        Push(Notification(XA_NOTIFY_OUTPUT_STATE).U8(4, 0));
    }
    Ack(c.code);
}

void EnginePlayer::SetEnvironmentInteger(const EngineCommand& c) {
    const std::string& name = c.texts[0];
    const int value = c.ints[0];
    if (name == XA_ENV_PITCH) {
        if (value < 0 || value > kFastestSpeedValue) {
            return Nack(c.code, XA_ERROR_INVALID_PARAMETERS);
        }
        speedValue_ = std::max(value, kSlowestSpeedValue);
        // What is already resampled plays out at the old speed; the new
        // speed applies from the next decoded frame.
    }
    envIntegers_[name] = value;
    Ack(c.code);
}

void EnginePlayer::SetVolume(const EngineCommand& c) {
    if (!ValidLevel(c.ints[0]) || !ValidLevel(c.ints[1]) || !ValidLevel(c.ints[2])) {
        return Nack(c.code, XA_ERROR_INVALID_PARAMETERS);
    }
    if (c.ints[0] >= 0) master_ = c.ints[0];
    if (c.ints[1] >= 0) pcm_ = c.ints[1];
    if (c.ints[2] >= 0) balance_ = c.ints[2];
    ReportVolume();
    Ack(c.code);
}

void EnginePlayer::SetEqualizer(const EngineCommand& c) {
    if (!decoder_.SetEqualizer(c.equalizer ? &*c.equalizer : nullptr)) {
        return Nack(c.code, XA_ERROR_NOT_SUPPORTED);
    }
    equalizerOn_ = c.equalizer.has_value();
    equalizer_ = equalizerOn_ ? *c.equalizer : XA_EqualizerInfo{};
    Ack(c.code);
}

// Each group below answers the commands it knows (Ack or Nack) and returns
// true; false leaves the command to the next group.
void EnginePlayer::SettingOrQuery(const EngineCommand& c) {
    if (ModuleCommand(c) || EnvironmentCommand(c) || InputOutputCommand(c) || PlayerValueCommand(c))
        return;
    // Filters, module messages, input/output names and channel counts are not
    // something this engine can change.
    Nack(c.code, XA_ERROR_NOT_SUPPORTED);
}

bool EnginePlayer::ModuleCommand(const EngineCommand& c) {
    const int i0 = c.ints[0];
    switch (c.code) {
        case XA_CMD_SYNCHRONIZE:
            break;
        case XA_CMD_PING:
            Push(Notification(XA_NOTIFY_PONG).U32(4, static_cast<std::uint32_t>(i0)));
            break;
        case XA_CMD_INPUT_FILTER_LIST:
        case XA_CMD_OUTPUT_FILTER_LIST:
            break;  // there are no filters
        case XA_CMD_INPUT_MODULE_REGISTER:
        case XA_CMD_OUTPUT_MODULE_REGISTER:
        case XA_CMD_CODEC_MODULE_REGISTER:
            break;  // the modules are built in; any name is welcome
        case XA_CMD_INPUT_MODULE_QUERY:
        case XA_CMD_OUTPUT_MODULE_QUERY:
        case XA_CMD_CODEC_MODULE_QUERY:
            if (i0 != 0) return RefuseParameters(c);
            [[fallthrough]];
        case XA_CMD_INPUT_MODULES_LIST:
        case XA_CMD_OUTPUT_MODULES_LIST:
        case XA_CMD_CODEC_MODULES_LIST:
            ReportModule(c.code <= XA_CMD_INPUT_MODULES_LIST    ? XA_NOTIFY_INPUT_MODULE_INFO
                         : c.code <= XA_CMD_OUTPUT_MODULES_LIST ? XA_NOTIFY_OUTPUT_MODULE_INFO
                                                                : XA_NOTIFY_CODEC_MODULE_INFO);
            break;
        case XA_CMD_SET_INPUT_MODULE:
        case XA_CMD_SET_OUTPUT_MODULE:
            if (i0 != 0) return RefuseParameters(c);
            break;
        case XA_CMD_GET_INPUT_MODULE:
            Push(Notification(XA_NOTIFY_INPUT_MODULE).S16(4, 0));
            break;
        case XA_CMD_GET_OUTPUT_MODULE:
            Push(Notification(XA_NOTIFY_OUTPUT_MODULE).S16(4, 0));
            break;
        default:
            return false;
    }
    Ack(c.code);
    return true;
}

bool EnginePlayer::EnvironmentCommand(const EngineCommand& c) {
    switch (c.code) {
        case XA_CMD_GET_PLAYER_ENVIRONMENT_INTEGER: {
            const auto it = envIntegers_.find(c.texts[0]);
            if (it == envIntegers_.end()) return RefuseParameters(c);
            Push(Notification(XA_NOTIFY_PLAYER_ENVIRONMENT_INTEGER)
                     .Text(4, it->first)
                     .U32(8, static_cast<std::uint32_t>(it->second)));
            break;
        }
        case XA_CMD_SET_PLAYER_ENVIRONMENT_STRING:
            envStrings_[c.texts[0]] = c.texts[1];
            break;
        case XA_CMD_GET_PLAYER_ENVIRONMENT_STRING: {
            const auto it = envStrings_.find(c.texts[0]);
            if (it == envStrings_.end()) return RefuseParameters(c);
            Push(Notification(XA_NOTIFY_PLAYER_ENVIRONMENT_STRING)
                     .Text(4, it->first)
                     .Text(8, it->second));
            break;
        }
        case XA_CMD_UNSET_PLAYER_ENVIRONMENT:
            envIntegers_.erase(c.texts[0]);
            envStrings_.erase(c.texts[0]);
            if (c.texts[0] == XA_ENV_PITCH) speedValue_ = 1000;
            break;
        default:
            return false;
    }
    Ack(c.code);
    return true;
}

bool EnginePlayer::InputOutputCommand(const EngineCommand& c) {
    const int i0 = c.ints[0];
    switch (c.code) {
        case XA_CMD_OUTPUT_MUTE:
            muted_ = true;
            break;
        case XA_CMD_OUTPUT_UNMUTE:
            muted_ = false;
            break;
        case XA_CMD_OUTPUT_RESET:
            output_.Drop();
            break;
        case XA_CMD_OUTPUT_DRAIN:
            output_.Drain();
            break;
        case XA_CMD_GET_INPUT_NAME:
            Push(Notification(XA_NOTIFY_INPUT_NAME).Text(4, decoder_.IsOpen() ? inputName_ : ""));
            break;
        case XA_CMD_SET_INPUT_POSITION_RANGE:
            if (i0 <= 0) return RefuseParameters(c);
            positionRange_ = static_cast<std::uint32_t>(i0);
            break;
        case XA_CMD_GET_INPUT_POSITION_RANGE:
            Push(Notification(XA_NOTIFY_INPUT_POSITION_RANGE).U32(4, positionRange_));
            break;
        case XA_CMD_SET_INPUT_TIMECODE_GRANULARITY:
            if (i0 <= 0) return RefuseParameters(c);
            timecodeGranularity_ = static_cast<std::uint32_t>(i0);
            break;
        case XA_CMD_GET_INPUT_TIMECODE_GRANULARITY:
            Push(Notification(XA_NOTIFY_INPUT_TIMECODE_GRANULARITY).U32(4, timecodeGranularity_));
            break;
        case XA_CMD_GET_OUTPUT_NAME:
            Push(Notification(XA_NOTIFY_OUTPUT_NAME).Text(4, output_.Name()));
            break;
        case XA_CMD_GET_OUTPUT_VOLUME:
            ReportVolume();
            break;
        case XA_CMD_GET_OUTPUT_CHANNELS:
            Push(Notification(XA_NOTIFY_OUTPUT_CHANNELS)
                     .U8(4, static_cast<std::uint8_t>(decoder_.Channels())));
            break;
        case XA_CMD_SET_OUTPUT_PORTS:
            ports_ = i0;
            break;
        case XA_CMD_GET_OUTPUT_PORTS:
            Push(Notification(XA_NOTIFY_OUTPUT_PORTS).U8(4, static_cast<std::uint8_t>(ports_)));
            break;
        default:
            return false;
    }
    Ack(c.code);
    return true;
}

bool EnginePlayer::PlayerValueCommand(const EngineCommand& c) {
    const int i0 = c.ints[0];
    switch (c.code) {
        case XA_CMD_SET_PLAYER_MODE:
            playerMode_ = i0;
            break;
        case XA_CMD_GET_PLAYER_MODE:
            Push(Notification(XA_NOTIFY_PLAYER_MODE)
                     .U32(4, static_cast<std::uint32_t>(playerMode_)));
            break;
        case XA_CMD_SET_CODEC_QUALITY:
            codecQuality_ = i0;
            break;
        case XA_CMD_GET_CODEC_QUALITY:
            Push(Notification(XA_NOTIFY_CODEC_QUALITY)
                     .U8(4, static_cast<std::uint8_t>(codecQuality_)));
            break;
        case XA_CMD_GET_CODEC_EQUALIZER:
            Push(Notification(XA_NOTIFY_CODEC_EQUALIZER).Equalizer(equalizer_));
            break;
        case XA_CMD_SET_NOTIFICATION_MASK:
            notificationMask_ = static_cast<std::uint32_t>(i0);
            break;
        case XA_CMD_GET_NOTIFICATION_MASK:
            Push(Notification(XA_NOTIFY_NOTIFICATION_MASK).U32(4, notificationMask_));
            break;
        case XA_CMD_SET_DEBUG_LEVEL:
            debugLevel_ = i0;
            break;
        case XA_CMD_GET_DEBUG_LEVEL:
            Push(Notification(XA_NOTIFY_DEBUG_LEVEL).U8(4, static_cast<std::uint8_t>(debugLevel_)));
            break;
        default:
            return false;
    }
    Ack(c.code);
    return true;
}

}  // namespace mv
