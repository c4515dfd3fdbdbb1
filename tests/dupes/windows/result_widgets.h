// The two result lists and the commands beside them on their own, with hooks
// that record what the handlers ask of the rest of the window, for driving
// ResultListHandlers headless.
#pragma once

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QWidget>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "dupes/windows/result_list_handlers.h"
#include "platform/program_folder.h"
#include "support/widgets/scripted_dialogs.h"
#include "support/widgets/test_application.h"

namespace mv {

namespace dupestest {

inline QString L(const char* s) {
    return QString::fromUtf8(s);
}

// The widgets as the main window builds them: the same names, the left list
// taking several rows, the right one row, both at their design size.
struct ResultWidgets {
    explicit ResultWidgets(std::filesystem::path programFolder)
        : programFolder(std::move(programFolder)) {
        mv::test::TestApplication();
        window = std::make_unique<QWidget>();
        window->resize(800, 560);
        lbCompRes = List("lbCompRes", QAbstractItemView::ExtendedSelection, {4, 368, 393, 169});
        lbFile = List("lbFile", QAbstractItemView::SingleSelection, {396, 368, 397, 169});
        lRes = new QLabel(window.get());
        lRes->setObjectName(L("lRes"));
        eExt = new QLineEdit(L("Mp3"), window.get());
        eExt->setObjectName(L("eExt"));
        lPlayList = new QListWidget(window.get());
        lPlayList->setObjectName(L("lPlayList"));
        bDel = Action("bDel");
        bRemove = Action("bRemove");
        bDelete = Action("bDelete");
        bSaveCsv = Action("bSaveCsv");
        for (QAction* a : {bDel, bRemove, bDelete}) a->setEnabled(false);  // until rows stand
    }

    ResultListWidgets Widgets() const {
        ResultListWidgets w;
        w.window = window.get();
        w.lbCompRes = lbCompRes;
        w.lbFile = lbFile;
        w.lRes = lRes;
        w.bDel = bDel;
        w.bRemove = bRemove;
        w.bDelete = bDelete;
        w.bSaveCsv = bSaveCsv;
        w.eExt = eExt;
        w.lPlayList = lPlayList;
        return w;
    }

    // Every hook records its call; the removal policy is the window's, with
    // the deletion log in the program folder.
    ResultListHooks Hooks() {
        ResultListHooks h;
        h.refreshBrowser = [this] { refreshed++; };
        h.browseTo = [this](const std::string& folder, const std::string& name) {
            browsed.push_back(folder + " | " + name);
        };
        h.playFile = [this](const std::string& path) { played.push_back(path); };
        h.readTag = [this](const std::string& path) { tagged.push_back(path); };
        h.removalPolicy = [this] {
            mv::RemovalPolicy policy;
            policy.toTrash = toTrash;
            policy.logFile = this->programFolder / mv::kDeletedFilesLogName;
            return policy;
        };
        return h;
    }

    // The handler alone, on these widgets (call once, after setting up).
    ResultListHandlers& Make() {
        handlers =
            std::make_unique<ResultListHandlers>(Widgets(), dialogs, playlist, foundFiles, Hooks());
        return *handlers;
    }

    std::filesystem::path programFolder;
    std::unique_ptr<QWidget> window;
    QListView *lbCompRes = nullptr, *lbFile = nullptr;
    QLabel* lRes = nullptr;
    QLineEdit* eExt = nullptr;
    QListWidget* lPlayList = nullptr;
    QAction *bDel = nullptr, *bRemove = nullptr, *bDelete = nullptr, *bSaveCsv = nullptr;

    ScriptedDialogs dialogs;
    mv::Playlist playlist;
    std::vector<std::string> foundFiles;
    bool toTrash = false;  // "Move deleted files to the trash"
    int refreshed = 0;
    std::vector<std::string> browsed, played, tagged;
    std::unique_ptr<ResultListHandlers> handlers;

  private:
    QListView* List(const char* name, QAbstractItemView::SelectionMode mode, QRect at) {
        auto* list = new QListView(window.get());
        list->setObjectName(L(name));
        list->setSelectionMode(mode);
        list->setGeometry(at);
        list->setUniformItemSizes(true);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        return list;
    }
    QAction* Action(const char* name) {
        auto* action = new QAction(L(name), window.get());
        action->setObjectName(L(name));
        return action;
    }
};

}  // namespace dupestest

}  // namespace mv
