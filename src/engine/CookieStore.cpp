#include "engine/CookieStore.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "engine/ChangeRecord.h"

#include <chrono>
#include <string_view>
#include <vector>

namespace hw {

namespace {

/// Whether a record's lines end with the line "*" (a CR before its LF allowed), as the parser
/// ends a record; a last line that merely ends in "*" does not.
bool isClosed(const std::string& rest) {
    std::string_view lines(rest);
    if (lines.ends_with('\n')) lines.remove_suffix(1);
    const auto lf = lines.rfind('\n');
    const std::string_view last = lf == std::string_view::npos ? lines : lines.substr(lf + 1);
    return last == "*" || last == "*\r";
}

std::string serialise(const std::vector<CookieRecord>& records) {
    std::string out;
    for (const auto& r : records) {
        out += r.name.str() + "\n" + r.value.str() + "\n" + r.rest;
        // A record cut off by damage is closed, or it would swallow the records written after it.
        if (!isClosed(r.rest)) out += "*\n";
    }
    return out;
}

bool isPictureRequest(const CookieRecord& r) { return r.value.IsEmpty() && r.name.str().rfind("file:", 0) == 0; }

// A line end would start a new line of the layout, and the record readers stop at a NUL, which
// would hide every cookie after it: line ends become blanks and NULs go.
std::string layoutSafe(std::string s) {
    for (auto& c : s)
        if (c == '\n' || c == '\r') c = ' ';
    std::erase(s, '\0');
    return s;
}

} // namespace

std::string CookieStore::folderText(const std::string& folder) { return cookieFolderText(folder); }

std::string CookieStore::fileFor(const std::string& folder) {
    return joinPath(cookiesFolder(), cookieStoreFileName(folder));
}

Status CookieStore::setCookie(const std::string& documentPath, const std::string& assignment) {
    const std::string folder = folderOf(documentPath).empty() ? "/" : folderOf(documentPath);
    const std::string pair = layoutSafe(assignment.substr(0, assignment.find(';')));
    if (pair.size() > maxCookieBytes)
        return Error{"A cookie of " + std::to_string(pair.size()) + " bytes is too large to store."};
    // A picture request is a bare URL: an "=" inside its path does not make it a named cookie.
    const auto eq = pair.rfind("file:", 0) == 0 ? std::string::npos : pair.find('=');
    CookieRecord fresh;
    if (eq == std::string::npos) {
        fresh.name = pair;
    } else {
        fresh.name = pair.substr(0, eq);
        fresh.value = pair.substr(eq + 1);
    }
    using namespace std::chrono;
    const auto now = duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
    fresh.rest = "~~local~~" + layoutSafe(folder == "/" ? std::string("/") : folder + "/") + "\n" +
                 "4294967295\n" + std::to_string(now) + "\n*\n";

    ensureFolders();
    const std::string file = fileFor(folder);
    // A NUL left in the file by an older version hid what followed it; the rewrite drops it.
    std::string stored = readFileOrEmpty(file);
    std::erase(stored, '\0');
    auto records = parseCookieFile(stored);
    if (eq == std::string::npos) {
        // One picture request at a time: the newest pick replaces the earlier ones and stands
        // last, where the readers look for it.
        std::erase_if(records, [](const CookieRecord& r) { return isPictureRequest(r); });
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
    const std::string text = serialise(records);
    if (text.size() > maxFileBytes)
        return Error{"The cookies of " + folder + " would take more than " + std::to_string(maxFileBytes) + " bytes."};
    return writeFileAtomic(file, text);
}

std::string CookieStore::cookiesFor(const std::string& documentPath) {
    const std::string folder = folderOf(documentPath).empty() ? "/" : folderOf(documentPath);
    std::string out;
    std::string stored = readFileOrEmpty(fileFor(folder));
    std::erase(stored, '\0');
    for (const auto& r : parseCookieFile(stored)) {
        if (!out.empty()) out += "; ";
        out += isPictureRequest(r) ? r.name.str() : r.name.str() + "=" + r.value.str();
    }
    return out;
}

void CookieStore::purgeLocalCookies() { sweepFiles(cookiesFolder(), "huewright@*"); }

} // namespace hw
