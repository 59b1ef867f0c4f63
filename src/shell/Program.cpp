#include "shell/Program.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "blender/ImageBlender.h"
#include "colour/SwatchBookJs.h"
#include "engine/ChangeRecord.h"
#include "engine/CookieStore.h"

namespace hw {

void PageHistory::add(const std::string& workingCopy, const std::string& page) {
    const auto index = static_cast<std::size_t>(lastPage);
    if (workingCopies.size() <= index) {
        workingCopies.resize(index + 1);
        pageFiles.resize(index + 1);
        pagePaths.resize(index + 1);
        pageBorders.resize(index + 1, false);
    }
    workingCopies[index] = workingCopy;
    pageFiles[index] = page;
    pagePaths[index] = page;
}

CommandLineRequest recogniseCommandLine(const std::string& commandLine, const std::string& currentFolder) {
    CommandLineRequest request;
    const auto dot = commandLine.rfind('.');
    std::string extension;
    if (dot != std::string::npos && commandLine.find_first_of("/:", dot) == std::string::npos)
        extension = commandLine.substr(dot);
    const auto cut = commandLine.find_last_of("/:");
    const std::string fileName = cut == std::string::npos ? commandLine : commandLine.substr(cut + 1);
    const std::string inCurrentFolder = joinPath(currentFolder, fileName);
    if (extension == ".wsm") {
        request = {CommandLineRequest::Kind::Scheme, inCurrentFolder};
    } else if (extension == ".htm" || extension == ".html") {
        request = {CommandLineRequest::Kind::Page, joinPath(currentFolder, commandLine)};
    } else if (extension == ".sbk") {
        request = {CommandLineRequest::Kind::Book, inCurrentFolder};
    }
    return request;
}

Program::Program(Screen& screen) : m_screen(screen) {}

void Program::recomposeCaption() { m_screen.setCaption(windowCaption.compose()); }

bool Program::hasChangeRecord() const {
    return !CookieFileName(webScheme).IsEmpty();
}

void Program::mnuOpenWebPageClick() {
    if (auto chosen = m_screen.chooseFile(FileDialog::dlgOpenWebPage)) {
        hooks.checkUnsavedChanges();
        if (navigationCancelled) {
            navigationCancelled = false;
        } else if (openPage(*chosen, From::Menu)) {
            if (history.lastPage > 0) {
                m_screen.setEnabled(Command::tbnPreviousPage, true);
                m_screen.setEnabled(Command::tbnNextPage, false);
            }
            if (lastScheme >= 0) m_screen.setEnabled(Command::tbnNextScheme, true);
        }
    }
    hooks.showCurrentBookCard();
    showingPage = true;
    showingScheme = false;
}

bool Program::OpenWebPageFromPath(const std::string& path) {
    const bool opened = openPage(path, From::Path);
    if (opened) {
        showingPage = true;
        showingScheme = false;
    }
    return opened;
}

bool Program::openPage(const std::string& path, From from) {
    const auto bytes = readFileBytes(path);
    if (!bytes) {
        m_screen.warn("The page " + path + " cannot be read.");
        return false;
    }
    const std::string folder = folderOf(path).empty() ? "." : folderOf(path);
    const std::string workingCopy = uniqueTempFile(folder, "wp");
    if (workingCopy.empty()) {
        m_screen.warn("The page " + fileNameOf(path) + " cannot be opened: its working copy cannot be written in " +
                      folder + ".");
        return false;
    }

    ++history.lastPage;
    history.currentPage = history.lastPage;
    currentPagePath = path;
    webPage.pagePath = path;
    webScheme.pageFile = path;

    const AnsiString text = WebPage::ReadPageFile(path);
    const bool frameset = isFramesetText(text);
    if (frameset) {
        webPage.InstrumentFrameset(text, path);
        writeFileBytes(workingCopy, webPage.framesetText.str());
    } else {
        webPage.InstrumentPage(text);
        writeFileBytes(workingCopy, webPage.instrumentedText.str());
        m_screen.setEnabled(Command::mnuPrintWebScheme, false);
        m_screen.setEnabled(Command::mnuCreateHtmlFile, false);
    }
    history.add(workingCopy, path);
    webScheme.cookieAnchor = workingCopy;
    m_screen.navigate(workingCopy);
    // A frameset named on the command line gets no colour collection.
    colourScanPending = from == From::Menu || !frameset;

    windowCaption.pageName = fileNameOf(path);
    windowCaption.bookName = hooks.bookFileName();
    recomposeCaption();

    for (auto c : {Command::mnuViewSource, Command::tbnEditSource, Command::mnuRefresh, Command::tbnRefresh,
                   Command::mnuEditOptions, Command::mnuViewTableBorders, Command::mnuPrintWebScheme,
                   Command::mnuPageSetUp})
        m_screen.setEnabled(c, true);
    m_screen.setEnabled(Command::mnuUndo, false);
    return true;
}

void Program::WebBrowser1CommandStateChange() {
    if (!hasChangeRecord()) return;
    auto undoRule = [this] {
        if (skipUndoEnable) {
            m_screen.setEnabled(Command::mnuUndo, false);
            skipUndoEnable = false;
        } else {
            m_screen.setEnabled(Command::mnuUndo, true);
        }
    };
    if (showingPage) {
        m_screen.setEnabled(Command::mnuSaveWebSchemeAs, true);
        for (auto c : {Command::tbnEditSource, Command::mnuViewSource, Command::mnuRefresh, Command::tbnRefresh,
                       Command::mnuEditOptions})
            m_screen.setEnabled(c, false);
        undoRule();
        m_screen.setEnabled(Command::tbnPreviousPage, true);
        windowCaption.pageName = "Untitled.wsm";
        windowCaption.bookName = hooks.bookFileName();
        recomposeCaption();
    } else if (showingScheme) {
        m_screen.setEnabled(Command::mnuSaveWebScheme, true);
        undoRule();
    } else {
        return;
    }
    if (hooks.repaintArmed()) hooks.recolourImage();
}

bool Program::FormCloseQuery() {
    if (hasChangeRecord() && showingPage) {
        switch (m_screen.askYesNoCancel("Save changes to Untitled.wsm?")) {
        case Answer::Yes: hooks.saveWebSchemeAs(); break;
        case Answer::No: break;
        case Answer::Cancel: return false;
        }
    }
    if (!hooks.bookCloseQuery()) return false;
    cleanUp();
    return true;
}

void Program::cleanUp() {
    if (hasChangeRecord()) CookieStore::purgeLocalCookies();
    for (int i = 0; i <= history.lastPage; ++i) {
        const auto& copy = history.workingCopies[static_cast<std::size_t>(i)];
        removeFile(copy);
        sweepFiles(folderOf(copy), "fwp*.TMP");
    }
    hooks.extraCleanUp();
    removeFile(swatchBookJsPath());
    sweepRecolouredCopies();
}

} // namespace hw
