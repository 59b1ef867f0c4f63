#include "base/Folders.h"

#include "base/Files.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace hw {

namespace {

std::string envOr(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? std::string(v) : std::string();
}

std::string homeFolder() {
    std::string home = envOr("HOME");
    return home.empty() ? std::string("/tmp") : home;
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

} // namespace

std::string systemFolder() {
    std::string own = envOr("HUEWRIGHT_HOME");
    if (!own.empty()) return withoutTrailingSlash(own);
    std::string data = envOr("XDG_DATA_HOME");
    if (data.empty()) data = homeFolder() + "/.local/share";
    return withoutTrailingSlash(data) + "/huewright";
}

std::string tempFolder() { return systemFolder() + "/Temp"; }

std::string cookiesFolder() { return systemFolder() + "/Cookies"; }

std::string settingsFolder() {
    std::string config = envOr("XDG_CONFIG_HOME");
    if (config.empty()) config = homeFolder() + "/.config";
    return withoutTrailingSlash(config) + "/huewright";
}

bool ensureFolders() {
    std::error_code ec;
    bool ok = true;
    for (const auto& f : {tempFolder(), cookiesFolder(), settingsFolder()}) {
        std::filesystem::create_directories(f, ec);
        if (!std::filesystem::is_directory(f, ec)) ok = false;
    }
    return ok;
}

std::string uniqueTempFile(const std::string& folder, const std::string& prefix) {
    static std::mt19937 generator{std::random_device{}()};
    static unsigned counter = generator() & 0xFFFFu;
    const std::string dir = folder.empty() ? std::string(".") : folder;
    for (int attempt = 0; attempt < 0x10000; ++attempt) {
        counter = (counter + 1) & 0xFFFFFu;
        if (counter == 0) counter = 1;
        char digits[16];
        std::snprintf(digits, sizeof digits, "%X", counter);
        const std::string path = joinPath(dir, prefix + digits + ".tmp");
        const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST) return {};
    }
    return {};
}

} // namespace hw
