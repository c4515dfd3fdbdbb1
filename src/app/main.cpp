// Mp3 Vandrel: finds duplicate MP3 files by their names, keeps a catalogue of
// burned CDs and plays MP3s. Takes no arguments but --help and --version (and
// Qt's own options); one program runs per program folder.

#include <QSlider>
#include <QSystemTrayIcon>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/media_keys.h"
#include "app/player_setup.h"
#include "app/safe_application.h"
#include "app/shell.h"
#include "app/single_instance.h"
#include "media/facts_batch.h"
#include "net/http_transport.h"
#include "net/windows/version_check_commands.h"
#include "platform/drives.h"
#include "platform/heap_pages.h"
#include "platform/program_folder.h"
#include "ui/common/qt_dialogs.h"
#include "ui/main/tf_princ.h"

namespace mv {
namespace {

// Prints an answer of the command line; true when the program ends with it.
bool Told(const CommandLineAnswer& answer) {
    std::fputs(answer.out.c_str(), stdout);
    std::fputs(answer.err.c_str(), stderr);
    return answer.exit;
}

std::vector<std::string> Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

// MP3VANDREL_DRIVES names folders to take as the drives (tests, portable use).
std::unique_ptr<mv::DriveList> Drives() {
    std::unique_ptr<mv::DriveList> drives;
    if (const char* given = std::getenv("MP3VANDREL_DRIVES"); given != nullptr && *given != '\0') {
        drives = mv::MakeGivenDriveList(given);
        if (!drives) std::fprintf(stderr, "mp3vandrel: MP3VANDREL_DRIVES is not TYPE=PATH;...\n");
    }
    if (!drives) drives = mv::MakeSystemDriveList();
    return drives;
}

// The program proper, once it holds its program folder.
int Run(const std::filesystem::path& programFolder, SingleInstance& instance) {
    QtDialogs dialogs(QStringLiteral("Mp3 Vandrel"));
    const auto drives = Drives();

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
        CheckVersion({dialogs, &window, window.Controls().tmiVerCheck, built->Splash(), *transport,
                      settings.server, firstRun, &OpenLinkWithDesktop});
    };

    ShellParams params{dialogs, *drives, programFolder, std::move(seams),
                       QSystemTrayIcon::isSystemTrayAvailable()};
    Shell shell(std::move(params));
    built = &shell;

    // The media keys and the desktop's sound applet, where there is a session
    // bus; a later start on the same folder shows the window as they do.
    TfPrinc& window = shell.Window();
    window.SetFactsCache(mv::DefaultFactsCachePath());
    const MprisHooks hooks = MediaKeyHooks(window, [&player] { return player.DurationMs(); });
    instance.raise = hooks.raise;
    MprisService mpris(hooks, QDBusConnection::sessionBus());
    if (mpris.Register()) {
        window.playerStateChanged = [&mpris] { mpris.NotifyChanged(); };
        QObject::connect(window.Controls().tbVolume, &QSlider::valueChanged, &mpris,
                         &MprisService::NotifyChanged);
    }
    shell.Start();
    return QCoreApplication::exec();
}

}  // namespace
}  // namespace mv

int main(int argc, char** argv) {
    mv::PreferHugeHeapPages(argv);
    if (mv::Told(mv::AnswerInfoOptions(mv::Arguments(argc, argv)))) return 0;
    mv::SafeApplication app(argc, argv);
    // Qt has taken its own options out of argv; nothing else is ours.
    if (const auto refused = mv::RefuseLeftOverArguments(mv::Arguments(argc, argv));
        mv::Told(refused)) {
        return refused.code;
    }
    // Only Exit ends the program; a hidden window or a closed box does not.
    app.setQuitOnLastWindowClosed(false);

    // Decided before any file of the program folder is read or written.
    const std::filesystem::path programFolder = mv::ProgramFolder();
    mv::SingleInstance instance(programFolder / mv::kLockFileName);
    const mv::SingleInstance::Outcome outcome = instance.Claim();
    std::fputs(instance.Message().c_str(), stderr);
    if (outcome == mv::SingleInstance::Outcome::HandedOver) return 0;
    if (outcome == mv::SingleInstance::Outcome::NoAnswer) return 1;
    return mv::Run(programFolder, instance);
}
