#include "dupes/windows/compare_commands.h"

#include <QAction>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <climits>
#include <thread>

#include "dupes/passed_over_text.h"
#include "dupes/windows/result_list_handlers.h"
#include "platform/program_folder.h"
#include "platform/text_lines.h"
#include "ui/common/dialogs.h"
#include "ui/common/display_text.h"

namespace mv {

namespace {

constexpr int kGaugeTickMs = 50;

}  // namespace

CompareCommands::CompareCommands(const CompareWidgets& widgets, Dialogs& dialogs,
                                 ResultListHandlers& results, std::vector<std::string>& foundFiles,
                                 std::filesystem::path programFolder, CompareHooks hooks,
                                 QObject* parent)
    : QObject(parent),
      w_(widgets),
      dialogs_(dialogs),
      results_(results),
      foundFiles_(foundFiles),
      programFolder_(std::move(programFolder)),
      hooks_(std::move(hooks)) {
    w_.lRes->installEventFilter(this);
}

void CompareCommands::lResClick() {
    if (passedOver_.empty()) return;
    dialogs_.Information(w_.window, DisplayText(mv::PassedOverMessage(passedOver_)));
}

bool CompareCommands::eventFilter(QObject* watched, QEvent* event) {
    if (watched == w_.lRes && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        lResClick();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void CompareCommands::bCompareClick() {
    FolderCommand(mv::CompareCommand::FolderVsList);
}

void CompareCommands::bFolderClick() {
    FolderCommand(mv::CompareCommand::FolderVsItself);
}

void CompareCommands::bCancelClick() {
    control_.stopRequested = true;
}

mv::CompareRequest CompareCommands::FolderRequest(mv::CompareCommand command) const {
    mv::CompareChoice choice;
    choice.command = command;
    choice.folder = hooks_.browserFolder ? hooks_.browserFolder() : std::string();
    choice.withSubfolders = w_.cbRec->isChecked();
    choice.percentText = TypedBytes(w_.ePerc->text());
    return mv::BuildCompareRequest(std::move(choice));
}

void CompareCommands::FolderCommand(mv::CompareCommand command) {
    if (running_) return;
    control_.stopRequested = false;
    if (hooks_.enterBusyState) hooks_.enterBusyState();
    RunCompare(FolderRequest(command));
    if (hooks_.leaveBusyState) hooks_.leaveBusyState();
}

mv::CompareResult CompareCommands::RunFolderWith(const RunFunction& run) {
    if (running_ || !run || !backend_.collectFolderFiles) return {};
    control_.stopRequested = false;
    if (hooks_.enterBusyState) hooks_.enterBusyState();
    mv::CompareResult result =
        RunRequest(FolderRequest(mv::CompareCommand::FolderVsItself), std::nullopt, run);
    if (hooks_.leaveBusyState) hooks_.leaveBusyState();
    return result;
}

void CompareCommands::UpdateGauge() {
    const uint64_t total = control_.pairsTotal.load();
    const uint64_t done = std::min(control_.pairsDone.load(), total);
    if (total <= static_cast<uint64_t>(INT_MAX)) {
        w_.gp->setMaximum(static_cast<int>(total));
        w_.gp->setValue(static_cast<int>(done));
    } else {
        // Past the gauge's range the bar shows thousandths of the pairs.
        w_.gp->setMaximum(1000);
        w_.gp->setValue(static_cast<int>(done * 1000 / total));
    }
}

mv::CompareResult CompareCommands::RunCompare(const mv::CompareRequest& request) {
    mv::CompareResult result;
    if (!backend_.run || running_) return result;
    if (backend_.parsePercent && !backend_.parsePercent(request.percentText)) {
        result.percentRefused = true;
        dialogs_.Information(w_.window, DisplayText(mv::kPercentNotWholeMessage));
        return result;
    }
    // The list is read when the run starts, unless the caller brought its own
    // lines (the ban list). One that is there but cannot be read is named with
    // its cause, and nothing runs: the lists keep the last results.
    std::optional<std::vector<std::string>> listLines = request.listLines;
    if (request.ReadsMp3List()) {
        mv::ListForRun list =
            mv::ReadListForRun(mv::FindProgramFile(programFolder_, mv::kMp3ListFileName));
        if (list.refused) {
            dialogs_.Information(w_.window, DisplayText(list.message));
            return result;
        }
        listLines = std::move(list.lines);
    }
    return RunRequest(request, std::move(listLines), backend_.run);
}

mv::CompareResult CompareCommands::RunRequest(const mv::CompareRequest& request,
                                              std::optional<std::vector<std::string>> listLines,
                                              const RunFunction& run) {
    running_ = true;
    PrepareRun(request.mode);
    const bool walkOnWorker = request.walkRoot.has_value();
    mv::CompareParams params = ParamsFor(request, walkOnWorker);
    params.listLines = std::move(listLines);
    mv::CompareResult result =
        RunOnWorker(params, walkOnWorker ? &*request.walkRoot : nullptr, run);
    ShowResult(result);
    EndRun(request.mode);
    running_ = false;
    if (hooks_.runEnded) hooks_.runEnded(request.mode);
    return result;
}

void CompareCommands::PrepareRun(mv::CompareMode mode) {
    if (w_.cbMinimize->isChecked() && hooks_.hideToTray) hooks_.hideToTray();
    w_.pTag->hide();
    if (hooks_.refreshBrowser) hooks_.refreshBrowser();
    control_.stopRequested = false;
    control_.pairsDone = 0;
    control_.pairsTotal = 0;
    w_.lRes->clear();
    w_.gp->setMinimum(0);
    w_.gp->setValue(0);
    results_.Model().Clear();
    w_.lList->setText(QStringLiteral("Duplicate List (Will delete files HERE)"));
    w_.lRef->setText(QStringLiteral("Duplicate Reference"));
    results_.SetSwitchAllowed(false);
    foundFiles_.clear();
    if (mode == mv::kModeFolderVsItself) {
        results_.SetSwitchAllowed(true);
        w_.lRef->setText(w_.lRef->text() + QStringLiteral(" (Press X to switch filenames)"));
    }
}

mv::CompareParams CompareCommands::ParamsFor(const mv::CompareRequest& request, bool walkOnWorker) {
    mv::CompareParams params;
    params.mode = request.mode;
    const std::string ext = TypedBytes(w_.eExt->text());
    if (walkOnWorker) {
        compareFolders_.clear();
        collectPassedOver_.clear();
    } else if (request.mode != mv::kModeSearchList) {
        compareFolders_ = request.folders;
        collectPassedOver_.clear();
    }
    params.folders = compareFolders_;
    params.foldersPassedOver = collectPassedOver_;
    params.ext = ext;
    params.percentText = request.percentText;
    params.searchText = request.searchText;
    const mv::CompareMode mode = request.mode;
    QPointer<CompareCommands> self(this);
    params.onRows = [self, mode](std::vector<mv::CompareRow>&& batch) {
        auto rows = std::make_shared<std::vector<mv::ResultRow>>(
            mv::RowsFromCompare(mode, std::move(batch)));
        QMetaObject::invokeMethod(
            self.data(),
            [self, rows] {
                if (self) self->results_.Model().Append(std::move(*rows));
            },
            Qt::QueuedConnection);
    };
    return params;
}

mv::CompareResult CompareCommands::RunOnWorker(mv::CompareParams& params,
                                               const std::string* walkRoot,
                                               const RunFunction& run) {
    mv::CompareResult result;
    QEventLoop loop;
    QTimer gauge;
    connect(&gauge, &QTimer::timeout, this, &CompareCommands::UpdateGauge);
    gauge.start(kGaugeTickMs);
    std::atomic<bool> finished{false};
    std::vector<std::string> walked;  // the folders the walk collected; the worker's until joined
    std::thread worker([&] {
        if (walkRoot != nullptr) {
            try {
                mv::FolderWalkHooks hooks;
                hooks.stop = &control_.stopRequested;
                mv::FolderFilesCollection collected =
                    backend_.collectFolderFiles(*walkRoot, params.ext, hooks);
                walked.reserve(collected.folders.size());
                for (const mv::FolderWithFiles& f : collected.folders) walked.push_back(f.folder);
                params.foldersPassedOver = std::move(collected.passedOver);
                params.listedFolders = std::move(collected.folders);
            } catch (const std::bad_alloc&) {
                result.outOfMemory = true;
                result.messages.push_back(mv::kOutOfMemoryMessage);
            }
        }
        // A walk ended by Stop still runs on what it read: the run then reports
        // the cancellation as a stopped comparison does.
        if (!result.outOfMemory) result = run(params, control_);
        finished = true;
        // Queued behind every batch of rows, so the loop ends after the last one landed.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    // The loop can also end early when the application quits: stop the worker then.
    if (!finished) control_.stopRequested = true;
    worker.join();
    gauge.stop();
    UpdateGauge();
    if (walkRoot != nullptr) {
        compareFolders_ = std::move(walked);
        collectPassedOver_ = params.foldersPassedOver;
    }
    return result;
}

void CompareCommands::ShowResult(const mv::CompareResult& result) {
    // Folders that could not be read are counted beside the result; a click
    // on the label lists them.
    passedOver_ = result.foldersPassedOver;
    if (!result.resultText.empty() || !passedOver_.empty()) {
        w_.lRes->setText(DisplayText(result.resultText + mv::PassedOverNote(passedOver_.size())));
    }
    w_.lRes->setToolTip(passedOver_.empty()
                            ? QString()
                            : QStringLiteral("Click to see the folders that could not be read"));
    w_.lRes->setCursor(passedOver_.empty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
    for (const std::string& message : result.messages) {
        dialogs_.Information(w_.window, DisplayText(message));
    }
}

void CompareCommands::EndRun(mv::CompareMode mode) {
    if (mode == mv::kModeFolderVsList || mode == mv::kModeFolderVsItself) {
        results_.SetCommandsEnabled(true);
    }
    w_.bSave->setEnabled(false);
    // An empty range draws as "busy"; the gauge rests empty after every run.
    w_.gp->setRange(0, std::max(1, w_.gp->maximum()));
    w_.gp->setValue(0);
    if (hooks_.showFromTray) hooks_.showFromTray();
}

}  // namespace mv
