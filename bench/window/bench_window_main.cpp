// mv-bench-window: the main window (offscreen) against the tool on the same
// folder. Times "Find duplicates in folder" (the Ctrl+F command, recursion on,
// 80%) from the command to the result label, and `mp3vandrel-cli dupes` on the
// same folder as a whole process, in turn, and prints both medians and their
// ratio. Then fills the result lists with 200,000 rows and times scrolling
// them to the end, the middle and the start, each with its paint. Last, with
// --facts N, a tree of N pairs of real MP3 files (hard links to a few tones)
// is compared and the facts of every pair fill in as after any comparison:
// it prints how long they took and the longest the window did not answer
// (its event loop's worst gap, and the slowest scroll with paint) meanwhile.
// With --rename N, "Rename All" runs over N ID3v1-tagged files in N/100
// folders and it prints how long its table took to show.
// Usage: mv-bench-window [--runs N] [--facts N] [--rename N] FOLDER
#include <sys/wait.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "dupes/windows/result_list_handlers.h"
#include "tagged_tree.h"
#include "ui/common/silent_dialogs.h"
#include "ui/main/file_browser.h"
#include "ui/main/tf_princ.h"

namespace {

// The window's controls by their design names.
template <typename T>
T* Control(QObject& window, const char* name) {
    return window.findChild<T*>(QString::fromLatin1(name));
}

}  // namespace

using mv::SilentDialogs;
using mv::TfPrinc;
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

class RootDrive : public mv::DriveList {
  public:
    std::vector<mv::Drive> Drives() const override {
        return {{"/", "/", "ext4", mv::DriveType::Fixed}};
    }
};

// The tool beside this program, as the user runs it; its rows go to /dev/null.
double TimeTool(const std::string& tool, const std::string& folder) {
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execl(tool.c_str(), tool.c_str(), "dupes", folder.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", tool.c_str());
        std::exit(1);
    }
    return Seconds(start);
}

// A name of words no other i shares, so each name pairs with its copy only.
std::string PairName(int i) {
    static const char* const kSyllables[] = {"ka", "mo", "ri", "te",  "su", "no", "pa", "li",
                                             "ve", "do", "gu", "shi", "ba", "fe", "zo", "ny"};
    std::string name;
    for (int word = 0; word < 3; ++word, i /= 256) {
        if (word > 0) name += ' ';
        name += kSyllables[i % 16];
        name += kSyllables[(i / 16) % 16];
        name += std::to_string(word);
    }
    return name + ".mp3";
}

// N pairs "a/NN/NAME" and "b/NN/NAME" under root/tree: hard links
// to a few one-second tones on the a side and two-second tones on the b side,
// so no pair is hashed (their audio differs in length) and each file is read.
bool MakeFactsTree(const fs::path& root, int pairs) {
    constexpr int kTones = 8;  // a file system allows some 65,000 names per file
    fs::create_directories(root / "tones");
    for (int t = 0; t < kTones; ++t) {
        for (const int seconds : {1, 2}) {
            const fs::path mp3 =
                root / "tones" / (std::to_string(seconds) + "-" + std::to_string(t) + ".mp3");
            const std::string make =
                "sox -q -n -r 44100 -c 2 -t wav - synth " + std::to_string(seconds) + " sine " +
                std::to_string(300 + 40 * t) + " | lame --quiet -b 128 - '" + mp3.string() + "'";
            if (std::system(make.c_str()) != 0) return false;
        }
    }
    for (int i = 0; i < pairs; ++i) {
        const std::string sub = std::to_string(i / 10000);
        for (const char* side : {"a", "b"}) {
            const fs::path dir = root / "tree" / side / sub;
            if (i % 10000 == 0) fs::create_directories(dir);
            const std::string tone =
                std::string(side[0] == 'a' ? "1-" : "2-") + std::to_string(i % kTones);
            fs::create_hard_link(root / "tones" / (tone + ".mp3"), dir / PairName(i));
        }
    }
    return true;
}

// Compares the facts tree in the window and waits for the facts of its pairs,
// watching how long the event loop goes unanswered meanwhile.
void TimeFactsFillingIn(TfPrinc& window, QApplication& app, const fs::path& root, int pairs) {
    if (!MakeFactsTree(root, pairs)) {
        std::fprintf(stderr, "sox or lame failed; no facts case\n");
        return;
    }
    window.Browser().SetFolder((root / "tree").string());
    app.processEvents();
    auto start = Clock::now();
    Control<QAction>(window, "bFolder")->trigger();
    const double compare = Seconds(start);
    const int rows = window.Results().Model().rowCount();
    QLabel* lRes = Control<QLabel>(window, "lRes");
    double worstGap = 0, worstScroll = 0;
    auto lastTick = Clock::now();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &tick, [&] {
        worstGap = std::max(worstGap, Seconds(lastTick));
        lastTick = Clock::now();
    });
    // The user scrolls now and then; its time counts in the gaps as it would.
    int scrolls = 0;
    QTimer scroll;
    QObject::connect(&scroll, &QTimer::timeout, &scroll, [&] {
        const auto scrollStart = Clock::now();
        const int row = (++scrolls * 7919) % std::max(rows, 1);
        for (QListView* view :
             {Control<QListView>(window, "lbFile"), Control<QListView>(window, "lbCompRes")}) {
            view->scrollTo(view->model()->index(row, 0));
            view->viewport()->repaint();
        }
        worstScroll = std::max(worstScroll, Seconds(scrollStart));
    });
    lastTick = Clock::now();
    tick.start(5);
    scroll.start(100);
    start = Clock::now();
    while (!lRes->text().endsWith(QStringLiteral(" in the left list")) && Seconds(start) < 600) {
        app.processEvents(QEventLoop::AllEvents, 20);
    }
    const double facts = Seconds(start);
    // A block right after the last change would show only in the next tick.
    const auto settle = Clock::now();
    while (Seconds(settle) < 0.3) app.processEvents(QEventLoop::AllEvents, 20);
    tick.stop();
    scroll.stop();
    std::printf("facts of %d pairs (%d rows, compared in %.3f s): in %.3f s (\"%s\")\n", pairs,
                rows, compare, facts, lRes->text().toStdString().c_str());
    std::printf(
        "meanwhile: event loop's worst gap %.4f s, slowest scroll with paint %.4f s (%d scrolls)\n",
        worstGap, worstScroll, scrolls);
}

// Rename All asks for the model and for subfolders; the rest stays silent.
class RenameDialogs : public SilentDialogs {
  public:
    RenameDialogs() : SilentDialogs(true) {}
    std::optional<QString> InputText(QWidget*, const QString&, const QString&,
                                     const QString&) override {
        return QStringLiteral("%1 - %2");
    }
};

// From the Rename All click to its table shown and painted; Cancel then, so
// the tree is left as it was.
void TimeRenamePreview(QApplication& app, const fs::path& programFolder, int files) {
    const fs::path root = programFolder / "rename";
    mv::bench::WriteTaggedTree(root, static_cast<std::size_t>(files),
                               static_cast<std::size_t>(std::max(1, files / 100)));
    RenameDialogs dialogs;
    RootDrive drives;
    TfPrinc window(dialogs, drives, programFolder);
    window.show();
    window.Browser().SetFolder(root.string());
    app.processEvents();
    double shown = -1;
    int rows = 0;
    auto start = Clock::now();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        auto* table = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (table == nullptr || table->objectName() != QStringLiteral("RenamePreview")) return;
        table->repaint();
        shown = Seconds(start);
        rows = table->findChild<QTableWidget*>(QStringLiteral("tPreview"))->rowCount();
        if (auto* counts = table->findChild<QLabel*>())
            std::printf("%s\n", counts->text().toStdString().c_str());
        table->reject();
    });
    poll.start(1);
    start = Clock::now();
    Control<QPushButton>(window, "bRenameAll")->click();
    poll.stop();
    std::printf("Rename All's table of %d rows (%d files in %d folders): shown in %.3f s\n", rows,
                files, std::max(1, files / 100), shown);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    int factsPairs = 0;
    int renameFiles = 0;
    std::string folder;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--facts") == 0 && i + 1 < argc) {
            factsPairs = std::max(0, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--rename") == 0 && i + 1 < argc) {
            renameFiles = std::max(0, std::atoi(argv[++i]));
        } else {
            folder = argv[i];
        }
    }
    if (folder.empty() || !fs::is_directory(folder)) {
        std::fprintf(stderr, "usage: mv-bench-window [--runs N] [--facts N] [--rename N] FOLDER\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::string tool = (fs::path(argv[0]).parent_path() / "mp3vandrel-cli").string();
    const fs::path programFolder =
        fs::temp_directory_path() / ("mv-bench-window-" + std::to_string(getpid()));
    fs::create_directories(programFolder);

    QApplication app(argc, argv);
    SilentDialogs dialogs;
    RootDrive drives;
    double toolMedian = 0;
    {
        TfPrinc window(dialogs, drives, programFolder);
        window.show();
        window.Browser().SetFolder(folder);
        Control<QAction>(window, "cbRec")->setChecked(true);
        Control<QAction>(window, "cbMinimize")->setChecked(false);
        Control<QLineEdit>(window, "ePerc")->setText(QStringLiteral("80"));
        app.processEvents();

        std::vector<double> windowTimes, toolTimes;
        std::string label;
        int rows = 0;
        for (int r = 0; r < runs; ++r) {
            const auto start = Clock::now();
            Control<QAction>(window, "bFolder")->trigger();  // returns once the result label is set
            windowTimes.push_back(Seconds(start));
            label = Control<QLabel>(window, "lRes")->text().toStdString();
            rows = window.Results().Model().rowCount();
            toolTimes.push_back(TimeTool(tool, folder));
        }
        toolMedian = Median(toolTimes);
        const double windowMedian = Median(windowTimes);
        std::printf("folder %s: %d rows (\"%s\")\n", folder.c_str(), rows, label.c_str());
        std::printf("window Ctrl+F: median %.3f s of %d runs\n", windowMedian, runs);
        std::printf("tool dupes:    median %.3f s of %d runs\n", toolMedian, runs);
        std::printf("window / tool: %.2f (target <= 1.5)\n", windowMedian / toolMedian);

        // Scrolling: 200,000 rows in the lists, as a large comparison leaves them.
        std::vector<mv::ResultRow> many;
        many.reserve(200000);
        for (int i = 0; i < 200000; ++i) {
            const std::string n = std::to_string(i);
            many.push_back({"/music/Artist " + n + "/Album/01 - Song " + n + ".mp3",
                            "/music/Other/Song " + n + ".mp3", mv::RowKind::FileOnDisk,
                            mv::RowKind::FileOnDisk});
        }
        window.Results().Model().Clear();
        auto start = Clock::now();
        window.Results().Model().Append(std::move(many));
        app.processEvents();
        std::printf("200,000 rows into the lists: %.3f s\n", Seconds(start));
        double worst = 0;
        for (const double at : {1.0, 0.5, 0.0, 0.75, 0.25}) {
            start = Clock::now();
            const int row = static_cast<int>(at * 199999);
            for (QListView* view :
                 {Control<QListView>(window, "lbFile"), Control<QListView>(window, "lbCompRes")}) {
                view->scrollTo(view->model()->index(row, 0));
                view->viewport()->repaint();
            }
            worst = std::max(worst, Seconds(start));
        }
        std::printf("scroll both lists and paint: at most %.4f s\n", worst);
        if (factsPairs > 0) TimeFactsFillingIn(window, app, programFolder / "facts", factsPairs);
    }
    if (renameFiles > 0) TimeRenamePreview(app, programFolder, renameFiles);
    fs::remove_all(programFolder);
    return 0;
}
