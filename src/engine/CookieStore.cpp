#include "engine/CookieStore.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "engine/ChangeRecord.h"

#include <chrono>
#include <vector>

namespace hw {

namespace {

struct StoredCookie {
    std::string name;
    std::string value;
    std::string rest; // the "~~local~~" line through the "*" line, each with its LF
};

// Splits a store file into records. A record ends at a line "*"; an unfinished last record
// (a damaged file) is kept as it stands so that nothing is lost.
std::vector<StoredCookie> parse(const std::string& text) {
    std::vector<StoredCookie> records;
    std::size_t at = 0;
    auto nextLine = [&](std::string& line) {
        if (at >= text.size()) return false;
        auto lf = text.find('\n', at);
        if (lf == std::string::npos) lf = text.size();
        line = text.substr(at, lf - at);
        at = lf + 1;
        return true;
    };
    std::string line;
    while (nextLine(line)) {
        StoredCookie r;
        r.name = line;
        if (!nextLine(r.value)) {
            records.push_back(std::move(r));
            break;
        }
        while (nextLine(line)) {
            r.rest += line + "\n";
            if (line == "*") break;
        }
        records.push_back(std::move(r));
    }
    return records;
}

std::string serialise(const std::vector<StoredCookie>& records) {
    std::string out;
    for (const auto& r : records) out += r.name + "\n" + r.value + "\n" + r.rest;
    return out;
}

std::string stripLineEnds(std::string s) {
    for (auto& c : s)
        if (c == '\n' || c == '\r') c = ' ';
    return s;
}

} // namespace

std::string CookieStore::folderText(const std::string& folder) { return cookieFolderText(folder); }

std::string CookieStore::fileFor(const std::string& folder) {
    return cookiesFolder() + "/huewright@" + folderText(folder) + "_[1].txt";
}

bool CookieStore::setCookie(const std::string& documentPath, const std::string& assignment) {
    const std::string folder = folderOf(documentPath).empty() ? "/" : folderOf(documentPath);
    const std::string pair = stripLineEnds(assignment.substr(0, assignment.find(';')));
    // A picture request is a bare URL: an "=" inside its path does not make it a named cookie.
    const auto eq = pair.rfind("file:", 0) == 0 ? std::string::npos : pair.find('=');
    StoredCookie fresh;
    if (eq == std::string::npos) {
        fresh.name = pair;
    } else {
        fresh.name = pair.substr(0, eq);
        fresh.value = pair.substr(eq + 1);
    }
    using namespace std::chrono;
    const auto now = duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
    fresh.rest = "~~local~~" + (folder == "/" ? std::string("/") : folder + "/") + "\n" +
                 "4294967295\n" + std::to_string(now) + "\n*\n";

    ensureFolders();
    const std::string file = fileFor(folder);
    auto records = parse(readFileOrEmpty(file));
    if (eq == std::string::npos) {
        // One picture request at a time: the newest pick replaces the earlier ones and stands
        // last, where the readers look for it.
        std::erase_if(records, [](const StoredCookie& r) { return r.value.empty() && r.name.rfind("file:", 0) == 0; });
    }
    bool replaced = false;
    for (auto& r : records) {
        if (r.name == fresh.name) {
            r = fresh;
            replaced = true;
            break;
        }
    }
    if (!replaced) records.push_back(fresh);
    return writeFileAtomic(file, serialise(records));
}

std::string CookieStore::cookiesFor(const std::string& documentPath) {
    const std::string folder = folderOf(documentPath).empty() ? "/" : folderOf(documentPath);
    std::string out;
    for (const auto& r : parse(readFileOrEmpty(fileFor(folder)))) {
        if (!out.empty()) out += "; ";
        out += r.value.empty() && r.name.rfind("file:", 0) == 0 ? r.name : r.name + "=" + r.value;
    }
    return out;
}

void CookieStore::purgeLocalCookies() { sweepFiles(cookiesFolder(), "huewright@*"); }

} // namespace hw
