// Shows the main window over a small made-up tree, so its look can be checked
// without the rest of the program. Usage: mv-window-dev [width height]
#include <QApplication>
#include <QListView>
#include <QListWidget>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "dupes/windows/result_list_handlers.h"
#include "ui/common/display_text.h"
#include "ui/common/silent_dialogs.h"
#include "ui/main/file_browser.h"
#include "ui/main/tf_princ.h"

namespace {

class FolderDrives : public mv::DriveList {
  public:
    explicit FolderDrives(std::vector<std::string> roots) : roots_(std::move(roots)) {}
    std::vector<mv::Drive> Drives() const override {
        std::vector<mv::Drive> drives;
        for (const std::string& r : roots_) drives.push_back({r, r, "ext4", mv::DriveType::Fixed});
        return drives;
    }

  private:
    std::vector<std::string> roots_;
};

void Touch(const std::filesystem::path& p) {
    std::ofstream(p) << "x";
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / "mv-window-dev";
    fs::create_directories(root / "Music" / "Rock");
    fs::create_directories(root / "Music" / "Jazz");
    for (const char* n : {"Artist - Song One.mp3", "Artist - Song Two.mp3", "Band - Tune.mp3"}) {
        Touch(root / "Music" / n);
    }
    mv::SilentDialogs dialogs;
    FolderDrives drives({root.string(), fs::temp_directory_path().string()});
    mv::TfPrinc window(dialogs, drives, root);
    window.CaptureLayout();
    window.Browser().SetFolder((root / "Music").string());
    std::vector<mv::ResultRow> rows;
    for (int i = 0; i < 30; ++i) {
        const std::string n = std::to_string(i);
        rows.push_back({(root / "Music" / ("Artist - Song " + n + ".mp3")).string(),
                        "/CD1/Rock/Artist - Song " + n + ".mp3", mv::RowKind::FileOnDisk,
                        mv::RowKind::ListLocation});
    }
    window.Results().Model().Append(std::move(rows));
    mv::Playlist entries;
    for (const char* n : {"Artist - Song One", "Band - Tune"}) {
        entries.push_back({n, (root / "Music" / (std::string(n) + ".mp3")).string()});
    }
    window.RestorePlaylist(std::move(entries));
    if (argc >= 3) {
        window.move(0, 0);
        window.resize(std::atoi(argv[1]), std::atoi(argv[2]));
    }
    window.show();
    return app.exec();
}
