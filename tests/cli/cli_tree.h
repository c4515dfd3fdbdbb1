#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/core/temp_tree.h"

namespace mv {

// The layout the tool's tests run in: a fresh temporary tree with home/ as
// the program folder and music/ for the files the tool looks at.
class CliTree : public ::testing::Test {
  protected:
    CliTree() {
        tree_.Folder("home");
        tree_.Folder("music");
    }

    std::string Home() const { return tree_.Path("home"); }
    // music/rel; music itself, with no closing slash, when rel is empty.
    std::string Music(const std::string& rel = "") const {
        return rel.empty() ? tree_.Path("music") : tree_.Path("music/" + rel);
    }
    // A file of `size` bytes at music/rel; returns its path.
    std::string File(const std::string& rel, size_t size = 1) const {
        return tree_.File("music/" + rel, size);
    }

    test::TempTree tree_;
    const std::filesystem::path root_{tree_.Root()};
};

}  // namespace mv
