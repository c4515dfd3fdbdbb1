#include "app/shell_options.h"

#include <QAction>
#include <filesystem>
#include <system_error>

#include "app/about_box.h"
#include "net/windows/tf_server.h"
#include "ui/common/display_text.h"
#include "ui/main/file_browser.h"
#include "ui/main/tf_princ.h"

namespace mv {

void WireShellOptions(const ShellOptionsParams& p) {
    TfPrinc& window = p.window;
    auto* server = window.findChild<QAction*>(DisplayText("tmiServer"));
    auto* about = window.findChild<QAction*>(DisplayText("tmiAbout"));
    if (server != nullptr) {
        QObject::connect(server, &QAction::triggered, &window, [p] {
            if (p.window.IsBusy()) return;
            TfServer dialog(p.dialogs, &p.window);
            const auto accepted = dialog.Ask(p.server ? p.server() : std::string());
            if (accepted && p.setServer) p.setServer(*accepted);
        });
    }
    if (about != nullptr) {
        QObject::connect(about, &QAction::triggered, &window, [&window, &dialogs = p.dialogs] {
            if (!window.IsBusy()) ShowAbout(dialogs, &window);
        });
    }
}

bool RestoreLastFolder(TfPrinc& window, const std::string& folder) {
    if (folder.empty()) return false;
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) return false;
    return window.Browser().SetFolder(folder);
}

std::string LastFolderToKeep(const std::string& folder) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    if (folder.find_first_of("\r\n") != std::string::npos) return {};
    if (!folder.empty() && (blank(folder.front()) || blank(folder.back()))) return {};
    return folder;
}

}  // namespace mv
