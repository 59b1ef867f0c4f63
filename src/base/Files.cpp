#include "base/Files.h"

#include "base/Folders.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include <fcntl.h>
#include <fnmatch.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace hw {

std::optional<std::string> readFileBytes(const std::string& path) {
    std::error_code ec;
    if (path.empty() || fs::is_directory(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string data;
    in.seekg(0, std::ios::end);
    const auto size = in.tellg();
    if (size > 0) {
        data.resize(static_cast<std::size_t>(size));
        in.seekg(0, std::ios::beg);
        in.read(data.data(), size);
        data.resize(static_cast<std::size_t>(in.gcount()));
    } else {
        in.clear();
        in.seekg(0, std::ios::beg);
        data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return data;
}

std::string readFileOrEmpty(const std::string& path) { return readFileBytes(path).value_or(std::string()); }

bool writeFileBytes(const std::string& path, std::string_view data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.close();
    return static_cast<bool>(out);
}

namespace {

// Temporary files of an atomic write are hidden, named ".~hw<pid>-<n>.tmp", so a later write
// into the same folder can tell a leftover of a killed process (its pid is gone) from the
// in-flight file of a live one.
constexpr std::string_view atomicTempPrefix = ".~hw";
constexpr std::string_view atomicTempSuffix = ".tmp";

std::string errnoText(int code) { return std::error_code(code, std::generic_category()).message(); }

/// The file a path finally names: symbolic links are followed (a relative link against the
/// folder of the link), so a save through a link updates the linked file and keeps the link.
/// The path itself when it is no link; empty for a loop of links.
std::string linkTarget(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::error_code ec;
        const fs::path next = fs::read_symlink(current, ec);
        if (ec) return current;
        current = next.is_absolute() ? next.string() : (fs::path(current).parent_path() / next).string();
    }
    return {};
}

/// Removes the temporaries of atomic writes in `folder` whose process has ended.
void sweepDeadTemporaries(const std::string& folder) {
    std::error_code ec;
    fs::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() <= atomicTempPrefix.size() + atomicTempSuffix.size() || name.rfind(atomicTempPrefix, 0) != 0 ||
            name.compare(name.size() - atomicTempSuffix.size(), atomicTempSuffix.size(), atomicTempSuffix) != 0)
            continue;
        const char* digits = name.c_str() + atomicTempPrefix.size();
        char* after = nullptr;
        const long pid = std::strtol(digits, &after, 10);
        if (after == digits || *after != '-' || pid <= 0) continue;
        if (pid == ::getpid()) continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) ::unlink(it->path().c_str());
    }
}

/// A new temporary file in `folder`, opened for writing; fd is -1 and `temp` empty on failure.
int openAtomicTemp(const std::string& folder, std::string& temp) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "%.*s%ld-%X%.*s", static_cast<int>(atomicTempPrefix.size()),
                      atomicTempPrefix.data(), static_cast<long>(::getpid()), ++counter,
                      static_cast<int>(atomicTempSuffix.size()), atomicTempSuffix.data());
        temp = joinPath(folder, name);
        const int fd = ::open(temp.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) break;
    }
    temp.clear();
    return -1;
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

/// Flushes the folder's entry list, so a rename in it survives a power cut. Folders on some
/// file systems cannot be flushed (EINVAL); only a real input/output error counts.
bool syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return true;
    const bool ok = ::fsync(fd) == 0 || errno != EIO;
    ::close(fd);
    return ok;
}

} // namespace

Status writeFileAtomic(const std::string& path, std::string_view data) {
    const std::string target = linkTarget(path);
    if (target.empty()) return Error{"The file " + path + " is a loop of links and cannot be written."};
    std::string folder = folderOf(target);
    if (folder.empty()) folder = ".";

    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode))
        return Error{"The name " + path + " is taken by something that is not a file."};
    // Renaming over a read-only file would succeed, but the user made it read-only to keep it.
    if (replacing && ((old.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0))
        return Error{"The file " + path + " is read-only."};

    sweepDeadTemporaries(folder);
    std::string temp;
    const int fd = openAtomicTemp(folder, temp);
    if (fd < 0) return Error{"The folder " + folder + " cannot be written to."};
    if (replacing) {
        // The new file takes the old one's permissions, and its owner where we may give it.
        ::fchmod(fd, old.st_mode & 07777);
        [[maybe_unused]] const int owned = ::fchown(fd, old.st_uid, old.st_gid);
    }
    int failure = 0;
    if (!writeAll(fd, data) || ::fsync(fd) != 0) failure = errno;
    if (::close(fd) != 0 && failure == 0) failure = errno;
    if (failure != 0) {
        ::unlink(temp.c_str());
        return Error{"The file " + path + " could not be written: " + errnoText(failure) + "."};
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int renameErrno = errno;
        ::unlink(temp.c_str());
        return Error{"The file " + path + " could not be written: " + errnoText(renameErrno) + "."};
    }
    if (!syncFolder(folder)) return Error{"The file " + path + " was written but may not be on the disk yet."};
    return {};
}

std::string textModeBytes(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

bool removeFile(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    if (fs::is_directory(path, ec)) return false;
    return fs::remove(path, ec);
}

bool copyFile(const std::string& from, const std::string& to) {
    if (!fileExists(from)) return false;
    const auto bytes = readFileBytes(from);
    return bytes && writeFileAtomic(to, *bytes);
}

bool moveFile(const std::string& from, const std::string& to) {
    const std::string target = linkTarget(to);
    if (target.empty() || !fileExists(from)) return false;
    if (::rename(from.c_str(), target.c_str()) == 0) {
        syncFolder(folderOf(target).empty() ? "." : folderOf(target));
        return true;
    }
    // Another file system: a whole copy first, then the original goes.
    if (!copyFile(from, target)) return false;
    removeFile(from);
    return true;
}

std::string folderOf(const std::string& path) { return fs::path(path).parent_path().string(); }

std::string fileNameOf(const std::string& path) { return fs::path(path).filename().string(); }

std::string joinPath(const std::string& folder, const std::string& name) { return (fs::path(folder) / name).string(); }

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    // A Windows file search knows only "*" and "?": brackets and backslashes are plain
    // characters there (cookie files are named "..._[1].txt"), so they are escaped.
    std::string glob;
    for (char c : pattern) {
        if (c == '[' || c == ']' || c == '\\') glob += '\\';
        glob += c;
    }
    return ::fnmatch(glob.c_str(), std::string(name).c_str(), FNM_CASEFOLD) == 0;
}

namespace {

std::vector<std::string> sortedMatches(const std::string& folder, std::string_view pattern) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(folder.empty() ? "." : folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code sec;
        if (!it->is_regular_file(sec)) continue;
        std::string name = it->path().filename().string();
        if (wildcardMatch(pattern, name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

std::string findFirstFile(const std::string& folder, std::string_view pattern) {
    auto names = sortedMatches(folder, pattern);
    return names.empty() ? std::string() : names.front();
}

void sweepFiles(const std::string& folder, std::string_view pattern) {
    for (const auto& name : sortedMatches(folder, pattern)) removeFile(joinPath(folder, name));
}

} // namespace hw
