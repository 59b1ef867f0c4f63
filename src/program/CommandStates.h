#pragma once

#include "program/ProgramState.h"
#include "program/Screen.h"

#include <array>
#include <string>

namespace hw {

/// The moments at which the program's operations change which commands are enabled or checked.
enum class Situation {
    StartUp,
    PageOpenedFromMenu,        ///< Open Web Page, from the menu or its tool button
    PageOpenedFromCommandLine, ///< a page named on the command line
    PageShownAgain,            ///< a page of the history shown again by the page arrows
    PageSteppedBack,           ///< the previous-page arrow
    PageSteppedForward,        ///< the next-page arrow
    PageRefreshed,
    TableBordersChanged,
    PagePainted,               ///< a command-state event with a change record, in the page view
    SchemePainted,             ///< the same in the scheme view
    SchemeLoaded,              ///< a scheme's working copy is on show with its cards
    SchemeSavedAs,             ///< Save Web Scheme As wrote a scheme file and shows it
    SchemeSaved,               ///< Save Web Scheme merged the painting and shows the scheme again
    SchemeOpenedFromCommandLine, ///< a scheme file opened, by the command line or the menu
    SchemeOpened,              ///< the same from the menu: the stepping buttons too
    SchemeStepped,             ///< the scheme view moved to another scheme (or back to it)
    SchemeButtonsUpdated,      ///< the stepping buttons after a step between schemes or cards
    BookEmptied,               ///< New Swatch Book, or a new book after the ten-card question
    BookOpened,
    BookSaved,
    BookModified,              ///< the ten-card question changed the book without adding a card
    CardAdded,
    CardDeleted,
    CardSteppedBack,           ///< Previous Card on the book panel
    CardSteppedForward,        ///< Next Card on the book panel
    CardSlotFilled,            ///< a slot of the swatch card took a colour
    CardSlotsCleared,          ///< the swatch card's Delete
    SwatchBookShown,
    SwatchBookHidden,
    ContrastReportShown,
    ContrastReportHidden,
};

/// The enabled and checked state of every command of the main window and of the panels' command
/// buttons. It is changed only by `apply`, which runs the rows of one table written once; the
/// screen mirrors the store after every change.
class CommandStates {
public:
    explicit CommandStates(Screen& screen);

    bool enabled(Command command) const { return m_enabled[index(command)]; }
    bool checked(Command command) const { return m_checked[index(command)]; }

    /// Runs every row of the table for `situation`, in table order (a later row overrides an
    /// earlier one), with its conditions read from `state`; then the screen mirrors the store.
    void apply(Situation situation, const ProgramState& state);

private:
    static std::size_t index(Command c) { return static_cast<std::size_t>(c); }

    Screen& m_screen;
    std::array<bool, static_cast<std::size_t>(Command::Count)> m_enabled{};
    std::array<bool, static_cast<std::size_t>(Command::Count)> m_checked{};
};

/// The name of a command as the main window's form spells it ("mnuUndo", "SBtbnBin").
const char* commandName(Command command);
/// The name of a situation ("StartUp", "PagePainted").
const char* situationName(Situation situation);

} // namespace hw
