// Mp3 Vandrel: finds duplicate MP3 files by their names, keeps a catalogue of
// burned CDs and plays MP3s. Takes no command-line arguments.

#include <QSystemTrayIcon>

#include "app/safe_application.h"
#include "app/shell.h"
#include "platform/drives.h"
#include "platform/program_folder.h"
#include "ui/main/qt_dialogs.h"

int main(int argc, char** argv) {
    SafeApplication app(argc, argv);
    // Only Exit ends the program; a hidden window or a closed box does not.
    app.setQuitOnLastWindowClosed(false);

    QtDialogs dialogs(QStringLiteral("Mp3 Vandrel"));
    const auto drives = mv::MakeSystemDriveList();
    ShellParams params{
        dialogs, *drives, mv::ProgramFolder(), {}, QSystemTrayIcon::isSystemTrayAvailable()};
    Shell shell(std::move(params));
    shell.Start();
    return app.exec();
}
