#include "program/CommandStates.h"

#include "base/Files.h"
#include "support/RecordingScreen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

using namespace hw;
using hw::test::RecordingScreen;

namespace {

const std::string golden = std::string(HW_TEST_DATA) + "/commands/states.txt";

/// A few program states that the conditions of the table tell apart.
struct Fixture {
    const char* name;
    ProgramState state;
};

std::vector<Fixture> fixtures() {
    std::vector<Fixture> list;

    Fixture first{"first page, a page, empty book", {}};
    first.state.view = View::Page;
    first.state.pages.push_back({"/site/a.html", "/site/wp1.tmp", false, false});
    list.push_back(first);

    Fixture later{"third page, a frameset, one scheme, skip undo, book with file at card 2 of 3", {}};
    later.state.view = View::Page;
    for (int i = 0; i < 3; ++i) later.state.pages.push_back({"/site/f.html", "/site/wp.tmp", false, i == 2});
    later.state.currentPage = 2;
    later.state.schemes.emplace_back();
    later.state.skipUndoEnable = true;
    later.state.book.lastCard = 2;
    later.state.book.currentCard = 1;
    later.state.book.bookPath = "/books/a.sbk";
    list.push_back(later);

    Fixture one{"one card at card 1, one scheme card", {}};
    one.state.book.lastCard = 0;
    one.state.book.currentCard = 0;
    one.state.schemeCards.resize(1);
    list.push_back(one);

    return list;
}

std::string render(const CommandStates& states) {
    std::string enabled, checked;
    for (int i = 0; i < static_cast<int>(Command::Count); ++i) {
        const auto c = static_cast<Command>(i);
        if (states.enabled(c)) enabled += std::string(" ") + commandName(c);
        if (states.checked(c)) checked += std::string(" ") + commandName(c);
    }
    return "  enabled:" + enabled + "\n  checked:" + checked + "\n";
}

/// Every situation on every fixture, each applied to the start-up states.
std::string table() {
    std::ostringstream out;
    out << "# Command states: each situation applied right after start-up, on three program states.\n"
           "\n";
    RecordingScreen screen;
    CommandStates start(screen);
    start.apply(Situation::StartUp, ProgramState{});
    out << "StartUp\n" << render(start) << "\n";
    for (int s = static_cast<int>(Situation::StartUp) + 1; s <= static_cast<int>(Situation::ContrastReportHidden); ++s) {
        for (const Fixture& f : fixtures()) {
            CommandStates states(screen);
            states.apply(Situation::StartUp, f.state);
            states.apply(static_cast<Situation>(s), f.state);
            out << situationName(static_cast<Situation>(s)) << " | " << f.name << "\n" << render(states) << "\n";
        }
    }
    return out.str();
}

} // namespace

TEST(CommandStates, TheTableMatchesItsReadableRendering) {
    const std::string text = table();
    if (std::getenv("HW_UPDATE_GOLDEN")) {
        ASSERT_TRUE(writeFileBytes(golden, text));
    }
    const auto expected = readFileBytes(golden);
    ASSERT_TRUE(expected) << golden;
    EXPECT_EQ(text, *expected) << "run with HW_UPDATE_GOLDEN=1 to rewrite " << golden << " and review the diff";
}

TEST(CommandStates, RightAfterStartOnlyTheOpeningCommandsWork) {
    RecordingScreen screen;
    CommandStates states(screen);
    states.apply(Situation::StartUp, ProgramState{});
    EXPECT_EQ(screen.mirrors, 1) << "the screen mirrors every change";
    for (Command c : {Command::mnuNewSwatchBook, Command::mnuOpen, Command::mnuOpenWebPage, Command::tbnOpenPage,
                      Command::mnuExit, Command::mnuHelpTopics})
        EXPECT_TRUE(states.enabled(c)) << commandName(c);
    for (Command c : {Command::mnuSaveWebScheme, Command::mnuSaveWebSchemeAs, Command::mnuUndo, Command::mnuRefresh,
                      Command::mnuPrintWebScheme, Command::mnuPageSetUp, Command::mnuViewTableBorders,
                      Command::SBtbnBin, Command::SCtbnAddToBook})
        EXPECT_FALSE(states.enabled(c)) << commandName(c);
    EXPECT_TRUE(states.checked(Command::mnuViewSwatchBook));
}

TEST(CommandStates, APaintDisablesThePageCommandsAndTheUndoRuleSkipsOnce) {
    RecordingScreen screen;
    CommandStates states(screen);
    ProgramState state;
    state.view = View::Page;
    state.pages.push_back({"/a.html", "/wp.tmp", false, false});
    states.apply(Situation::StartUp, state);
    states.apply(Situation::PageOpenedFromMenu, state);
    EXPECT_TRUE(states.enabled(Command::mnuViewSource));
    EXPECT_TRUE(states.enabled(Command::mnuPageSetUp));
    EXPECT_FALSE(states.enabled(Command::mnuCreateHtmlFile));

    state.skipUndoEnable = true;
    states.apply(Situation::PagePainted, state);
    EXPECT_TRUE(states.enabled(Command::mnuSaveWebSchemeAs));
    EXPECT_FALSE(states.enabled(Command::mnuUndo));
    for (Command c : {Command::mnuViewSource, Command::tbnEditSource, Command::mnuRefresh, Command::tbnRefresh,
                      Command::mnuEditOptions})
        EXPECT_FALSE(states.enabled(c)) << commandName(c);
    state.skipUndoEnable = false;
    states.apply(Situation::PagePainted, state);
    EXPECT_TRUE(states.enabled(Command::mnuUndo));
    // Page Setup stays enabled once enabled.
    EXPECT_TRUE(states.enabled(Command::mnuPageSetUp));
}
