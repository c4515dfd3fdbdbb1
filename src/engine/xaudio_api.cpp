// The exported C entry points: thin wrappers that copy the arguments into a
// command for the player's decoder thread.
#include <cstdlib>
#include <new>

#include "engine/engine_player.h"
#include "engine/xaudio_engine.h"

struct XA_Player {
    mv::EnginePlayer engine;
};

namespace {

int Queue(XA_Player* player, mv::EngineCommand command) {
    // Unknown codes are queued too: their refusal comes back as a nack, the
    // one answer the caller is sure to read.
    if (!player) return XA_ERROR_INVALID_PARAMETERS;
    try {
        player->engine.Send(std::move(command));
    } catch (const std::bad_alloc&) {
        return XA_ERROR_OUT_OF_MEMORY;
    }
    return XA_SUCCESS;
}

mv::EngineCommand Make(int code, const char* variant) {
    mv::EngineCommand c;
    c.code = code;
    c.variant = variant;
    return c;
}

std::string Text(const char* s) {
    return s ? s : "";
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int player_new(XA_Player** player, const int* notify_fd) {
    if (!player) return XA_ERROR_INVALID_PARAMETERS;
    *player = nullptr;
    try {
        mv::EnginePlayerParams params;
        params.notifyFd = notify_fd ? *notify_fd : -1;
        params.output = mv::OutputTargetFromEnvironment(std::getenv("MP3VANDREL_AUDIO_OUT"));
        *player = new XA_Player{mv::EnginePlayer(std::move(params))};
    } catch (const std::bad_alloc&) {
        return XA_ERROR_OUT_OF_MEMORY;
    } catch (...) {
        return XA_FAILURE;  // e.g. the thread could not be started
    }
    return XA_SUCCESS;
}

__attribute__((visibility("default"))) int player_delete(XA_Player* player) {
    delete player;
    return XA_SUCCESS;
}

__attribute__((visibility("default"))) int player_set_priority(XA_Player* player, int priority) {
    if (!player || priority < 0 || priority > 6) return XA_ERROR_INVALID_PARAMETERS;
    player->engine.SetPriority(priority);
    return XA_SUCCESS;
}

__attribute__((visibility("default"))) int player_get_priority(XA_Player* player) {
    if (!player) return XA_ERROR_INVALID_PARAMETERS;
    return player->engine.Priority();
}

__attribute__((visibility("default"))) const char* xaudio_error_string(int code) {
    switch (code) {
        case XA_SUCCESS:
            return "success";
        case XA_FAILURE:
            return "failure";
        case XA_ERROR_OUT_OF_MEMORY:
            return "out of memory";
        case XA_ERROR_INVALID_PARAMETERS:
            return "invalid parameters";
        case XA_ERROR_NOT_SUPPORTED:
            return "not supported";
        case XA_ERROR_NO_MESSAGE:
            return "no message waiting";
        case XA_ERROR_NOT_A_MESSAGE:
            return "not an engine message";
        case XA_ERROR_NO_INPUT:
            return "no input open";
        case XA_ERROR_OPEN_FAILED:
            return "cannot open input";
        case XA_ERROR_INVALID_STREAM:
            return "not an MPEG audio stream";
        case XA_ERROR_OUTPUT_FAILED:
            return "cannot open sound output";
        case XA_ERROR_SEEK_FAILED:
            return "seek failed";
        case XA_ERROR_DECODE_FAILED:
            return "decoding failed";
        default:
            return "unknown error";
    }
}

__attribute__((visibility("default"))) unsigned long xaudio_get_version(int) {
    return XA_VERSION_WORD;
}

__attribute__((visibility("default"))) int control_message_send_N(XA_Player* player, int code) {
    return Queue(player, Make(code, "N"));
}

__attribute__((visibility("default"))) int control_message_send_P(XA_Player* player, int code,
                                                                  const void* ptr) {
    auto c = Make(code, "P");
    // Only SetCodecEqualizer gives the pointer a meaning: copy the record now.
    if (code == XA_CMD_SET_CODEC_EQUALIZER && ptr) {
        c.equalizer = *static_cast<const XA_EqualizerInfo*>(ptr);
    }
    return Queue(player, std::move(c));
}

__attribute__((visibility("default"))) int control_message_send_S(XA_Player* player, int code,
                                                                  const char* s) {
    auto c = Make(code, "S");
    c.texts[0] = Text(s);
    return Queue(player, std::move(c));
}

__attribute__((visibility("default"))) int control_message_send_SS(XA_Player* player, int code,
                                                                   const char* s1, const char* s2) {
    auto c = Make(code, "SS");
    c.texts[0] = Text(s1);
    c.texts[1] = Text(s2);
    return Queue(player, std::move(c));
}

__attribute__((visibility("default"))) int control_message_send_SI(XA_Player* player, int code,
                                                                   const char* s, int i) {
    auto c = Make(code, "SI");
    c.texts[0] = Text(s);
    c.ints[0] = i;
    return Queue(player, std::move(c));
}

__attribute__((visibility("default"))) int control_message_send_IPI(XA_Player* player, int code,
                                                                    int i1, const void*, int i2) {
    // The pointer of the module messages is never read: no module takes one.
    auto c = Make(code, "IPI");
    c.ints[0] = i1;
    c.ints[1] = i2;
    return Queue(player, std::move(c));
}

__attribute__((visibility("default"))) int control_message_send_I(XA_Player* player, int code,
                                                                  int i) {
    auto c = Make(code, "I");
    c.ints[0] = i;
    return Queue(player, std::move(c));
}

__attribute__((visibility("default"))) int control_message_send_II(XA_Player* player, int code,
                                                                   int i1, int i2) {
    auto c = Make(code, "II");
    c.ints[0] = i1;
    c.ints[1] = i2;
    return Queue(player, std::move(c));
}

__attribute__((visibility("default"))) int control_message_send_III(XA_Player* player, int code,
                                                                    int i1, int i2, int i3) {
    auto c = Make(code, "III");
    c.ints[0] = i1;
    c.ints[1] = i2;
    c.ints[2] = i3;
    return Queue(player, std::move(c));
}

__attribute__((visibility("default"))) int control_message_send_IIII(XA_Player* player, int code,
                                                                     int i1, int i2, int i3,
                                                                     int i4) {
    auto c = Make(code, "IIII");
    c.ints[0] = i1;
    c.ints[1] = i2;
    c.ints[2] = i3;
    c.ints[3] = i4;
    return Queue(player, std::move(c));
}

__attribute__((visibility("default"))) int control_win32_params_to_message(XA_Player* player,
                                                                           XA_Message* msg,
                                                                           unsigned int message,
                                                                           uintptr_t, intptr_t) {
    if (!player || !msg) return XA_ERROR_INVALID_PARAMETERS;
    if (message != XA_NOTIFY_WINDOW_MESSAGE) return XA_ERROR_NOT_A_MESSAGE;
    return player->engine.Drain(msg) ? XA_SUCCESS : XA_ERROR_NO_MESSAGE;
}

}  // extern "C"
