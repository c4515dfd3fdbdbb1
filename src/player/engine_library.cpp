#include "player/engine_library.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "player/xaudio_exception.h"

namespace mv {

namespace {

constexpr unsigned kExpectedMajor = 3;
constexpr unsigned kExpectedMinor = 8;

// dlsym hands back an object pointer; the entry point is a function pointer.
template <typename Fn>
void Assign(Fn& slot, void* address) {
    slot = reinterpret_cast<Fn>(address);
}

}  // namespace

void EngineLibrary::Load(const std::string& path) {
    Unload();
    handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        throw EXaudioException("Cannot Load Xaudio DLL (" + path + ")");
    }
    XaudioEntryPoints resolved;
    Assign(resolved.player_new, ResolveSymbol("player_new"));
    Assign(resolved.player_delete, ResolveSymbol("player_delete"));
    Assign(resolved.player_set_priority, ResolveSymbol("player_set_priority"));
    Assign(resolved.player_get_priority, ResolveSymbol("player_get_priority"));
    Assign(resolved.xaudio_error_string, ResolveSymbol("xaudio_error_string"));
    Assign(resolved.xaudio_get_version, ResolveSymbol("xaudio_get_version"));
    Assign(resolved.control_message_send_N, ResolveSymbol("control_message_send_N"));
    Assign(resolved.control_message_send_P, ResolveSymbol("control_message_send_P"));
    Assign(resolved.control_message_send_S, ResolveSymbol("control_message_send_S"));
    Assign(resolved.control_message_send_SS, ResolveSymbol("control_message_send_SS"));
    Assign(resolved.control_message_send_SI, ResolveSymbol("control_message_send_SI"));
    Assign(resolved.control_message_send_IPI, ResolveSymbol("control_message_send_IPI"));
    Assign(resolved.control_message_send_I, ResolveSymbol("control_message_send_I"));
    Assign(resolved.control_message_send_II, ResolveSymbol("control_message_send_II"));
    Assign(resolved.control_message_send_III, ResolveSymbol("control_message_send_III"));
    Assign(resolved.control_message_send_IIII, ResolveSymbol("control_message_send_IIII"));
    Assign(resolved.control_win32_params_to_message,
           ResolveSymbol("control_win32_params_to_message"));
    entry_ = resolved;
}

void* EngineLibrary::ResolveSymbol(const std::string& name) {
    if (handle_ == nullptr) {
        return nullptr;
    }
    void* address = ::dlsym(handle_, name.c_str());
    if (address == nullptr) {
        Unload();
        throw EXaudioException("Cannot Find Symbol " + name + " in Xaudio DLL");
    }
    return address;
}

void EngineLibrary::Unload() {
    if (handle_ != nullptr) {
        ::dlclose(handle_);
    }
    handle_ = nullptr;
    entry_ = XaudioEntryPoints{};
}

XaudioVersion SplitVersionWord(unsigned long word) {
    return {static_cast<unsigned>((word >> 16) & 0xFF), static_cast<unsigned>((word >> 8) & 0xFF)};
}

void CheckInterfaceVersion(unsigned long word) {
    const XaudioVersion got = SplitVersionWord(word);
    if (got.major != kExpectedMajor || got.minor != kExpectedMinor) {
        throw EXaudioException("Xaudio DLL API Mismatch\rExpected " +
                               std::to_string(kExpectedMajor) + "." +
                               std::to_string(kExpectedMinor) + ", Got " +
                               std::to_string(got.major) + "." + std::to_string(got.minor));
    }
}

std::string DefaultXaudioPath() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return "libmv_xaudio.so";
    }
    // Beside the executable in a build folder; below the library folder once installed.
    const auto beside = exe.parent_path() / "libmv_xaudio.so";
    const auto installed = exe.parent_path() / MV_ENGINE_FROM_BIN / "libmv_xaudio.so";
    if (!std::filesystem::exists(beside, ec) && std::filesystem::exists(installed, ec)) {
        return installed.lexically_normal().string();
    }
    return beside.string();
}

}  // namespace mv
