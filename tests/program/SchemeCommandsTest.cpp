#include "program/SchemeCommands.h"

#include "program/DialogFolders.h"

#include "support/RecordingScreen.h"

#include <gtest/gtest.h>

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
