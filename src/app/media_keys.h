#pragma once

#include <cstdint>
#include <functional>

#include "app/mpris_service.h"

namespace mv {

class TfPrinc;

// The media service's hooks on the main window: the music panel's commands,
// the window shown as from the tray, Exit as File > Exit, the volume and
// position bars. `durationMs` gives the length of the song the engine opened
// last (0 while unknown).
MprisHooks MediaKeyHooks(TfPrinc& window, std::function<uint32_t()> durationMs = {});

}  // namespace mv
