// One command as queued by the control_message_send_* entry points; every
// argument is copied so the caller's memory may go away at once.
#pragma once

#include <optional>
#include <string>

#include "engine/xaudio_engine.h"

namespace mv {

struct EngineCommand {
    int code = 0;
    // The send variant it came through: "N", "P", "S", "SS", "SI", "IPI",
    // "I", "II", "III" or "IIII".
    std::string variant = "N";
    int ints[4] = {0, 0, 0, 0};
    std::string texts[2];
    std::optional<XA_EqualizerInfo> equalizer;  // SetCodecEqualizer with a record
};

// The send variant each command code is sent with; null for codes that are
// no command.
const char* CommandVariant(int code);

}  // namespace mv
