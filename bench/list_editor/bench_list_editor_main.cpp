// mv-bench-list-editor: times the list editor (TfStats, offscreen) on a
// generated catalogue of 1,000 CDs and 200,000 titles, and on one whose
// single CD holds a 100,000-title folder: opening the window up to its first
// paint, showing the titles of every node in both modes, a search and its
// Next, removing titles, deleting a CD, saving.
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/windows/list_models.h"
#include "catalogue/windows/tf_stats.h"
#include "dupes/compare_engine.h"
#include "platform/text_lines.h"
#include "ui/common/display_text.h"
#include "ui/common/silent_dialogs.h"

using mv::DisplayText;
using mv::SilentDialogs;
using mv::TfStats;
using mv::TfStatsHooks;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

const char* const kWords[] = {"love", "night", "blue",  "fire",   "dance", "rain", "heart",
                              "road", "city",  "light", "dream",  "river", "gold", "song",
                              "wild", "time",  "sky",   "summer", "stone", "moon"};

std::string Words(unsigned seed, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        if (i > 0) out += ' ';
        out += kWords[(seed >> 16) % 20];
    }
    return out;
}

// 1,000 CDs of 4 artists x 2 albums x 25 titles, as the drive scan saves them.
void WriteCatalogue(const fs::path& file) {
    std::ofstream out(file, std::ios::binary);
    out << "\\Mp3 List\r\n";
    unsigned n = 0;
    for (int cd = 1; cd <= 1000; ++cd) {
        out << "\\MP3 CD " << cd << "\r\n";
        for (int artist = 0; artist < 4; ++artist) {
            out << "/Artist " << cd * 4 + artist << "\r\n";
            for (int album = 0; album < 2; ++album) {
                out << "/" << Words(++n, 3) << " " << album << "\r\n";
                for (int t = 1; t <= 25; ++t) {
                    ++n;
                    out << (t < 10 ? "0" : "") << t << " " << Words(n, 2 + n % 4) << ".mp3\r\n";
                }
                out << "..\r\n";
            }
            out << "..\r\n";
        }
    }
}

// The extreme: one CD whose only folder holds 100,000 titles, among 99 small CDs.
void WriteBigFolderCatalogue(const fs::path& file) {
    std::ofstream out(file, std::ios::binary);
    out << "\\Mp3 List\r\n\\Big\r\n/All\r\n";
    for (unsigned t = 0; t < 100000; ++t) out << Words(t, 4) << " " << t << ".mp3\r\n";
    out << "..\r\n";
    for (int cd = 1; cd <= 99; ++cd) {
        out << "\\Small " << cd << "\r\n";
        for (unsigned t = 0; t < 20; ++t) out << Words(t + 7, 3) << ".mp3\r\n";
    }
}

// The window up to its first paint after FormActivate.
double OpenWindow(TfStats& window) {
    const auto start = Clock::now();
    if (!window.FormActivate()) return -1;
    window.show();
    window.repaint();
    QApplication::processEvents();
    return Seconds(start);
}

// A click on a node: the handler fills the titles, then the list paints.
double ShowNode(TfStats& window, uint32_t node) {
    const auto start = Clock::now();
    window.tCD->setCurrentIndex(window.TreeModel().IndexOf(node));
    window.ltitles->repaint();
    return Seconds(start);
}

struct Spread {
    double worst = 0;
    double total = 0;
    size_t count = 0;
    void Add(double s) {
        worst = std::max(worst, s);
        total += s;
        ++count;
    }
};

void Report(const char* what, double seconds) {
    std::printf("  %-62s %7.1f ms\n", what, seconds * 1000);
}

// The main window's part of a search, without its widgets: the comparison in
// mode 3 at 101 over the list on disk; the rows' list locations are kept.
TfStatsHooks SearchHooks(const fs::path& folder, std::vector<std::string>& found) {
    TfStatsHooks hooks;
    hooks.search = [folder, &found](const std::string& text) {
        mv::CompareParams params;
        params.mode = mv::kModeSearchList;
        params.percentText = "101";
        params.searchText = text;
        params.listLines = mv::ReadLines(folder / "Mp3List.txt");
        mv::CompareControl control;
        const mv::CompareResult result = mv::RunCompare(params, control);
        found.clear();
        for (const mv::CompareRow& row : result.rows) found.push_back(row.right);
        return found;
    };
    hooks.resultRows = [&found] { return found; };
    return hooks;
}

// Search, then Next: each from the click to the tree opened at the result.
void TimeSearch(TfStats& window, const TfStatsHooks& hooks, const std::string& text,
                const std::vector<std::string>& found) {
    window.eEdit->setText(DisplayText(text));
    auto start = Clock::now();
    hooks.search(text);
    Report("the comparison alone (read the list, mode 3 at 101)", Seconds(start));
    start = Clock::now();
    window.bSearchClick();
    window.repaint();
    char line[120];
    std::snprintf(line, sizeof line, "search \"%s\" (%zu found), tree opened at the first",
                  text.c_str(), found.size());
    Report(line, Seconds(start));
    start = Clock::now();
    window.bSearchClick();
    window.repaint();
    Report("Next, tree opened at the second", Seconds(start));
}

void RunCatalogue(const char* title, const fs::path& folder, uint32_t paintedSampleStep,
                  const std::string& searchText) {
    std::printf("%s\n", title);
    SilentDialogs dialogs(true);  // Yes to the save question: closing writes the list
    std::vector<std::string> found;
    const TfStatsHooks hooks = SearchHooks(folder, found);
    TfStats window(dialogs, folder, hooks);
    const double coldOpen = OpenWindow(window);
    Report("open (read, tree, first paint), first time", coldOpen);
    window.FormClose();
    const double open = OpenWindow(window);
    Report("open again", open);
    std::printf("  %zu lines, %zu titles, %zu nodes\n", window.Copy().Lines().size(),
                window.Copy().TitleCount(), window.Copy().Tree().NodeCount());

    for (int mode = 0; mode < 2; ++mode) {
        window.SetDisplayMode(mode);
        Spread handler;
        Spread painted;
        const uint32_t nodes = static_cast<uint32_t>(window.Copy().Tree().NodeCount());
        for (uint32_t node = 1; node < nodes; ++node) {
            if (node % paintedSampleStep == 0) {
                painted.Add(ShowNode(window, node));
            } else {
                const auto start = Clock::now();
                window.tCD->setCurrentIndex(window.TreeModel().IndexOf(node));
                handler.Add(Seconds(start));
            }
        }
        char line[120];
        std::snprintf(line, sizeof line, "titles of a node, %s mode: worst of %zu, painted",
                      mode == 0 ? "root" : "whole-CD", painted.count);
        Report(line, painted.worst);
        if (handler.count == 0) continue;
        std::snprintf(line, sizeof line, "titles of a node, %s mode: worst of %zu, handler only",
                      mode == 0 ? "root" : "whole-CD", handler.count);
        Report(line, handler.worst);
    }

    TimeSearch(window, hooks, searchText, found);

    // The largest CD in the whole-CD mode: every title selected and removed.
    window.SetDisplayMode(1);
    ShowNode(window, 1);
    window.ltitles->selectAll();
    auto start = Clock::now();
    window.Button2Click();
    Report("remove every title of the first CD", Seconds(start));
    window.tCD->setCurrentIndex(
        window.TreeModel().IndexOf(window.Copy().Tree().Node(0).children.back()));
    start = Clock::now();
    window.Button1Click();
    window.repaint();
    Report("delete the last CD (tree built again, painted)", Seconds(start));
    start = Clock::now();
    window.FormClose();
    Report("close, answering Yes (save)", Seconds(start));
    std::printf("  %s\n", dialogs.messages == 0 ? "saved" : "NOT SAVED");
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const fs::path work =
        fs::temp_directory_path() / ("mv-bench-list-editor-" + std::to_string(::getpid()));
    fs::create_directories(work / "big");
    WriteCatalogue(work / "Mp3List.txt");
    WriteBigFolderCatalogue(work / "big" / "Mp3List.txt");
    std::printf("Targets: open < 1000 ms; the titles of any node < 100 ms; a search < 500 ms.\n");
    RunCatalogue("1,000 CDs, 200,000 titles", work, 50, "river moon");
    RunCatalogue("one CD with a 100,000-title folder, 99 small CDs", work / "big", 1, "dream 4711");
    fs::remove_all(work);
    return 0;
}
