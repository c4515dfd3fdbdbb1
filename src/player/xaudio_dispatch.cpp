// Turning one notification record into the event its code names.
#include <cstdint>
#include <string>

#include "player/xaudio_component.h"

namespace mv {

namespace {

uint8_t U8(const XA_Message& m, int offset) {
    return xa_message_u8(&m, offset);
}
int16_t S16(const XA_Message& m, int offset) {
    return xa_message_s16(&m, offset);
}
uint32_t U32(const XA_Message& m, int offset) {
    return xa_message_u32(&m, offset);
}
std::string Text(const XA_Message& m, int offset) {
    return xa_message_text(&m, offset);
}

template <typename Event, typename... Args>
void Raise(const Event& event, Args&&... args) {
    if (event) {
        event(std::forward<Args>(args)...);
    }
}

// The module info records (input, output, codec) share one layout, and so do the
// device info records.
template <typename Event>
void RaiseModuleInfo(const Event& event, XaudioComponent& self, const XA_Message& m) {
    Raise(event, self, U8(m, 4), U8(m, 5), Text(m, 8), Text(m, 12));
}

template <typename Event>
void RaiseDeviceInfo(const Event& event, XaudioComponent& self, const XA_Message& m) {
    Raise(event, self, U8(m, 4), U8(m, 5), U8(m, 6), Text(m, 8), Text(m, 12));
}

}  // namespace

// Marks the span of a handler that sees the engine's own memory.
class XaudioComponent::RecordHold {
  public:
    explicit RecordHold(XaudioComponent& self) : self_(self), was_(self.holdingRecord_) {
        self_.holdingRecord_ = true;
    }
    ~RecordHold() { self_.holdingRecord_ = was_; }
    RecordHold(const RecordHold&) = delete;
    RecordHold& operator=(const RecordHold&) = delete;

  private:
    XaudioComponent& self_;
    bool was_;
};

void XaudioComponent::DispatchNotification(XA_Message& msg) {
    XaudioComponent& self = *this;
    {
        RecordHold hold(*this);
        Raise(OnNotifyMessage, self, msg);
    }
    // The code as the message handler left it: it may redirect the record.
    const XA_Message& m = msg;
    switch (m.code) {
        case XA_NOTIFY_READY:
            return Raise(OnNotifyReady, self);
        case XA_NOTIFY_ACK:
            return Raise(OnNotifyAck, self, U8(m, 4));
        case XA_NOTIFY_NACK:
            return Raise(OnNotifyNack, self, U8(m, 4), S16(m, 6));
        case XA_NOTIFY_PONG:
            return Raise(OnNotifyPong, self, U32(m, 4));
        case XA_NOTIFY_EXITED:
            return Raise(OnNotifyExited, self);
        case XA_NOTIFY_PLAYER_STATE:
            return Raise(OnNotifyPlayerState, self, static_cast<int32_t>(U8(m, 4)));
        case XA_NOTIFY_PLAYER_MODE:
            return Raise(OnNotifyPlayerMode, self, static_cast<int32_t>(U32(m, 4)));
        case XA_NOTIFY_PLAYER_ENVIRONMENT_INTEGER:
            return Raise(OnNotifyPlayerEnvironmentInteger, self, Text(m, 4),
                         static_cast<int32_t>(U32(m, 8)));
        case XA_NOTIFY_PLAYER_ENVIRONMENT_STRING:
            return Raise(OnNotifyPlayerEnvironmentString, self, Text(m, 4), Text(m, 8));
        case XA_NOTIFY_INPUT_STATE:
            return Raise(OnNotifyInputState, self, static_cast<int32_t>(U8(m, 4)));
        case XA_NOTIFY_INPUT_NAME:
            return Raise(OnNotifyInputName, self, Text(m, 4));
        case XA_NOTIFY_INPUT_CAPS:
            return Raise(OnNotifyInputCaps, self, U32(m, 4));
        case XA_NOTIFY_INPUT_POSITION:
            return Raise(OnNotifyInputPosition, self, U32(m, 4), U32(m, 8));
        case XA_NOTIFY_INPUT_POSITION_RANGE:
            return Raise(OnNotifyInputPositionRange, self, static_cast<int32_t>(U32(m, 4)));
        case XA_NOTIFY_INPUT_TIMECODE:
            return Raise(OnNotifyInputTimecode, self, U8(m, 4), U8(m, 5), U8(m, 6), U8(m, 7));
        case XA_NOTIFY_INPUT_TIMECODE_GRANULARITY:
            return Raise(OnNotifyInputTimecodeGranularity, self, U32(m, 4));
        case XA_NOTIFY_INPUT_MODULE:
            return Raise(OnNotifyInputModule, self, S16(m, 4));
        case XA_NOTIFY_INPUT_MODULE_INFO:
            return RaiseModuleInfo(OnNotifyInputModuleInfo, self, m);
        case XA_NOTIFY_INPUT_DEVICE_INFO:
            return RaiseDeviceInfo(OnNotifyInputDeviceInfo, self, m);
        case XA_NOTIFY_INPUT_FILTER_INFO:
            return Raise(OnNotifyInputFilterInfo, self, U8(m, 8), Text(m, 4));
        case XA_NOTIFY_OUTPUT_STATE:
            return Raise(OnNotifyOutputState, self, static_cast<int32_t>(U8(m, 4)));
        case XA_NOTIFY_OUTPUT_NAME:
            return Raise(OnNotifyOutputName, self, Text(m, 4));
        case XA_NOTIFY_OUTPUT_CAPS:
            return Raise(OnNotifyOutputCaps, self, U32(m, 4));
        case XA_NOTIFY_OUTPUT_VOLUME:
            return Raise(OnNotifyOutputVolume, self, U8(m, 4), U8(m, 5), U8(m, 6));
        case XA_NOTIFY_OUTPUT_BALANCE:
            return Raise(OnNotifyOutputBalance, self, U8(m, 6));
        case XA_NOTIFY_OUTPUT_PCM_LEVEL:
            return Raise(OnNotifyOutputPcmLevel, self, U8(m, 5));
        case XA_NOTIFY_OUTPUT_MASTER_LEVEL:
            return Raise(OnNotifyOutputMasterLevel, self, U8(m, 4));
        case XA_NOTIFY_OUTPUT_CHANNELS:
            return Raise(OnNotifyOutputChannels, self, U8(m, 4));
        case XA_NOTIFY_OUTPUT_PORTS:
            // The record carries the ports in one byte only.
            return Raise(OnNotifyOutputPorts, self, static_cast<uint32_t>(U8(m, 4)));
        case XA_NOTIFY_OUTPUT_MODULE:
            return Raise(OnNotifyOutputModule, self, S16(m, 4));
        case XA_NOTIFY_OUTPUT_MODULE_INFO:
            return RaiseModuleInfo(OnNotifyOutputModuleInfo, self, m);
        case XA_NOTIFY_OUTPUT_DEVICE_INFO:
            return RaiseDeviceInfo(OnNotifyOutputDeviceInfo, self, m);
        case XA_NOTIFY_OUTPUT_FILTER_INFO:
            return Raise(OnNotifyOutputFilterInfo, self, U8(m, 8), Text(m, 4));
        case XA_NOTIFY_STREAM_MIME_TYPE:
            return Raise(OnNotifyStreamMimeType, self, Text(m, 4));
        case XA_NOTIFY_STREAM_DURATION:
            return Raise(OnNotifyStreamDuration, self, U32(m, 4));
        case XA_NOTIFY_STREAM_PARAMETERS:
            return Raise(OnNotifyStreamParameters, self, U32(m, 4), S16(m, 8), U8(m, 10));
        case XA_NOTIFY_STREAM_PROPERTIES: {
            RecordHold hold(*this);
            return Raise(OnNotifyStreamProperties, self, U32(m, 4),
                         static_cast<const XA_Property*>(m.ptr8));
        }
        case XA_NOTIFY_CODEC_QUALITY:
            return Raise(OnNotifyCodecQuality, self, U8(m, 4));
        case XA_NOTIFY_CODEC_EQUALIZER: {
            // A record without its equalizer reads as the flat (off) one
            // rather than dereferencing nothing.
            RecordHold hold(*this);
            const XA_EqualizerInfo flat{};
            const auto* equalizer = static_cast<const XA_EqualizerInfo*>(m.ptr4);
            return Raise(OnNotifyCodecEqualizer, self, equalizer != nullptr ? *equalizer : flat);
        }
        case XA_NOTIFY_CODEC_MODULE:
            return Raise(OnNotifyCodecModule, self, S16(m, 4));
        case XA_NOTIFY_CODEC_MODULE_INFO:
            return RaiseModuleInfo(OnNotifyCodecModuleInfo, self, m);
        case XA_NOTIFY_CODEC_DEVICE_INFO:
            return RaiseDeviceInfo(OnNotifyCodecDeviceInfo, self, m);
        case XA_NOTIFY_NOTIFICATION_MASK:
            return Raise(OnNotifyNotificationMask, self, U32(m, 4));
        case XA_NOTIFY_DEBUG_LEVEL:
            return Raise(OnNotifyDebugLevel, self, U8(m, 4));
        case XA_NOTIFY_PROGRESS:
            return Raise(OnNotifyProgress, self, U8(m, 4), U8(m, 5), S16(m, 6), Text(m, 8));
        case XA_NOTIFY_DEBUG:
            return Raise(OnNotifyDebug, self, U8(m, 4), U8(m, 5), Text(m, 8));
        case XA_NOTIFY_ERROR:
            return Raise(OnNotifyError, self, U8(m, 4), S16(m, 6), Text(m, 8));
        default:
            // 96-99 and codes outside 73-123 raise nothing beyond OnNotifyMessage.
            return;
    }
}

}  // namespace mv
