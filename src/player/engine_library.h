#pragma once

#include <string>

#include "engine/xaudio_engine.h"

namespace mv {

// The engine's entry points, typed, in the order they are resolved.
struct XaudioEntryPoints {
    XA_player_new_fn player_new = nullptr;
    XA_player_delete_fn player_delete = nullptr;
    XA_player_set_priority_fn player_set_priority = nullptr;
    XA_player_get_priority_fn player_get_priority = nullptr;
    XA_xaudio_error_string_fn xaudio_error_string = nullptr;
    XA_xaudio_get_version_fn xaudio_get_version = nullptr;
    XA_control_message_send_N_fn control_message_send_N = nullptr;
    XA_control_message_send_P_fn control_message_send_P = nullptr;
    XA_control_message_send_S_fn control_message_send_S = nullptr;
    XA_control_message_send_SS_fn control_message_send_SS = nullptr;
    XA_control_message_send_SI_fn control_message_send_SI = nullptr;
    XA_control_message_send_IPI_fn control_message_send_IPI = nullptr;
    XA_control_message_send_I_fn control_message_send_I = nullptr;
    XA_control_message_send_II_fn control_message_send_II = nullptr;
    XA_control_message_send_III_fn control_message_send_III = nullptr;
    XA_control_message_send_IIII_fn control_message_send_IIII = nullptr;
    XA_control_win32_params_to_message_fn control_win32_params_to_message = nullptr;
};

// The engine library loaded at run time. Every failure is an EXaudioException
// with the component's fixed texts; a failed load leaves nothing loaded.
class EngineLibrary {
  public:
    EngineLibrary() = default;
    ~EngineLibrary() { Unload(); }
    EngineLibrary(const EngineLibrary&) = delete;
    EngineLibrary& operator=(const EngineLibrary&) = delete;

    // Loads the library at `path` and resolves all entry points, in order.
    void Load(const std::string& path);

    // The address of `name`; nullptr when no library is loaded. A missing
    // name releases the library before raising.
    void* ResolveSymbol(const std::string& name);

    // Releases the library and clears every entry point.
    void Unload();

    bool IsLoaded() const { return handle_ != nullptr; }
    const XaudioEntryPoints& EntryPoints() const { return entry_; }

  private:
    void* handle_ = nullptr;
    XaudioEntryPoints entry_;
};

// Major and minor number of a version word (bits 16-23 and 8-15).
struct XaudioVersion {
    unsigned major = 0;
    unsigned minor = 0;
};
XaudioVersion SplitVersionWord(unsigned long word);

// Raises the mismatch exception unless `word` names the interface we speak.
void CheckInterfaceVersion(unsigned long word);

// "libmv_xaudio.so" in the folder of the running executable, or in the
// program's library folder when it was installed (and not beside it).
std::string DefaultXaudioPath();

}  // namespace mv
