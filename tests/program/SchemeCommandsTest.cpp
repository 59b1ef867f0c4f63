#include "program/SchemeCommands.h"

#include "base/Files.h"
#include "program/DialogFolders.h"
#include "program/Session.h"
#include "engine/CookieStore.h"
#include "support/RecordingScreen.h"
#include "support/TestFolders.h"
#include "support/TestHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace hw;
using hw::test::RecordingScreen;

TEST(SchemeCards, TheBookPanelStepsInsideOneSchemeFirst) {
    RecordingScreen screen;
    ProgramState state;
    CommandStates states(screen);
    ImageBlenderCommands blender(state, screen);
    SchemeCommands schemes(state, states, screen, blender);
    const char* titles[4] = {"a.wsm", "b.wsm", "b.wsm", "b.wsm"};
    state.schemeCards.resize(4);
    for (int i = 0; i < 4; ++i) {
        state.schemeCards[static_cast<std::size_t>(i)].SetTitle(titles[i]);
        state.schemeCards[static_cast<std::size_t>(i)].SetCaption1("00000" + std::to_string(i));
    }
    state.currentSchemeCard = 1;

    // The first card of scheme b: the card before belongs to another scheme.
    schemes.SBtbnPreviousSchemeClick();
    EXPECT_EQ(state.currentSchemeCard, 1);
    EXPECT_TRUE(screen.shown.empty());
    schemes.SBtbnNextSchemeClick();
    schemes.SBtbnNextSchemeClick();
    EXPECT_EQ(state.currentSchemeCard, 3);
    ASSERT_EQ(screen.shown.size(), 2u);
    EXPECT_EQ(screen.shown.back().captions[0], "000003");
    // The last card: nothing after it.
    schemes.SBtbnNextSchemeClick();
    EXPECT_EQ(state.currentSchemeCard, 3);
    schemes.SBtbnPreviousSchemeClick();
    EXPECT_EQ(state.currentSchemeCard, 2);
    EXPECT_EQ(screen.shown.back().title, "b.wsm");
}

TEST(DialogFolders, BesideTheDocumentElseTheLastFolderOfItsKindElseTheFallback) {
    DialogFolders folders;
    ProgramState state;
    EXPECT_EQ(folders.initialFolder(FileDialog::dlgOpenWebPage, state, "/home/u/Documents"), "/home/u/Documents");

    folders.chosen(FileDialog::dlgChooseEditor, "/usr/bin/kate");
    EXPECT_EQ(folders.initialFolder(FileDialog::dlgOpenWebPage, state, "/docs"), "/docs")
        << "the editor's folder is not the pages' folder";
    folders.chosen(FileDialog::dlgOpenWebScheme, "/work/schemes/blue.wsm");
    EXPECT_EQ(folders.initialFolder(FileDialog::dlgSaveScheme, state, "/docs"), "/work/schemes");

    state.view = View::Page;
    state.pages.push_back({"/sites/shop/index.html", "/sites/shop/wp1.tmp", false, false});
    for (auto d : {FileDialog::dlgOpenWebPage, FileDialog::dlgSaveScheme, FileDialog::dlgCreateHtml})
        EXPECT_EQ(folders.initialFolder(d, state, "/docs"), "/sites/shop");
    EXPECT_EQ(folders.initialFolder(FileDialog::dlgOpen, state, "/docs"), "/docs");
    state.book.bookPath = "/books/warm.sbk";
    EXPECT_EQ(folders.initialFolder(FileDialog::dlgSaveAs, state, "/docs"), "/books");

    state.view = View::Scheme;
    PageScheme scheme;
    scheme.schemeFile = "/work/schemes/green.wsm";
    state.schemes.push_back(scheme);
    EXPECT_EQ(folders.initialFolder(FileDialog::dlgCreateHtml, state, "/docs"), "/work/schemes");
}

namespace {

namespace fs = std::filesystem;

std::string freshFolder(const std::string& name) { return hw::test::freshFolder("schemes-" + name); }
using hw::test::filesLike;

/// The record the page script writes after painting the body and a paragraph.
std::string record(const std::string& body, const std::string& paragraph) {
    return "data=initialise,?B1b$B$:B#" + body + "(1)b,?C2p$C$:C#" + paragraph + "(2)c,:Swatch:,%#" + body +
           "(1),%#" + paragraph + "(2),%%,images:endData;";
}

/// A session with a page opened from a site of its own, and the painting helpers of the tests.
struct Rig {
    explicit Rig(const std::string& name) : site(freshFolder(name)) {
        hw::test::isolateHome(name);
        writeFileBytes(site + "/index.html",
                       "<html><head><title>t</title></head><body><p>Hi</p><p>there</p></body></html>");
        session.start();
        EXPECT_TRUE(session.pages().OpenWebPageFromPath(site + "/index.html"));
    }
    /// The page script's cookie for whatever is on show, then the browser's signal.
    void paint(const std::string& body, const std::string& paragraph) {
        EXPECT_TRUE(CookieStore::setCookie(state().work.cookieAnchor.str(), record(body, paragraph)));
        session.schemes().WebBrowser1CommandStateChange();
    }
    bool saveAs(const std::string& name) {
        screen.files = {site + "/" + name};
        return session.schemes().mnuSaveWebSchemeAsClick();
    }
    std::string scheme(const std::string& name) const { return readFileOrEmpty(site + "/" + name); }
    const ProgramState& state() const { return session.state(); }
    bool on(Command c) const { return screen.isEnabled(c); }

    std::string site;
    RecordingScreen screen;
    Session session{screen};
};

} // namespace

TEST(SchemeCommands, SaveAsFromThePageViewShowsTheScheme) {
    Rig r("save-as");
    r.paint("FFCC00", "0000FF");
    ASSERT_TRUE(r.saveAs("blue.wsm"));
    EXPECT_NE(r.scheme("blue.wsm").find("B#FFCC00"), std::string::npos);
    EXPECT_TRUE(r.state().showingScheme());
    ASSERT_EQ(r.state().lastScheme(), 0);
    const PageScheme& slot = r.state().schemes[0];
    EXPECT_EQ(r.screen.navigations.back(), slot.workingCopy.str());
    EXPECT_EQ(folderOf(slot.workingCopy.str()), r.site);
    const std::string shown = readFileOrEmpty(slot.workingCopy.str());
    EXPECT_NE(shown.find("FFCC00"), std::string::npos);
    EXPECT_NE(shown.find("0000FF"), std::string::npos);
    EXPECT_EQ(r.screen.caption, "Huewright - blue.wsm");
    // Two swatch colours make one card titled by the scheme.
    ASSERT_EQ(r.state().lastSchemeCard(), 0);
    EXPECT_EQ(r.screen.card.title, "blue");
    EXPECT_EQ(r.screen.card.captions[0], "FFCC00");
    EXPECT_FALSE(r.session.schemes().hasChangeRecord()) << "the record lives in the scheme file now";
    EXPECT_TRUE(r.on(Command::mnuCreateHtmlFile));
    EXPECT_FALSE(r.on(Command::mnuUndo));
    EXPECT_FALSE(r.on(Command::mnuSaveWebScheme));
}

TEST(SchemeCommands, PaintingAStoredSchemeIsSavedAutomaticallyWhenLeftAndCommittedBySave) {
    Rig r("auto-save");
    r.paint("FFCC00", "0000FF");
    ASSERT_TRUE(r.saveAs("blue.wsm"));
    const std::string saved = r.scheme("blue.wsm");

    r.paint("00FF00", "0000FF");
    EXPECT_TRUE(r.on(Command::mnuSaveWebScheme));
    EXPECT_TRUE(r.on(Command::mnuUndo));

    // Leaving asks nothing, keeps the last explicit save as "~blue.wsm" and merges the paint.
    const auto questions = r.screen.questions.size();
    r.screen.files = {r.site + "/index.html"};
    r.session.pages().mnuOpenWebPageClick();
    EXPECT_EQ(r.screen.questions.size(), questions);
    EXPECT_EQ(readFileOrEmpty(r.site + "/~blue.wsm"), saved);
    EXPECT_NE(r.scheme("blue.wsm").find("B#00FF00"), std::string::npos);
    EXPECT_EQ(r.state().schemes[0].backupFile.str(), r.site + "/~blue.wsm");
    EXPECT_TRUE(r.state().showingPage());

    // Back to the scheme and Save: the backup goes and Save is off again.
    r.session.schemes().tbnNextSchemeClick();
    ASSERT_TRUE(r.state().showingScheme());
    EXPECT_TRUE(r.on(Command::mnuSaveWebScheme)) << "the scheme holds unsaved automatic saves";
    EXPECT_TRUE(r.session.schemes().mnuSaveWebSchemeClick());
    EXPECT_FALSE(fileExists(r.site + "/~blue.wsm"));
    EXPECT_FALSE(r.on(Command::mnuSaveWebScheme));
    EXPECT_EQ(r.state().schemes[0].backupFile.str(), "Empty");
}

TEST(SchemeCommands, ClosingAsksAboutEveryChangedSchemeAndNoRestoresTheBackup) {
    Rig r("close");
    r.paint("FFCC00", "0000FF");
    ASSERT_TRUE(r.saveAs("a.wsm"));
    const std::string a = r.scheme("a.wsm");
    r.paint("111111", "0000FF");
    // Save As from the scheme view: a copy of the scheme with the new paint merged in.
    ASSERT_TRUE(r.saveAs("b.wsm"));
    EXPECT_EQ(r.scheme("a.wsm"), a) << "the scheme copied from keeps its file";
    EXPECT_NE(r.scheme("b.wsm").find("B#111111"), std::string::npos);
    ASSERT_EQ(r.state().lastScheme(), 1);
    EXPECT_EQ(r.state().lastSchemeCard(), 1) << "the second scheme's card follows the first's";

    r.paint("222222", "0000FF");
    r.session.schemes().tbnPreviousSchemeClick(); // automatic save of b, then a on show
    ASSERT_EQ(r.state().currentScheme, 0);
    EXPECT_TRUE(fileExists(r.site + "/~b.wsm"));
    const std::string b = r.scheme("b.wsm");
    EXPECT_NE(b.find("B#222222"), std::string::npos);

    // Cancel keeps the program open and every file as it is.
    r.screen.answers = {Answer::Cancel};
    EXPECT_FALSE(r.session.FormCloseQuery());
    EXPECT_EQ(r.screen.questions.back(), "Save changes to b.wsm?");
    EXPECT_EQ(r.scheme("b.wsm"), b);

    // No: b is as it was at its last explicit save.
    r.screen.answers = {Answer::No};
    EXPECT_TRUE(r.session.FormCloseQuery());
    EXPECT_FALSE(fileExists(r.site + "/~b.wsm"));
    EXPECT_EQ(r.scheme("b.wsm").find("B#222222"), std::string::npos);
    EXPECT_NE(r.scheme("b.wsm").find("B#111111"), std::string::npos);
    EXPECT_EQ(filesLike(r.site, "ps*.tmp") + filesLike(r.site, "sb*.tmp") + filesLike(r.site, "wp*.tmp"), 0);
}

TEST(SchemeCommands, SteppingOverThreeSchemesFollowsTheButtonRules) {
    Rig r("step");
    for (const char* name : {"a.wsm", "b.wsm", "c.wsm"}) {
        r.screen.files = {r.site + "/index.html"};
        r.screen.answers = {Answer::No};
        r.session.pages().mnuOpenWebPageClick();
        r.paint("FFCC00", "0000FF");
        ASSERT_TRUE(r.saveAs(name));
    }
    ASSERT_EQ(r.state().lastScheme(), 2);
    ASSERT_EQ(r.state().currentScheme, 2);
    EXPECT_TRUE(r.on(Command::tbnPreviousScheme));
    EXPECT_FALSE(r.on(Command::tbnNextScheme));

    r.session.schemes().tbnNextSchemeClick(); // on the last: nothing
    EXPECT_EQ(r.state().currentScheme, 2);
    r.session.schemes().tbnPreviousSchemeClick();
    EXPECT_EQ(r.state().currentScheme, 1);
    EXPECT_EQ(r.screen.caption, "Huewright - b.wsm");
    EXPECT_TRUE(r.on(Command::tbnNextScheme));
    EXPECT_TRUE(r.on(Command::tbnPreviousScheme));
    r.session.schemes().tbnPreviousSchemeClick();
    EXPECT_EQ(r.state().currentScheme, 0);
    EXPECT_FALSE(r.on(Command::tbnPreviousScheme));
    EXPECT_TRUE(r.on(Command::tbnNextScheme));
    r.session.schemes().tbnPreviousSchemeClick(); // on the first: nothing
    EXPECT_EQ(r.state().currentScheme, 0);
    EXPECT_EQ(r.screen.navigations.back(), r.state().schemes[0].workingCopy.str());

    // The Undo rule: a step back leaves Undo off for the next command-state event.
    r.session.schemes().tbnNextSchemeClick();
    r.session.schemes().tbnPreviousSchemeClick();
    r.paint("123456", "0000FF");
    EXPECT_FALSE(r.on(Command::mnuUndo));
    r.paint("123457", "0000FF");
    EXPECT_TRUE(r.on(Command::mnuUndo));
}

TEST(SchemeCommands, MoreThanTenSchemesAndTheirCardsKeepWorking) {
    Rig r("eleven");
    for (int i = 0; i < 12; ++i) {
        r.paint("FFCC0" + std::to_string(i % 10), "0000FF");
        ASSERT_TRUE(r.saveAs("s" + std::to_string(i) + ".wsm")) << i;
    }
    EXPECT_EQ(r.state().lastScheme(), 11);
    EXPECT_EQ(r.state().lastSchemeCard(), 11);
    for (int i = 0; i < 11; ++i) r.session.schemes().tbnPreviousSchemeClick();
    EXPECT_EQ(r.state().currentScheme, 0);
    EXPECT_EQ(r.screen.caption, "Huewright - s0.wsm");
}

TEST(SchemeCommands, AFileThatIsNotASchemeIsToldAndChangesNothing) {
    Rig r("not-a-scheme");
    writeFileBytes(r.site + "/junk.wsm", std::string("\x00\x01" "binary\xff", 9));
    r.screen.files = {r.site + "/junk.wsm"};
    r.session.schemes().mnuOpenWebSchemeClick();
    EXPECT_EQ(r.screen.notices.size(), 1u);
    EXPECT_TRUE(r.state().schemes.empty());
    EXPECT_TRUE(r.state().showingPage());
    EXPECT_FALSE(r.session.schemes().OpenSchemeFromCommandLine(r.site + "/missing.wsm"));
    EXPECT_TRUE(r.state().schemes.empty());
}

TEST(SchemeCommands, OpeningASchemeShowsItAndEnablesSaveAs) {
    Rig r("open");
    r.paint("FFCC00", "0000FF");
    ASSERT_TRUE(r.saveAs("blue.wsm"));
    Rig other("open-other");
    other.screen.files = {r.site + "/blue.wsm"};
    other.session.schemes().mnuOpenWebSchemeClick();
    ASSERT_TRUE(other.state().showingScheme());
    EXPECT_EQ(other.screen.caption, "Huewright - blue.wsm");
    EXPECT_TRUE(other.on(Command::mnuSaveWebSchemeAs));
    EXPECT_TRUE(other.on(Command::mnuPageSetUp));
    EXPECT_NE(readFileOrEmpty(other.state().schemes[0].workingCopy.str()).find("FFCC00"), std::string::npos);
}

TEST(SchemeCommands, CreateHtmlFileWritesTheSchemeOnShowAsAFinishedPage) {
    Rig r("create-html");
    r.paint("FFCC00", "0000FF");
    ASSERT_TRUE(r.saveAs("blue.wsm"));
    ASSERT_TRUE(r.on(Command::mnuCreateHtmlFile));
    const std::string out = freshFolder("create-html-out");
    // Painting since the save: Yes saves it first.
    r.paint("00FF00", "0000FF");
    r.screen.answers = {Answer::Yes};
    r.screen.files = {out + "/site.html"};
    r.session.schemes().mnuCreateHtmlFileClick();
    EXPECT_EQ(r.screen.questions.back(), "Save changes to blue.wsm?");
    EXPECT_EQ(r.screen.dialogs.back(), FileDialog::dlgCreateHtml);
    ASSERT_FALSE(r.screen.notices.empty());
    EXPECT_EQ(r.screen.notices.back(), "The file site.html has been created and saved to\n" + out);
    const std::string page = readFileOrEmpty(out + "/site.html");
    EXPECT_NE(page.find("#00FF00"), std::string::npos);
    EXPECT_EQ(page.find("onClick"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(out + "/site_files"));

    // A target that cannot be written is told, not announced as created.
    r.screen.files = {out + "/no/such/folder/site.html"};
    r.session.schemes().mnuCreateHtmlFileClick();
    EXPECT_EQ(r.screen.notices.back().find("has been created"), std::string::npos);
}

TEST(SchemeCommands, ExportStylesheetWritesTheSchemeOnShowAsRulesForItsPage) {
    Rig r("export-css");
    EXPECT_FALSE(r.on(Command::mnuExportStylesheet));
    r.paint("FFCC00", "0000FF");
    ASSERT_TRUE(r.saveAs("blue.wsm"));
    ASSERT_TRUE(r.on(Command::mnuExportStylesheet));
    const std::string out = freshFolder("export-css-out");

    // Painting since the save: Cancel exports nothing, Yes saves first and exports the new colour.
    r.paint("00FF00", "0000FF");
    r.screen.answers = {Answer::Cancel};
    r.session.schemes().mnuExportStylesheetClick();
    EXPECT_FALSE(fileExists(out + "/blue.css"));
    r.screen.answers = {Answer::Yes};
    r.screen.files = {out + "/blue.css"};
    r.session.schemes().mnuExportStylesheetClick();
    EXPECT_EQ(r.screen.dialogs.back(), FileDialog::dlgExportStylesheet);
    const std::string css = readFileOrEmpty(out + "/blue.css");
    EXPECT_NE(css.find("body {\n  background-color: #00FF00 !important;\n}"), std::string::npos) << css;
    EXPECT_NE(css.find("body > p:nth-child(2) {\n  color: #0000FF !important;\n}"), std::string::npos) << css;

    // A target that cannot be written is told, and nothing is announced as saved.
    r.screen.files = {out + "/no/such/folder/blue.css"};
    r.session.schemes().mnuExportStylesheetClick();
    EXPECT_NE(r.screen.notices.back().find("cannot be written"), std::string::npos);

    // Back on a page, there is no scheme to export.
    r.session.pages().OpenWebPageFromPath(r.site + "/index.html");
    EXPECT_FALSE(r.on(Command::mnuExportStylesheet));
}
