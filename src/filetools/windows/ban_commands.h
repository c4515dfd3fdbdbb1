#pragma once

#include <QObject>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dupes/compare_engine.h"
#include "dupes/compare_request.h"

class QAction;
class QWidget;

namespace mv {

class Dialogs;
class TfBan;

// The widgets the ban list commands read.
struct BanWidgets {
    QWidget* window = nullptr;
    QAction* cbRec = nullptr;
};

// What the commands ask of the rest of the window.
struct BanHooks {
    std::function<void()> enterBusyState;
    std::function<void()> leaveBusyState;
    std::function<std::string()> browserFolder;
    // The window's comparison run, with its preparation and ending (Stop, the
    // gauge, the result rows and label, the closing message); the scan hands
    // it a request built from the ban list's lines.
    std::function<mv::CompareResult(const mv::CompareRequest&)> runCompare;
};

// The BanList menu: the editor and the scan. Owns fBan.
class BanCommands : public QObject {
    Q_OBJECT
  public:
    BanCommands(const BanWidgets& widgets, Dialogs& dialogs, std::filesystem::path programFolder,
                BanHooks hooks, QObject* parent = nullptr);
    ~BanCommands() override;

    // "Edit my ban list": fBan, modally.
    void Edit1Click();
    // "Scan for unwanted files in selected folder". Without a readable ban
    // list, or with an empty one, nothing runs: only "You do not have any
    // banlist!" is shown, the cause or the empty file named on a second line.
    void Scan1Click();

    TfBan& Ban() { return *fBan_; }

  private:
    BanWidgets w_;
    Dialogs& dialogs_;
    std::filesystem::path programFolder_;
    BanHooks hooks_;
    std::unique_ptr<TfBan> fBan_;
};

}  // namespace mv
