// The ban list commands on their own: the Options menu's recursion item, and
// a comparison hook that runs the request on the real compare core, recording
// the request, the rows and the run's messages, as the window's comparison
// would show them.
#pragma once

#include <QAction>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "dupes/compare_engine.h"
#include "dupes/compare_request.h"
#include "filetools/windows/ban_commands.h"
#include "support/widgets/scripted_dialogs.h"
#include "support/widgets/test_application.h"

namespace mv {

namespace bantest {

struct BanWidgetsFixture {
    explicit BanWidgetsFixture(std::filesystem::path programFolder) {
        mv::test::TestApplication();
        window = std::make_unique<QWidget>();
        cbRec = new QAction(QStringLiteral("cbRec"), window.get());
        cbRec->setObjectName(QStringLiteral("cbRec"));
        cbRec->setCheckable(true);
        cbRec->setChecked(true);
        BanWidgets w;
        w.window = window.get();
        w.cbRec = cbRec;
        commands = std::make_unique<BanCommands>(w, dialogs, std::move(programFolder), Hooks());
    }

    BanHooks Hooks() {
        BanHooks h;
        h.enterBusyState = [this] { ++busyEntered, busy = true; };
        h.leaveBusyState = [this] { busy = false; };
        h.browserFolder = [this] { return folder; };
        h.runCompare = [this](const mv::CompareRequest& request) {
            busyDuringRun = busy;
            requests.push_back(request);
            rows.clear();
            mv::CompareParams params = mv::ParamsForRequest(request, "Mp3");
            params.onRows = [this](std::vector<mv::CompareRow>&& batch) {
                for (const mv::CompareRow& r : batch) rows.push_back(r.left + " | " + r.right);
            };
            mv::CompareControl control;
            mv::CompareResult result = mv::RunCompare(params, control);
            messages = result.messages;
            return result;
        };
        return h;
    }

    std::unique_ptr<QWidget> window;
    QAction* cbRec = nullptr;
    ScriptedDialogs dialogs;
    std::string folder;  // the browser's folder
    bool busy = false, busyDuringRun = false;
    int busyEntered = 0;
    std::vector<mv::CompareRequest> requests;
    std::vector<std::string> rows;      // of the last run: "left | right"
    std::vector<std::string> messages;  // the last run's closing messages
    std::unique_ptr<BanCommands> commands;
};

}  // namespace bantest

}  // namespace mv
