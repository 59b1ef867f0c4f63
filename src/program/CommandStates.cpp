#include "program/CommandStates.h"

#include <vector>

namespace hw {

namespace {

using C = Command;
using S = Situation;

/// The conditions a row may carry, read from the program's state after the operation.
enum class When {
    Always,
    NotFrameset,     ///< the page on show is not a frameset
    NotFirstPage,    ///< more than one page has been opened
    OnlyOnePage,     ///< exactly one page has been opened
    SchemeExists,    ///< at least one scheme is open
    SkipUndo,        ///< the Undo rule: this event leaves Undo disabled
    NoSkipUndo,
    BookHasFile,
    BookHasNoFile,
    BookHasCards,
    BookHasNoCards,
    OneCard,         ///< the book holds exactly one card
    SeveralCards,    ///< the book holds more than one card
    FirstCard,       ///< the current card is the first
    SecondCard,      ///< the current card is the second
    LastCard,        ///< the current card is the last (or there is none)
    NextIsLast,      ///< the card after the current one is the last
    NoCurrentCard,
    OneSchemeCard,   ///< exactly one scheme card exists
};

enum class Effect { Enable, Disable, Check, Uncheck };

struct Row {
    Situation situation;
    When when;
    Effect effect;
    std::vector<Command> commands;
};

bool holds(When when, const ProgramState& s) {
    const BookState& b = s.book;
    switch (when) {
    case When::Always: return true;
    case When::NotFrameset: return s.pageOnShow() && !s.pageOnShow()->frameset;
    case When::NotFirstPage: return s.lastPage() > 0;
    case When::OnlyOnePage: return s.lastPage() == 0;
    case When::SchemeExists: return s.lastScheme() >= 0;
    case When::SkipUndo: return s.skipUndoEnable;
    case When::NoSkipUndo: return !s.skipUndoEnable;
    case When::BookHasFile: return !b.bookPath.empty();
    case When::BookHasNoFile: return b.bookPath.empty();
    case When::BookHasCards: return b.lastCard >= 0;
    case When::BookHasNoCards: return b.lastCard < 0;
    case When::OneCard: return b.lastCard == 0;
    case When::SeveralCards: return b.lastCard > 0;
    case When::FirstCard: return b.currentCard == 0;
    case When::SecondCard: return b.currentCard == 1;
    case When::LastCard: return b.currentCard == b.lastCard;
    case When::NextIsLast: return b.lastCard == b.currentCard + 1;
    case When::NoCurrentCard: return b.currentCard < 0;
    case When::OneSchemeCard: return s.lastSchemeCard() == 0;
    }
    return false;
}

/// The one table. Rows of a situation run in order, so a later row overrides an earlier one.
const std::vector<Row>& table() {
    static const std::vector<Row> rows = {
        // Right after start only the commands that open something, Exit and Help work.
        {S::StartUp, When::Always, Effect::Enable,
         {C::mnuNewSwatchBook, C::mnuOpen, C::mnuOpenWebPage, C::tbnOpenPage, C::mnuOpenWebScheme,
          C::tbnOpenScheme, C::mnuExit, C::mnuHelpTopics, C::mnuViewSwatchBook, C::pnlBrowserContainer}},
        {S::StartUp, When::Always, Effect::Check, {C::mnuViewSwatchBook}},

        // Opening a page: the page commands work until it is painted; Undo waits for a paint.
        {S::PageOpenedFromMenu, When::NotFrameset, Effect::Disable, {C::mnuCreateHtmlFile}},
        {S::PageOpenedFromMenu, When::Always, Effect::Enable,
         {C::mnuViewSource, C::tbnEditSource, C::mnuRefresh, C::tbnRefresh, C::mnuEditOptions,
          C::mnuViewTableBorders, C::mnuPrintWebScheme, C::mnuPageSetUp}},
        {S::PageOpenedFromMenu, When::Always, Effect::Disable, {C::mnuUndo}},
        {S::PageOpenedFromMenu, When::NotFirstPage, Effect::Enable, {C::tbnPreviousPage}},
        {S::PageOpenedFromMenu, When::NotFirstPage, Effect::Disable, {C::tbnNextPage}},
        {S::PageOpenedFromMenu, When::SchemeExists, Effect::Enable, {C::tbnNextScheme}},

        {S::PageOpenedFromCommandLine, When::NotFrameset, Effect::Disable, {C::mnuCreateHtmlFile}},
        {S::PageOpenedFromCommandLine, When::Always, Effect::Enable,
         {C::mnuViewSource, C::tbnEditSource, C::mnuRefresh, C::tbnRefresh, C::mnuEditOptions,
          C::mnuViewTableBorders, C::mnuPrintWebScheme, C::mnuPageSetUp}},
        {S::PageOpenedFromCommandLine, When::Always, Effect::Disable, {C::mnuUndo}},

        // Painting: the page can be saved and undone, no longer edited or refreshed.
        {S::PagePainted, When::Always, Effect::Enable, {C::mnuSaveWebSchemeAs, C::tbnPreviousPage}},
        {S::PagePainted, When::Always, Effect::Disable,
         {C::tbnEditSource, C::mnuViewSource, C::mnuRefresh, C::tbnRefresh, C::mnuEditOptions}},
        {S::PagePainted, When::SkipUndo, Effect::Disable, {C::mnuUndo}},
        {S::PagePainted, When::NoSkipUndo, Effect::Enable, {C::mnuUndo}},

        {S::SchemePainted, When::Always, Effect::Enable, {C::mnuSaveWebScheme}},
        {S::SchemePainted, When::SkipUndo, Effect::Disable, {C::mnuUndo}},
        {S::SchemePainted, When::NoSkipUndo, Effect::Enable, {C::mnuUndo}},

        {S::SchemeSavedAs, When::Always, Effect::Enable, {C::mnuPrintWebScheme, C::pnlBrowserContainer}},
        {S::SchemeSavedAs, When::OnlyOnePage, Effect::Enable, {C::tbnPreviousPage}},
        {S::SchemeSavedAs, When::OneCard, Effect::Enable, {C::SBtbnPreviousCard}},

        // The swatch book.
        {S::BookEmptied, When::Always, Effect::Disable,
         {C::SBtbnBin, C::SBtbnPreviousCard, C::SBtbnNextCard, C::mnuSaveSwatchBook, C::mnuSaveSwatchBookAs}},
        {S::BookOpened, When::Always, Effect::Disable, {C::mnuSaveSwatchBook, C::SBtbnNextCard}},
        {S::BookOpened, When::Always, Effect::Enable, {C::mnuSaveSwatchBookAs, C::SBtbnBin, C::SBtbnPreviousCard}},
        {S::BookSaved, When::Always, Effect::Disable, {C::mnuSaveSwatchBook}},
        {S::BookModified, When::BookHasFile, Effect::Enable, {C::mnuSaveSwatchBook}},
        {S::BookModified, When::BookHasNoFile, Effect::Disable, {C::mnuSaveSwatchBook}},
        // A changed book can be saved to its file at once; one without a file needs Save As.
        {S::CardAdded, When::BookHasFile, Effect::Enable, {C::mnuSaveSwatchBook}},
        {S::CardAdded, When::BookHasNoFile, Effect::Disable, {C::mnuSaveSwatchBook}},
        {S::CardAdded, When::BookHasCards, Effect::Enable, {C::mnuSaveSwatchBookAs, C::SBtbnBin}},
        {S::CardAdded, When::LastCard, Effect::Disable, {C::SBtbnNextCard}},
        {S::CardAdded, When::SeveralCards, Effect::Enable, {C::SBtbnPreviousCard}},
        {S::CardDeleted, When::BookHasFile, Effect::Enable, {C::mnuSaveSwatchBook}},
        {S::CardDeleted, When::BookHasNoCards, Effect::Disable,
         {C::SBtbnBin, C::mnuSaveSwatchBookAs, C::mnuSaveSwatchBook}},
        {S::CardDeleted, When::LastCard, Effect::Disable, {C::SBtbnNextCard}},
        {S::CardDeleted, When::NoCurrentCard, Effect::Disable, {C::SBtbnPreviousCard, C::SBtbnBin}},
        {S::CardSteppedBack, When::FirstCard, Effect::Disable, {C::SBtbnPreviousCard}},
        {S::CardSteppedBack, When::NextIsLast, Effect::Enable, {C::SBtbnNextCard}},
        {S::CardSteppedBack, When::OneSchemeCard, Effect::Enable, {C::SBtbnNextScheme}},
        {S::CardSteppedForward, When::LastCard, Effect::Disable, {C::SBtbnNextCard}},
        {S::CardSteppedForward, When::SecondCard, Effect::Enable, {C::SBtbnPreviousCard}},
        {S::CardSlotFilled, When::Always, Effect::Enable, {C::SCtbnBin, C::SCtbnAddToBook}},
        {S::CardSlotsCleared, When::Always, Effect::Disable, {C::SCtbnBin, C::SCtbnAddToBook}},
        {S::SwatchBookShown, When::Always, Effect::Check, {C::mnuViewSwatchBook}},
        {S::SwatchBookHidden, When::Always, Effect::Uncheck, {C::mnuViewSwatchBook}},
    };
    return rows;
}

} // namespace

CommandStates::CommandStates(Screen& screen) : m_screen(screen) {}

bool CommandStates::built(Command command) {
    switch (command) {
    // Waiting for the scheme commands, the page commands and the creation of HTML files.
    case C::mnuOpenWebScheme:
    case C::tbnOpenScheme:
    case C::mnuSaveWebScheme:
    case C::mnuCreateHtmlFile:
    case C::mnuRefresh:
    case C::tbnRefresh:
    case C::mnuViewTableBorders:
    case C::tbnPreviousPage:
    case C::tbnNextPage:
    case C::tbnPreviousScheme:
    case C::tbnNextScheme:
    case C::SBtbnPreviousScheme:
    case C::SBtbnNextScheme:
        return false;
    default:
        return true;
    }
}

void CommandStates::apply(Situation situation, const ProgramState& state) {
    for (const Row& row : table()) {
        if (row.situation != situation || !holds(row.when, state)) continue;
        for (Command c : row.commands) {
            switch (row.effect) {
            case Effect::Enable: m_enabled[index(c)] = built(c); break;
            case Effect::Disable: m_enabled[index(c)] = false; break;
            case Effect::Check: m_checked[index(c)] = true; break;
            case Effect::Uncheck: m_checked[index(c)] = false; break;
            }
        }
    }
    m_screen.mirrorCommandStates(*this);
}

const char* commandName(Command command) {
    switch (command) {
#define HW_NAME(c) \
    case C::c: return #c;
        HW_NAME(mnuNewSwatchBook) HW_NAME(mnuOpen) HW_NAME(mnuSaveSwatchBook) HW_NAME(mnuSaveSwatchBookAs)
        HW_NAME(mnuOpenWebPage) HW_NAME(mnuOpenWebScheme) HW_NAME(mnuSaveWebScheme) HW_NAME(mnuSaveWebSchemeAs)
        HW_NAME(mnuCreateHtmlFile) HW_NAME(mnuPageSetUp) HW_NAME(mnuPrintWebScheme) HW_NAME(mnuExit)
        HW_NAME(mnuUndo) HW_NAME(mnuViewSource) HW_NAME(mnuRefresh) HW_NAME(mnuEditOptions)
        HW_NAME(mnuViewTableBorders) HW_NAME(mnuViewSwatchBook) HW_NAME(mnuHelpTopics) HW_NAME(tbnOpenPage)
        HW_NAME(tbnEditSource) HW_NAME(tbnRefresh) HW_NAME(tbnPreviousPage) HW_NAME(tbnNextPage)
        HW_NAME(tbnOpenScheme) HW_NAME(tbnPreviousScheme) HW_NAME(tbnNextScheme) HW_NAME(SBtbnBin)
        HW_NAME(SBtbnPreviousCard) HW_NAME(SBtbnPreviousScheme) HW_NAME(SBtbnNextScheme) HW_NAME(SBtbnNextCard)
        HW_NAME(SCtbnBin) HW_NAME(SCtbnAddToBook) HW_NAME(pnlBrowserContainer)
#undef HW_NAME
    case C::Count: break;
    }
    return "?";
}

const char* situationName(Situation situation) {
    switch (situation) {
#define HW_NAME(s) \
    case S::s: return #s;
        HW_NAME(StartUp) HW_NAME(PageOpenedFromMenu) HW_NAME(PageOpenedFromCommandLine) HW_NAME(PagePainted)
        HW_NAME(SchemePainted) HW_NAME(SchemeSavedAs) HW_NAME(BookEmptied) HW_NAME(BookOpened) HW_NAME(BookSaved)
        HW_NAME(BookModified) HW_NAME(CardAdded) HW_NAME(CardDeleted) HW_NAME(CardSteppedBack)
        HW_NAME(CardSteppedForward) HW_NAME(CardSlotFilled) HW_NAME(CardSlotsCleared) HW_NAME(SwatchBookShown)
        HW_NAME(SwatchBookHidden)
#undef HW_NAME
    }
    return "?";
}

} // namespace hw
