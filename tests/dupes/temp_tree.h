#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace mv {

// A temporary folder named after the running test, removed afterwards.
class TempTree {
  public:
    TempTree() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root_ =
            std::filesystem::temp_directory_path() / ("mv_dupes_" + std::to_string(getpid()) + "_" +
                                                      info->test_suite_name() + "_" + info->name());
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_);
    }
    ~TempTree() { std::filesystem::remove_all(root_); }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    std::string Root() const { return root_.string(); }
    std::string Path(const std::string& rel) const { return (root_ / rel).string(); }
    // A file of `size` bytes.
    std::string File(const std::string& rel, size_t size = 1) const {
        const auto path = root_ / rel;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << std::string(size, 'x');
        return path.string();
    }

  private:
    std::filesystem::path root_;
};

}  // namespace mv
