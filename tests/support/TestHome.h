#pragma once

// Gives a test a system folder of its own: ctest runs the tests of one executable in parallel
// processes, and a shared cookie store or Temp folder would let them disturb each other.

#include "base/Folders.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace hw::test {

inline std::string isolateHome(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("hw-home-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    ::setenv("HUEWRIGHT_HOME", dir.c_str(), 1);
    hw::ensureFolders();
    return dir.string();
}

} // namespace hw::test
