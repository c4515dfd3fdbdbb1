#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "player/xaudio_component.h"

// Assigns every event of a component a handler that writes one line per call
// into `log`, e.g. "Nack(8,-8)"; a call with a foreign Sender is marked.
class EventRecorder {
  public:
    explicit EventRecorder(mv::XaudioComponent& c) : self_(&c) { AttachAll(c); }

    std::vector<std::string> log;

  private:
    template <typename T>
    static void Put(std::ostringstream& out, const T& value) {
        if constexpr (std::is_same_v<T, uint8_t>) {
            out << static_cast<int>(value);
        } else if constexpr (std::is_same_v<T, std::string>) {
            out << '"' << value << '"';
        } else {
            out << value;
        }
    }

    template <typename... Args>
    void Line(mv::XaudioComponent& sender, const char* name, const Args&... args) {
        std::ostringstream out;
        if (&sender != self_) {
            out << "[foreign sender] ";
        }
        out << name << '(';
        [[maybe_unused]] const char* sep = "";
        ((out << sep, Put(out, args), sep = ","), ...);
        out << ')';
        log.push_back(out.str());
    }

    // A handler for an event of any parameter list: logs its name and values.
    template <typename Event>
    void Hook(Event& event, const char* name) {
        event = [this, name](mv::XaudioComponent& sender, auto... args) {
            Line(sender, name, args...);
        };
    }

    void AttachAll(mv::XaudioComponent& c) {
        c.OnNotifyMessage = [this](mv::XaudioComponent& sender, XA_Message& msg) {
            Line(sender, "Message", msg.code);
        };
        Hook(c.OnNotifyReady, "Ready");
        Hook(c.OnNotifyAck, "Ack");
        Hook(c.OnNotifyNack, "Nack");
        Hook(c.OnNotifyPong, "Pong");
        Hook(c.OnNotifyExited, "Exited");
        Hook(c.OnNotifyPlayerState, "PlayerState");
        Hook(c.OnNotifyPlayerMode, "PlayerMode");
        Hook(c.OnNotifyPlayerEnvironmentInteger, "PlayerEnvironmentInteger");
        Hook(c.OnNotifyPlayerEnvironmentString, "PlayerEnvironmentString");
        Hook(c.OnNotifyInputState, "InputState");
        Hook(c.OnNotifyInputName, "InputName");
        Hook(c.OnNotifyInputCaps, "InputCaps");
        Hook(c.OnNotifyInputPosition, "InputPosition");
        Hook(c.OnNotifyInputPositionRange, "InputPositionRange");
        Hook(c.OnNotifyInputTimecode, "InputTimecode");
        Hook(c.OnNotifyInputTimecodeGranularity, "InputTimecodeGranularity");
        Hook(c.OnNotifyInputModule, "InputModule");
        Hook(c.OnNotifyInputModuleInfo, "InputModuleInfo");
        Hook(c.OnNotifyInputDeviceInfo, "InputDeviceInfo");
        Hook(c.OnNotifyInputFilterInfo, "InputFilterInfo");
        Hook(c.OnNotifyOutputState, "OutputState");
        Hook(c.OnNotifyOutputName, "OutputName");
        Hook(c.OnNotifyOutputCaps, "OutputCaps");
        Hook(c.OnNotifyOutputVolume, "OutputVolume");
        Hook(c.OnNotifyOutputBalance, "OutputBalance");
        Hook(c.OnNotifyOutputPcmLevel, "OutputPcmLevel");
        Hook(c.OnNotifyOutputMasterLevel, "OutputMasterLevel");
        Hook(c.OnNotifyOutputChannels, "OutputChannels");
        Hook(c.OnNotifyOutputPorts, "OutputPorts");
        Hook(c.OnNotifyOutputModule, "OutputModule");
        Hook(c.OnNotifyOutputModuleInfo, "OutputModuleInfo");
        Hook(c.OnNotifyOutputDeviceInfo, "OutputDeviceInfo");
        Hook(c.OnNotifyOutputFilterInfo, "OutputFilterInfo");
        Hook(c.OnNotifyStreamMimeType, "StreamMimeType");
        Hook(c.OnNotifyStreamDuration, "StreamDuration");
        Hook(c.OnNotifyStreamParameters, "StreamParameters");
        c.OnNotifyStreamProperties = [this](mv::XaudioComponent& sender, uint32_t count,
                                            const XA_Property* properties) {
            Line(sender, "StreamProperties", count,
                 std::string(properties != nullptr ? properties[0].name : "null"));
        };
        Hook(c.OnNotifyCodecModule, "CodecModule");
        Hook(c.OnNotifyCodecModuleInfo, "CodecModuleInfo");
        Hook(c.OnNotifyCodecDeviceInfo, "CodecDeviceInfo");
        Hook(c.OnNotifyCodecQuality, "CodecQuality");
        c.OnNotifyCodecEqualizer = [this](mv::XaudioComponent& sender, const XA_EqualizerInfo& eq) {
            Line(sender, "CodecEqualizer", static_cast<int>(eq.left[0]),
                 static_cast<int>(eq.left[31]), static_cast<int>(eq.right[0]),
                 static_cast<int>(eq.right[31]));
        };
        Hook(c.OnNotifyNotificationMask, "NotificationMask");
        Hook(c.OnNotifyDebugLevel, "DebugLevel");
        Hook(c.OnNotifyProgress, "Progress");
        Hook(c.OnNotifyDebug, "Debug");
        Hook(c.OnNotifyError, "Error");
    }

    mv::XaudioComponent* self_;
};
