#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace mv {

// A temporary folder per test, with home/ as the program folder and
// music/ for the files the tool looks at.
class TempTree : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = std::filesystem::temp_directory_path() /
                ("mv_cli_" + std::to_string(getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_ / "home");
        std::filesystem::create_directories(root_ / "music");
    }
    void TearDown() override { std::filesystem::remove_all(root_); }

    std::string Home() const { return (root_ / "home").string(); }
    std::string Music(const std::string& rel) const { return (root_ / "music" / rel).string(); }
    // A file of `size` bytes at music/rel; returns its path.
    std::string File(const std::string& rel, size_t size = 1) const {
        std::filesystem::create_directories(std::filesystem::path(Music(rel)).parent_path());
        std::ofstream(Music(rel), std::ios::binary) << std::string(size, 'x');
        return Music(rel);
    }

    std::filesystem::path root_;
};

}  // namespace mv
