#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/xaudio_engine.h"

// Handler types of the player component's events. A handler is assignable
// like a property: empty means unassigned and the event is skipped. Every
// handler receives the component as Sender first; text parameters arrive as
// copies, so a handler may keep them.
namespace mv {

class XaudioComponent;

using TNotifyMessageEvent = std::function<void(XaudioComponent& Sender, XA_Message& Msg)>;
using TNotifyEvent = std::function<void(XaudioComponent& Sender)>;
using TNotifyAckEvent = std::function<void(XaudioComponent& Sender, uint8_t Command)>;
using TNotifyNackEvent =
    std::function<void(XaudioComponent& Sender, uint8_t Command, int16_t Code)>;
using TNotifyPongEvent = std::function<void(XaudioComponent& Sender, uint32_t Tag)>;
using TNotifyPlayerStateEvent = std::function<void(XaudioComponent& Sender, int32_t State)>;
using TNotifyPlayerModeEvent = std::function<void(XaudioComponent& Sender, int32_t Mode)>;
using TNotifyEnvironmentIntegerEvent =
    std::function<void(XaudioComponent& Sender, const std::string& Name, int32_t Value)>;
using TNotifyEnvironmentStringEvent =
    std::function<void(XaudioComponent& Sender, const std::string& Name, const std::string& Value)>;
using TNotifyInputStateEvent = std::function<void(XaudioComponent& Sender, int32_t State)>;
using TNotifyOutputStateEvent = TNotifyInputStateEvent;
using TNotifyInputNameEvent = std::function<void(XaudioComponent& Sender, const std::string& Name)>;
using TNotifyOutputNameEvent = TNotifyInputNameEvent;
using TNotifyInputCapsEvent = std::function<void(XaudioComponent& Sender, uint32_t Caps)>;
using TNotifyOutputCapsEvent = TNotifyInputCapsEvent;
using TNotifyInputPositionEvent =
    std::function<void(XaudioComponent& Sender, uint32_t Offset, uint32_t Range)>;
using TNotifyInputPositionRangeEvent = std::function<void(XaudioComponent& Sender, int32_t Range)>;
using TNotifyInputTimecodeEvent = std::function<void(
    XaudioComponent& Sender, uint8_t Hours, uint8_t Minutes, uint8_t Seconds, uint8_t Fractions)>;
using TNotifyInputTimecodeGranularityEvent =
    std::function<void(XaudioComponent& Sender, uint32_t Granularity)>;
using TNotifyInputModuleEvent = std::function<void(XaudioComponent& Sender, int16_t ID)>;
using TNotifyOutputModuleEvent = TNotifyInputModuleEvent;
using TNotifyCodecModuleEvent = TNotifyInputModuleEvent;
using TNotifyInputModuleInfoEvent =
    std::function<void(XaudioComponent& Sender, uint8_t ID, uint8_t NbDevices,
                       const std::string& Name, const std::string& Description)>;
using TNotifyOutputModuleInfoEvent = TNotifyInputModuleInfoEvent;
using TNotifyCodecModuleInfoEvent = TNotifyInputModuleInfoEvent;
using TNotifyInputDeviceInfoEvent =
    std::function<void(XaudioComponent& Sender, uint8_t ModuleID, uint8_t Index, uint8_t Flags,
                       const std::string& Name, const std::string& Description)>;
using TNotifyOutputDeviceInfoEvent = TNotifyInputDeviceInfoEvent;
using TNotifyCodecDeviceInfoEvent = TNotifyInputDeviceInfoEvent;
using TNotifyInputFilterInfoEvent =
    std::function<void(XaudioComponent& Sender, uint8_t ID, const std::string& Name)>;
using TNotifyOutputFilterInfoEvent = TNotifyInputFilterInfoEvent;
using TNotifyOutputVolumeEvent = std::function<void(XaudioComponent& Sender, uint8_t MasterLevel,
                                                    uint8_t PcmLevel, uint8_t Balance)>;
using TNotifyOutputBalanceEvent = std::function<void(XaudioComponent& Sender, uint8_t Balance)>;
using TNotifyOutputPcmLevelEvent = std::function<void(XaudioComponent& Sender, uint8_t PcmLevel)>;
using TNotifyOutputMasterLevelEvent =
    std::function<void(XaudioComponent& Sender, uint8_t MasterLevel)>;
using TNotifyOutputChannelsEvent = std::function<void(XaudioComponent& Sender, uint8_t Channels)>;
using TNotifyOutputPortsEvent = std::function<void(XaudioComponent& Sender, uint32_t Ports)>;
using TNotifyStreamMimeTypeEvent =
    std::function<void(XaudioComponent& Sender, const std::string& MimeType)>;
using TNotifyStreamDurationEvent = std::function<void(XaudioComponent& Sender, uint32_t Duration)>;
using TNotifyStreamParametersEvent = std::function<void(XaudioComponent& Sender, uint32_t Frequency,
                                                        int16_t Bitrate, uint8_t NbChannels)>;
// The properties are the engine's array, valid only during the call.
using TNotifyStreamPropertiesEvent = std::function<void(
    XaudioComponent& Sender, uint32_t NbProperties, const XA_Property* Properties)>;
using TNotifyCodecQualityEvent = std::function<void(XaudioComponent& Sender, uint8_t Quality)>;
using TNotifyCodecEqualizerEvent =
    std::function<void(XaudioComponent& Sender, const XA_EqualizerInfo& Equalizer)>;
using TNotifyNotificationMaskEvent = std::function<void(XaudioComponent& Sender, uint32_t Mask)>;
using TNotifyDebugLevelEvent = std::function<void(XaudioComponent& Sender, uint8_t Level)>;
using TNotifyProgressEvent = std::function<void(
    XaudioComponent& Sender, uint8_t Source, uint8_t Code, int16_t Value, const std::string& Msg)>;
using TNotifyDebugEvent = std::function<void(XaudioComponent& Sender, uint8_t Source, uint8_t Level,
                                             const std::string& Msg)>;
using TNotifyErrorEvent = std::function<void(XaudioComponent& Sender, uint8_t Source, int16_t Code,
                                             const std::string& Msg)>;

}  // namespace mv
