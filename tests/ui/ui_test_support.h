#pragma once

#include <unistd.h>

#include <QApplication>
#include <QString>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/drives.h"
#include "ui/main/dialogs.h"

namespace uitest {

// One application for the whole test program; widgets need it.
inline QApplication& App() {
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// Records every text shown and answers questions from a queue (No when empty).
class ScriptedDialogs : public Dialogs {
  public:
    std::vector<QString> shown;
    std::deque<bool> answers;

    void Information(QWidget*, const QString& text) override { shown.push_back(text); }
    bool YesNo(QWidget*, const QString& text) override { return Answer(text); }
    bool OkCancel(QWidget*, const QString& text) override { return Answer(text); }
    std::optional<QString> InputText(QWidget*, const QString&, const QString& prompt,
                                     const QString&) override {
        shown.push_back(prompt);
        return std::nullopt;
    }
    std::optional<QString> OpenFile(QWidget*, const QString& caption, const QString&,
                                    const QString&) override {
        shown.push_back(caption);
        return std::nullopt;
    }
    std::optional<QString> SaveFile(QWidget*, const QString& caption, const QString&,
                                    const QString&) override {
        shown.push_back(caption);
        return std::nullopt;
    }

  private:
    bool Answer(const QString& text) {
        shown.push_back(text);
        if (answers.empty()) return false;
        bool a = answers.front();
        answers.pop_front();
        return a;
    }
};

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
