#include "base/Files.h"

#include "base/Folders.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include <fnmatch.h>

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

Status writeFileAtomic(const std::string& path, std::string_view data) {
    std::string folder = folderOf(path);
    if (folder.empty()) folder = ".";
    const std::string temp = uniqueTempFile(folder, "~hw");
    if (temp.empty()) return Error{"The folder " + folder + " cannot be written to."};
    if (!writeFileBytes(temp, data)) {
        removeFile(temp);
        return Error{"The file " + path + " could not be written."};
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) {
        removeFile(temp);
        return Error{"The file " + path + " could not be written: " + ec.message() + "."};
    }
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
    std::error_code ec;
    if (!fileExists(from)) return false;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    return !ec;
}

bool moveFile(const std::string& from, const std::string& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (!ec) return true;
    if (!copyFile(from, to)) return false;
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
