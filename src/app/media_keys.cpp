#include "app/media_keys.h"

#include <QAction>

#include "player/playback_text.h"
#include "player/playlist_edit.h"
#include "player/windows/playback_handlers.h"
#include "ui/common/display_text.h"
#include "ui/main/tf_princ.h"

MprisHooks MediaKeyHooks(TfPrinc& w) {
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
    hooks.quit = [&w] { w.bClose->trigger(); };
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
    return hooks;
}
