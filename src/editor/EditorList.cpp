#include "editor/EditorList.h"

#include "base/AnsiString.h"
#include "base/Files.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace hw {

namespace {

Status ensureFolder(const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (std::filesystem::is_directory(folder, ec)) return {};
    return Error{"The folder " + folder + " cannot be made."};
}

bool isExecutableFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && ::access(path.c_str(), X_OK) == 0;
}

/// The first folder of `searchPath` that holds an executable `name`, as a full path.
std::string findOnPath(std::string_view searchPath, const std::string& name) {
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = searchPath.find(':', start);
        if (end == std::string_view::npos) end = searchPath.size();
        std::string folder(searchPath.substr(start, end - start));
        // An empty PATH entry means the current folder; an editor found there would depend on
        // where the program was started, so it is not taken.
        if (!folder.empty() && folder.front() == '/') {
            const std::string candidate = joinPath(folder, name);
            if (isExecutableFile(candidate)) return candidate;
        }
        start = end + 1;
    }
    return {};
}

} // namespace

EditorList::EditorList(std::string folder) : m_folder(std::move(folder)) {}

std::string EditorList::listFile() const { return joinPath(m_folder, "edit.dat"); }
std::string EditorList::indexFile() const { return joinPath(m_folder, "editIndex.dat"); }

Status EditorList::setUp(const std::function<std::string()>& firstEditor) {
    const int index = parseEditorIndex(readFileOrEmpty(indexFile()));
    if (index != -1) {
        // A list that cannot be read, or an index that names no item, would leave the program
        // with no editor to start; the list is then set up again as on a first start.
        if (auto text = readFileBytes(listFile())) {
            std::vector<std::string> items = parseEditorList(*text);
            if (index >= 0 && index < static_cast<int>(items.size())) {
                m_items = std::move(items);
                m_selected = index;
                return {};
            }
        }
    }
    firstStart(firstEditor ? firstEditor() : defaultEditorPath());
    // Both files are written even when the first fails; the first failure is the one told.
    const Status listSaved = saveList();
    const Status indexSaved = saveIndex();
    return listSaved ? indexSaved : listSaved;
}

void EditorList::firstStart(const std::string& editor) {
    m_items.assign(1, editor);
    m_selected = 0;
}

void EditorList::select(int index) {
    if (index >= 0 && index < static_cast<int>(m_items.size())) m_selected = index;
}

std::string EditorList::selectedPath() const {
    if (m_selected < 0 || m_selected >= static_cast<int>(m_items.size())) return {};
    return m_items[static_cast<std::size_t>(m_selected)];
}

Status EditorList::add(const std::string& path) {
    m_items.push_back(path);
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i] == path) {
            m_selected = static_cast<int>(i);
            break;
        }
    }
    return saveList();
}

Status EditorList::removeSelected() {
    if (m_selected < 0 || m_selected >= static_cast<int>(m_items.size())) return {};
    m_items.erase(m_items.begin() + m_selected);
    m_selected = m_items.empty() ? -1 : 0;
    return saveList();
}

Status EditorList::saveList() const {
    if (Status folder = ensureFolder(m_folder); !folder) return folder;
    std::string text;
    for (const auto& item : m_items) text += item + "\r\n";
    return writeFileAtomic(listFile(), text);
}

Status EditorList::saveIndex() const {
    if (Status folder = ensureFolder(m_folder); !folder) return folder;
    return writeFileAtomic(indexFile(), std::to_string(m_selected));
}

int parseEditorIndex(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return -1;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > INT_MAX) return -1;
    }
    return static_cast<int>(negative ? -value : value);
}

std::vector<std::string> parseEditorList(std::string_view text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!line.empty()) items.emplace_back(line);
        start = end + 1;
    }
    return items;
}

std::string editorName(std::string_view path) {
    AnsiString name(fileNameOf(std::string(path)));
    name.Delete(name.Pos("."), 4);
    return name.str();
}

std::string editMenuCaption(std::string_view name) { return "Edit &with " + std::string(name); }

std::string editHint(std::string_view name) { return "Edit with " + std::string(name); }

const std::vector<std::string>& knownEditors() {
    static const std::vector<std::string> editors{"gnome-text-editor", "gedit", "kate", "kwrite",
                                                  "mousepad", "xed", "pluma", "featherpad"};
    return editors;
}

std::string defaultEditorPath(std::string_view searchPath) {
    for (const auto& editor : knownEditors()) {
        std::string found = findOnPath(searchPath, editor);
        if (!found.empty()) return found;
    }
    std::string opener = findOnPath(searchPath, "xdg-open");
    return opener.empty() ? std::string("/usr/bin/xdg-open") : opener;
}

std::string defaultEditorPath() {
    const char* path = std::getenv("PATH");
    return defaultEditorPath(path ? std::string_view(path) : std::string_view());
}

} // namespace hw
