// The widgets a comparison reads and writes, the result lists it fills, and
// CompareCommands on them alone, with hooks that record what it asks of the
// rest of the window (busy state, tray, browser).
#pragma once

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <memory>
#include <string>
#include <vector>

#include "dupes/compare_engine.h"
#include "dupes/windows/compare_commands.h"
#include "platform/folder_listing.h"
#include "result_widgets.h"

namespace mv {

namespace dupestest {

// The real core, as the main window sets it.
inline CompareBackend RealBackend() {
    CompareBackend backend;
    backend.run = &mv::RunCompare;
    backend.collectFolderFiles = &mv::CollectFolderFiles;
    backend.parsePercent = &mv::ParsePercent;
    return backend;
}

struct CompareWidgetsFixture : ResultWidgets {
    // `programFolder` holds the list; the browser stands in `folder`.
    explicit CompareWidgetsFixture(std::filesystem::path programFolder)
        : ResultWidgets(std::move(programFolder)) {
        lList = Label("lList", "Duplicate List (Will delete files HERE)");
        lRef = Label("lRef", "Duplicate Reference (Press X to switch filenames)");
        gp = new QProgressBar(window.get());
        gp->setObjectName(L("gp"));
        gp->setRange(0, 100);
        gp->setValue(0);
        ePerc = new QLineEdit(L("80"), window.get());
        ePerc->setObjectName(L("ePerc"));
        ePerc->setMaxLength(2);
        pTag = new QFrame(window.get());
        pTag->setObjectName(L("pTag"));
        cbRec = CheckItem("cbRec");
        cbMinimize = CheckItem("cbMinimize");
        bSave = new QAction(L("bSave"), window.get());
        bSave->setObjectName(L("bSave"));
        bSave->setEnabled(false);
    }

    CompareWidgets Compare() const {
        CompareWidgets w;
        w.window = window.get();
        w.lList = lList;
        w.lRef = lRef;
        w.lRes = lRes;
        w.gp = gp;
        w.ePerc = ePerc;
        w.eExt = eExt;
        w.pTag = pTag;
        w.cbRec = cbRec;
        w.cbMinimize = cbMinimize;
        w.bSave = bSave;
        return w;
    }

    CompareHooks Hooks() {
        CompareHooks h;
        h.enterBusyState = [this] {
            busy = true;
            ++busyEntered;
        };
        h.leaveBusyState = [this] { busy = false; };
        h.refreshBrowser = [this] { ++refreshed; };
        h.browserFolder = [this] { return folder; };
        h.hideToTray = [this] { calls.push_back("hide"); };
        h.showFromTray = [this] { calls.push_back("show"); };
        h.runEnded = [this](mv::CompareMode mode) { ended.push_back(mode); };
        return h;
    }

    // The result-list handlers and the commands on them, with `backend`.
    CompareCommands& MakeCommands(CompareBackend backend = RealBackend()) {
        Make();
        commands = std::make_unique<CompareCommands>(Compare(), dialogs, *handlers, foundFiles,
                                                     programFolder, Hooks());
        commands->SetBackend(std::move(backend));
        return *commands;
    }

    QLabel *lList = nullptr, *lRef = nullptr;
    QProgressBar* gp = nullptr;
    QLineEdit* ePerc = nullptr;
    QFrame* pTag = nullptr;
    QAction *cbRec = nullptr, *cbMinimize = nullptr, *bSave = nullptr;

    std::string folder;  // the browser's folder
    bool busy = false;
    int busyEntered = 0;
    std::vector<std::string> calls;  // "hide", "show" (and what a test's backend adds)
    std::vector<mv::CompareMode> ended;
    std::unique_ptr<CompareCommands> commands;

  private:
    QLabel* Label(const char* name, const char* text) {
        auto* label = new QLabel(L(text), window.get());
        label->setObjectName(L(name));
        return label;
    }
    // The Options menu's check items start checked, as in the window.
    QAction* CheckItem(const char* name) {
        auto* action = new QAction(L(name), window.get());
        action->setObjectName(L(name));
        action->setCheckable(true);
        action->setChecked(true);
        return action;
    }
};

}  // namespace dupestest

}  // namespace mv
