#include "program/SchemeCommands.h"
#include "program/SwatchBookCommands.h"

#include "base/Files.h"
#include "swatches/PaletteFormats.h"
#include "swatches/SwatchBookFile.h"
#include "support/RecordingScreen.h"
#include "support/TestFolders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace hw;
using hw::test::RecordingScreen;

namespace {

const std::string palettes = std::string(HW_TEST_DATA) + "/palettes";
const std::string books = std::string(HW_TEST_DATA) + "/books";

class PaletteCommands : public ::testing::Test {
protected:
    RecordingScreen screen;
    ProgramState state;
    CommandStates states{screen};
    SwatchBookCommands book{state, states, screen};
    std::string dir = hw::test::freshFolder("palette-commands");

    void addCards(int count) {
        for (int i = 0; i < count; ++i) book.addCard(i, i + 1, i + 2, "000000", "", "020000");
    }

    /// Everything of the book a user could see or save, and the commands' states.
    std::string snapshot() const {
        std::string s = bookFileText(state.book.cards, state.book.lastCard, true);
        s += "|current " + std::to_string(state.book.currentCard) + (state.book.bookModified ? " modified" : "") +
             " " + state.book.bookPath + "|";
        for (int c = 0; c < static_cast<int>(Command::Count); ++c)
            if (screen.isEnabled(static_cast<Command>(c))) s += std::string(commandName(static_cast<Command>(c))) + " ";
        return s;
    }

    std::string file(const std::string& name, std::string_view bytes) {
        const std::string path = dir + "/" + name;
        EXPECT_TRUE(writeFileBytes(path, bytes));
        return path;
    }
};

} // namespace

TEST_F(PaletteCommands, ARejectedImportLeavesTheBookAndWhetherItIsModifiedAsTheyWere) {
    const std::string bad[] = {
        file("bad.gpl", "GIMP Palette\n1 2 3 ok\n4 5 x six\n"),
        file("bad.ase", readFileOrEmpty(palettes + "/sample.ase").substr(0, 60)),
        file("bad.css", ":root { --a-1: #123456;"),
        file("bad.json", "{\"a\": {\"1\": {\"$type\": \"color\", \"$value\": \"#123456\"}},}"),
        file("empty.json", "{}"),
        file("unknown.txt", "0 0 0"),
        dir + "/missing.gpl",
    };
    for (bool modified : {false, true}) {
        book.openBookAtStartup(books + "/two-cards-save.sbk");
        ASSERT_EQ(state.book.lastCard, 1);
        if (modified) addCards(1);
        ASSERT_EQ(state.book.bookModified, modified);
        const std::string before = snapshot();
        for (const std::string& path : bad) {
            const std::size_t shown = screen.shown.size(), notices = screen.notices.size();
            EXPECT_FALSE(book.importPalette(path)) << path;
            EXPECT_EQ(snapshot(), before) << path;
            EXPECT_EQ(screen.shown.size(), shown) << path;
            EXPECT_EQ(screen.notices.size(), notices + 1) << "one message for " << path;
        }
    }
}

TEST_F(PaletteCommands, ImportAddsCardsAfterTheLastUpToTenAndTellsWhatWasLeftOut) {
    book.openBookAtStartup(books + "/two-cards-save.sbk");
    ASSERT_TRUE(book.importPalette(palettes + "/sample.gpl"));
    EXPECT_EQ(state.book.lastCard, 6);
    EXPECT_EQ(state.book.currentCard, 6);
    EXPECT_TRUE(state.book.bookModified);
    EXPECT_TRUE(screen.isEnabled(Command::mnuSaveSwatchBook));
    EXPECT_EQ(state.book.cards[2].GetTitle().str(), "Sea");
    EXPECT_EQ(state.book.cards[3].GetCaption3().str(), "008000");
    EXPECT_EQ(screen.shown.back().captions[0], "123456");
    EXPECT_TRUE(screen.notices.empty()) << "everything fitted";

    // Three places are left: the next three cards come in, the last two (three colours) do not.
    ASSERT_TRUE(book.importPalette(palettes + "/sample.json"));
    EXPECT_EQ(state.book.lastCard, 9);
    EXPECT_EQ(state.book.cards[9].GetCaption2().str(), "7F7F7F");
    ASSERT_EQ(screen.notices.size(), 1u);
    EXPECT_NE(screen.notices[0].find("3 colours"), std::string::npos) << screen.notices[0];

    // A full book takes nothing and stays as it was.
    const std::string full = snapshot();
    EXPECT_FALSE(book.importPalette(palettes + "/sample.css"));
    EXPECT_EQ(snapshot(), full);
    EXPECT_EQ(screen.notices.size(), 2u);
}

TEST_F(PaletteCommands, ExportWritesTheFormatTheChosenNameEndsIn) {
    book.exportSwatchBook();
    EXPECT_TRUE(screen.dialogs.empty()) << "an empty book has nothing to export";
    EXPECT_EQ(screen.notices.size(), 1u);

    book.openBookAtStartup(palettes + "/sample.sbk");
    for (const char* name : {"out.gpl", "out.ase", "out.css", "out.json"}) {
        screen.files.push_back(dir + "/" + name);
        book.exportSwatchBook();
        EXPECT_EQ(readFileOrEmpty(dir + "/" + name), readFileOrEmpty(palettes + "/sample" + std::string(name).substr(3)))
            << name;
    }
    EXPECT_EQ(screen.dialogs.back(), FileDialog::dlgExportBook);
    EXPECT_FALSE(state.book.bookModified) << "exporting is not saving";

    screen.files.push_back(dir + "/out.txt");
    book.exportSwatchBook();
    EXPECT_FALSE(fileExists(dir + "/out.txt"));
    EXPECT_EQ(screen.notices.size(), 2u);
}

TEST_F(PaletteCommands, SchemeColoursExportTheSchemeOnShow) {
    ImageBlenderCommands blender(state, screen);
    SchemeCommands schemes(state, states, screen, blender);
    schemes.exportSchemeColours();
    EXPECT_TRUE(screen.dialogs.empty()) << "no scheme on show";

    const std::string scheme = dir + "/blue.wsm";
    ASSERT_TRUE(copyFile(std::string(HW_TEST_DATA) + "/schemes/frameset/expected.wsm", scheme));
    state.schemes.emplace_back();
    state.schemes.back().schemeFile = scheme;
    state.currentScheme = 0;
    state.view = View::Scheme;
    screen.files.push_back(dir + "/blue.gpl");
    schemes.exportSchemeColours();
    ASSERT_EQ(screen.dialogs.size(), 1u);
    EXPECT_EQ(screen.dialogs.back(), FileDialog::dlgExportScheme);
    const Result<std::vector<SwatchBook>> cards = readSchemeCards(scheme);
    ASSERT_TRUE(cards.ok());
    EXPECT_EQ(readFileOrEmpty(dir + "/blue.gpl"), paletteFileText(PaletteFormat::Gimp, *cards, "blue"));
}
