#include "base/Files.h"
#include "program/SwatchBookCommands.h"
#include "swatches/SwatchBookFile.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

using namespace hw;

namespace {

const std::string books = std::string(HW_TEST_DATA) + "/books";

/// A screen that records what the commands show and answers from scripts.
class RecordingScreen : public Screen {
public:
    std::deque<Answer> yesNoCancelAnswers;
    std::deque<bool> yesNoAnswers;
    std::deque<std::optional<std::string>> fileAnswers;

    std::vector<std::string> questions;
    std::vector<std::string> warnings;
    std::vector<FileDialog> dialogs;
    const CommandStates* states = nullptr;
    std::vector<CardView> shown;
    std::string caption = "Huewright - Untitled.sbk";
    std::string cardTitle;

    Answer askYesNoCancel(const std::string& text) override {
        questions.push_back(text);
        return pop(yesNoCancelAnswers, Answer::Cancel);
    }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        return pop(yesNoAnswers, false);
    }
    void notify(const std::string& text) override { warnings.push_back("notify: " + text); }
    void inform(const std::string& text) override { warnings.push_back("inform: " + text); }
    void warn(const std::string& text) override { warnings.push_back(text); }
    std::optional<std::string> chooseFile(FileDialog dialog) override {
        dialogs.push_back(dialog);
        return pop(fileAnswers, std::optional<std::string>());
    }
    void mirrorCommandStates(const CommandStates& s) override { states = &s; }
    bool isEnabled(Command c) const { return states && states->enabled(c); }
    void setCaption(const std::string& text) override { caption = text; }
    void showCard(const CardView& card) override {
        shown.push_back(card);
        cardTitle = card.title;
    }
    void setCardTitle(const std::string& title) override { cardTitle = title; }
    void navigate(const std::string&) override {}
    void pickPictureAt(ScreenPoint, unsigned) override {}
    void swapPictureAt(ScreenPoint) override {}

private:
    template <class T> static T pop(std::deque<T>& q, T otherwise) {
        if (q.empty()) return otherwise;
        T v = q.front();
        q.pop_front();
        return v;
    }
};

class Book : public ::testing::Test {
protected:
    RecordingScreen screen;
    ProgramState state;
    CommandStates states{screen};
    SwatchBookCommands book{state, states, screen};

    void addCards(int count) {
        for (int i = 0; i < count; ++i) book.addCard(i, i + 1, i + 2, "AAAAAA", "", "CCCCCC");
    }
    bool on(Command c) const { return screen.isEnabled(c); }

    std::string folder(const std::string& name) {
        const auto dir = std::filesystem::temp_directory_path() /
                         ("hw-bookcmd-" + name + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        return dir.string();
    }
};

const std::string tenCards = "Only ten cards are permitted in each swatch book.\n Do you wish to open a new book?";

} // namespace

TEST(WindowCaption, JoinsTheTwoPartsOnlyWhenBothAreThere) {
    const struct { const char* book; const char* page; const char* caption; } rows[] = {
        {"a.sbk", "page.htm", "Huewright - a.sbk | page.htm"},
        {"a.sbk", "", "Huewright - a.sbk"},
        {"", "page.htm", "Huewright - page.htm"},
        {"", "", "Huewright - "},
    };
    for (const auto& r : rows) EXPECT_EQ((WindowCaption{r.book, r.page}.compose()), r.caption);
}

TEST_F(Book, AddedCardsAreTitledByPositionAndBecomeCurrent) {
    book.addCard(255, 32768, clWhite, "FF0000", "008000", "");
    EXPECT_EQ(state.book.lastCard, 0);
    EXPECT_EQ(state.book.currentCard, 0);
    EXPECT_TRUE(state.book.bookModified);
    EXPECT_FALSE(on(Command::mnuSaveSwatchBook)) << "no file yet";
    EXPECT_TRUE(on(Command::mnuSaveSwatchBookAs));
    EXPECT_TRUE(on(Command::SBtbnBin));
    EXPECT_FALSE(on(Command::SBtbnPreviousCard));
    ASSERT_FALSE(screen.shown.empty());
    EXPECT_EQ(screen.shown.back().title, "Untitled-1");
    EXPECT_EQ(screen.shown.back().captions[0], "FF0000");
    book.addCard(255, 32768, clWhite, "FF0000", "008000", "");
    EXPECT_EQ(state.book.cards[1].GetTitle().str(), "Untitled-2");
    EXPECT_TRUE(on(Command::SBtbnPreviousCard));
    EXPECT_FALSE(on(Command::SBtbnNextCard));
}

TEST_F(Book, TheEleventhCardAsksForANewBook) {
    const struct {
        const char* name;
        bool newBook;
        std::optional<Answer> save;
        bool dialogCancelled;
        int lastCard;
        bool modified;
    } rows[] = {
        {"No", false, std::nullopt, false, 9, true},
        {"Yes then No", true, Answer::No, false, -1, false},
        {"Yes then Cancel", true, Answer::Cancel, false, 9, false},
        {"Yes then Yes, dialog cancelled", true, Answer::Yes, true, -1, false},
        {"Yes then Yes, saved", true, Answer::Yes, false, -1, false},
    };
    for (const auto& r : rows) {
        RecordingScreen scr;
        ProgramState st;
        st.caption = {"keep.sbk", ""};
        CommandStates sts{scr};
        SwatchBookCommands b(st, sts, scr);
        for (int i = 0; i < 10; ++i) b.addCard(i, i, i, "000000", "000000", "000000");
        st.book.bookPath = "";
        scr.caption = "unchanged";
        scr.yesNoAnswers = {r.newBook};
        if (r.save) scr.yesNoCancelAnswers = {*r.save};
        const std::string saved = folder("limit") + "/saved.sbk";
        scr.fileAnswers = {r.dialogCancelled ? std::optional<std::string>() : saved};
        b.addCard(1, 2, 3, "FFFFFF", "FFFFFF", "FFFFFF");
        ASSERT_FALSE(scr.questions.empty()) << r.name;
        EXPECT_EQ(scr.questions[0], tenCards) << r.name;
        EXPECT_EQ(st.book.lastCard, r.lastCard) << r.name;
        EXPECT_EQ(st.book.bookModified, r.modified) << r.name;
        EXPECT_EQ(scr.caption, "unchanged") << r.name;
        if (r.newBook) {
            EXPECT_TRUE(st.book.bookPath.empty()) << r.name;
            for (Command c : {Command::mnuSaveSwatchBook, Command::mnuSaveSwatchBookAs, Command::SBtbnBin,
                              Command::SBtbnPreviousCard, Command::SBtbnNextCard})
                EXPECT_FALSE(scr.isEnabled(c)) << r.name;
        }
        if (r.lastCard == -1) {
            EXPECT_EQ(scr.shown.back().title, "") << r.name;
            EXPECT_EQ(scr.shown.back().captions[0], "") << r.name;
            EXPECT_EQ(scr.shown.back().colors[0], clWhite) << r.name;
        }
        if (r.save == Answer::Yes && !r.dialogCancelled) {
            const Result<BookContents> read = readBookFile(saved);
            ASSERT_TRUE(read.ok()) << r.name;
            EXPECT_EQ(read->lastCard, 9) << "the new card is not added";
        }
    }
}

TEST_F(Book, AFailedSaveAtTheLimitKeepsTheModifiedBook) {
    addCards(10);
    screen.yesNoAnswers = {true};
    screen.yesNoCancelAnswers = {Answer::Yes};
    screen.fileAnswers = {std::string("/no/such/folder/book.sbk")};
    book.addCard(1, 2, 3, "", "", "");
    EXPECT_EQ(state.book.lastCard, 9);
    EXPECT_TRUE(state.book.bookModified);
    EXPECT_EQ(screen.warnings.size(), 1u);
}

TEST_F(Book, DeletingRenumbersTheCardsAfterIt) {
    for (const char* t : {"A", "B", "C", "D"}) {
        book.addCard(t[0], t[0], t[0], t, t, t);
        book.renameCard(t);
    }
    state.book.currentCard = 1;
    book.deleteCard();
    EXPECT_EQ(state.book.lastCard, 2);
    EXPECT_EQ(state.book.currentCard, 1);
    const char* colours = "ACD";
    const char* titles[] = {"A", "Untitled-2", "Untitled-3"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(state.book.cards[static_cast<std::size_t>(i)].GetColor1(), colours[i]);
        EXPECT_EQ(state.book.cards[static_cast<std::size_t>(i)].GetCaption2().str(), std::string(1, colours[i]));
        EXPECT_EQ(state.book.cards[static_cast<std::size_t>(i)].GetTitle().str(), titles[i]);
    }
    EXPECT_EQ(screen.shown.back().title, "Untitled-2");
    EXPECT_TRUE(state.book.bookModified);
}

TEST_F(Book, DeletingTheCurrentLastCardMakesTheNewLastCurrent) {
    addCards(3);
    book.deleteCard();
    EXPECT_EQ(state.book.lastCard, 1);
    EXPECT_EQ(state.book.currentCard, 1);
    EXPECT_FALSE(on(Command::SBtbnNextCard));
}

TEST_F(Book, DeletingTheOnlyCardKeepsTheFile) {
    state.book.bookPath = "/somewhere/book.sbk";
    addCards(1);
    EXPECT_TRUE(on(Command::mnuSaveSwatchBook));
    book.deleteCard();
    EXPECT_EQ(state.book.lastCard, -1);
    EXPECT_EQ(state.book.currentCard, -1);
    EXPECT_FALSE(state.book.bookModified);
    EXPECT_EQ(state.book.bookPath, "/somewhere/book.sbk");
    for (Command c : {Command::SBtbnBin, Command::SBtbnPreviousCard, Command::mnuSaveSwatchBook,
                      Command::mnuSaveSwatchBookAs})
        EXPECT_FALSE(on(c));
    book.deleteCard(); // nothing left: deletes nothing
    EXPECT_EQ(state.book.lastCard, -1);
    addCards(1);
    EXPECT_TRUE(on(Command::mnuSaveSwatchBook));
}

TEST_F(Book, SaveAsThenSaveWriteTheSameFileInTheirTwoForms) {
    const std::string path = folder("save") + "/mine.sbk";
    book.addCard(255, 32768, clWhite, "FF0000", "008000", "");
    book.addCard(10053171, 13421772, 52479, "336699", "CCCCCC", "FFCC00");
    book.renameCard("Sea");
    state.book.currentCard = 0;
    screen.fileAnswers = {path};
    book.saveSwatchBookAs();
    EXPECT_EQ(readFileOrEmpty(path), readFileOrEmpty(books + "/two-cards-saveas.sbk"));
    EXPECT_EQ(state.book.bookPath, path);
    EXPECT_EQ(state.book.bookFileName, "mine.sbk");
    EXPECT_EQ(screen.caption, "Huewright - mine.sbk");
    EXPECT_FALSE(state.book.bookModified);
    EXPECT_FALSE(on(Command::mnuSaveSwatchBook));
    EXPECT_EQ(state.book.currentCard, 0) << "saving does not move the current card";

    book.addCard(1, 2, 3, "010203", "", "");
    EXPECT_TRUE(on(Command::mnuSaveSwatchBook));
    book.deleteCard();
    book.saveSwatchBook();
    EXPECT_EQ(readFileOrEmpty(path), readFileOrEmpty(books + "/two-cards-save.sbk"));
    EXPECT_FALSE(state.book.bookModified);
}

TEST_F(Book, AFailedSaveIsToldAndTheBookStaysModified) {
    addCards(1);
    state.book.bookPath = "/no/such/folder/book.sbk";
    book.saveSwatchBook();
    EXPECT_TRUE(state.book.bookModified);
    ASSERT_EQ(screen.warnings.size(), 1u);
    screen.fileAnswers = {std::string("/no/such/folder/other.sbk")};
    book.saveSwatchBookAs();
    EXPECT_TRUE(state.book.bookModified);
    EXPECT_EQ(state.book.bookPath, "/no/such/folder/book.sbk");
    EXPECT_EQ(screen.warnings.size(), 2u);
}

TEST_F(Book, SaveQuestionOutcomes) {
    const std::string dir = folder("ask");
    const struct { Answer answer; std::optional<std::string> file; SaveAnswer outcome; bool written; } rows[] = {
        {Answer::Yes, dir + "/a.sbk", SaveAnswer::Saved, true},
        {Answer::Yes, std::nullopt, SaveAnswer::SaveDialogCancelled, false},
        {Answer::No, dir + "/b.sbk", SaveAnswer::No, false},
        {Answer::Cancel, dir + "/c.sbk", SaveAnswer::Cancel, false},
        {Answer::Yes, std::string("/no/such/folder/d.sbk"), SaveAnswer::SaveFailed, false},
    };
    for (const auto& r : rows) {
        RecordingScreen scr;
        ProgramState st;
        CommandStates sts{scr};
        SwatchBookCommands b(st, sts, scr);
        b.addCard(1, 2, 3, "010000", "", "");
        scr.yesNoCancelAnswers = {r.answer};
        scr.fileAnswers = {r.file};
        EXPECT_EQ(b.askSaveBook(), r.outcome);
        EXPECT_EQ(scr.questions.back(), "Save changes to swatch book?");
        EXPECT_EQ(st.book.bookModified, !r.written);
        if (r.file) {
            EXPECT_EQ(fileExists(*r.file), r.written);
            if (r.written) {
                EXPECT_EQ(readFileOrEmpty(*r.file).back(), '1') << "no line end after the last title";
            }
        }
    }
}

TEST_F(Book, OpenReadsTheBookAndShowsItsLastCard) {
    state.caption.pageName = "page.htm";
    screen.fileAnswers = {books + "/two-cards-save.sbk"};
    book.openSwatchBook();
    EXPECT_EQ(state.book.lastCard, 1);
    EXPECT_EQ(state.book.currentCard, 1);
    EXPECT_EQ(screen.shown.back().title, "Sea");
    EXPECT_EQ(state.book.bookFileName, "two-cards-save.sbk");
    EXPECT_EQ(state.caption.bookName, "two-cards-save.sbk");
    EXPECT_EQ(screen.caption, "Huewright - two-cards-save.sbk | page.htm");
    EXPECT_FALSE(state.book.bookModified);
    EXPECT_TRUE(on(Command::mnuSaveSwatchBookAs));
    EXPECT_TRUE(on(Command::SBtbnBin));
    EXPECT_TRUE(on(Command::SBtbnPreviousCard));
    EXPECT_FALSE(on(Command::mnuSaveSwatchBook));
}

TEST_F(Book, OpenCancelledAtTheQuestionChangesNothing) {
    addCards(2);
    screen.yesNoCancelAnswers = {Answer::Cancel};
    book.openSwatchBook();
    EXPECT_TRUE(screen.dialogs.empty());
    EXPECT_EQ(state.book.lastCard, 1);
    EXPECT_TRUE(state.book.bookModified);
}

TEST_F(Book, ABookOpenedByNameAsksAboutTheModifiedBookFirst) {
    addCards(2);
    screen.yesNoCancelAnswers = {Answer::Cancel, Answer::No};
    book.openSwatchBook(books + "/two-cards-save.sbk");
    EXPECT_EQ(screen.questions, std::vector<std::string>{"Save changes to swatch book?"});
    EXPECT_EQ(state.book.lastCard, 1);
    EXPECT_EQ(state.book.cards[1].GetTitle().str(), "Untitled-2");
    EXPECT_TRUE(state.book.bookModified);

    book.openSwatchBook(books + "/two-cards-save.sbk");
    EXPECT_EQ(screen.questions.size(), 2u);
    EXPECT_TRUE(screen.dialogs.empty());
    EXPECT_EQ(state.book.bookFileName, "two-cards-save.sbk");
    EXPECT_EQ(screen.shown.back().title, "Sea");
    EXPECT_FALSE(state.book.bookModified);
}

TEST_F(Book, ARejectedFileLeavesThePreviousBookUntouched) {
    const std::string dir = folder("rejected");
    const char* const bad[] = {
        "", "oops", "11\r\n", "-5\r\n", "1\r\n1\r\n2\r\n3\r\nAAAAAA\r\nspace\r\nspace\r\nOnly one\r\n",
        "0\r\n1\r\nzz\r\n3\r\nAAAAAA\r\nspace\r\nspace\r\nT",
    };
    screen.fileAnswers = {books + "/two-cards-saveas.sbk"};
    book.openSwatchBook();
    book.previousCard();
    const std::string before = bookFileText(state.book.cards, state.book.lastCard, true);
    int n = 0;
    for (const char* text : bad) {
        const std::string path = dir + "/bad" + std::to_string(n++) + ".sbk";
        writeFileBytes(path, text);
        screen.fileAnswers = {path};
        screen.warnings.clear();
        book.openSwatchBook();
        EXPECT_EQ(screen.warnings.size(), 1u) << text;
        EXPECT_EQ(bookFileText(state.book.cards, state.book.lastCard, true), before) << text;
        EXPECT_EQ(state.book.currentCard, 0) << text;
        EXPECT_EQ(state.book.bookPath, books + "/two-cards-saveas.sbk") << text;
        EXPECT_EQ(screen.caption, "Huewright - two-cards-saveas.sbk") << text;
    }
    screen.warnings.clear();
    book.openBookAtStartup(dir + "/missing.sbk");
    EXPECT_EQ(screen.warnings.size(), 1u);
    EXPECT_EQ(state.book.lastCard, 1);
}

TEST_F(Book, NewBookAfterCancelKeepsTheCardsButDropsTheFile) {
    state.book.bookPath = "/x/book.sbk";
    addCards(2);
    screen.yesNoCancelAnswers = {Answer::Cancel};
    book.newSwatchBook();
    EXPECT_EQ(state.book.lastCard, 1);
    EXPECT_TRUE(state.book.bookPath.empty());
    EXPECT_FALSE(state.book.bookModified);
    EXPECT_FALSE(on(Command::mnuSaveSwatchBookAs));

    book.newSwatchBook(); // not modified now: no question
    EXPECT_EQ(screen.questions.size(), 1u);
    EXPECT_EQ(state.book.lastCard, -1);
    EXPECT_EQ(screen.cardTitle, "Swatch Book");
    EXPECT_EQ(state.book.bookFileName, "Untitled.sbk");
    EXPECT_EQ(screen.caption, "Huewright - Untitled.sbk");
}

TEST_F(Book, ShutdownIsHeldOnlyByCancelOrAnUnfinishedSave) {
    EXPECT_TRUE(book.mayClose());
    addCards(1);
    const struct { Answer answer; std::optional<std::string> file; bool close; } rows[] = {
        {Answer::Cancel, std::nullopt, false}, {Answer::Yes, std::nullopt, false}, {Answer::No, std::nullopt, true},
    };
    for (const auto& r : rows) {
        screen.yesNoCancelAnswers = {r.answer};
        screen.fileAnswers = {r.file};
        EXPECT_EQ(book.mayClose(), r.close);
    }
}

TEST_F(Book, SteppingThroughThreeCards) {
    addCards(3);
    state.book.currentCard = 0;
    screen.shown.clear();
    book.nextCard();
    EXPECT_EQ(state.book.currentCard, 1);
    EXPECT_TRUE(on(Command::SBtbnPreviousCard));
    book.nextCard();
    EXPECT_EQ(state.book.currentCard, 2);
    EXPECT_FALSE(on(Command::SBtbnNextCard));
    ASSERT_EQ(screen.shown.size(), 2u);
    EXPECT_EQ(screen.shown[0].title, "Untitled-2");
    EXPECT_EQ(screen.shown[1].title, "Untitled-3");
    book.previousCard();
    EXPECT_TRUE(on(Command::SBtbnNextCard));
    book.previousCard();
    EXPECT_EQ(state.book.currentCard, 0);
    EXPECT_FALSE(on(Command::SBtbnPreviousCard));
    book.previousCard();
    EXPECT_EQ(state.book.currentCard, 0);
}

TEST_F(Book, SteppingInABookOfOneOrNoCards) {
    addCards(1);
    screen.shown.clear();
    book.previousCard();
    book.nextCard();
    ASSERT_EQ(screen.shown.size(), 2u);
    EXPECT_EQ(screen.shown[0].title, "Untitled-1");
    EXPECT_EQ(screen.shown[1].title, "Untitled-1");
    book.deleteCard();
    screen.shown.clear();
    book.previousCard();
    book.nextCard();
    EXPECT_TRUE(screen.shown.empty());
}

TEST_F(Book, PreviousCardEnablesNextSchemeWhenOneSchemeCardIsOpen) {
    addCards(2);
    book.previousCard();
    EXPECT_FALSE(on(Command::SBtbnNextScheme));
    state.schemeCards.resize(1);
    book.previousCard();
    EXPECT_TRUE(on(Command::SBtbnNextScheme));
}

TEST_F(Book, RenamingTheCurrentCard) {
    EXPECT_FALSE(book.beginRenameCard("Some title"));
    addCards(2);
    book.previousCard();
    EXPECT_FALSE(book.beginRenameCard(""));
    ASSERT_EQ(book.beginRenameCard("Untitled-1"), std::optional<std::string>("Untitled-1"));
    state.book.bookModified = false;
    book.renameCard("A longer title than the label shows");
    EXPECT_EQ(state.book.cards[0].GetTitle().str(), "A longer title than the label shows");
    EXPECT_EQ(screen.cardTitle, "A longer title than the label shows");
    EXPECT_FALSE(state.book.bookModified);
}
