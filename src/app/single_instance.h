#pragma once

#include <QObject>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/folder_lock.h"

class QLocalServer;

namespace mv {

// One running program per program folder. The first start holds the folder's
// lock (FolderLock) and listens on a local socket whose path it notes in the
// lock file; a later start finds the lock held, reads that path, asks the
// holder to show its window and ends without reading or writing any other
// file of the folder.
class SingleInstance : public QObject {
  public:
    enum class Outcome {
        Holder,      // this process has the folder: run
        HandedOver,  // another has it and showed its window: end with status 0
        NoAnswer,    // another has it and did not answer: end with status 1
        Unguarded,   // no lock could be had (a read-only folder): run, with a warning
    };

    // `lockFile` is the lock's file in the program folder.
    explicit SingleInstance(std::filesystem::path lockFile, QObject* parent = nullptr);
    ~SingleInstance() override;

    // Decides; call before any file of the program folder is touched. Waits
    // a few seconds at most for a holder that has only just started.
    Outcome Claim();
    // What to tell on standard error; empty for Holder.
    const std::string& Message() const { return message_; }

    // The holder: what a later start's request does (shows the window).
    std::function<void()> raise;

  private:
    void Listen();
    void Answer();
    bool AskHolder(const std::string& note);

    std::filesystem::path lockFile_;
    std::unique_ptr<FolderLock> lock_;
    QLocalServer* server_ = nullptr;
    std::string message_;
};

}  // namespace mv
