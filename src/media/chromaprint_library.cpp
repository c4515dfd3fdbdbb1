#include "media/chromaprint_library.h"

#include <dlfcn.h>

namespace mv {

namespace {

// The run-time name Debian's libchromaprint1 gives it.
constexpr char kLibrary[] = "libchromaprint.so.1";

struct Loaded {
    ChromaprintApi api;
    std::string problem;  // empty when every entry point was found
};

// dlsym hands back an object pointer; the entry point is a function pointer.
template <typename Fn>
bool Resolve(void* handle, const char* name, Fn& slot, std::string& problem) {
    slot = reinterpret_cast<Fn>(::dlsym(handle, name));
    if (slot == nullptr && problem.empty()) problem = std::string(kLibrary) + " lacks " + name;
    return slot != nullptr;
}

Loaded Load() {
    Loaded loaded;
    // Never closed: prints may be made until the process ends.
    void* handle = ::dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = ::dlerror();
        loaded.problem = "Chromaprint cannot be loaded: " + std::string(why ? why : kLibrary);
        return loaded;
    }
    ChromaprintApi& api = loaded.api;
    std::string& p = loaded.problem;
    Resolve(handle, "chromaprint_new", api.create, p);
    Resolve(handle, "chromaprint_free", api.destroy, p);
    Resolve(handle, "chromaprint_start", api.start, p);
    Resolve(handle, "chromaprint_feed", api.feed, p);
    Resolve(handle, "chromaprint_finish", api.finish, p);
    Resolve(handle, "chromaprint_get_raw_fingerprint", api.rawFingerprint, p);
    Resolve(handle, "chromaprint_dealloc", api.dealloc, p);
    Resolve(handle, "chromaprint_get_item_duration", api.itemDuration, p);
    Resolve(handle, "chromaprint_get_sample_rate", api.sampleRate, p);
    Resolve(handle, "chromaprint_get_version", api.version, p);
    return loaded;
}

}  // namespace

const ChromaprintApi* Chromaprint(std::string* problem) {
    static const Loaded loaded = Load();  // thread-safe: C++ statics are initialised once
    if (problem != nullptr) *problem = loaded.problem;
    return loaded.problem.empty() ? &loaded.api : nullptr;
}

}  // namespace mv
