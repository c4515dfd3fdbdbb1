#pragma once

#include <unistd.h>

#include <QApplication>
#include <QString>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "scripted_dialogs.h"
#include "ui/main/tf_princ.h"

namespace uitest {

// Latin-1 text as a QString (the window code allows no implicit conversions).
inline QString L(const char* s) {
    return QString::fromLatin1(s);
}

// Records the files the window asks to play.
class RecordingPlayback : public PlaybackSeam {
  public:
    std::vector<std::string> played;
    void PlayFile(const std::string& path) override { played.push_back(path); }
};

// The test program's application, made by its own main (ui_test_main.cpp) so it
// ends before the program's static objects do.
inline QApplication& App() {
    return *static_cast<QApplication*>(QCoreApplication::instance());
}

// Temporary folders standing in for drives.
class FolderDrives : public mv::DriveList {
  public:
    std::vector<std::string> roots;
    std::vector<mv::Drive> Drives() const override {
        std::vector<mv::Drive> drives;
        for (const std::string& r : roots) drives.push_back({r, r, "ext4", mv::DriveType::Fixed});
        return drives;
    }
};

// A fresh temporary folder, removed again with the object.
class TempTree {
  public:
    TempTree() {
        static int counter = 0;
        root_ = std::filesystem::temp_directory_path() /
                ("mv-ui-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~TempTree() {
        std::error_code ec;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(root_, ec);
    }
    const std::filesystem::path& Root() const { return root_; }
    std::string Path(const std::string& rel) const { return (root_ / rel).string(); }
    std::string File(const std::string& rel, const std::string& content = "x") const {
        const std::filesystem::path p = root_ / rel;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
        return p.string();
    }
    std::string Folder(const std::string& rel) const {
        std::filesystem::create_directories(root_ / rel);
        return (root_ / rel).string();
    }

  private:
    std::filesystem::path root_;
};

}  // namespace uitest
