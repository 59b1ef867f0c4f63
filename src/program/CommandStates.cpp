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
    AnyPage,         ///< a page has been opened
    SeveralSchemes,  ///< more than one scheme is open
    SlotHasBackup,   ///< the scheme on show changed since its last explicit save
    SlotHasNoBackup,
    SlotBorders,     ///< the scheme on show has table borders
    SlotNoBorders,
    // c: the current scheme card; lc: the last scheme card
    SameSchemeBefore,          ///< the card before c belongs to the same scheme
    CardAtStart,               ///< c is 0
    CardAfterStart,            ///< c is above 0
    FirstSchemeLaterCard,      ///< the first scheme is current and c is above 0
    NextCardIsLastSchemeCard,  ///< lc is c + 1
    CardBeforeEnd,             ///< c is below lc
    CardAtEnd,                 ///< c is lc
    LastSchemeCurrent,
    SecondSchemeCurrent,
    FirstOfSeveralSchemes,     ///< the first of several schemes is current
    BordersOnShow,             ///< the page or scheme on show has table borders
    NoBordersOnShow,
    CurrentPageFirst,
    CurrentPageSecond,
    CurrentPageLast,
    NextPageIsLast,            ///< the page after the current one is the last
};

enum class Effect { Enable, Disable, Check, Uncheck };

struct Row {
    Situation situation;
    When when;
    Effect effect;
    std::vector<Command> commands;
};

bool bordersOnShow(const ProgramState& s) {
    if (s.showingScheme() && s.currentScheme >= 0 && s.currentScheme <= s.lastScheme())
        return s.schemes[static_cast<std::size_t>(s.currentScheme)].tableBorders;
    return s.showingPage() && s.pageOnShow() && s.pageOnShow()->tableBorders;
}

bool holds(When when, const ProgramState& s) {
    const BookState& b = s.book;
    const PageScheme* slot = s.currentScheme >= 0 && s.currentScheme <= s.lastScheme()
                                 ? &s.schemes[static_cast<std::size_t>(s.currentScheme)]
                                 : nullptr;
    const int c = s.currentSchemeCard;
    const int lc = s.lastSchemeCard();
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
    case When::AnyPage: return s.lastPage() >= 0;
    case When::SeveralSchemes: return s.lastScheme() > 0;
    case When::SlotHasBackup: return slot && slot->backupFile.str() != emptyPathMarker;
    case When::SlotHasNoBackup: return !slot || slot->backupFile.str() == emptyPathMarker;
    case When::SlotBorders: return slot && slot->tableBorders;
    case When::SlotNoBorders: return !slot || !slot->tableBorders;
    case When::SameSchemeBefore:
        return c > 0 && c <= lc &&
               s.schemeCards[static_cast<std::size_t>(c - 1)].GetTitle().str() ==
                   s.schemeCards[static_cast<std::size_t>(c)].GetTitle().str();
    case When::CardAtStart: return c == 0;
    case When::CardAfterStart: return c > 0;
    case When::FirstSchemeLaterCard: return s.currentScheme == 0 && c > 0;
    case When::NextCardIsLastSchemeCard: return lc == c + 1;
    case When::CardBeforeEnd: return c < lc;
    case When::CardAtEnd: return c == lc;
    case When::LastSchemeCurrent: return s.currentScheme == s.lastScheme();
    case When::SecondSchemeCurrent: return s.currentScheme == 1;
    case When::FirstOfSeveralSchemes: return s.currentScheme == 0 && s.lastScheme() >= 1;
    case When::BordersOnShow: return bordersOnShow(s);
    case When::NoBordersOnShow: return !bordersOnShow(s);
    case When::CurrentPageFirst: return s.currentPage == 0;
    case When::CurrentPageSecond: return s.currentPage == 1;
    case When::CurrentPageLast: return s.currentPage == s.lastPage();
    case When::NextPageIsLast: return s.lastPage() == s.currentPage + 1;
    }
    return false;
}

/// The one table. Rows of a situation run in order, so a later row overrides an earlier one.
const std::vector<Row>& table() {
    static const std::vector<Row> rows = {
        // Right after start only the commands that open something, Exit and Help work.
        {S::StartUp, When::Always, Effect::Enable,
         {C::mnuNewSwatchBook, C::mnuOpen, C::mnuImportSwatchBook, C::mnuOpenWebPage, C::tbnOpenPage, C::mnuOpenWebScheme,
          C::tbnOpenScheme, C::mnuExit, C::mnuHelpTopics, C::mnuViewSwatchBook, C::pnlBrowserContainer}},
        {S::StartUp, When::Always, Effect::Check, {C::mnuViewSwatchBook}},

        // Opening a page: the page commands work until it is painted; Undo waits for a paint.
        {S::PageOpenedFromMenu, When::NotFrameset, Effect::Disable, {C::mnuCreateHtmlFile}},
        // The scheme's stylesheet and colours are those of the scheme on show; a page shows none.
        {S::PageOpenedFromMenu, When::Always, Effect::Disable, {C::mnuExportStylesheet, C::mnuExportSchemeColours}},
        {S::PageOpenedFromMenu, When::Always, Effect::Enable,
         {C::mnuViewSource, C::tbnEditSource, C::mnuRefresh, C::tbnRefresh, C::mnuEditOptions,
          C::mnuViewTableBorders, C::mnuPrintWebScheme, C::mnuPageSetUp}},
        {S::PageOpenedFromMenu, When::Always, Effect::Disable, {C::mnuUndo}},
        {S::PageOpenedFromMenu, When::NotFirstPage, Effect::Enable, {C::tbnPreviousPage}},
        {S::PageOpenedFromMenu, When::Always, Effect::Disable, {C::tbnNextPage}},
        {S::PageOpenedFromMenu, When::Always, Effect::Uncheck, {C::mnuViewTableBorders}},
        {S::PageOpenedFromMenu, When::SchemeExists, Effect::Enable, {C::tbnNextScheme}},
        {S::PageOpenedFromMenu, When::Always, Effect::Enable, {C::mnuViewContrastReport}},

        {S::PageOpenedFromCommandLine, When::NotFrameset, Effect::Disable, {C::mnuCreateHtmlFile}},
        {S::PageOpenedFromCommandLine, When::Always, Effect::Disable, {C::mnuExportStylesheet, C::mnuExportSchemeColours}},
        {S::PageOpenedFromCommandLine, When::Always, Effect::Enable,
         {C::mnuViewSource, C::tbnEditSource, C::mnuRefresh, C::tbnRefresh, C::mnuEditOptions,
          C::mnuViewTableBorders, C::mnuPrintWebScheme, C::mnuPageSetUp}},
        {S::PageOpenedFromCommandLine, When::Always, Effect::Disable, {C::mnuUndo}},
        {S::PageOpenedFromCommandLine, When::Always, Effect::Uncheck, {C::mnuViewTableBorders}},
        {S::PageOpenedFromCommandLine, When::Always, Effect::Enable, {C::mnuViewContrastReport}},

        // The page arrows and Refresh: the page on show can be edited and refreshed again.
        {S::PageShownAgain, When::Always, Effect::Disable,
         {C::mnuCreateHtmlFile, C::mnuExportStylesheet, C::mnuSaveWebScheme, C::mnuSaveWebSchemeAs,
          C::mnuPrintWebScheme, C::mnuUndo, C::mnuExportSchemeColours}},
        {S::PageShownAgain, When::BordersOnShow, Effect::Check, {C::mnuViewTableBorders}},
        {S::PageShownAgain, When::NoBordersOnShow, Effect::Uncheck, {C::mnuViewTableBorders}},
        {S::PageShownAgain, When::Always, Effect::Enable,
         {C::mnuViewSource, C::tbnEditSource, C::mnuRefresh, C::tbnRefresh, C::mnuEditOptions}},
        {S::PageSteppedBack, When::CurrentPageFirst, Effect::Disable, {C::tbnPreviousPage}},
        {S::PageSteppedBack, When::NextPageIsLast, Effect::Enable, {C::tbnNextPage}},
        {S::PageSteppedBack, When::SchemeExists, Effect::Enable, {C::tbnNextScheme}},
        {S::PageSteppedForward, When::CurrentPageLast, Effect::Disable, {C::tbnNextPage}},
        {S::PageSteppedForward, When::CurrentPageSecond, Effect::Enable, {C::tbnPreviousPage}},
        {S::PageSteppedForward, When::OneSchemeCard, Effect::Enable, {C::tbnNextScheme}},
        {S::PageRefreshed, When::OneSchemeCard, Effect::Enable, {C::tbnNextScheme}},
        {S::PageRefreshed, When::Always, Effect::Enable, {C::mnuViewSource, C::tbnEditSource, C::mnuViewTableBorders}},
        {S::TableBordersChanged, When::BordersOnShow, Effect::Check, {C::mnuViewTableBorders}},
        {S::TableBordersChanged, When::NoBordersOnShow, Effect::Uncheck, {C::mnuViewTableBorders}},

        // Painting: the page can be saved and undone, no longer edited or refreshed.
        {S::PagePainted, When::Always, Effect::Enable, {C::mnuSaveWebSchemeAs, C::tbnPreviousPage}},
        {S::PagePainted, When::Always, Effect::Disable,
         {C::tbnEditSource, C::mnuViewSource, C::mnuRefresh, C::tbnRefresh, C::mnuEditOptions}},
        {S::PagePainted, When::SkipUndo, Effect::Disable, {C::mnuUndo}},
        {S::PagePainted, When::NoSkipUndo, Effect::Enable, {C::mnuUndo}},

        {S::SchemePainted, When::Always, Effect::Enable, {C::mnuSaveWebScheme}},
        {S::SchemePainted, When::SkipUndo, Effect::Disable, {C::mnuUndo}},
        {S::SchemePainted, When::NoSkipUndo, Effect::Enable, {C::mnuUndo}},

        // A scheme on show: its page is not edited or refreshed, and it can become an HTML file.
        {S::SchemeLoaded, When::Always, Effect::Disable,
         {C::mnuViewSource, C::tbnEditSource, C::mnuUndo, C::mnuRefresh, C::tbnRefresh, C::mnuEditOptions,
          C::tbnPreviousScheme, C::SBtbnPreviousScheme, C::tbnNextScheme, C::SBtbnNextScheme}},
        {S::SchemeLoaded, When::Always, Effect::Enable,
         {C::mnuCreateHtmlFile, C::mnuExportStylesheet, C::mnuExportSchemeColours, C::mnuViewContrastReport}},
        {S::SchemeLoaded, When::SameSchemeBefore, Effect::Enable, {C::SBtbnPreviousScheme}},
        {S::SchemeLoaded, When::SeveralSchemes, Effect::Enable, {C::tbnPreviousScheme, C::SBtbnPreviousScheme}},
        {S::SchemeLoaded, When::AnyPage, Effect::Enable, {C::tbnPreviousPage}},

        {S::SchemeSavedAs, When::Always, Effect::Enable, {C::mnuPrintWebScheme, C::pnlBrowserContainer}},
        {S::SchemeSavedAs, When::SeveralSchemes, Effect::Disable, {C::tbnNextScheme, C::SBtbnNextScheme}},
        {S::SchemeSavedAs, When::SeveralSchemes, Effect::Enable, {C::tbnPreviousScheme, C::SBtbnPreviousScheme}},
        {S::SchemeSavedAs, When::OnlyOnePage, Effect::Enable, {C::tbnPreviousPage}},
        {S::SchemeSavedAs, When::OneCard, Effect::Enable, {C::SBtbnPreviousCard}},

        {S::SchemeSaved, When::Always, Effect::Disable, {C::mnuSaveWebScheme}},
        {S::SchemeSaved, When::Always, Effect::Enable, {C::pnlBrowserContainer}},

        {S::SchemeOpenedFromCommandLine, When::Always, Effect::Enable,
         {C::mnuPrintWebScheme, C::mnuPageSetUp, C::mnuViewTableBorders, C::mnuSaveWebSchemeAs}},
        {S::SchemeOpened, When::SeveralSchemes, Effect::Disable, {C::tbnNextScheme, C::SBtbnNextScheme}},
        {S::SchemeOpened, When::SeveralSchemes, Effect::Enable, {C::tbnPreviousScheme, C::SBtbnPreviousScheme}},
        {S::SchemeOpened, When::CardAfterStart, Effect::Enable, {C::SBtbnPreviousScheme}},
        {S::SchemeOpened, When::OnlyOnePage, Effect::Enable, {C::tbnPreviousPage}},
        {S::SchemeOpened, When::OneCard, Effect::Enable, {C::SBtbnPreviousCard}},

        // A step between schemes: Save while the scheme has unsaved automatic saves.
        {S::SchemeStepped, When::SlotHasBackup, Effect::Enable, {C::mnuSaveWebScheme}},
        {S::SchemeStepped, When::SlotHasNoBackup, Effect::Disable, {C::mnuSaveWebScheme}},
        {S::SchemeStepped, When::Always, Effect::Enable,
         {C::mnuPrintWebScheme, C::mnuCreateHtmlFile, C::mnuExportStylesheet, C::mnuExportSchemeColours}},
        {S::SchemeStepped, When::SlotBorders, Effect::Check, {C::mnuViewTableBorders}},
        {S::SchemeStepped, When::SlotNoBorders, Effect::Uncheck, {C::mnuViewTableBorders}},
        {S::SchemeStepped, When::Always, Effect::Disable,
         {C::mnuViewSource, C::tbnEditSource, C::mnuRefresh, C::tbnRefresh, C::mnuEditOptions, C::mnuUndo}},

        // The stepping buttons, in this order: a later row overrides an earlier one.
        {S::SchemeButtonsUpdated, When::CardAtStart, Effect::Disable, {C::tbnPreviousScheme, C::SBtbnPreviousScheme}},
        {S::SchemeButtonsUpdated, When::FirstSchemeLaterCard, Effect::Disable, {C::tbnPreviousScheme}},
        {S::SchemeButtonsUpdated, When::NextCardIsLastSchemeCard, Effect::Enable, {C::tbnNextScheme, C::SBtbnNextScheme}},
        {S::SchemeButtonsUpdated, When::OnlyOnePage, Effect::Enable, {C::tbnPreviousPage}},
        {S::SchemeButtonsUpdated, When::OneCard, Effect::Enable, {C::SBtbnPreviousCard}},
        {S::SchemeButtonsUpdated, When::LastSchemeCurrent, Effect::Disable, {C::tbnNextScheme, C::SBtbnNextScheme}},
        {S::SchemeButtonsUpdated, When::SecondSchemeCurrent, Effect::Enable,
         {C::tbnPreviousScheme, C::SBtbnPreviousScheme}},
        {S::SchemeButtonsUpdated, When::CardAtStart, Effect::Disable, {C::SBtbnPreviousScheme}},
        {S::SchemeButtonsUpdated, When::CardBeforeEnd, Effect::Enable, {C::SBtbnNextScheme}},
        {S::SchemeButtonsUpdated, When::CardAfterStart, Effect::Enable, {C::SBtbnPreviousScheme}},
        {S::SchemeButtonsUpdated, When::CardAtEnd, Effect::Disable, {C::SBtbnNextScheme}},
        {S::SchemeButtonsUpdated, When::FirstOfSeveralSchemes, Effect::Enable, {C::tbnNextScheme}},
        {S::SchemeButtonsUpdated, When::FirstOfSeveralSchemes, Effect::Disable, {C::tbnPreviousScheme}},

        // The swatch book.
        {S::BookEmptied, When::Always, Effect::Disable,
         {C::SBtbnBin, C::SBtbnPreviousCard, C::SBtbnNextCard, C::mnuSaveSwatchBook, C::mnuSaveSwatchBookAs,
          C::mnuExportSwatchBook}},
        {S::BookOpened, When::Always, Effect::Disable, {C::mnuSaveSwatchBook, C::SBtbnNextCard}},
        {S::BookOpened, When::Always, Effect::Enable,
         {C::mnuSaveSwatchBookAs, C::mnuExportSwatchBook, C::SBtbnBin, C::SBtbnPreviousCard}},
        {S::BookSaved, When::Always, Effect::Disable, {C::mnuSaveSwatchBook}},
        {S::BookModified, When::BookHasFile, Effect::Enable, {C::mnuSaveSwatchBook}},
        {S::BookModified, When::BookHasNoFile, Effect::Disable, {C::mnuSaveSwatchBook}},
        // A changed book can be saved to its file at once; one without a file needs Save As.
        {S::CardAdded, When::BookHasFile, Effect::Enable, {C::mnuSaveSwatchBook}},
        {S::CardAdded, When::BookHasNoFile, Effect::Disable, {C::mnuSaveSwatchBook}},
        {S::CardAdded, When::BookHasCards, Effect::Enable, {C::mnuSaveSwatchBookAs, C::mnuExportSwatchBook, C::SBtbnBin}},
        {S::CardAdded, When::LastCard, Effect::Disable, {C::SBtbnNextCard}},
        {S::CardAdded, When::SeveralCards, Effect::Enable, {C::SBtbnPreviousCard}},
        {S::CardDeleted, When::BookHasFile, Effect::Enable, {C::mnuSaveSwatchBook}},
        {S::CardDeleted, When::BookHasNoCards, Effect::Disable,
         {C::SBtbnBin, C::mnuSaveSwatchBookAs, C::mnuSaveSwatchBook, C::mnuExportSwatchBook}},
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

        // The contrast report reads whatever page or scheme is on show, so it works from the
        // first one on.
        {S::ContrastReportShown, When::Always, Effect::Check, {C::mnuViewContrastReport}},
        {S::ContrastReportHidden, When::Always, Effect::Uncheck, {C::mnuViewContrastReport}},
    };
    return rows;
}

} // namespace

CommandStates::CommandStates(Screen& screen) : m_screen(screen) {}

void CommandStates::apply(Situation situation, const ProgramState& state) {
    for (const Row& row : table()) {
        if (row.situation != situation || !holds(row.when, state)) continue;
        for (Command c : row.commands) {
            switch (row.effect) {
            case Effect::Enable: m_enabled[index(c)] = true; break;
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
        HW_NAME(mnuExportSwatchBook) HW_NAME(mnuImportSwatchBook) HW_NAME(mnuExportSchemeColours)
        HW_NAME(mnuOpenWebPage) HW_NAME(mnuOpenWebScheme) HW_NAME(mnuSaveWebScheme) HW_NAME(mnuSaveWebSchemeAs)
        HW_NAME(mnuCreateHtmlFile) HW_NAME(mnuExportStylesheet) HW_NAME(mnuPageSetUp) HW_NAME(mnuPrintWebScheme) HW_NAME(mnuExit)
        HW_NAME(mnuUndo) HW_NAME(mnuViewSource) HW_NAME(mnuRefresh) HW_NAME(mnuEditOptions)
        HW_NAME(mnuViewTableBorders) HW_NAME(mnuViewContrastReport) HW_NAME(mnuViewSwatchBook) HW_NAME(mnuHelpTopics) HW_NAME(tbnOpenPage)
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
        HW_NAME(StartUp) HW_NAME(PageOpenedFromMenu) HW_NAME(PageOpenedFromCommandLine) HW_NAME(PageShownAgain)
        HW_NAME(PageSteppedBack) HW_NAME(PageSteppedForward) HW_NAME(PageRefreshed) HW_NAME(TableBordersChanged)
        HW_NAME(PagePainted)
        HW_NAME(SchemePainted) HW_NAME(SchemeLoaded) HW_NAME(SchemeSavedAs) HW_NAME(SchemeSaved)
        HW_NAME(SchemeOpenedFromCommandLine) HW_NAME(SchemeOpened) HW_NAME(SchemeStepped) HW_NAME(SchemeButtonsUpdated) HW_NAME(BookEmptied) HW_NAME(BookOpened) HW_NAME(BookSaved)
        HW_NAME(BookModified) HW_NAME(CardAdded) HW_NAME(CardDeleted) HW_NAME(CardSteppedBack)
        HW_NAME(CardSteppedForward) HW_NAME(CardSlotFilled) HW_NAME(CardSlotsCleared) HW_NAME(SwatchBookShown)
        HW_NAME(SwatchBookHidden) HW_NAME(ContrastReportShown) HW_NAME(ContrastReportHidden)
#undef HW_NAME
    }
    return "?";
}

} // namespace hw
