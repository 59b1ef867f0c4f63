#include "program/PageCommands.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "program/SchemeCommands.h"
#include "program/SwatchBookCommands.h"

namespace hw {

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

PageCommands::PageCommands(ProgramState& state, CommandStates& states, Screen& screen, SchemeCommands& schemes)
    : m_state(state), m_states(states), m_screen(screen), m_schemes(schemes) {}

void PageCommands::mnuOpenWebPageClick() {
    const auto chosen = m_screen.chooseFile(FileDialog::dlgOpenWebPage);
    if (!chosen || !m_schemes.CheckUnsavedChanges()) return;
    if (const Status opened = openPage(*chosen, From::Menu); !opened) {
        m_screen.warn(opened.error());
        return;
    }
    m_states.apply(Situation::PageOpenedFromMenu, m_state);
    // The book panel leaves any scheme card and shows the book's current card again.
    m_screen.showCard(m_state.book.lastCard >= 0 ? bookCardView(m_state.book, m_state.book.currentCard) : CardView{});
}

bool PageCommands::OpenWebPageFromPath(const std::string& path) {
    if (const Status opened = openPage(path, From::Path); !opened) {
        m_screen.warn(opened.error());
        return false;
    }
    m_states.apply(Situation::PageOpenedFromCommandLine, m_state);
    return true;
}

Status PageCommands::openPage(const std::string& path, From from) {
    const auto bytes = readFileBytes(path);
    if (!bytes) return Error{"The page " + path + " cannot be read."};
    const std::string folder = folderOf(path).empty() ? "." : folderOf(path);
    const std::string workingCopy = uniqueTempFile(folder, "wp");
    const auto noCopy = [&] {
        return Error{"The page " + fileNameOf(path) + " cannot be opened: its working copy cannot be written in " +
                     folder + "."};
    };
    if (workingCopy.empty()) return noCopy();

    const AnsiString text = WebPage::ReadPageFile(path);
    const bool frameset = isFramesetText(text);
    m_state.page.pagePath = path;
    std::string copyText;
    if (frameset) {
        m_state.page.InstrumentFrameset(text, path);
        copyText = m_state.page.framesetText.str();
    } else {
        m_state.page.InstrumentPage(text);
        copyText = m_state.page.instrumentedText.str();
    }
    if (!writeFileBytes(workingCopy, copyText)) {
        removeFile(workingCopy);
        return noCopy();
    }

    m_state.pages.push_back({path, workingCopy, false, frameset});
    m_state.currentPage = m_state.lastPage();
    m_state.work.pageFile = path;
    m_state.work.cookieAnchor = workingCopy;
    m_state.view = View::Page;
    m_screen.navigate(workingCopy);
    // A frameset named on the command line gets no colour collection.
    m_state.colourScanPending = from == From::Menu || !frameset;

    m_state.caption.pageName = fileNameOf(path);
    m_state.caption.bookName = m_state.book.bookFileName;
    m_screen.setCaption(m_state.caption.compose());
    return {};
}

bool PageCommands::WebBrowser1DocumentComplete() {
    const bool collect = m_state.colourScanPending;
    m_state.colourScanPending = false;
    return collect;
}

} // namespace hw
