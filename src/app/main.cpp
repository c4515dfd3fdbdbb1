// Mp3 Vandrel: finds duplicate MP3 files by their names, keeps a catalogue of
// burned CDs and plays MP3s. Takes no command-line arguments.

#include <QSystemTrayIcon>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/media_keys.h"
#include "app/player_setup.h"
#include "app/safe_application.h"
#include "app/shell.h"
#include "net/http_transport.h"
#include "net/windows/version_check_commands.h"
#include "platform/drives.h"
#include "platform/heap_pages.h"
#include "platform/program_folder.h"
#include "ui/common/qt_dialogs.h"
#include "ui/main/tf_princ.h"

int main(int argc, char** argv) {
    mv::PreferHugeHeapPages(argv);
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

    // The audio player lives from the window's creation to Exit.
    PlayerSetup player;
    ShellSeams seams;
    seams.createPlayer = [&player](TfPrinc& window, TrayIcon&) { player.Create(window); };
    seams.freePlayer = [&player] { player.Free(); };

    // The version check ends the settings load, once the shell has built the
    // main window.
    Shell* built = nullptr;
    seams.checkVersion = [&built, &dialogs](const mv::Settings& settings, bool firstRun) {
        TfPrinc& window = built->Window();
        const auto transport = mv::MakeCurlTransport();
        CheckVersion({dialogs, &window, window.tmiVerCheck, window.Splash(), *transport,
                      settings.server, firstRun, &OpenLinkWithDesktop});
    };

    ShellParams params{dialogs, *drives, mv::ProgramFolder(), std::move(seams),
                       QSystemTrayIcon::isSystemTrayAvailable()};
    Shell shell(std::move(params));
    built = &shell;

    // The media keys and the desktop's sound applet, where there is a session bus.
    TfPrinc& window = shell.Window();
    MprisService mpris(MediaKeyHooks(window), QDBusConnection::sessionBus());
    if (mpris.Register()) window.playerStateChanged = [&mpris] { mpris.NotifyChanged(); };
    shell.Start();
    return app.exec();
}
