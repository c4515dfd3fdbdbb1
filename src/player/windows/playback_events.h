#pragma once

#include "player/windows/playback_handlers.h"
#include "player/xaudio_component.h"

namespace mv {

// Attaches the playback handlers to the component's notifications: the player
// state, the position, the song's length, and the answers that tell a file would not play.
inline void ConnectPlaybackEvents(XaudioComponent& player, PlaybackHandlers& playback) {
    player.OnNotifyPlayerState = [&playback](XaudioComponent&, int32_t state) {
        playback.PlayerStateChanged(state);
    };
    player.OnNotifyInputPosition = [&playback](XaudioComponent&, uint32_t offset, uint32_t range) {
        playback.InputPositionChanged(offset, range);
    };
    player.OnNotifyStreamDuration = [&playback](XaudioComponent&, uint32_t ms) {
        playback.StreamDurationChanged(ms);
    };
    player.OnNotifyAck = [&playback](XaudioComponent&, uint8_t command) {
        if (command == XA_CMD_INPUT_OPEN) playback.InputOpenAnswered(true);
    };
    player.OnNotifyNack = [&playback](XaudioComponent&, uint8_t command, int16_t) {
        if (command == XA_CMD_INPUT_OPEN) playback.InputOpenAnswered(false);
    };
    player.OnNotifyError = [&playback](XaudioComponent&, uint8_t source, int16_t,
                                       const std::string&) {
        if (source == XA_SOURCE_CODEC) playback.DecodeFailed();
    };
}

}  // namespace mv
