// Mp3 Vandrel: finds duplicate MP3 files by their names, keeps a catalogue of
// burned CDs and plays MP3s. Takes no command-line arguments.

#include <QSystemTrayIcon>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/safe_application.h"
#include "app/shell.h"
#include "platform/drives.h"
#include "platform/program_folder.h"
#include "player/player_control.h"
#include "player/windows/playback_events.h"
#include "player/xaudio_player.h"
#include "ui/common/qt_dialogs.h"
#include "ui/main/tf_princ.h"

int main(int argc, char** argv) {
    SafeApplication app(argc, argv);
    // Only Exit ends the program; a hidden window or a closed box does not.
    app.setQuitOnLastWindowClosed(false);

    QtDialogs dialogs(QStringLiteral("Mp3 Vandrel"));
    // MP3VANDREL_DRIVES names folders to take as the drives (tests, portable use).
    std::unique_ptr<mv::DriveList> drives;
    if (const char* given = std::getenv("MP3VANDREL_DRIVES"); given != nullptr && *given != '\0') {
        drives = mv::MakeGivenDriveList(given);
        if (!drives) std::fprintf(stderr, "mp3vandrel: MP3VANDREL_DRIVES is not TYPE=PATH;...\n");
    }
    if (!drives) drives = mv::MakeSystemDriveList();

    // The audio player lives from the window's creation to Exit. The engine
    // takes any output module name and plays through PulseAudio or ALSA.
    // The window gets it before the engine starts: when the engine is
    // missing, every attempt to play then says so.
    std::unique_ptr<mv::TXaudioPlayer> player;
    std::unique_ptr<mv::XaudioPlayerControl> control;
    TfPrinc* playerWindow = nullptr;
    ShellSeams seams;
    seams.createPlayer = [&](TfPrinc& window, TrayIcon&) {
        player = std::make_unique<mv::TXaudioPlayer>();
        control = std::make_unique<mv::XaudioPlayerControl>(*player);
        playerWindow = &window;
        window.SetPlayer(control.get());
        player->Init();
        player->OutputModuleRegister("xa_dsound_output.dll");
        player->SetPlayerEnvironmentInteger("OUTPUT.DIRECTSOUND.WINDOW",
                                            static_cast<int32_t>(window.winId()));
        mv::ConnectPlaybackEvents(*player, window.Playback());
    };
    seams.freePlayer = [&] {
        if (playerWindow != nullptr) playerWindow->SetPlayer(nullptr);
        control.reset();
        player.reset();
    };

    ShellParams params{dialogs, *drives, mv::ProgramFolder(), std::move(seams),
                       QSystemTrayIcon::isSystemTrayAvailable()};
    Shell shell(std::move(params));
    shell.Start();
    return app.exec();
}
