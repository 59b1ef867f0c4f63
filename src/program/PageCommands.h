#pragma once

#include "base/Result.h"
#include "program/CommandStates.h"
#include "program/ProgramState.h"
#include "program/Screen.h"

#include <string>

namespace hw {

class SchemeCommands;

/// What a command line asks for.
struct CommandLineRequest {
    enum class Kind { Nothing, Scheme, Page, Book } kind = Kind::Nothing;
    std::string path; ///< the file to open
};

/// Recognises the one file named on the command line, a path or a local "file://" URL, by its
/// extension (from the last "." to the end, provided no "/" or ":" follows it), compared
/// exactly: ".wsm", ".htm", ".html" and ".sbk". A full path is taken as it is; a relative one
/// is resolved against `currentFolder`.
CommandLineRequest recogniseCommandLine(const std::string& commandLine, const std::string& currentFolder);

/// Opening pages: the working copy beside the page, the page history, the caption, and the
/// colour collection once the browser has the page.
class PageCommands {
public:
    PageCommands(ProgramState& state, CommandStates& states, Screen& screen, SchemeCommands& schemes);

    /// File > Open Web Page and its tool button. Painted work on show is asked about first.
    void mnuOpenWebPageClick();
    /// Open Web Page with the file already chosen (a page dropped on the window): the unsaved
    /// painting is asked about first, as from the menu.
    void openWebPage(const std::string& path);
    /// Opens a page named on the command line; false (already told) when it cannot be opened.
    bool OpenWebPageFromPath(const std::string& path);

    /// The browser has loaded a document. Returns whether the page's own colours are to be
    /// collected now (once after each page sent to the browser).
    bool WebBrowser1DocumentComplete();

    /// The page arrows: through the pages opened since start-up; from the scheme view, back to
    /// the page on show. At either end of the history in the page view nothing happens.
    void tbnPreviousPageClick();
    void tbnNextPageClick();
    /// Edit > Refresh (F5) and its button: the page read again from its file and instrumented
    /// anew; its table borders stay, its colours are not collected again.
    void mnuRefreshClick();
    /// View > Table Borders: borders on every table of the page or scheme on show, or off again.
    void mnuViewTableBordersClick();

private:
    enum class From { Menu, Path };
    Status openPage(const std::string& path, From from);
    /// Instruments a page file into a new working copy beside it; the path of the copy.
    Result<std::string> writeWorkingCopy(const std::string& path, bool tableBorders, bool& frameset);
    void stepPage(int step);
    void showPageCaption();

    ProgramState& m_state;
    CommandStates& m_states;
    Screen& m_screen;
    SchemeCommands& m_schemes;
};

} // namespace hw
