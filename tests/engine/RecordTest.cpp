#include "engine/WebPage.h"
#include "engine/ChangeRecord.h"
#include "engine/WebScheme.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "engine/RecordTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace hw {
namespace {

using test::colour;
using test::cookie;
using test::entry;

const std::string bodyRecord = "initialise,?B1b$B$:B#FFCC00(52479)b,:Swatch:,%#FFCC00(52479),%%,images:endData";

std::string dataFile(const std::string& name) { return std::string(HW_TEST_DATA) + "/records/" + name; }

TEST(RecordBlock, SinglePageBlocks) {
    struct Row {
        const char* file;
        std::string expected;
    };
    const Row rows[] = {
        {"single.txt", "data\n" + bodyRecord + "\n\n"},
        // The picture's folder is called "data": the request ahead must still go whole.
        {"image-ahead.txt", "data\n" + bodyRecord + "\n\n"},
        {"image-after.txt", "data\n" + bodyRecord + "\n\n"},
        {"frames.txt", ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(pageRecordBlockOf(WebPage::ReadPageFile(dataFile(row.file))).str(), row.expected) << row.file;
    }
    EXPECT_EQ(pageRecordBlockOf("").str(), "");
    EXPECT_EQ(pageRecordBlockOf(cookie("file:///home/u/site/a.gif", "")).str(), "") << "a picture request alone";
    // Another cookie ahead of the record does not hide it.
    EXPECT_EQ(pageRecordBlockOf(cookie("theme", "dark") + cookie("data", bodyRecord)).str(), "data\n" + bodyRecord + "\n\n");
}

TEST(RecordBlock, FramesetBlockKeepsOnlyFrameRecordsInFileOrder) {
    const AnsiString text = WebPage::ReadPageFile(dataFile("frames.txt"));
    const std::string block = framesetRecordBlockOf(text).str();
    EXPECT_EQ(block.find("frameC[0]\ninitialise,?B1b$B$"), 0u);
    EXPECT_NE(block.find("frameE[0]\n\nframeC[1]\ninitialise,?C3p$C$"), std::string::npos);
    ASSERT_GE(block.size(), 11u);
    EXPECT_EQ(block.substr(block.size() - 11), "frameE[1]\n\n");
    EXPECT_EQ(block.find("file:///"), std::string::npos);
    EXPECT_EQ(block.find("~~local~~"), std::string::npos);

    // A picture request after the frames is left out too, and frame 12 is a frame like any.
    const std::string late = cookie("frameC[12]", "initialise,:Swatch:,%%frameE[12]") + cookie("file:///x/p.gif", "");
    EXPECT_EQ(framesetRecordBlockOf(late).str(), "frameC[12]\ninitialise,:Swatch:,%%frameE[12]\n\n");
}

TEST(RecordBlock, ImageRequestPath) {
    EXPECT_EQ(imageRequestPathOf(WebPage::ReadPageFile(dataFile("image-ahead.txt"))).str(), "/home/u/data/my pic.gif");
    EXPECT_EQ(imageRequestPathOf(WebPage::ReadPageFile(dataFile("image-after.txt"))).str(), "/home/u/site/pics/a b.jpg");
    EXPECT_EQ(imageRequestPathOf(WebPage::ReadPageFile(dataFile("frames.txt"))).str(), "/home/u/fs/logo.gif");
    EXPECT_EQ(imageRequestPathOf(WebPage::ReadPageFile(dataFile("single.txt"))).str(), "");
    // Every escape is decoded, not only blanks; the newest request is the one appended last.
    EXPECT_EQ(imageRequestPathOf(cookie("file:///a/old.gif", "") + cookie("file:///a/%C3%A9t%C3%A9%23.png", "")).str(),
              "/a/\xC3\xA9t\xC3\xA9#.png");
}

TEST(CookieStore, FolderText) {
    const std::pair<const char*, const char*> rows[] = {
        {"/home/u/site", "__home_u_site"}, {"/home/u/site/", "__home_u_site"}, {"/", "__"},
        {"/a", "__a"}, {"", ""}, {"relative/dir", ""},
    };
    for (const auto& [folder, text] : rows) EXPECT_EQ(cookieFolderText(folder), text) << folder;
}

class CookieStoreFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ensureFolders());
        std::filesystem::remove_all(cookiesFolder());
        std::filesystem::create_directories(cookiesFolder());
    }
    void put(const std::string& name, const std::string& text) {
        ASSERT_TRUE(writeFileBytes(joinPath(cookiesFolder(), name), text));
    }
};

TEST_F(CookieStoreFiles, FindsTheFolderFileAndReadsIt) {
    WebScheme scheme;
    scheme.cookieAnchor = "/home/u/site/wp1A2B.tmp";
    EXPECT_EQ(CookieFileName(scheme).str(), "");
    EXPECT_EQ(PageRecordBlock(scheme).str(), "") << "no cookie file gives an empty block";
    EXPECT_EQ(scheme.changeRecord.str(), "");

    put("huewright@__home_u_site2_[1].txt", cookie("data", "other"));
    put("huewright@__home_u_site_[2].txt", cookie("data", bodyRecord));
    EXPECT_EQ(CookieFileName(scheme).str(), "huewright@__home_u_site_[2].txt");
    put("huewright@__home_u_site_[1].txt", cookie("data", bodyRecord));
    EXPECT_EQ(CookieFileName(scheme).str(), "huewright@__home_u_site_[1].txt");

    EXPECT_EQ(PageRecordBlock(scheme).str(), "data\n" + bodyRecord + "\n\n");
    EXPECT_EQ(scheme.changeRecord.str(), "data\n" + bodyRecord + "\n\n");
    EXPECT_EQ(ReadCookieFile(scheme).str(), cookie("data", bodyRecord));

    scheme.cookieAnchor = "/wp1.tmp";
    put("huewright@___[1].txt", cookie("frameC[0]", "initialise,frameE[0]") + cookie("file:///pic.gif", ""));
    EXPECT_EQ(CookieFileName(scheme).str(), "huewright@___[1].txt") << "the root folder";
    EXPECT_EQ(FramesetRecordBlock(scheme).str(), "frameC[0]\ninitialise,frameE[0]\n\n");
    EXPECT_EQ(ImageRequestPath(scheme).str(), "/pic.gif");

    scheme.cookieAnchor = "";
    EXPECT_EQ(CookieFileName(scheme).str(), "");
}

TEST(RecordEntries, WalkingAnAspectGivesEveryEntryInRecordOrder) {
    AnsiString record("initialise," + entry('B', "1b", "FFCC00") + "," + entry('C', "2p", "336699") + "," +
                      entry('B', "3td", "00FF00") + "," + entry('B', "1b", "112233") + ",:Swatch:,%" + colour("FFCC00") +
                      ",%" + colour("336699") + ",%%,images:endData");
    EXPECT_EQ(swatchListOf(record).str(), "%" + colour("FFCC00") + ",%" + colour("336699") + ",");

    std::vector<std::pair<std::string, std::string>> seen;
    ColourEntry e;
    while (takeColourEntry(record, 'B', e)) seen.emplace_back(e.elementId.str(), e.hexCode.str());
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"1b", "#FFCC00"}, {"3td", "#00FF00"}, {"1b", "#112233"}};
    EXPECT_EQ(seen, expected);
    EXPECT_FALSE(hasColourEntry(record, 'B'));
    ASSERT_TRUE(takeColourEntry(record, 'C', e)) << "other aspects are untouched";
    EXPECT_EQ(e.elementId.str(), "2p");
    EXPECT_EQ(e.hexCode.str(), "#336699");
    EXPECT_FALSE(takeColourEntry(record, 'D', e));
}

TEST(RecordEntries, ImageEntryFields) {
    AnsiString record("initialise,:Swatch:,%%,images:," +
                      test::imageEntry("4img", "/home/u/site/a.gif", "", "(100,120,,30)", "255") + "," +
                      test::imageEntry("7td", "/home/u/site/bg.jpg", "repeat-x", "(90,100,,0)", "16777215") + "endData");
    ImageEntry e;
    ASSERT_TRUE(takeImageEntry(record, e));
    EXPECT_EQ(e.elementId.str(), "4img");
    EXPECT_EQ(e.sourcePath.str(), "/home/u/site/a.gif");
    EXPECT_EQ(e.repeatValue.str(), "");
    EXPECT_EQ(e.modulation.str(), "(100,120,,30)");
    EXPECT_EQ(e.oldColour.str(), "255");
    ASSERT_TRUE(takeImageEntry(record, e));
    EXPECT_EQ(e.elementId.str(), "7td");
    EXPECT_EQ(e.sourcePath.str(), "/home/u/site/bg.jpg");
    EXPECT_EQ(e.repeatValue.str(), "repeat-x");
    EXPECT_EQ(e.modulation.str(), "(90,100,,0)");
    EXPECT_EQ(e.oldColour.str(), "16777215");
    EXPECT_FALSE(takeImageEntry(record, e));
}

} // namespace
} // namespace hw
