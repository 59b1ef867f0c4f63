#pragma once

// What the fuzz targets share: splitting one input into the several texts a function takes, a
// folder of this process's own for the files a function reads and writes, and a check that
// stops the run (so libFuzzer keeps the input) when a promise of the code is broken.

#include "base/Folders.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace hw::fuzz {

/// Between the texts of one input. Short, so the fuzzer finds it and splits inputs itself.
inline constexpr std::string_view separator = "|@|";

/// The input cut at each separator into at most `most` texts; the last one keeps the rest,
/// separators and all. Missing texts are empty, so the result always has `most` entries.
inline std::vector<std::string> parts(const std::uint8_t* data, std::size_t size, std::size_t most) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> out;
    std::size_t from = 0;
    while (out.size() + 1 < most) {
        const auto at = input.find(separator, from);
        if (at == std::string_view::npos) break;
        out.emplace_back(input.substr(from, at - from));
        from = at + separator.size();
    }
    out.emplace_back(input.substr(from));
    out.resize(most);
    return out;
}

inline std::string text(const std::uint8_t* data, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

/// A folder of this process, made once and removed at exit: "home" is the system folder (its
/// Temp and Cookies), "config" the settings folder, "site" the folder pages are written to.
/// Everything a run leaves in "site" is cleared by the next clearSite().
struct WorkFolder {
    std::filesystem::path top;
    std::string home, config, site;

    WorkFolder() {
        top = std::filesystem::temp_directory_path() / ("hw-fuzz-" + std::to_string(::getpid()));
        std::filesystem::remove_all(top);
        home = (top / "home").string();
        config = (top / "config").string();
        site = (top / "site").string();
        std::filesystem::create_directories(site);
        ::setenv("HUEWRIGHT_HOME", home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        ensureFolders();
    }
    ~WorkFolder() {
        std::error_code ec;
        std::filesystem::remove_all(top, ec);
    }
};

inline WorkFolder& work() {
    static WorkFolder folder;
    return folder;
}

/// Removes everything inside `folder`, keeping the folder.
inline void clear(const std::string& folder) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) std::filesystem::remove_all(entry, ec);
}

/// The site folder, emptied.
inline const std::string& clearSite() {
    clear(work().site);
    return work().site;
}

inline void put(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace hw::fuzz

/// Stops the run with the broken promise named, so the fuzzer keeps the input as a crash.
#define HW_FUZZ_CHECK(condition)                                                                  \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition);          \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)
