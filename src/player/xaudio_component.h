#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/xaudio_engine.h"
#include "player/engine_library.h"
#include "player/xaudio_events.h"

namespace mv {

// Drives the audio engine library: loads it on first need, checks its
// interface version, creates the engine player, turns each command operation
// into one command message and each notification record into its typed event.
// Holds no playback logic. Not thread-safe: use it from one thread (the GUI
// thread in the program); the engine signals waiting notifications on
// NotificationFd() and DrainNotifications() delivers them in arrival order.
//
// Failures of the component itself raise EXaudioException; the integer
// results of the engine are returned unchecked (a rejected command comes back
// later as OnNotifyNack / OnNotifyError).
class XaudioComponent {
  public:
    // Creates the notification channel (the engine's stand-in for a hidden
    // window); raises "Cannot Create Hidden Window" when that fails.
    XaudioComponent();
    // Deletes the engine player, releases the library, closes the channel.
    virtual ~XaudioComponent();
    XaudioComponent(const XaudioComponent&) = delete;
    XaudioComponent& operator=(const XaudioComponent&) = delete;

    // Priority: the engine's own once the engine player exists; before that
    // the value kept for the start (3 = the engine's default, not sent).
    uint32_t GetPriority() const;
    void SetPriority(uint32_t value);

    // The library file to load; changing it after the start has no effect.
    const std::string& GetXaudioPath() const { return xaudioPath_; }
    void SetXaudioPath(const std::string& path) { xaudioPath_ = path; }

    // Starts the engine; returns true (failures raise).
    bool Init();
    // The library's text for a result code; starts the engine first.
    std::string ErrorString(int32_t code);
    // The version word of an engine component; 0 (and nothing loaded) while
    // the engine is not started.
    uint32_t GetVersion(uint8_t component) const;

    // Command operations: each starts the engine if needed, queues one
    // command and returns the library's result (0 when nothing was sent).
    // A Get operation only asks; the value comes back as a notification.
    int32_t Synchronize();
    int32_t Ping(int32_t tag);
    int32_t Play();
    int32_t Pause();
    int32_t Stop();
    int32_t InputSeek(int32_t offset, int32_t range);
    int32_t InputOpen(const std::string& name);
    int32_t InputClose();
    int32_t InputSendMessage(uint16_t value, void* pointer, int32_t integer);
    int32_t InputAddFilter(const std::string& name, int32_t integer);
    int32_t InputRemoveFilter(const std::string& name, int32_t integer);
    int32_t InputFilterList();
    int32_t InputModuleRegister(const std::string& name);
    int32_t InputModuleQuery(int32_t module);
    int32_t InputModulesList();
    int32_t OutputOpen(const std::string& name);
    int32_t OutputClose();
    int32_t OutputSendMessage(uint16_t value, void* pointer, int32_t integer);
    int32_t OutputMute();
    int32_t OutputUnmute();
    int32_t OutputReset();
    int32_t OutputDrain();
    int32_t OutputAddFilter(const std::string& name, int32_t integer);
    int32_t OutputRemoveFilter(const std::string& name, int32_t integer);
    int32_t OutputFilterList();
    int32_t OutputModuleRegister(const std::string& name);
    int32_t OutputModuleQuery(int32_t module);
    int32_t OutputModulesList();
    int32_t CodecSendMessage(uint16_t value, void* pointer, int32_t integer);
    int32_t CodecModuleRegister(const std::string& name);
    int32_t CodecModuleQuery(int32_t module);
    int32_t CodecModulesList();
    int32_t SetPlayerMode(int32_t mode);
    int32_t GetPlayerMode();
    int32_t SetPlayerEnvironmentInteger(const std::string& name, int32_t value);
    int32_t GetPlayerEnvironmentInteger(const std::string& name);
    int32_t SetPlayerEnvironmentString(const std::string& name, const std::string& value);
    int32_t GetPlayerEnvironmentString(const std::string& name);
    int32_t UnsetPlayerEnvironment(const std::string& name);
    int32_t SetInputName(const std::string& name);
    int32_t GetInputName();
    int32_t SetInputModule(int32_t module);
    int32_t GetInputModule();
    int32_t SetInputPositionRange(int32_t range);
    int32_t GetInputPositionRange();
    int32_t SetInputTimecodeGranularity(int32_t granularity);
    int32_t GetInputTimecodeGranularity();
    int32_t SetOutputName(const std::string& name);
    int32_t GetOutputName();
    int32_t SetOutputModule(int32_t module);
    int32_t GetOutputModule();
    int32_t SetOutputVolume(int32_t master, int32_t pcm, int32_t balance);
    int32_t GetOutputVolume();
    int32_t SetOutputChannels(int32_t channels);
    int32_t GetOutputChannels();
    int32_t SetOutputPorts(int32_t ports);
    int32_t GetOutputPorts();
    int32_t SetCodecQuality(uint8_t quality);
    int32_t GetCodecQuality();
    int32_t SetCodecEqualizer(const XA_EqualizerInfo* equalizer);
    int32_t GetCodecEqualizer();
    int32_t SetNotificationMask(int32_t mask);
    int32_t GetNotificationMask();
    int32_t SetDebugLevel(int32_t level);
    int32_t GetDebugLevel();

    // The descriptor that becomes readable when notifications wait.
    int NotificationFd() const { return notifyFd_; }

    // Takes one notification from the engine for the given message number
    // (the engine converts only XA_NOTIFY_WINDOW_MESSAGE) and raises its
    // events. False when there was none to take (no engine player, empty
    // queue, not an engine message).
    bool HandleEngineMessage(unsigned message, uintptr_t wparam, intptr_t lparam);

    // Resets the descriptor, then handles every waiting notification in
    // arrival order. A handler that runs a nested event loop (a modal box)
    // gets the later records delivered inside that loop, except while it
    // holds the engine's memory (OnNotifyMessage's record, the equalizer or
    // property reference): those records wait for the outer drain. An
    // exception escaping an event handler ends that handler only: it goes to
    // ReportHandlerError and the records after it are still delivered.
    // Returns the number of records handled by this call.
    int DrainNotifications();

    // Where an exception from an event handler goes: the application's error
    // handling (one line). Unset: one line on standard error.
    std::function<void(const std::string& what)> OnHandlerError;

    bool IsLibraryLoaded() const { return library_.IsLoaded(); }
    bool IsStarted() const { return player_ != nullptr; }

    // Events, in the published order.
    TNotifyMessageEvent OnNotifyMessage;
    TNotifyEvent OnNotifyReady;
    TNotifyAckEvent OnNotifyAck;
    TNotifyNackEvent OnNotifyNack;
    TNotifyPongEvent OnNotifyPong;
    TNotifyEvent OnNotifyExited;
    TNotifyPlayerStateEvent OnNotifyPlayerState;
    TNotifyPlayerModeEvent OnNotifyPlayerMode;
    TNotifyEnvironmentIntegerEvent OnNotifyPlayerEnvironmentInteger;
    TNotifyEnvironmentStringEvent OnNotifyPlayerEnvironmentString;
    TNotifyInputStateEvent OnNotifyInputState;
    TNotifyInputNameEvent OnNotifyInputName;
    TNotifyInputCapsEvent OnNotifyInputCaps;
    TNotifyInputPositionEvent OnNotifyInputPosition;
    TNotifyInputPositionRangeEvent OnNotifyInputPositionRange;
    TNotifyInputTimecodeEvent OnNotifyInputTimecode;
    TNotifyInputTimecodeGranularityEvent OnNotifyInputTimecodeGranularity;
    TNotifyInputModuleEvent OnNotifyInputModule;
    TNotifyInputModuleInfoEvent OnNotifyInputModuleInfo;
    TNotifyInputDeviceInfoEvent OnNotifyInputDeviceInfo;
    TNotifyInputFilterInfoEvent OnNotifyInputFilterInfo;
    TNotifyOutputStateEvent OnNotifyOutputState;
    TNotifyOutputNameEvent OnNotifyOutputName;
    TNotifyOutputCapsEvent OnNotifyOutputCaps;
    TNotifyOutputVolumeEvent OnNotifyOutputVolume;
    TNotifyOutputBalanceEvent OnNotifyOutputBalance;
    TNotifyOutputPcmLevelEvent OnNotifyOutputPcmLevel;
    TNotifyOutputMasterLevelEvent OnNotifyOutputMasterLevel;
    TNotifyOutputChannelsEvent OnNotifyOutputChannels;
    TNotifyOutputPortsEvent OnNotifyOutputPorts;
    TNotifyOutputModuleEvent OnNotifyOutputModule;
    TNotifyOutputModuleInfoEvent OnNotifyOutputModuleInfo;
    TNotifyOutputDeviceInfoEvent OnNotifyOutputDeviceInfo;
    TNotifyOutputFilterInfoEvent OnNotifyOutputFilterInfo;
    TNotifyStreamMimeTypeEvent OnNotifyStreamMimeType;
    TNotifyStreamDurationEvent OnNotifyStreamDuration;
    TNotifyStreamParametersEvent OnNotifyStreamParameters;
    TNotifyStreamPropertiesEvent OnNotifyStreamProperties;
    TNotifyCodecModuleEvent OnNotifyCodecModule;
    TNotifyCodecModuleInfoEvent OnNotifyCodecModuleInfo;
    TNotifyCodecDeviceInfoEvent OnNotifyCodecDeviceInfo;
    TNotifyCodecQualityEvent OnNotifyCodecQuality;
    TNotifyCodecEqualizerEvent OnNotifyCodecEqualizer;
    TNotifyNotificationMaskEvent OnNotifyNotificationMask;
    TNotifyDebugLevelEvent OnNotifyDebugLevel;
    TNotifyProgressEvent OnNotifyProgress;
    TNotifyDebugEvent OnNotifyDebug;
    TNotifyErrorEvent OnNotifyError;

  protected:
    // Lazy start: true once the engine player exists; false when no library
    // could be loaded. Raises on a version mismatch (the library stays
    // loaded, so the next command checks again) and when the engine player
    // cannot be created.
    bool EnsureStarted();
    void LoadEngine();
    void* ResolveSymbol(const std::string& name);
    void UnloadEngine();

  private:
    class RecordHold;
    void ReportHandlerError(const std::string& what);
    bool ConvertMessage(unsigned message, uintptr_t wparam, intptr_t lparam, XA_Message& msg);
    void DispatchNotification(XA_Message& msg);

    int32_t SendN(int code);
    int32_t SendP(int code, const void* pointer);
    int32_t SendS(int code, const char* text);
    int32_t SendSS(int code, const char* text1, const char* text2);
    int32_t SendSI(int code, const char* text, int value);
    int32_t SendIPI(int code, int value1, void* pointer, int value2);
    int32_t SendI(int code, int value);
    int32_t SendII(int code, int value1, int value2);
    int32_t SendIII(int code, int value1, int value2, int value3);

    XA_Player* player_ = nullptr;
    uint32_t priority_ = 3;
    int notifyFd_ = -1;
    EngineLibrary library_;
    std::string xaudioPath_;
    // True while a handler holds a pointer into the engine's record memory.
    bool holdingRecord_ = false;
};

}  // namespace mv
