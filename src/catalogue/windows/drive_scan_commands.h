#pragma once

#include <QObject>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/drive_scan.h"
#include "dupes/result_rows.h"

class QAction;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace mv {

class Dialogs;

// The widgets the drive scan and the saving read and write.
struct DriveScanWidgets {
    QWidget* window = nullptr;  // parent of the boxes
    QLabel* lList = nullptr;
    QLabel* lRef = nullptr;
    QLabel* lRes = nullptr;
    QLineEdit* eExt = nullptr;
    QAction* bSave = nullptr;
    QPushButton* bCancel = nullptr;
};

// What the scan asks of the rest of the window.
struct DriveScanHooks {
    std::function<void()> enterBusyState;
    std::function<void()> leaveBusyState;
    std::function<std::string()> driveRoot;  // the drive chosen in dc; empty when none
    // Empties both result lists and turns the X swap off.
    std::function<void()> clearResults;
    std::function<void(std::vector<mv::ResultRow>&&)> appendRows;
    // The rows the lists hold now: saving stores what is left of the scan.
    std::function<std::vector<mv::ResultRow>()> currentRows;
};

// "Find all mp3 on this drive" and "Save found files to list". The scan runs
// the core on a worker thread while the handler waits in a local event loop, so
// the window repaints; the worker touches no widget. Saving loads the Mp3 list,
// asks the CD name (and whether to overwrite a CD of that name) and writes the
// list in one go; a list that exists but cannot be read is never replaced.
class DriveScanCommands : public QObject {
    Q_OBJECT
  public:
    DriveScanCommands(const DriveScanWidgets& widgets, Dialogs& dialogs,
                      std::vector<std::string>& foundFiles, std::filesystem::path programFolder,
                      DriveScanHooks hooks, QObject* parent = nullptr);

    void bMakeClick();
    void bSaveClick();

    bool Running() const { return running_; }
    // The root the last scan wrote its rows under (what saving takes as the drive).
    const std::string& ScannedRoot() const { return scannedRoot_; }

  private:
    DriveScanWidgets w_;
    Dialogs& dialogs_;
    std::vector<std::string>& foundFiles_;  // the found-file paths, one per row
    std::filesystem::path programFolder_;
    DriveScanHooks hooks_;
    mv::DriveScanControl control_;  // shared with the worker during a scan
    std::string scannedRoot_;
    bool running_ = false;
};

}  // namespace mv
