#include "program/Session.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "engine/CookieStore.h"
#include "support/RecordingScreen.h"
#include "support/TestFolders.h"
#include "support/TestHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace hw;
using hw::test::RecordingScreen;

namespace {

std::string freshSite(const std::string& name) {
    const std::string dir = hw::test::freshFolder("program-" + name);
    writeFileBytes(dir + "/index.html", "<html><head></head><body><p>Hi</p></body></html>");
    writeFileBytes(dir + "/frames.htm",
                   "<html><frameset cols='50%,50%'><frame src='index.html'><frame src='index.html'></frameset></html>");
    return dir;
}

using hw::test::filesLike;

} // namespace

TEST(CommandLine, NamesAFileByItsExactExtensionFromAPathOrALocalUrl) {
    struct Row {
        const char* line;
        CommandLineRequest::Kind kind;
        const char* path;
    } rows[] = {
        {"index.html", CommandLineRequest::Kind::Page, "/cwd/index.html"},
        {"page.htm", CommandLineRequest::Kind::Page, "/cwd/page.htm"},
        {"blue.wsm", CommandLineRequest::Kind::Scheme, "/cwd/blue.wsm"},
        {"book.sbk", CommandLineRequest::Kind::Book, "/cwd/book.sbk"},
        // Relative paths keep their folders; full paths ignore the current folder.
        {"site/index.html", CommandLineRequest::Kind::Page, "/cwd/site/index.html"},
        {"sub/blue.wsm", CommandLineRequest::Kind::Scheme, "/cwd/sub/blue.wsm"},
        {"../books/book.sbk", CommandLineRequest::Kind::Book, "/books/book.sbk"},
        {"./index.html", CommandLineRequest::Kind::Page, "/cwd/index.html"},
        {"/abs/page.htm", CommandLineRequest::Kind::Page, "/abs/page.htm"},
        {"/home/u/Schemes/blue.wsm", CommandLineRequest::Kind::Scheme, "/home/u/Schemes/blue.wsm"},
        {"/home/u/sea.sbk", CommandLineRequest::Kind::Book, "/home/u/sea.sbk"},
        {"/home/u/my site/a b.html", CommandLineRequest::Kind::Page, "/home/u/my site/a b.html"},
        // Local URLs, as a desktop's %u hands them over.
        {"file:///home/u/my%20site/a%20b.html", CommandLineRequest::Kind::Page, "/home/u/my site/a b.html"},
        {"file://localhost/home/u/blue.wsm", CommandLineRequest::Kind::Scheme, "/home/u/blue.wsm"},
        {"FILE:///home/u/sea.sbk", CommandLineRequest::Kind::Book, "/home/u/sea.sbk"},
        {"file://elsewhere/home/u/blue.wsm", CommandLineRequest::Kind::Nothing, ""},
        {"file:///home/u/PAGE.HTML", CommandLineRequest::Kind::Nothing, ""},
        {"http://example.com/index.html", CommandLineRequest::Kind::Nothing, ""},
        // The extension is compared exactly.
        {"index.HTML", CommandLineRequest::Kind::Nothing, ""},
        {"/home/u/index.Html", CommandLineRequest::Kind::Nothing, ""},
        {"book.SBK", CommandLineRequest::Kind::Nothing, ""},
        {"blue.WSM", CommandLineRequest::Kind::Nothing, ""},
        {"index.html~", CommandLineRequest::Kind::Nothing, ""},
        {"\"index.html\"", CommandLineRequest::Kind::Nothing, ""},
        {"dir.html/file", CommandLineRequest::Kind::Nothing, ""},
        {"page.html:1", CommandLineRequest::Kind::Nothing, ""},
        {"", CommandLineRequest::Kind::Nothing, ""},
        {"noextension", CommandLineRequest::Kind::Nothing, ""},
    };
    for (const auto& r : rows) {
        const auto got = recogniseCommandLine(r.line, "/cwd");
        EXPECT_EQ(got.kind, r.kind) << r.line;
        if (r.kind != CommandLineRequest::Kind::Nothing) {
            EXPECT_EQ(got.path, r.path) << r.line;
        }
    }
}

TEST(Session, OpeningAPageWritesAWorkingCopyBesideItAndEnablesThePageCommands) {
    const auto site = freshSite("open");
    RecordingScreen screen;
    Session session(screen);
    session.start();
    ASSERT_TRUE(session.pages().OpenWebPageFromPath(site + "/index.html"));
    EXPECT_EQ(filesLike(site, "wp*.tmp"), 1);
    ASSERT_EQ(screen.navigations.size(), 1u);
    EXPECT_EQ(folderOf(screen.navigations[0]), site);
    EXPECT_EQ(session.state().work.cookieAnchor.str(), screen.navigations[0]);
    EXPECT_EQ(session.state().pageOnShow()->workingCopy, screen.navigations[0]);
    EXPECT_EQ(screen.caption, "Huewright - index.html");
    EXPECT_TRUE(session.state().showingPage());
    EXPECT_FALSE(session.state().showingScheme());
    EXPECT_TRUE(session.pages().WebBrowser1DocumentComplete()) << "colours are collected once";
    EXPECT_FALSE(session.pages().WebBrowser1DocumentComplete());
}

TEST(Session, AFramesetFromTheCommandLineGetsNoColourCollection) {
    const auto site = freshSite("frameset");
    RecordingScreen screen;
    Session session(screen);
    ASSERT_TRUE(session.pages().OpenWebPageFromPath(site + "/frames.htm"));
    EXPECT_TRUE(session.state().pageOnShow()->frameset);
    EXPECT_FALSE(session.pages().WebBrowser1DocumentComplete());
}

TEST(Session, TheHistoryGrowsPastTenPages) {
    const auto site = freshSite("history");
    RecordingScreen screen;
    Session session(screen);
    for (int i = 0; i < 12; ++i) screen.files.push_back(site + "/index.html");
    for (int i = 0; i < 12; ++i) session.pages().mnuOpenWebPageClick();
    EXPECT_EQ(session.state().lastPage(), 11);
    EXPECT_EQ(session.state().currentPage, 11);
    EXPECT_EQ(filesLike(site, "wp*.tmp"), 12);

    session.cleanUp();
    EXPECT_EQ(filesLike(site, "wp*.tmp"), 0);
}

TEST(Session, CancellingTheDialogOpensNothing) {
    RecordingScreen screen;
    Session session(screen);
    session.pages().mnuOpenWebPageClick();
    EXPECT_EQ(session.state().lastPage(), -1);
    EXPECT_EQ(session.state().view, View::None);
    EXPECT_TRUE(screen.navigations.empty());
}

TEST(Session, APageThatCannotBeOpenedIsToldAndTakesNoIndex) {
    const auto site = freshSite("unopenable");
    RecordingScreen screen;
    Session session(screen);
    EXPECT_FALSE(session.pages().OpenWebPageFromPath("/no/such/page.html"));
    ASSERT_EQ(screen.notices.size(), 1u);
    EXPECT_NE(screen.notices[0].find("/no/such/page.html"), std::string::npos);
    EXPECT_EQ(session.state().lastPage(), -1);

    // A folder that takes no working copy.
    if (::geteuid() != 0) {
        fs::permissions(site, fs::perms::owner_read | fs::perms::owner_exec);
        screen.files = {site + "/index.html"};
        session.pages().mnuOpenWebPageClick();
        fs::permissions(site, fs::perms::owner_all);
        ASSERT_EQ(screen.notices.size(), 2u);
        EXPECT_NE(screen.notices[1].find("working copy cannot be written"), std::string::npos);
        EXPECT_EQ(session.state().lastPage(), -1);
        EXPECT_TRUE(screen.navigations.empty());
    }
}

TEST(Session, AFramesetOfTooManyFramesIsToldAndLeavesNoFilesBehind) {
    const auto site = freshSite("manyframes");
    std::string text = "<html><frameset>";
    for (int i = 0; i < 501; ++i) text += "<frame src='index.html'>";
    writeFileBytes(site + "/many.htm", text + "</frameset></html>");
    RecordingScreen screen;
    Session session(screen);
    EXPECT_FALSE(session.pages().OpenWebPageFromPath(site + "/many.htm"));
    ASSERT_EQ(screen.notices.size(), 1u);
    EXPECT_NE(screen.notices[0].find("501 frames"), std::string::npos) << screen.notices[0];
    EXPECT_EQ(session.state().lastPage(), -1);
    EXPECT_TRUE(screen.navigations.empty());
    EXPECT_EQ(filesLike(site, "*.tmp"), 0);
}

namespace {

/// A session with one page opened and painted: the page's record is in the cookie store.
struct PaintedPage {
    explicit PaintedPage(const std::string& name) : site(freshSite(name)) {
        hw::test::isolateHome(name);
        session.start();
        EXPECT_TRUE(session.pages().OpenWebPageFromPath(site + "/index.html"));
        EXPECT_TRUE(CookieStore::setCookie(session.state().work.cookieAnchor.str(),
                                           "data=initialise,?B1b$B$:B#FFCC00(52479)b,:Swatch:,%%,images:endData;"));
        session.schemes().WebBrowser1CommandStateChange();
    }
    std::string site;
    RecordingScreen screen;
    Session session{screen};
};

} // namespace

TEST(Session, ClosingWithNothingPaintedAsksNothingAndSweepsTheWorkingFiles) {
    hw::test::isolateHome("close-quiet");
    writeFileBytes(tempFolder() + "/swatchBook.js", "x");
    writeFileBytes(tempFolder() + "/im12.tmp", "x");
    writeFileBytes(tempFolder() + "/im12.dat", "x");
    RecordingScreen screen;
    Session session(screen);
    EXPECT_TRUE(session.FormCloseQuery());
    EXPECT_TRUE(screen.questions.empty());
    EXPECT_FALSE(fileExists(tempFolder() + "/swatchBook.js"));
    EXPECT_FALSE(fileExists(tempFolder() + "/im12.tmp"));
    EXPECT_FALSE(fileExists(tempFolder() + "/im12.dat"));
}

TEST(Session, ClosingAfterAPaintAsksAndCancelKeepsEverything) {
    PaintedPage p("close-cancel");
    p.screen.answers = {Answer::Cancel};
    EXPECT_FALSE(p.session.FormCloseQuery());
    EXPECT_EQ(p.screen.questions.back(), "Save changes to Untitled.wsm?");
    EXPECT_EQ(filesLike(p.site, "wp*.tmp"), 1);
    EXPECT_TRUE(fileExists(CookieStore::fileFor(p.site)));

    // Yes with the save dialog cancelled keeps the program open too: nothing was saved.
    p.screen.answers = {Answer::Yes};
    EXPECT_FALSE(p.session.FormCloseQuery());
    EXPECT_TRUE(fileExists(CookieStore::fileFor(p.site)));

    p.screen.answers = {Answer::No};
    EXPECT_TRUE(p.session.FormCloseQuery());
    EXPECT_EQ(filesLike(p.site, "wp*.tmp"), 0);
    EXPECT_FALSE(fileExists(CookieStore::fileFor(p.site)));
}

TEST(Session, ClosingWithYesSavesTheSchemeFile) {
    PaintedPage p("close-yes");
    const std::string scheme = p.site + "/blue.wsm";
    p.screen.answers = {Answer::Yes};
    p.screen.files = {scheme};
    EXPECT_TRUE(p.session.FormCloseQuery());
    ASSERT_EQ(p.screen.dialogs.back(), FileDialog::dlgSaveScheme);
    const auto text = readFileBytes(scheme);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("?B1b$B$:B#FFCC00(52479)b"), std::string::npos);
    EXPECT_EQ(filesLike(p.site, "wp*.tmp"), 0);
}

TEST(Session, ASchemeFileThatCannotBeWrittenIsToldAndThePaintingKept) {
    PaintedPage p("save-fails");
    p.screen.answers = {Answer::Yes};
    p.screen.files = {p.site + "/no/such/folder/blue.wsm"};
    EXPECT_FALSE(p.session.FormCloseQuery());
    EXPECT_EQ(p.screen.notices.size(), 1u);
    EXPECT_TRUE(fileExists(CookieStore::fileFor(p.site)));
    EXPECT_TRUE(p.session.state().schemes.empty());
}

TEST(Session, OpeningAnotherPageAfterPaintingAsksFirst) {
    PaintedPage p("leave");
    // Cancel: the painted page stays on show with its record.
    p.screen.files = {p.site + "/index.html"};
    p.screen.answers = {Answer::Cancel};
    p.session.pages().mnuOpenWebPageClick();
    EXPECT_EQ(p.screen.questions.back(), "Save changes to Untitled.wsm?");
    EXPECT_EQ(p.session.state().lastPage(), 0);
    EXPECT_TRUE(fileExists(CookieStore::fileFor(p.site)));

    // No: the next page opens and the old record goes, so the new page starts unpainted.
    p.screen.files = {p.site + "/index.html"};
    p.screen.answers = {Answer::No};
    p.session.pages().mnuOpenWebPageClick();
    EXPECT_EQ(p.session.state().lastPage(), 1);
    EXPECT_FALSE(p.session.schemes().hasChangeRecord());
    EXPECT_FALSE(p.screen.isEnabled(Command::mnuUndo));
    p.session.cleanUp();
}

TEST(Session, SaveAsWritesTheSchemeAndTheNextPaintStartsAfresh) {
    PaintedPage p("save-as");
    ASSERT_TRUE(p.screen.isEnabled(Command::mnuSaveWebSchemeAs));
    p.screen.files = {p.site + "/blue.wsm"};
    EXPECT_TRUE(p.session.schemes().mnuSaveWebSchemeAsClick());
    EXPECT_TRUE(fileExists(p.site + "/blue.wsm"));
    ASSERT_EQ(p.session.state().lastScheme(), 0);
    EXPECT_EQ(p.session.state().schemes[0].schemeFile.str(), p.site + "/blue.wsm");
    EXPECT_EQ(p.screen.caption, "Huewright - blue.wsm");
    EXPECT_FALSE(p.session.schemes().hasChangeRecord());
    // Nothing left to ask about.
    EXPECT_TRUE(p.session.FormCloseQuery());
    EXPECT_EQ(p.screen.questions.size(), 0u);
}

TEST(Session, TheImageBlenderRecoloursOnlyAfterAPickOfTheCurrentDrop) {
    PaintedPage p("blender");
    auto& blender = p.session.blender();
    blender.IBtbnRepaintDropped({10, 20}, true, clWhite, std::nullopt);
    EXPECT_EQ(p.screen.notices.back(), "Please add a new image color to the lower panel.");
    EXPECT_FALSE(blender.repaintArmed());

    blender.IBtbnRepaintDropped({10, 20}, false, clWhite, clBlack);
    EXPECT_FALSE(blender.repaintArmed()) << "a drop off the page picks nothing";

    blender.IBtbnRepaintDropped({10, 20}, true, clWhite, clBlack);
    ASSERT_TRUE(blender.repaintArmed());
    ASSERT_EQ(p.screen.pageClicks.size(), 1u);
    blender.IBtbnRepaintDropped({30, 40}, true, clWhite, clBlack);
    blender.pickAnswered(1, false); // a late answer of an earlier drop
    EXPECT_TRUE(blender.repaintArmed());
    blender.pickAnswered(4, false);
    EXPECT_FALSE(blender.repaintArmed()) << "no picture under the current drop";
}

namespace {

/// A session with three pages opened from the menu.
struct ThreePages {
    explicit ThreePages(const std::string& name) : site(freshSite(name)) {
        hw::test::isolateHome(name);
        writeFileBytes(site + "/table.html", "<html><body><table border=2><tr><td>a</td></tr></table>"
                                             "<TABLE><tr><td>b</td></tr></TABLE></body></html>");
        session.start();
        for (const char* page : {"index.html", "frames.htm", "table.html"}) {
            screen.files = {site + "/" + page};
            session.pages().mnuOpenWebPageClick();
        }
    }
    std::string onShow() const { return session.state().pageOnShow()->page; }
    std::string site;
    RecordingScreen screen;
    Session session{screen};
};

} // namespace

TEST(PageCommands, ThePageArrowsWalkTheHistoryAndStopAtItsEnds) {
    ThreePages t("arrows");
    auto& pages = t.session.pages();
    EXPECT_TRUE(t.screen.isEnabled(Command::tbnPreviousPage));
    EXPECT_FALSE(t.screen.isEnabled(Command::tbnNextPage));
    const auto shown = t.screen.navigations.size();
    pages.tbnNextPageClick(); // at the end: nothing at all
    EXPECT_EQ(t.screen.navigations.size(), shown);
    EXPECT_EQ(t.onShow(), t.site + "/table.html");

    pages.tbnPreviousPageClick();
    EXPECT_EQ(t.onShow(), t.site + "/frames.htm");
    EXPECT_EQ(t.screen.navigations.back(), t.session.state().pageOnShow()->workingCopy);
    EXPECT_EQ(t.screen.caption, "Huewright - frames.htm");
    EXPECT_TRUE(t.screen.isEnabled(Command::tbnNextPage));
    pages.tbnPreviousPageClick();
    EXPECT_EQ(t.session.state().currentPage, 0);
    EXPECT_FALSE(t.screen.isEnabled(Command::tbnPreviousPage));
    pages.tbnPreviousPageClick();
    EXPECT_EQ(t.session.state().currentPage, 0);
    EXPECT_TRUE(t.screen.isEnabled(Command::mnuRefresh));
    EXPECT_FALSE(t.screen.isEnabled(Command::mnuSaveWebSchemeAs));
    t.session.cleanUp();
}

TEST(PageCommands, LeavingAPaintedPageByTheArrowsAsksAndCancelStays) {
    ThreePages t("arrows-painted");
    ASSERT_TRUE(CookieStore::setCookie(t.session.state().work.cookieAnchor.str(),
                                       "data=initialise,?B1b$B$:B#FFCC00(52479)b,:Swatch:,%%,images:endData;"));
    t.session.schemes().WebBrowser1CommandStateChange();
    t.screen.answers = {Answer::Cancel};
    t.session.pages().tbnPreviousPageClick();
    EXPECT_EQ(t.screen.questions.back(), "Save changes to Untitled.wsm?");
    EXPECT_EQ(t.onShow(), t.site + "/table.html");
    EXPECT_TRUE(t.session.schemes().hasChangeRecord());
    t.screen.answers = {Answer::No};
    t.session.pages().tbnPreviousPageClick();
    EXPECT_EQ(t.onShow(), t.site + "/frames.htm");
    EXPECT_FALSE(t.session.schemes().hasChangeRecord());
    t.session.cleanUp();
}

TEST(PageCommands, RefreshReadsThePageAgainAndKeepsItsBorders) {
    ThreePages t("refresh");
    auto& pages = t.session.pages();
    const std::string before = t.session.state().pageOnShow()->workingCopy;
    pages.mnuViewTableBordersClick();
    EXPECT_TRUE(t.screen.isChecked(Command::mnuViewTableBorders));
    const auto marks = [](const std::string& text) {
        int n = 0;
        for (auto at = text.find("mb border=1"); at != std::string::npos; at = text.find("mb border=1", at + 1)) ++n;
        return n;
    };
    std::string copy = readFileOrEmpty(before);
    EXPECT_EQ(marks(copy), 2) << "both tables, whatever their case";
    EXPECT_NE(copy.find("border=2"), std::string::npos);

    writeFileBytes(t.site + "/table.html", "<html><body><p>edited</p><table><tr><td>c</td></tr></table></body></html>");
    pages.mnuRefreshClick();
    const std::string after = t.session.state().pageOnShow()->workingCopy;
    EXPECT_NE(after, before);
    EXPECT_FALSE(fileExists(before));
    EXPECT_EQ(t.screen.navigations.back(), after);
    copy = readFileOrEmpty(after);
    EXPECT_NE(copy.find("edited"), std::string::npos);
    EXPECT_EQ(marks(copy), 1);
    EXPECT_FALSE(t.session.pages().WebBrowser1DocumentComplete()) << "colours are not collected again";

    // Off again: only the program's marks go.
    pages.mnuViewTableBordersClick();
    EXPECT_FALSE(t.screen.isChecked(Command::mnuViewTableBorders));
    EXPECT_EQ(marks(readFileOrEmpty(after)), 0);

    // A working copy that cannot be rewritten is told and the tick stays.
    if (::geteuid() != 0) {
        fs::permissions(after, fs::perms::owner_read);
        pages.mnuViewTableBordersClick();
        fs::permissions(after, fs::perms::owner_all);
        EXPECT_FALSE(t.screen.isChecked(Command::mnuViewTableBorders));
        EXPECT_NE(t.screen.notices.back().find("cannot be rewritten"), std::string::npos);
    }
    removeFile(after);
    pages.mnuViewTableBordersClick();
    EXPECT_FALSE(t.screen.isChecked(Command::mnuViewTableBorders));
    EXPECT_NE(t.screen.notices.back().find("cannot be rewritten"), std::string::npos);
    t.session.cleanUp();
}
