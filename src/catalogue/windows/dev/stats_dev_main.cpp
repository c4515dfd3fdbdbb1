// Shows the list editor over a small made-up list, so its look can be checked
// without the rest of the program. Usage: mv-stats-dev [width height]
#include <QApplication>
#include <QListView>
#include <QTreeView>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "catalogue/windows/list_models.h"
#include "catalogue/windows/tf_stats.h"
#include "ui/common/silent_dialogs.h"

namespace {}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "mv-stats-dev";
    fs::create_directories(folder);
    {
        std::ofstream list(folder / "Mp3List.txt", std::ios::binary);
        list << "\\Mp3 List\r\n\\Rock 1999\r\n/Music\r\n/Pop\r\nSinger Tune.mp3\r\n..\r\n"
                "/Rock\r\nBand One Song A.mp3\r\nBand One Song B.mp3\r\n..\r\n..\r\n"
                "\\Live\r\nConcert Intro.mp3\r\n/Encore\r\nConcert Finale.mp3\r\n..\r\n";
        for (int cd = 1; cd <= 12; ++cd) {
            list << "\\Caf\xc3\xa9 Mix " << cd << "\r\n/Disc " << cd << "\r\n";
            for (int t = 1; t <= 30; ++t) {
                list << "Artist " << t << " - A rather long title number " << t << ".mp3\r\n";
            }
            list << "..\r\n";
        }
    }
    mv::SilentDialogs dialogs;
    mv::TfStats window(dialogs, folder, {});
    if (!window.FormActivate()) return 1;
    window.SetDisplayMode(1);
    window.tCD->expandAll();
    window.tCD->setCurrentIndex(window.TreeModel().IndexOf(1));  // Rock 1999
    window.ltitles->setCurrentIndex(window.TitleModel().index(1));
    if (argc >= 3) {
        window.move(0, 0);
        window.resize(std::atoi(argv[1]), std::atoi(argv[2]));
    }
    window.show();
    return app.exec();
}
