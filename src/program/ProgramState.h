#pragma once

#include "engine/WebPage.h"
#include "engine/WebScheme.h"
#include "swatches/SwatchBook.h"
#include "swatches/WindowCaption.h"

#include <string>
#include <vector>

namespace hw {

/// What the browser shows: nothing yet, a page opened for painting, or a stored scheme.
enum class View { None, Page, Scheme };

/// One page opened since start-up.
struct PageEntry {
    std::string page;        ///< full path of the opened page
    std::string workingCopy; ///< full path of its instrumented working copy
    bool tableBorders = false;
    bool frameset = false;
};

/// The swatch book of the main window. Invariants: -1 <= lastCard <= 9; while the book holds
/// cards, 0 <= currentCard <= lastCard; cards after lastCard keep stale contents that are never
/// shown or written.
struct BookState {
    SwatchBookCards cards;
    int currentCard = -1;
    int lastCard = -1;
    std::string bookPath;     ///< empty while the book has no file
    bool bookModified = false;
    std::string bookFileName; ///< the file-name part of the book's file, shown in the caption
};

/// The program's one model. Every command class works on it; the screen reads it through a
/// const reference only. No field is kept twice: what can be derived is a function.
struct ProgramState {
    View view = View::None;
    bool showingPage() const { return view == View::Page; }
    bool showingScheme() const { return view == View::Scheme; }

    /// The pages opened since start-up, by page index. Indexes are never reused and the history
    /// grows with every opening.
    std::vector<PageEntry> pages;
    int currentPage = 0;
    int lastPage() const { return static_cast<int>(pages.size()) - 1; }
    const PageEntry* pageOnShow() const {
        return currentPage >= 0 && currentPage < static_cast<int>(pages.size())
                   ? &pages[static_cast<std::size_t>(currentPage)]
                   : nullptr;
    }

    /// The open schemes, by scheme index; slots are only added.
    std::vector<PageScheme> schemes;
    int currentScheme = 0;
    int lastScheme() const { return static_cast<int>(schemes.size()) - 1; }
    /// The next scheme load replaces the cards of an already loaded scheme.
    bool schemeReload = false;

    /// The cards made from the schemes' swatch lists; the cards of one scheme share its title.
    std::vector<SwatchBook> schemeCards;
    int currentSchemeCard = -1;
    int lastSchemeCard() const { return static_cast<int>(schemeCards.size()) - 1; }

    /// The page being instrumented.
    WebPage page;
    /// The scheme work: the page painted, the cookie anchor and the texts of saving and showing.
    WebScheme work;

    WindowCaption caption;
    BookState book;

    /// A page has been sent to the browser; its colours are collected on document complete.
    bool colourScanPending = false;
    /// The next command-state event leaves Undo disabled.
    bool skipUndoEnable = false;
};

} // namespace hw
