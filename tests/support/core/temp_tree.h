#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace mv::test {

// A fresh temporary folder named after the running test, removed afterwards
// (made writable first, so a test that took permissions away still cleans up).
class TempTree {
  public:
    TempTree() {
        static int counter = 0;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name =
            "mv_test_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
        if (info != nullptr)
            name += std::string("_") + info->test_suite_name() + "_" + info->name();
        for (char& c : name) {
            if (c == '/') c = '_';  // parameterised test names hold slashes
        }
        root_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~TempTree() {
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(
                 root_, std::filesystem::directory_options::skip_permission_denied, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_directory(ec) && !it->is_symlink(ec)) {
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ec);
            }
        }
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(root_, ec);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    std::string Root() const { return root_.string(); }
    std::string Path(const std::string& rel) const { return (root_ / rel).string(); }
    // A file holding `content`; its folders are made as needed.
    std::string File(const std::string& rel, const std::string& content) const {
        const std::filesystem::path p = root_ / rel;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
        return p.string();
    }
    // A file of `size` bytes.
    std::string File(const std::string& rel, size_t size = 1) const {
        return File(rel, std::string(size, 'x'));
    }
    std::string Folder(const std::string& rel) const {
        std::filesystem::create_directories(root_ / rel);
        return (root_ / rel).string();
    }

  private:
    std::filesystem::path root_;
};

}  // namespace mv::test
