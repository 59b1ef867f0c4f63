#include "program/PageCommands.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "base/PageUrl.h"
#include "engine/CookieStore.h"
#include "program/SchemeCommands.h"
#include "program/SwatchBookCommands.h"

#include <cctype>
#include <filesystem>
#include <string_view>

namespace fs = std::filesystem;

namespace hw {

namespace {

/// The local path of a "file://" URL handed over by a desktop (with an empty host or
/// "localhost"), percent escapes decoded; empty for a URL of another host, which names no file
/// here.
std::string localPathOfFileUrl(std::string_view url) {
    std::string_view rest = url.substr(7); // after "file://"
    if (rest.substr(0, 10) == "localhost/") rest.remove_prefix(9);
    if (rest.empty() || rest.front() != '/') return {};
    return pathOfUrl("file://" + std::string(rest));
}

/// Whether a text starts as a URL does: a scheme of letters, digits, "+", "-" and "." that
/// starts with a letter, then "://".
bool isUrl(std::string_view text) {
    const auto colon = text.find("://");
    if (colon == std::string_view::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(text[0])))
        return false;
    for (char c : text.substr(0, colon))
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
    return true;
}

/// A URL's scheme may be written in either case.
bool isFileUrl(std::string_view text) {
    if (!isUrl(text) || text.find("://") != 4) return false;
    std::string scheme(text.substr(0, 4));
    for (char& c : scheme) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return scheme == "file";
}

} // namespace

CommandLineRequest recogniseCommandLine(const std::string& commandLine, const std::string& currentFolder) {
    // Only a local file can be opened; a URL of another kind names nothing here.
    const std::string path = isFileUrl(commandLine) ? localPathOfFileUrl(commandLine)
                             : isUrl(commandLine)   ? std::string()
                                                    : commandLine;
    const auto dot = path.rfind('.');
    std::string extension;
    if (dot != std::string::npos && path.find_first_of("/:", dot) == std::string::npos) extension = path.substr(dot);

    CommandLineRequest request;
    if (extension == ".wsm") request.kind = CommandLineRequest::Kind::Scheme;
    else if (extension == ".htm" || extension == ".html") request.kind = CommandLineRequest::Kind::Page;
    else if (extension == ".sbk") request.kind = CommandLineRequest::Kind::Book;
    else return request;
    // A full path (what a file manager hands over) is the file itself; a relative one, folders
    // and all, is found from the current folder. "." and ".." are resolved in the text, so that
    // the page's folder, which names its change records, has one spelling.
    const fs::path named(path);
    request.path = (named.is_absolute() ? named : fs::path(currentFolder) / named).lexically_normal().string();
    return request;
}

PageCommands::PageCommands(ProgramState& state, CommandStates& states, Screen& screen, SchemeCommands& schemes)
    : m_state(state), m_states(states), m_screen(screen), m_schemes(schemes) {}

void PageCommands::mnuOpenWebPageClick() {
    if (const auto chosen = m_screen.chooseFile(FileDialog::dlgOpenWebPage)) openWebPage(*chosen);
}

void PageCommands::openWebPage(const std::string& path) {
    if (!m_schemes.CheckUnsavedChanges()) return;
    if (const Status opened = openPage(path, From::Menu); !opened) {
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

namespace {

/// The program's table borders: "mb" marks a border the program added, so that taking the
/// borders off again leaves the page's own.
const char* const borderMark = "mb border=1";

AnsiString withBorderMarks(AnsiString text) {
    text.ReplaceEvery("<table", "<TABLE");
    text.ReplaceEvery("<TABLE", "<table mb border=1");
    return text;
}

AnsiString withoutBorderMarks(AnsiString text) {
    text.ReplaceEvery(borderMark, "");
    return text;
}

} // namespace

Result<std::string> PageCommands::writeWorkingCopy(const std::string& path, bool tableBorders, bool& frameset) {
    const auto bytes = readFileBytes(path);
    if (!bytes) return Error{"The page " + path + " cannot be read."};
    const std::string folder = folderOf(path).empty() ? "." : folderOf(path);
    const std::string workingCopy = uniqueTempFile(folder, "wp");
    const auto noCopy = [&] {
        return Error{"The page " + fileNameOf(path) + " cannot be opened: its working copy cannot be written in " +
                     folder + "."};
    };
    if (workingCopy.empty()) return noCopy();

    AnsiString text = WebPage::ReadPageFile(path);
    if (tableBorders) text = withBorderMarks(text);
    frameset = isFramesetText(text);
    m_state.page.pagePath = path;
    std::string copyText;
    if (frameset) {
        if (Status framed = m_state.page.InstrumentFrameset(text, path); !framed) {
            removeFile(workingCopy);
            return Error{framed.error()};
        }
        copyText = m_state.page.framesetText.str();
    } else {
        m_state.page.InstrumentPage(text);
        copyText = m_state.page.instrumentedText.str();
    }
    if (!writeFileBytes(workingCopy, copyText)) {
        removeFile(workingCopy);
        return noCopy();
    }
    return workingCopy;
}

Status PageCommands::openPage(const std::string& path, From from) {
    bool frameset = false;
    const auto workingCopy = writeWorkingCopy(path, false, frameset);
    if (!workingCopy) return Error{workingCopy.error()};

    m_state.pages.push_back({path, *workingCopy, false, frameset});
    m_state.currentPage = m_state.lastPage();
    m_state.work.pageFile = path;
    m_state.work.cookieAnchor = *workingCopy;
    m_state.view = View::Page;
    m_screen.navigate(*workingCopy);
    // A frameset named on the command line gets no colour collection.
    m_state.colourScanPending = from == From::Menu || !frameset;
    showPageCaption();
    return {};
}

void PageCommands::showPageCaption() {
    if (const PageEntry* page = m_state.pageOnShow()) m_state.caption.pageName = fileNameOf(page->page);
    m_state.caption.bookName = m_state.book.bookFileName;
    m_screen.setCaption(m_state.caption.compose());
}

void PageCommands::tbnPreviousPageClick() { stepPage(-1); }

void PageCommands::tbnNextPageClick() { stepPage(+1); }

void PageCommands::stepPage(int step) {
    if (m_state.lastPage() < 0) return;
    const int to = m_state.currentPage + step;
    const bool fromScheme = m_state.showingScheme();
    // At either end of the history there is nothing to show: no question, nothing changes.
    if (!fromScheme && (to < 0 || to > m_state.lastPage())) return;
    if (!m_schemes.CheckUnsavedChanges()) return;
    if (!fromScheme) m_state.currentPage = to;
    m_state.view = View::Page;
    const PageEntry& page = *m_state.pageOnShow();
    m_state.work.pageFile = page.page;
    m_state.work.cookieAnchor = page.workingCopy;
    m_screen.navigate(page.workingCopy);
    showPageCaption();
    m_states.apply(Situation::PageShownAgain, m_state);
    m_states.apply(step < 0 ? Situation::PageSteppedBack : Situation::PageSteppedForward, m_state);
    // The book panel shows the book's card again instead of a scheme card.
    m_screen.showCard(bookCardView(m_state.book, m_state.book.currentCard));
}

void PageCommands::mnuRefreshClick() {
    if (!m_state.showingPage() || !m_state.pageOnShow()) return;
    PageEntry& page = m_state.pages[static_cast<std::size_t>(m_state.currentPage)];
    bool frameset = false;
    const auto workingCopy = writeWorkingCopy(page.page, page.tableBorders, frameset);
    if (!workingCopy) {
        m_screen.warn(workingCopy.error());
        return;
    }
    removeFile(page.workingCopy);
    page.workingCopy = *workingCopy;
    page.frameset = frameset;
    m_state.work.pageFile = page.page;
    m_state.work.cookieAnchor = *workingCopy;
    m_screen.navigate(*workingCopy);
    m_state.colourScanPending = false;
    showPageCaption();
    m_states.apply(Situation::PageRefreshed, m_state);
}

void PageCommands::mnuViewTableBordersClick() {
    const bool on = !m_states.checked(Command::mnuViewTableBorders);
    if (m_state.showingScheme() && m_state.lastScheme() >= 0) {
        PageScheme& slot = m_state.schemes[static_cast<std::size_t>(m_state.currentScheme)];
        const bool was = slot.tableBorders;
        slot.tableBorders = on;
        // The painting goes into the scheme file first, as when the scheme is left.
        const bool rebuilt = m_schemes.hasChangeRecord() ? m_schemes.CheckUnsavedChanges()
                                                         : m_schemes.RebuildSchemePage(slot.schemeFile.str());
        if (!rebuilt) {
            slot.tableBorders = was;
            return;
        }
        m_screen.navigate(slot.workingCopy.str());
        m_states.apply(Situation::TableBordersChanged, m_state);
        return;
    }
    if (!m_state.showingPage() || !m_state.pageOnShow()) return;
    PageEntry& page = m_state.pages[static_cast<std::size_t>(m_state.currentPage)];
    if (m_schemes.hasChangeRecord()) {
        // The marks change the working copy under the painting: the painting is kept first.
        switch (m_screen.askYesNoCancel("Save changes to Untitled.wsm?")) {
        case Answer::Cancel: return;
        case Answer::Yes:
            page.tableBorders = on;
            if (!m_schemes.mnuSaveWebSchemeAsClick()) {
                page.tableBorders = !on;
                return;
            }
            break;
        case Answer::No: break;
        }
    }
    const auto text = readFileBytes(page.workingCopy);
    const AnsiString marked = text ? (on ? withBorderMarks(AnsiString(*text)) : withoutBorderMarks(AnsiString(*text)))
                                   : AnsiString();
    if (!text || !writeFileBytes(page.workingCopy, marked.str())) {
        m_screen.warn("The table borders cannot be shown: the working copy " + page.workingCopy +
                      " cannot be rewritten.");
        return;
    }
    page.tableBorders = on;
    if (m_schemes.hasChangeRecord()) CookieStore::purgeLocalCookies();
    if (m_state.showingPage()) m_screen.navigate(page.workingCopy);
    m_states.apply(Situation::TableBordersChanged, m_state);
}

bool PageCommands::WebBrowser1DocumentComplete() {
    const bool collect = m_state.colourScanPending;
    m_state.colourScanPending = false;
    return collect;
}

} // namespace hw
