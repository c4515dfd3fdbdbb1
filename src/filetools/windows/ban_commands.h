#pragma once

#include <QObject>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dupes/compare_engine.h"

class Dialogs;
class QAction;
class QLineEdit;
class QWidget;
class TfBan;

// The widgets the ban list commands read.
struct BanWidgets {
    QWidget* window = nullptr;
    QLineEdit* eExt = nullptr;
    QAction* cbRec = nullptr;
};

// One scan as the window's comparison runs it: mode 1 at 100 over `folders`
// against the ban list's lines (never the Mp3 list file).
struct BanComparison {
    std::string folder;
    bool withSubfolders = false;  // every folder below `folder` that holds a match, too
    std::vector<std::string> listLines;
};

// What the commands ask of the rest of the window.
struct BanHooks {
    std::function<void()> enterBusyState;
    std::function<void()> leaveBusyState;
    std::function<std::string()> browserFolder;
    // Runs the comparison with the window's preparation and ending (Stop, the
    // gauge, the result rows and label, the closing message).
    std::function<mv::CompareResult(const BanComparison&)> runComparison;
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
    // list, or with an empty one, only "You do not have any banlist!" is shown.
    void Scan1Click();

    TfBan& Ban() { return *fBan_; }

  private:
    BanWidgets w_;
    Dialogs& dialogs_;
    std::filesystem::path programFolder_;
    BanHooks hooks_;
    std::unique_ptr<TfBan> fBan_;
};
