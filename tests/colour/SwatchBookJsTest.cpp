#include "base/Files.h"
#include "base/Folders.h"
#include "colour/Pallet.h"
#include "colour/SwatchBookJs.h"

#include <gtest/gtest.h>

#include <vector>

#include <cstdlib>
#include <filesystem>
#include <string>

using namespace hw;

namespace {

class SwatchBookJsFile : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ensureFolders());
        removeFile(swatchBookJsPath());
    }
};

} // namespace

TEST(SwatchBookJs, BothLayoutsByteForByte) {
    const std::string a = swatchBookJsText(SwatchBookJsLayout::A, "FFFFFF", 16777215);
    const std::string b = swatchBookJsText(SwatchBookJsLayout::B, "FFFFFF", 16777215);
    EXPECT_EQ(a, "var\r\nhexCode='#FFFFFF';var\r\ndecCode='16777215';");
    EXPECT_EQ(b, "var\r\nhexCode='#FFFFFF';\r\nvar\r\ndecCode='16777215';");
    EXPECT_EQ(a.size(), 47u);
    EXPECT_EQ(b.size(), 49u);
    EXPECT_EQ(swatchBookJsText(SwatchBookJsLayout::A, "FF0000", 255),
              "var\r\nhexCode='#FF0000';var\r\ndecCode='255';");
}

TEST_F(SwatchBookJsFile, EachWriteReplacesTheWholeFile) {
    EXPECT_EQ(swatchBookJsPath(), tempFolder() + "/swatchBook.js");
    ASSERT_TRUE(writeSwatchBookJs(SwatchBookJsLayout::B, "FFFFFF", 16777215));
    ASSERT_TRUE(writeSwatchBookJs(SwatchBookJsLayout::A, "0000FF", 16711680));
    const std::string bytes = readFileOrEmpty(swatchBookJsPath());
    EXPECT_EQ(bytes, "var\r\nhexCode='#0000FF';var\r\ndecCode='16711680';");
    EXPECT_NE(bytes.back(), '\n');
}

TEST_F(SwatchBookJsFile, EmptyCaptionWritesNothingButStillPicks) {
    Pallet pallet;
    EXPECT_TRUE(paintWithSlotColour(pallet, SwatchBookJsLayout::A, "", clWhite, clWhite));
    EXPECT_FALSE(fileExists(swatchBookJsPath()));
    EXPECT_EQ(pallet.GetColor(), clWhite);
    EXPECT_EQ(pallet.GetHexCode().str(), "FFFFFF");

    EXPECT_TRUE(paintWithSlotColour(pallet, SwatchBookJsLayout::B, "336699", 10053171, 10053171));
    EXPECT_EQ(readFileOrEmpty(swatchBookJsPath()), "var\r\nhexCode='#336699';\r\nvar\r\ndecCode='10053171';");
    EXPECT_EQ(pallet.GetHexCode().str(), "336699");
}

TEST_F(SwatchBookJsFile, OnlySixHexDigitsEverReachTheFile) {
    // The caption of a hostile swatch book, and others that would run as script or break it.
    const std::string bookCaption = "x';alert(document.cookie);'";
    const std::vector<std::string> captions = {
        bookCaption, "FFCC0", "FFCC000", "#FFCC00", "GGGGGG", "FF CC00", "FFCC0'", "FFCC00\n", "';//",
        std::string("FFCC\0" "0", 7), "\xEF\xBC\xA6" "FCC00", " FFCC00",
    };
    ASSERT_TRUE(writeSwatchBookJs(SwatchBookJsLayout::A, "abcdef", 15715755));
    const std::string before = readFileOrEmpty(swatchBookJsPath());
    for (const auto& caption : captions) {
        const auto written = writeSwatchBookJs(SwatchBookJsLayout::B, caption, 52479);
        EXPECT_FALSE(written) << caption;
        EXPECT_NE(written.error().find("six hexadecimal digits"), std::string::npos) << caption;
        Pallet pallet;
        EXPECT_FALSE(paintWithSlotColour(pallet, SwatchBookJsLayout::A, caption, 52479, clWhite)) << caption;
        EXPECT_EQ(pallet.GetColor(), clWhite);
        EXPECT_EQ(readFileOrEmpty(swatchBookJsPath()), before) << caption;
    }
}

TEST_F(SwatchBookJsFile, SuggestedColourPicksFirstAndAlwaysWrites) {
    Pallet pallet;
    paintWithSuggestedColour(pallet, 52479);
    EXPECT_EQ(pallet.GetColor(), 52479);
    EXPECT_EQ(pallet.GetHexCode().str(), "FFCC00");
    EXPECT_EQ(readFileOrEmpty(swatchBookJsPath()), "var\r\nhexCode='#FFCC00';var\r\ndecCode='52479';");
}

TEST(SwatchBookJs, MissingTempFolderWritesNothingAndTheColourIsStillPicked) {
    const std::string saved = std::getenv("HUEWRIGHT_HOME") ? std::getenv("HUEWRIGHT_HOME") : "";
    const std::string gone = (std::filesystem::temp_directory_path() / "hw-no-such-home-xyz").string();
    std::filesystem::remove_all(gone);
    ::setenv("HUEWRIGHT_HOME", gone.c_str(), 1);
    EXPECT_FALSE(writeSwatchBookJs(SwatchBookJsLayout::A, "FFFFFF", clWhite));
    Pallet pallet;
    paintWithSuggestedColour(pallet, 255);
    EXPECT_EQ(pallet.GetHexCode().str(), "FF0000");
    EXPECT_FALSE(std::filesystem::exists(gone));
    if (saved.empty())
        ::unsetenv("HUEWRIGHT_HOME");
    else
        ::setenv("HUEWRIGHT_HOME", saved.c_str(), 1);
}
