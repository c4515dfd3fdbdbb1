#pragma once

#include <filesystem>
#include <string>

namespace mv {

// The lock that lets one program at a time use a program folder: flock() on a
// file of the folder. The kernel lets the lock go when its holder ends, however
// it ends (Exit, a crash, kill -9), so nothing a dead program leaves behind
// stops the next start. The file itself stays; only the holder writes it.
class FolderLock {
  public:
    enum class State {
        Held,         // this process holds the folder
        HeldByOther,  // another process holds it
        Unavailable,  // the file cannot be opened or locked (read-only folder, a link)
    };

    // Tries once and never waits. Opens `file`, creating it when missing; a
    // file that is there is only opened, not changed, unless the lock is had.
    explicit FolderLock(const std::filesystem::path& file);
    ~FolderLock();  // releases the lock
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

    State Result() const { return state_; }
    // Why the lock is unavailable (the system's error text); empty otherwise.
    const std::string& Error() const { return error_; }

    // The holder's note for later starts (how to reach it): replaces the
    // file's content. Written in place, not by rename, since the lock belongs
    // to the open file and a renamed-in file would be a different, unlocked one.
    bool Publish(const std::string& note);
    // The note the holder published; empty while it has not yet.
    std::string ReadNote() const;

  private:
    int fd_ = -1;
    State state_ = State::Unavailable;
    std::string error_;
};

}  // namespace mv
