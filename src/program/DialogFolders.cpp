#include "program/DialogFolders.h"

#include "base/Files.h"

namespace hw {

DialogFolders::Kind DialogFolders::kindOf(FileDialog dialog) {
    switch (dialog) {
    case FileDialog::dlgOpenWebPage: return Pages;
    case FileDialog::dlgSaveScheme:
    case FileDialog::dlgOpenWebScheme:
    case FileDialog::dlgExportScheme: return Schemes;
    case FileDialog::dlgSaveAs:
    case FileDialog::dlgOpen:
    case FileDialog::dlgExportBook:
    case FileDialog::dlgImportPalette: return Books;
    case FileDialog::dlgCreateHtml:
    case FileDialog::dlgExportStylesheet: return Html;
    case FileDialog::dlgChooseEditor: return Editors;
    }
    return Pages;
}

std::string DialogFolders::initialFolder(FileDialog dialog, const ProgramState& state,
                                         const std::string& fallback) const {
    const Kind kind = kindOf(dialog);
    std::string beside;
    if (kind == Books) {
        beside = folderOf(state.book.bookPath);
    } else if (kind != Editors) {
        if (state.showingScheme() && state.currentScheme >= 0 && state.currentScheme <= state.lastScheme()) {
            const std::string scheme = state.schemes[static_cast<std::size_t>(state.currentScheme)].schemeFile.str();
            if (scheme != emptyPathMarker) beside = folderOf(scheme);
        } else if (state.showingPage() && state.pageOnShow()) {
            beside = folderOf(state.pageOnShow()->page);
        }
    }
    if (!beside.empty()) return beside;
    if (!m_last[kind].empty()) return m_last[kind];
    return fallback;
}

void DialogFolders::chosen(FileDialog dialog, const std::string& path) {
    const std::string folder = folderOf(path);
    if (!folder.empty()) m_last[kindOf(dialog)] = folder;
}

} // namespace hw
