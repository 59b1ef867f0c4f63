#include "base/Files.h"
#include "swatches/SwatchBookFile.h"

#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace hw;

namespace {

const std::string books = std::string(HW_TEST_DATA) + "/books";

std::string tempDir(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() / ("hw-books-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

BookContents parsed(const std::string& text) {
    Result<BookContents> r = parseBookText(text);
    EXPECT_TRUE(r.ok()) << r.error();
    return r ? *r : BookContents{};
}

} // namespace

TEST(SwatchBookFile, TwoCardExampleReadsBothWays) {
    for (const char* name : {"two-cards-save.sbk", "two-cards-saveas.sbk"}) {
        const Result<BookContents> r = readBookFile(books + "/" + name);
        ASSERT_TRUE(r.ok()) << r.error();
        ASSERT_EQ(r->lastCard, 1);
        const SwatchBook& a = r->cards[0];
        EXPECT_EQ(a.GetColor1(), 255);
        EXPECT_EQ(a.GetColor2(), 32768);
        EXPECT_EQ(a.GetColor3(), clWhite);
        EXPECT_EQ(a.GetCaption1().str(), "FF0000");
        EXPECT_EQ(a.GetCaption2().str(), "008000");
        EXPECT_TRUE(a.GetCaption3().IsEmpty());
        EXPECT_EQ(a.GetTitle().str(), "Untitled-1");
        const SwatchBook& b = r->cards[1];
        EXPECT_EQ(b.GetColor1(), 10053171);
        EXPECT_EQ(b.GetColor2(), 13421772);
        EXPECT_EQ(b.GetColor3(), 52479);
        EXPECT_EQ(b.GetCaption3().str(), "FFCC00");
        EXPECT_EQ(b.GetTitle().str(), "Sea");
    }
}

TEST(SwatchBookFile, TwoCardExampleWritesByteForByte) {
    const BookContents book = parsed(readFileOrEmpty(books + "/two-cards-save.sbk"));
    EXPECT_EQ(bookFileText(book.cards, book.lastCard, false), readFileOrEmpty(books + "/two-cards-save.sbk"));
    EXPECT_EQ(bookFileText(book.cards, book.lastCard, true), readFileOrEmpty(books + "/two-cards-saveas.sbk"));
}

TEST(SwatchBookFile, SpaceCaptionReadsBackWhiteWhateverTheFileSays) {
    const BookContents book = parsed("0\r\n12345\r\n255\r\n-7\r\nspace\r\nFF0000\r\nspace\r\nT");
    const SwatchBook& c = book.cards[0];
    EXPECT_EQ(c.GetColor1(), clWhite);
    EXPECT_TRUE(c.GetCaption1().IsEmpty());
    EXPECT_EQ(c.GetColor2(), 255);
    EXPECT_EQ(c.GetColor3(), clWhite);
    // And an empty caption is written as "space".
    EXPECT_EQ(bookFileText(book.cards, 0, false), "0\r\n16777215\r\n255\r\n16777215\r\nspace\r\nFF0000\r\nspace\r\nT");
}

TEST(SwatchBookFile, TitlesNeverShiftTheCardsAfterThem) {
    const struct { const char* titleLine; const char* title; } rows[] = {
        {"Sea and sky", "Sea and sky"},
        {"   Leading blanks", "Leading blanks"},
        {"A title much longer than eighteen characters", "A title much longer than eighteen characters"},
        {"", ""},
        {"   ", ""},
        {"trailing  ", "trailing  "},
    };
    for (const auto& r : rows) {
        for (const char* eol : {"\r\n", "\n"}) {
            const std::string e = eol;
            const std::string text = "1" + e + "1" + e + "2" + e + "3" + e + "AAAAAA" + e + "space" + e + "space" + e +
                                     r.titleLine + e + "4" + e + "5" + e + "6" + e + "BBBBBB" + e + "CCCCCC" + e +
                                     "DDDDDD" + e + "Last";
            const BookContents book = parsed(text);
            ASSERT_EQ(book.lastCard, 1) << r.titleLine;
            EXPECT_EQ(book.cards[0].GetTitle().str(), r.title) << r.titleLine;
            EXPECT_EQ(book.cards[1].GetColor1(), 4) << r.titleLine;
            EXPECT_EQ(book.cards[1].GetCaption3().str(), "DDDDDD") << r.titleLine;
            EXPECT_EQ(book.cards[1].GetTitle().str(), "Last") << r.titleLine;
        }
    }
}

TEST(SwatchBookFile, EmptyLastTitleRoundTrips) {
    SwatchBookCards cards;
    cards[0].SetCaption1("FF0000");
    cards[0].SetColor1(255);
    for (bool finalLineEnd : {false, true}) {
        const std::string text = bookFileText(cards, 0, finalLineEnd);
        const BookContents back = parsed(text);
        EXPECT_EQ(back.lastCard, 0);
        EXPECT_EQ(back.cards[0].GetTitle().str(), "");
        EXPECT_EQ(bookFileText(back.cards, 0, finalLineEnd), text);
    }
}

TEST(SwatchBookFile, CardCountsAtTheLimits) {
    SwatchBookCards cards;
    for (int i = 0; i < maxCards; ++i) cards[static_cast<std::size_t>(i)].SetTitle("Card " + std::to_string(i));
    EXPECT_EQ(bookFileText(cards, 0, false).substr(0, 3), "0\r\n");
    const std::string full = bookFileText(cards, 9, false);
    EXPECT_EQ(full.substr(0, 3), "9\r\n");
    const BookContents back = parsed(full);
    EXPECT_EQ(back.lastCard, 9);
    EXPECT_EQ(back.cards[9].GetTitle().str(), "Card 9");
    EXPECT_EQ(parsed("-1\r\n").lastCard, -1);
    EXPECT_EQ(bookFileText(cards, -1, true), "-1\r\n");
}

TEST(SwatchBookFile, LineEndInATitleIsWrittenAsABlank) {
    SwatchBookCards cards;
    cards[0].SetTitle("two\r\nlines");
    cards[1].SetTitle("next");
    const BookContents back = parsed(bookFileText(cards, 1, false));
    EXPECT_EQ(back.cards[0].GetTitle().str(), "two  lines");
    EXPECT_EQ(back.cards[1].GetTitle().str(), "next");
}

TEST(SwatchBookFile, MalformedFilesAreRejected) {
    const char* const malformed[] = {
        "",
        "   \r\n  ",
        "x\r\n",
        "1.5\r\n",
        "10\r\n",
        "-2\r\n",
        "99999999999\r\n",
        "2147483647\r\n",
        "-2147483648\r\n",
        "0\r\n",
        "0\r\n255\r\n",
        "0\r\n255\r\n0\r\n0\r\nFF0000\r\nspace",
        "0\r\n255\r\n0\r\n0\r\nFF0000\r\nspace\r\nspace",
        "0\r\nred\r\n0\r\n0\r\nFF0000\r\nspace\r\nspace\r\nT",
        "0\r\n12ab\r\n0\r\n0\r\nFF0000\r\nspace\r\nspace\r\nT",
        "1\r\n255\r\n0\r\n0\r\nFF0000\r\nspace\r\nspace\r\nOnly one card",
        "1\r\n255\r\n0\r\n0\r\nFF0000\r\nspace\r\nspace\r\n\r\n",
        "\x89PNG\r\n\x1a\n\0\0\0\rIHDR",
    };
    for (const char* text : malformed) {
        const Result<BookContents> r = parseBookText(text);
        EXPECT_FALSE(r.ok()) << "accepted: " << text;
        EXPECT_FALSE(r.error().empty()) << text;
    }
    // The declared count is told as read, not wrapped round.
    EXPECT_EQ(parseBookText("2147483647\r\n").error(),
              "it declares 2147483648 cards, and a swatch book holds from none to ten cards.");
    const Result<BookContents> missing = readBookFile(books + "/no-such-book.sbk");
    EXPECT_EQ(missing.error(), "The swatch book file \"" + books + "/no-such-book.sbk\" cannot be opened.");
    const std::string empty = tempDir("empty") + "/empty.sbk";
    writeFileBytes(empty, "");
    EXPECT_EQ(readBookFile(empty).error(), "The swatch book file \"" + empty + "\" cannot be read: it is empty.");
}

TEST(SwatchBookFile, AFailedWriteLeavesTheOldFileWhole) {
    const std::string dir = tempDir("atomic");
    const std::string path = dir + "/book.sbk";
    SwatchBookCards cards;
    ASSERT_TRUE(writeBookFile(path, cards, 0, false));
    const std::string before = readFileOrEmpty(path);
    const Status failed = writeBookFile(dir + "/missing/book.sbk", cards, 0, false);
    EXPECT_FALSE(failed.ok());
    EXPECT_FALSE(failed.error().empty());
    EXPECT_EQ(readFileOrEmpty(path), before);
}

TEST(BookTool, PrintsCardsAndWritesBothFileForms) {
    using test::runTool;
    test::ToolRun run = runTool("book " + books + "/two-cards-saveas.sbk");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "255\t32768\t16777215\tFF0000\t008000\t\tUntitled-1\n"
                   "10053171\t13421772\t52479\t336699\tCCCCCC\tFFCC00\tSea\n");
    const std::string dir = tempDir("tool");
    ASSERT_EQ(runTool("book " + books + "/two-cards-saveas.sbk --save " + dir + "/a.sbk").status, 0);
    ASSERT_EQ(runTool("book " + books + "/two-cards-save.sbk --save-as " + dir + "/b.sbk").status, 0);
    EXPECT_EQ(readFileOrEmpty(dir + "/a.sbk"), readFileOrEmpty(books + "/two-cards-save.sbk"));
    EXPECT_EQ(readFileOrEmpty(dir + "/b.sbk"), readFileOrEmpty(books + "/two-cards-saveas.sbk"));
    writeFileBytes(dir + "/bad.sbk", "12\r\n");
    run = runTool("book " + dir + "/bad.sbk");
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err, "");
}
