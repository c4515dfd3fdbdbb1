#include "player/xaudio_component.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdio>
#include <exception>

#include "player/xaudio_exception.h"

namespace mv {

namespace {

constexpr uint32_t kDefaultPriority = 3;
constexpr int kVersionComponent = 2;

}  // namespace

XaudioComponent::XaudioComponent() : xaudioPath_(DefaultXaudioPath()) {
    notifyFd_ = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (notifyFd_ < 0) {
        throw EXaudioException("Cannot Create Hidden Window");
    }
    UnloadEngine();
}

XaudioComponent::~XaudioComponent() {
    XA_Player* player = player_;
    player_ = nullptr;
    if (player != nullptr && library_.EntryPoints().player_delete != nullptr) {
        library_.EntryPoints().player_delete(player);
    }
    UnloadEngine();
    // The engine only writes the descriptor while its player lives.
    ::close(notifyFd_);
}

uint32_t XaudioComponent::GetPriority() const {
    if (player_ != nullptr) {
        return static_cast<uint32_t>(library_.EntryPoints().player_get_priority(player_));
    }
    return priority_;
}

void XaudioComponent::SetPriority(uint32_t value) {
    if (player_ != nullptr) {
        library_.EntryPoints().player_set_priority(player_, static_cast<int>(value));
    } else {
        priority_ = value;
    }
}

bool XaudioComponent::Init() {
    EnsureStarted();
    return true;
}

std::string XaudioComponent::ErrorString(int32_t code) {
    if (!EnsureStarted()) {
        return {};
    }
    const char* text = library_.EntryPoints().xaudio_error_string(code);
    return text != nullptr ? std::string(text) : std::string();
}

uint32_t XaudioComponent::GetVersion(uint8_t component) const {
    if (player_ == nullptr) {
        return 0;
    }
    return static_cast<uint32_t>(library_.EntryPoints().xaudio_get_version(component));
}

bool XaudioComponent::EnsureStarted() {
    if (player_ != nullptr) {
        return true;
    }
    if (!library_.IsLoaded()) {
        LoadEngine();
        if (!library_.IsLoaded()) {
            return false;
        }
    }
    const XaudioEntryPoints& entry = library_.EntryPoints();
    CheckInterfaceVersion(entry.xaudio_get_version(kVersionComponent));
    XA_Player* created = nullptr;
    if (entry.player_new(&created, &notifyFd_) != 0 || created == nullptr) {
        throw EXaudioException("Cannot Start Xaudio Player");
    }
    player_ = created;
    if (priority_ != kDefaultPriority) {
        entry.player_set_priority(player_, static_cast<int>(priority_));
    }
    return true;
}

void XaudioComponent::LoadEngine() {
    library_.Load(xaudioPath_);
}

void* XaudioComponent::ResolveSymbol(const std::string& name) {
    return library_.ResolveSymbol(name);
}

void XaudioComponent::UnloadEngine() {
    library_.Unload();
}

bool XaudioComponent::ConvertMessage(unsigned message, uintptr_t wparam, intptr_t lparam,
                                     XA_Message& msg) {
    if (player_ == nullptr) {
        return false;
    }
    return library_.EntryPoints().control_win32_params_to_message(player_, &msg, message, wparam,
                                                                  lparam) == 0;
}

bool XaudioComponent::HandleEngineMessage(unsigned message, uintptr_t wparam, intptr_t lparam) {
    // Numbers below 0x9000 would get the platform's default window handling;
    // there is none here, and the engine refuses to convert them.
    XA_Message msg{};
    if (!ConvertMessage(message, wparam, lparam, msg)) {
        return false;
    }
    DispatchNotification(msg);
    return true;
}

int XaudioComponent::DrainNotifications() {
    // Reset the descriptor before taking records, also in a nested call: one
    // queued meanwhile makes it readable again, so nothing is left behind
    // unsignalled, and a descriptor left readable would wake a nested event
    // loop again and again.
    uint64_t counter = 0;
    [[maybe_unused]] const ssize_t got = ::read(notifyFd_, &counter, sizeof counter);
    // An event handler that holds the engine's own memory (the record or a
    // reference in it) would see it overwritten by the next record: its
    // nested loop delivers nothing; the outer drain takes the records later.
    if (holdingRecord_) {
        return 0;
    }
    int handled = 0;
    for (;;) {
        bool more = false;
        try {
            more = HandleEngineMessage(XA_NOTIFY_WINDOW_MESSAGE, 0, 0);
        } catch (const std::exception& e) {
            // The handler stops; the notification is spent, the next one comes.
            holdingRecord_ = false;
            ReportHandlerError(e.what());
            more = true;
        } catch (...) {
            holdingRecord_ = false;
            ReportHandlerError("unknown error");
            more = true;
        }
        if (!more) {
            break;
        }
        ++handled;
    }
    return handled;
}

void XaudioComponent::ReportHandlerError(const std::string& what) {
    if (OnHandlerError) {
        OnHandlerError(what);
        return;
    }
    std::fprintf(stderr, "mp3vandrel: a command stopped on an error: %s\n", what.c_str());
}

int32_t XaudioComponent::SendN(int code) {
    return EnsureStarted() ? library_.EntryPoints().control_message_send_N(player_, code) : 0;
}

int32_t XaudioComponent::SendP(int code, const void* pointer) {
    return EnsureStarted() ? library_.EntryPoints().control_message_send_P(player_, code, pointer)
                           : 0;
}

int32_t XaudioComponent::SendS(int code, const char* text) {
    return EnsureStarted() ? library_.EntryPoints().control_message_send_S(player_, code, text) : 0;
}

int32_t XaudioComponent::SendSS(int code, const char* text1, const char* text2) {
    return EnsureStarted()
               ? library_.EntryPoints().control_message_send_SS(player_, code, text1, text2)
               : 0;
}

int32_t XaudioComponent::SendSI(int code, const char* text, int value) {
    return EnsureStarted()
               ? library_.EntryPoints().control_message_send_SI(player_, code, text, value)
               : 0;
}

int32_t XaudioComponent::SendIPI(int code, int value1, void* pointer, int value2) {
    return EnsureStarted() ? library_.EntryPoints().control_message_send_IPI(player_, code, value1,
                                                                             pointer, value2)
                           : 0;
}

int32_t XaudioComponent::SendI(int code, int value) {
    return EnsureStarted() ? library_.EntryPoints().control_message_send_I(player_, code, value)
                           : 0;
}

int32_t XaudioComponent::SendII(int code, int value1, int value2) {
    return EnsureStarted()
               ? library_.EntryPoints().control_message_send_II(player_, code, value1, value2)
               : 0;
}

int32_t XaudioComponent::SendIII(int code, int value1, int value2, int value3) {
    return EnsureStarted() ? library_.EntryPoints().control_message_send_III(player_, code, value1,
                                                                             value2, value3)
                           : 0;
}

// Command operations, each sent under its engine command code.
int32_t XaudioComponent::Synchronize() {
    return SendN(XA_CMD_SYNCHRONIZE);
}
int32_t XaudioComponent::Ping(int32_t tag) {
    return SendI(XA_CMD_PING, tag);
}
int32_t XaudioComponent::Play() {
    return SendN(XA_CMD_PLAY);
}
int32_t XaudioComponent::Pause() {
    return SendN(XA_CMD_PAUSE);
}
int32_t XaudioComponent::Stop() {
    return SendN(XA_CMD_STOP);
}
int32_t XaudioComponent::InputSeek(int32_t offset, int32_t range) {
    return SendII(XA_CMD_INPUT_SEEK, offset, range);
}
int32_t XaudioComponent::InputOpen(const std::string& name) {
    return SendS(XA_CMD_INPUT_OPEN, name.c_str());
}
int32_t XaudioComponent::InputClose() {
    return SendN(XA_CMD_INPUT_CLOSE);
}
int32_t XaudioComponent::InputSendMessage(uint16_t value, void* pointer, int32_t integer) {
    return SendIPI(XA_CMD_INPUT_SEND_MESSAGE, static_cast<int>(value), pointer, integer);
}
int32_t XaudioComponent::InputAddFilter(const std::string& name, int32_t integer) {
    return SendSI(XA_CMD_INPUT_ADD_FILTER, name.c_str(), integer);
}
int32_t XaudioComponent::InputRemoveFilter(const std::string& name, int32_t integer) {
    return SendSI(XA_CMD_INPUT_REMOVE_FILTER, name.c_str(), integer);
}
int32_t XaudioComponent::InputFilterList() {
    return SendN(XA_CMD_INPUT_FILTER_LIST);
}
int32_t XaudioComponent::InputModuleRegister(const std::string& name) {
    return SendS(XA_CMD_INPUT_MODULE_REGISTER, name.c_str());
}
int32_t XaudioComponent::InputModuleQuery(int32_t module) {
    return SendI(XA_CMD_INPUT_MODULE_QUERY, module);
}
int32_t XaudioComponent::InputModulesList() {
    return SendN(XA_CMD_INPUT_MODULES_LIST);
}
int32_t XaudioComponent::OutputOpen(const std::string& name) {
    return SendS(XA_CMD_OUTPUT_OPEN, name.c_str());
}
int32_t XaudioComponent::OutputClose() {
    return SendN(XA_CMD_OUTPUT_CLOSE);
}
int32_t XaudioComponent::OutputSendMessage(uint16_t value, void* pointer, int32_t integer) {
    return SendIPI(XA_CMD_OUTPUT_SEND_MESSAGE, static_cast<int>(value), pointer, integer);
}
int32_t XaudioComponent::OutputMute() {
    return SendN(XA_CMD_OUTPUT_MUTE);
}
int32_t XaudioComponent::OutputUnmute() {
    return SendN(XA_CMD_OUTPUT_UNMUTE);
}
int32_t XaudioComponent::OutputReset() {
    return SendN(XA_CMD_OUTPUT_RESET);
}
int32_t XaudioComponent::OutputDrain() {
    return SendN(XA_CMD_OUTPUT_DRAIN);
}
int32_t XaudioComponent::OutputAddFilter(const std::string& name, int32_t integer) {
    return SendSI(XA_CMD_OUTPUT_ADD_FILTER, name.c_str(), integer);
}
int32_t XaudioComponent::OutputRemoveFilter(const std::string& name, int32_t integer) {
    return SendSI(XA_CMD_OUTPUT_REMOVE_FILTER, name.c_str(), integer);
}
int32_t XaudioComponent::OutputFilterList() {
    return SendN(XA_CMD_OUTPUT_FILTER_LIST);
}
int32_t XaudioComponent::OutputModuleRegister(const std::string& name) {
    return SendS(XA_CMD_OUTPUT_MODULE_REGISTER, name.c_str());
}
int32_t XaudioComponent::OutputModuleQuery(int32_t module) {
    return SendI(XA_CMD_OUTPUT_MODULE_QUERY, module);
}
int32_t XaudioComponent::OutputModulesList() {
    return SendN(XA_CMD_OUTPUT_MODULES_LIST);
}
int32_t XaudioComponent::CodecSendMessage(uint16_t value, void* pointer, int32_t integer) {
    return SendIPI(XA_CMD_CODEC_SEND_MESSAGE, static_cast<int>(value), pointer, integer);
}
int32_t XaudioComponent::CodecModuleRegister(const std::string& name) {
    return SendS(XA_CMD_CODEC_MODULE_REGISTER, name.c_str());
}
int32_t XaudioComponent::CodecModuleQuery(int32_t module) {
    return SendI(XA_CMD_CODEC_MODULE_QUERY, module);
}
int32_t XaudioComponent::CodecModulesList() {
    return SendN(XA_CMD_CODEC_MODULES_LIST);
}
int32_t XaudioComponent::SetPlayerMode(int32_t mode) {
    return SendI(XA_CMD_SET_PLAYER_MODE, mode);
}
int32_t XaudioComponent::GetPlayerMode() {
    return SendN(XA_CMD_GET_PLAYER_MODE);
}
int32_t XaudioComponent::SetPlayerEnvironmentInteger(const std::string& name, int32_t value) {
    return SendSI(XA_CMD_SET_PLAYER_ENVIRONMENT_INTEGER, name.c_str(), value);
}
int32_t XaudioComponent::GetPlayerEnvironmentInteger(const std::string& name) {
    return SendS(XA_CMD_GET_PLAYER_ENVIRONMENT_INTEGER, name.c_str());
}
int32_t XaudioComponent::SetPlayerEnvironmentString(const std::string& name,
                                                    const std::string& value) {
    return SendSS(XA_CMD_SET_PLAYER_ENVIRONMENT_STRING, name.c_str(), value.c_str());
}
int32_t XaudioComponent::GetPlayerEnvironmentString(const std::string& name) {
    return SendS(XA_CMD_GET_PLAYER_ENVIRONMENT_STRING, name.c_str());
}
int32_t XaudioComponent::UnsetPlayerEnvironment(const std::string& name) {
    return SendS(XA_CMD_UNSET_PLAYER_ENVIRONMENT, name.c_str());
}
int32_t XaudioComponent::SetInputName(const std::string& name) {
    return SendS(XA_CMD_SET_INPUT_NAME, name.c_str());
}
int32_t XaudioComponent::GetInputName() {
    return SendN(XA_CMD_GET_INPUT_NAME);
}
int32_t XaudioComponent::SetInputModule(int32_t module) {
    return SendI(XA_CMD_SET_INPUT_MODULE, module);
}
int32_t XaudioComponent::GetInputModule() {
    return SendN(XA_CMD_GET_INPUT_MODULE);
}
int32_t XaudioComponent::SetInputPositionRange(int32_t range) {
    return SendI(XA_CMD_SET_INPUT_POSITION_RANGE, range);
}
int32_t XaudioComponent::GetInputPositionRange() {
    return SendN(XA_CMD_GET_INPUT_POSITION_RANGE);
}
int32_t XaudioComponent::SetInputTimecodeGranularity(int32_t granularity) {
    return SendI(XA_CMD_SET_INPUT_TIMECODE_GRANULARITY, granularity);
}
int32_t XaudioComponent::GetInputTimecodeGranularity() {
    return SendN(XA_CMD_GET_INPUT_TIMECODE_GRANULARITY);
}
int32_t XaudioComponent::SetOutputName(const std::string& name) {
    return SendS(XA_CMD_SET_OUTPUT_NAME, name.c_str());
}
int32_t XaudioComponent::GetOutputName() {
    return SendN(XA_CMD_GET_OUTPUT_NAME);
}
int32_t XaudioComponent::SetOutputModule(int32_t module) {
    return SendI(XA_CMD_SET_OUTPUT_MODULE, module);
}
int32_t XaudioComponent::GetOutputModule() {
    return SendN(XA_CMD_GET_OUTPUT_MODULE);
}
int32_t XaudioComponent::SetOutputVolume(int32_t master, int32_t pcm, int32_t balance) {
    return SendIII(XA_CMD_SET_OUTPUT_VOLUME, master, pcm, balance);
}
int32_t XaudioComponent::GetOutputVolume() {
    return SendN(XA_CMD_GET_OUTPUT_VOLUME);
}
int32_t XaudioComponent::SetOutputChannels(int32_t channels) {
    return SendI(XA_CMD_SET_OUTPUT_CHANNELS, channels);
}
int32_t XaudioComponent::GetOutputChannels() {
    return SendN(XA_CMD_GET_OUTPUT_CHANNELS);
}
int32_t XaudioComponent::SetOutputPorts(int32_t ports) {
    return SendI(XA_CMD_SET_OUTPUT_PORTS, ports);
}
int32_t XaudioComponent::GetOutputPorts() {
    return SendN(XA_CMD_GET_OUTPUT_PORTS);
}
int32_t XaudioComponent::SetCodecQuality(uint8_t quality) {
    return SendI(XA_CMD_SET_CODEC_QUALITY, static_cast<int>(quality));
}
int32_t XaudioComponent::GetCodecQuality() {
    return SendN(XA_CMD_GET_CODEC_QUALITY);
}
int32_t XaudioComponent::SetCodecEqualizer(const XA_EqualizerInfo* equalizer) {
    return SendP(XA_CMD_SET_CODEC_EQUALIZER, equalizer);
}
int32_t XaudioComponent::GetCodecEqualizer() {
    return SendN(XA_CMD_GET_CODEC_EQUALIZER);
}
int32_t XaudioComponent::SetNotificationMask(int32_t mask) {
    return SendI(XA_CMD_SET_NOTIFICATION_MASK, mask);
}
int32_t XaudioComponent::GetNotificationMask() {
    return SendN(XA_CMD_GET_NOTIFICATION_MASK);
}
int32_t XaudioComponent::SetDebugLevel(int32_t level) {
    return SendI(XA_CMD_SET_DEBUG_LEVEL, level);
}
int32_t XaudioComponent::GetDebugLevel() {
    return SendN(XA_CMD_GET_DEBUG_LEVEL);
}

}  // namespace mv
