#pragma once

// Folders of a test's own, and what lies in them.

#include "base/Files.h"

#include <filesystem>
#include <string>
#include <unistd.h>

namespace hw::test {

/// An empty folder for one test, named by `name` and the process.
inline std::string freshFolder(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() / ("hw-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

/// How many files of `folder` match a wildcard pattern.
inline int filesLike(const std::string& folder, const std::string& pattern) {
    int n = 0;
    for (auto& e : std::filesystem::directory_iterator(folder))
        if (wildcardMatch(pattern, e.path().filename().string())) ++n;
    return n;
}

} // namespace hw::test
