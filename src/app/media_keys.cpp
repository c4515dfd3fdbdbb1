#include "app/media_keys.h"

#include <QSlider>

#include "player/playback_text.h"
#include "player/playlist_edit.h"
#include "player/windows/playback_handlers.h"
#include "ui/common/display_text.h"
#include "ui/main/tf_princ.h"

namespace mv {

namespace {

// The bars' travel and the song's microseconds, one onto the other.
qint64 Scale(qint64 value, qint64 from, qint64 to) {
    return from <= 0 ? 0 : (value * to + from / 2) / from;
}

void AddBarHooks(MprisHooks& hooks, TfPrinc& w, std::function<qint64()> lengthMicros) {
    QSlider* volume = w.Controls().tbVolume;
    hooks.volume = [volume] { return double(volume->value()) / volume->maximum(); };
    // The bar's own signal sets the engine's volume.
    hooks.setVolume = [volume](double v) { volume->setValue(qRound(v * volume->maximum())); };
    hooks.length = lengthMicros;
    QSlider* track = w.Controls().tbTrack;
    hooks.position = [track, lengthMicros] {
        return Scale(track->value(), track->maximum(), lengthMicros());
    };
    hooks.seekTo = [&w, track, lengthMicros](qint64 position) {
        // The user's hand on the bar wins.
        if (w.Playback().SeekDragging()) return;
        track->setValue(int(Scale(position, lengthMicros(), track->maximum())));
        w.Playback().SeekRelease();
    };
}

}  // namespace

MprisHooks MediaKeyHooks(TfPrinc& w, std::function<uint32_t()> durationMs) {
    MprisHooks hooks;
    hooks.playPause = [&w] { w.Playback().PlayPause(); };
    hooks.play = [&w] {
        if (w.Playback().State() != mv::kStatePlaying) w.Playback().PlayPause();
    };
    hooks.pause = [&w] {
        if (w.Playback().State() == mv::kStatePlaying) w.Playback().PlayPause();
    };
    hooks.next = [&w] { w.Playback().bNextClick(); };
    hooks.stop = [&w] { w.Playback().bStopClick(); };
    hooks.raise = [&w] {
        if (w.showFromTray) {
            w.showFromTray();
        } else {
            w.show();
            w.raise();
            w.activateWindow();
        }
    };
    hooks.quit = [&w] {
        if (w.exitClick) w.exitClick();
    };
    hooks.playbackStatus = [&w] {
        switch (w.Playback().State()) {
            case mv::kStatePlaying:
                return QStringLiteral("Playing");
            case mv::kStatePaused:
                return QStringLiteral("Paused");
            default:
                return QStringLiteral("Stopped");
        }
    };
    const auto playing = [&w] {
        const int32_t state = w.Playback().State();
        return state == mv::kStatePlaying || state == mv::kStatePaused;
    };
    hooks.title = [&w, playing] {
        if (!playing() || w.Playback().CurrentFile().empty()) return QString();
        return DisplayText(mv::PlaylistDisplayName(w.Playback().CurrentFile()));
    };
    hooks.path = [&w, playing] {
        return playing() ? DisplayText(w.Playback().CurrentFile()) : QString();
    };
    AddBarHooks(hooks, w, [playing, durationMs] {
        return playing() && durationMs ? qint64(durationMs()) * 1000 : qint64(0);
    });
    return hooks;
}

}  // namespace mv
