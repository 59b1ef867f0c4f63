#include "shell/Program.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "engine/CookieStore.h"
#include "support/RecordingScreen.h"
#include "support/TestHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace hw;
using hw::test::RecordingScreen;

namespace {

std::string freshSite(const std::string& name) {
    const auto dir = fs::temp_directory_path() / ("hw-program-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    writeFileBytes((dir / "index.html").string(), "<html><head></head><body><p>Hi</p></body></html>");
    writeFileBytes((dir / "frames.htm").string(),
                   "<html><frameset cols='50%,50%'><frame src='index.html'><frame src='index.html'></frameset></html>");
    return dir.string();
}

int filesLike(const std::string& folder, const std::string& pattern) {
    int n = 0;
    for (auto& e : fs::directory_iterator(folder))
        if (wildcardMatch(pattern, e.path().filename().string())) ++n;
    return n;
}

} // namespace

TEST(CommandLine, ExtensionsAreComparedExactly) {
    struct Row {
        const char* line;
        CommandLineRequest::Kind kind;
        const char* path;
    } rows[] = {
        {"index.html", CommandLineRequest::Kind::Page, "/cwd/index.html"},
        {"page.htm", CommandLineRequest::Kind::Page, "/cwd/page.htm"},
        {"/abs/page.htm", CommandLineRequest::Kind::Page, "/abs/page.htm"},
        {"index.HTML", CommandLineRequest::Kind::Nothing, ""},
        {"blue.wsm", CommandLineRequest::Kind::Scheme, "/cwd/blue.wsm"},
        {"sub/blue.wsm", CommandLineRequest::Kind::Scheme, "/cwd/blue.wsm"},
        {"book.sbk", CommandLineRequest::Kind::Book, "/cwd/book.sbk"},
        {"book.SBK", CommandLineRequest::Kind::Nothing, ""},
        {"\"index.html\"", CommandLineRequest::Kind::Nothing, ""},
        {"dir.html/file", CommandLineRequest::Kind::Nothing, ""},
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

TEST(Program, OpeningAPageWritesAWorkingCopyBesideItAndEnablesThePageCommands) {
    const auto site = freshSite("open");
    RecordingScreen screen;
    Program program(screen);
    ASSERT_TRUE(program.OpenWebPageFromPath(site + "/index.html"));
    EXPECT_EQ(filesLike(site, "wp*.tmp"), 1);
    ASSERT_EQ(screen.navigations.size(), 1u);
    EXPECT_EQ(folderOf(screen.navigations[0]), site);
    EXPECT_EQ(program.webScheme.cookieAnchor.str(), screen.navigations[0]);
    EXPECT_EQ(screen.caption, "Huewright - index.html");
    EXPECT_TRUE(program.showingPage);
    EXPECT_TRUE(program.colourScanPending);
    for (auto c : {Command::mnuViewSource, Command::tbnEditSource, Command::mnuRefresh, Command::tbnRefresh,
                   Command::mnuEditOptions, Command::mnuViewTableBorders, Command::mnuPrintWebScheme,
                   Command::mnuPageSetUp})
        EXPECT_TRUE(screen.isEnabled(c));
    EXPECT_FALSE(screen.isEnabled(Command::mnuUndo));
}

TEST(Program, AFramesetFromTheCommandLineGetsNoColourCollection) {
    const auto site = freshSite("frameset");
    RecordingScreen screen;
    Program program(screen);
    ASSERT_TRUE(program.OpenWebPageFromPath(site + "/frames.htm"));
    EXPECT_FALSE(program.colourScanPending);
}

TEST(Program, TheHistoryGrowsPastTenPagesAndTheMenuPathSetsThePageButtons) {
    const auto site = freshSite("history");
    RecordingScreen screen;
    Program program(screen);
    for (int i = 0; i < 12; ++i) screen.files.push_back(site + "/index.html");
    for (int i = 0; i < 12; ++i) program.mnuOpenWebPageClick();
    EXPECT_EQ(program.history.lastPage, 11);
    EXPECT_EQ(program.history.currentPage, 11);
    EXPECT_EQ(program.history.workingCopies.size(), 12u);
    EXPECT_EQ(filesLike(site, "wp*.tmp"), 12);
    EXPECT_TRUE(screen.isEnabled(Command::tbnPreviousPage));
    EXPECT_FALSE(screen.isEnabled(Command::tbnNextPage));

    program.cleanUp();
    EXPECT_EQ(filesLike(site, "wp*.tmp"), 0);
}

TEST(Program, CancellingTheDialogOpensNothingButStillShowsTheBookCard) {
    RecordingScreen screen;
    Program program(screen);
    int shown = 0;
    program.hooks.showCurrentBookCard = [&] { ++shown; };
    program.mnuOpenWebPageClick();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(program.history.lastPage, -1);
    EXPECT_TRUE(screen.navigations.empty());
}

TEST(Program, AnUnreadablePageIsReportedAndTakesNoIndex) {
    RecordingScreen screen;
    Program program(screen);
    EXPECT_FALSE(program.OpenWebPageFromPath("/no/such/page.html"));
    EXPECT_EQ(screen.notices.size(), 1u);
    EXPECT_EQ(program.history.lastPage, -1);
}

TEST(Program, ClosingAsksAboutPaintingOnlyWhenThereIsARecord) {
    hw::test::isolateHome("close");
    const auto site = freshSite("close");
    RecordingScreen screen;
    Program program(screen);
    ASSERT_TRUE(program.OpenWebPageFromPath(site + "/index.html"));
    writeFileBytes(tempFolder() + "/swatchBook.js", "x");
    writeFileBytes(tempFolder() + "/im12.tmp", "x");
    writeFileBytes(tempFolder() + "/im12.dat", "x");

    // Nothing painted: no question.
    RecordingScreen quiet;
    Program unpainted(quiet);
    EXPECT_TRUE(unpainted.FormCloseQuery());
    EXPECT_TRUE(quiet.questions.empty());
    EXPECT_FALSE(fileExists(tempFolder() + "/swatchBook.js"));
    EXPECT_FALSE(fileExists(tempFolder() + "/im12.tmp"));
    EXPECT_FALSE(fileExists(tempFolder() + "/im12.dat"));

    // Painted: Cancel keeps everything, No cleans up.
    ASSERT_TRUE(CookieStore::setCookie(program.webScheme.cookieAnchor.str(), "data=initialise,:Swatch:,%%,images:endData;"));
    screen.answers = {Answer::Cancel};
    EXPECT_FALSE(program.FormCloseQuery());
    EXPECT_EQ(filesLike(site, "wp*.tmp"), 1);
    EXPECT_TRUE(fileExists(CookieStore::fileFor(site)));

    int saved = 0;
    program.hooks.saveWebSchemeAs = [&] { ++saved; };
    screen.answers = {Answer::Yes};
    EXPECT_TRUE(program.FormCloseQuery());
    EXPECT_EQ(saved, 1);
    EXPECT_EQ(screen.questions.back(), "Save changes to Untitled.wsm?");
    EXPECT_EQ(filesLike(site, "wp*.tmp"), 0);
    EXPECT_FALSE(fileExists(CookieStore::fileFor(site)));
}

TEST(Program, APaintInThePageViewEnablesSaveAsAndUndoAndNamesTheScheme) {
    hw::test::isolateHome("paint");
    const auto site = freshSite("paint");
    RecordingScreen screen;
    Program program(screen);
    ASSERT_TRUE(program.OpenWebPageFromPath(site + "/index.html"));
    program.WebBrowser1CommandStateChange();
    EXPECT_FALSE(screen.isEnabled(Command::mnuSaveWebSchemeAs)); // no record yet
    ASSERT_TRUE(CookieStore::setCookie(program.webScheme.cookieAnchor.str(), "data=initialise,:Swatch:,%%,images:endData;"));
    program.WebBrowser1CommandStateChange();
    EXPECT_TRUE(screen.isEnabled(Command::mnuSaveWebSchemeAs));
    EXPECT_TRUE(screen.isEnabled(Command::mnuUndo));
    EXPECT_TRUE(screen.isEnabled(Command::tbnPreviousPage));
    for (auto c : {Command::tbnEditSource, Command::mnuViewSource, Command::mnuRefresh, Command::tbnRefresh,
                   Command::mnuEditOptions})
        EXPECT_FALSE(screen.isEnabled(c));
    EXPECT_EQ(screen.caption, "Huewright - Untitled.wsm");
    program.cleanUp();
}
