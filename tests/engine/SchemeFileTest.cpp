#include "engine/WebPage.h"
#include "engine/SchemeFile.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "engine/ChangeRecord.h"
#include "engine/RecordTestSupport.h"
#include "engine/WebScheme.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace hw {
namespace {

namespace fs = std::filesystem;
using test::cookie;
using test::readAll;

const std::string bodyRecord = "initialise,?B1b$B$:B#FFCC00(52479)b,:Swatch:,%#FFCC00(52479),%%,images:endData";
const std::string bodyBlock = "data\n" + bodyRecord + "\n\n";

std::string schemes() { return std::string(HW_TEST_DATA) + "/schemes"; }

std::string schemeBytes(const std::string& block, const std::string& page) {
    return textModeBytes(singlePageSchemeText(block, WebPage::ReadPageFile(page), folderOf(page)).str());
}

TEST(SchemeFile, GoldenFiles) {
    const AnsiString frames = framesetRecordBlockOf(WebPage::ReadPageFile(std::string(HW_TEST_DATA) + "/records/frames.txt"));
    struct Row {
        const char* folder;
        const char* page;
    };
    // The worked example was written out by hand from the format's description.
    const Row pages[] = {{"worked", "index.htm"}, {"upper-link", "page.htm"}, {"style-block", "page.htm"},
                         {"both", "page.htm"}, {"no-html-end", "page.htm"}};
    for (const auto& row : pages) {
        const std::string folder = schemes() + "/" + row.folder;
        EXPECT_EQ(schemeBytes(bodyBlock, folder + "/" + row.page), readAll(folder + "/expected.wsm")) << row.folder;
    }
    const std::string frameset = schemes() + "/frameset/index.htm";
    EXPECT_EQ(textModeBytes(framesetSchemeText(frames, WebPage::ReadPageFile(frameset), folderOf(frameset)).str()),
              readAll(schemes() + "/frameset/expected.wsm"));
}

class SchemeFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ensureFolders());
        folder = tempFolder() + "/" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    std::string put(const std::string& name, const std::string& text) {
        const std::string path = folder + "/" + name;
        EXPECT_TRUE(writeFileBytes(path, text));
        return path;
    }
    std::string single(const std::string& page) {
        return singlePageSchemeText("", AnsiString(page), folder).str();
    }
    std::string frameset(const std::string& page) { return framesetSchemeText("", AnsiString(page), folder).str(); }
    std::string folder;
};

TEST_F(SchemeFolder, StylesheetBeyondTheUsualWindowIsStillStored) {
    put("far.css", "p{color:red}");
    const std::string title(450, 'x');
    const std::string text = single("<html><head><link title='" + title + "' rel=stylesheet HREF=far.CSS></head></html>");
    EXPECT_NE(text.find("beginCssData\np{color:red}\n"), std::string::npos);
    EXPECT_NE(text.find("href=style#SheetFile>"), std::string::npos);

    // A link whose target cannot be named still gives the scheme, without a stylesheet section.
    const std::string odd = single("<html><head><link rel=stylesheet title=" + title + ".CSS></head><body>b</body></html>");
    EXPECT_EQ(odd.find("beginCssData"), std::string::npos);
    EXPECT_NE(odd.find("<body>b</body></HTML>"), std::string::npos);
}

TEST_F(SchemeFolder, StylesheetNamesAndSeveralBlocks) {
    put("a b.css", "A{}");
    EXPECT_NE(single("<html><link rel='stylesheet' href = 'a b.css'></html>").find("beginCssData\nA{}\n<html>"), std::string::npos)
        << "spaces on both sides of '='";
    const std::string two = single("<html><head><style>p{}</style><style>q{}</style></head></html>");
    EXPECT_NE(two.find("beginCssData\np{}\n"), std::string::npos);
    EXPECT_NE(two.find("href=\"style#SheetFile\"><STYLE>q{}</STYLE></head>"), std::string::npos)
        << "the second block keeps its closing tag";
    const std::string open = single("<html><head><style>p{}</head><body>x</body></html>");
    EXPECT_NE(open.find("<STYLE>p{}</head><body>x</body></HTML>"), std::string::npos) << "an unclosed block stays";
}

TEST_F(SchemeFolder, FramesetWithManyFramesKeepsEveryFrame) {
    std::string page = "<html><head><script src='lib.js'></script></head><frameset rows='*'>";
    for (int i = 0; i < 12; ++i) {
        put("f" + std::to_string(i) + ".htm", "<html><body>frame " + std::to_string(i) + "</body></html>");
        page += "<frame src=\"f" + std::to_string(i) + ".htm\">";
    }
    page += "<frame name=empty></frameset></html>";
    const std::string text = frameset(page);
    for (int i = 0; i < 12; ++i) {
        const std::string n = std::to_string(i);
        EXPECT_NE(text.find("frame[" + n + "]\n<html><body>frame " + n + "</body></html>\nendFrame[" + n + "]\n"), std::string::npos) << i;
        EXPECT_NE(text.find("<frame src='frameS[" + n + "]'>"), std::string::npos) << i;
    }
    EXPECT_NE(text.find("frame[12]\n\nendFrame[12]\n"), std::string::npos) << "a frame without a source keeps its number";
    EXPECT_NE(text.find("<script S\xA3RC='lib.js'>"), std::string::npos) << "other tags' sources are left as marked";
}

TEST_F(SchemeFolder, FramePagesInUpperCaseAndWithoutHtmlTags) {
    put("up.htm", "<HTML><BODY>Up</BODY></HTML>\r\n");
    put("bare.htm", "just text");
    put("icon.htm", "<html><head><link rel=icon href=i.ico></head></html>");
    put("my page.htm", "<html>Mine</html>");
    const std::string text =
        frameset("<FRAMESET><FRAME SRC=up.htm><frame src='bare.htm'/><frame src=icon.htm><frame src=\"my page.htm\"></FRAMESET>");
    EXPECT_NE(text.find("frame[0]\n<HTML><BODY>Up</BODY></HTML>\nendFrame[0]\n\n"), std::string::npos);
    EXPECT_NE(text.find("frame[1]\njust text\nendFrame[1]\n"), std::string::npos);
    EXPECT_NE(text.find("frame[2]\n<html><head><link rel=icon href=i.ico></head></html>\nendFrame[2]\n"), std::string::npos)
        << "a frame whose only link is not a stylesheet is still written";
    EXPECT_NE(text.find("frame[3]\n<html>Mine</html>\nendFrame[3]\n"), std::string::npos) << "a quoted name with a blank";
    EXPECT_NE(text.find("\n[indexString]\n<frameset><frame src='frameS[0]'><frame src='frameS[1]'/><frame src='frameS[2]'><frame src='frameS[3]'></FRAMESET>\n[endIndexString]"),
              std::string::npos);
}

TEST_F(SchemeFolder, WritersUseThePageTheCookieStoreAndReportFailures) {
    fs::copy_file(schemes() + "/worked/index.htm", folder + "/index.htm");
    fs::copy_file(schemes() + "/worked/site.css", folder + "/site.css");
    fs::create_directories(cookiesFolder());
    ASSERT_TRUE(writeFileBytes(cookiesFolder() + "/huewright@" + cookieFolderText(folder) + "_[1].txt", cookie("data", bodyRecord)));

    WebScheme scheme;
    scheme.pageFile = folder + "/index.htm";
    scheme.cookieAnchor = folder + "/wp0001.tmp";
    const std::string target = folder + "/index.wsm";
    const Status written = WriteSchemeFile(scheme, target);
    EXPECT_TRUE(written.ok()) << written.error();
    EXPECT_EQ(readAll(target), readAll(schemes() + "/worked/expected.wsm"));
    EXPECT_EQ(scheme.changeRecord.str(), bodyBlock);
    for (const auto& item : fs::directory_iterator(folder))
        EXPECT_NE(item.path().extension().string(), ".tmp") << "no temporary file is left behind";

    const Status failed = WriteSchemeFile(scheme, folder + "/missing/dir/x.wsm");
    EXPECT_FALSE(failed.ok());
    EXPECT_FALSE(failed.error().empty());
    EXPECT_FALSE(WriteFramesetSchemeFile(scheme, folder + "/missing/dir/x.wsm").ok());
}

// The scheme writer reads frame sources by the same rule as opening a frameset: a device, or a
// file outside the frameset's folder, is an empty frame.
TEST_F(SchemeFolder, FrameSourcesOutsideTheTreeAreNotRead) {
    put("f2.html", "<p>two</p>");
    const std::string secret = folder + "-secret.html";
    ASSERT_TRUE(writeFileBytes(secret, "<p>private words</p>"));
    for (const std::string& refused : {std::string("/dev/zero"), secret, std::string("../") + fileNameOf(secret)})
        ASSERT_EQ(frameSourcePath(folder, refused), "") << refused;
    const AnsiString fuzzed = WebPage::ReadPageFile(std::string(HW_TEST_DATA) + "/schemes/frame-dev-zero.html");
    ASSERT_TRUE(fuzzed.Contains("/dev/zero"));
    const std::string text =
        framesetSchemeText("", AnsiString(fuzzed.str() + "<frameset><frame src=\"" + secret + "\"></frameset>"), folder)
            .str();
    EXPECT_NE(text.find("two"), std::string::npos);
    EXPECT_EQ(text.find("private words"), std::string::npos);
    fs::remove(secret);
}

// Save As reads the page again, and a frameset may name one large frame source many times: a
// page that grew past the limit since it was opened, or a scheme too large to open again, is
// told and nothing is written (the frameset's text stops growing once past that size).
TEST_F(SchemeFolder, ASchemeThatCouldNotBeOpenedAgainIsNotWritten) {
    put("big.html", "<html><body><p>" + std::string(1 << 20, 'w') + "</p></body></html>");
    std::string frames = "<html><frameset>";
    for (int n = 0; n < 500; ++n) frames += "<frame src=big.html>";
    WebScheme scheme;
    scheme.pageFile = put("frames.html", frames + "</frameset></html>");
    const std::string target = folder + "/frames.wsm";
    const Status tooLarge = WriteFramesetSchemeFile(scheme, target);
    ASSERT_FALSE(tooLarge.ok());
    EXPECT_NE(tooLarge.error().find("it was not saved"), std::string::npos) << tooLarge.error();
    EXPECT_FALSE(fs::exists(target));
    EXPECT_LT(framesetSchemeText("", AnsiString(frames), folder).str().size(), std::size_t{40} << 20);

    frames = "<html><frameset>";
    for (int n = 0; n < 20; ++n) frames += "<frame src=big.html>";
    scheme.pageFile = put("frames.html", frames + "</frameset></html>");
    const Status fits = WriteFramesetSchemeFile(scheme, target);
    EXPECT_TRUE(fits.ok()) << fits.error();
    EXPECT_NE(readAll(target).find("endFrame[19]"), std::string::npos);

    scheme.pageFile = put("grown.html", "<html><body><p>");
    fs::resize_file(scheme.pageFile.str(), 20 << 20);
    const Status grown = WriteSchemeFile(scheme, folder + "/grown.wsm");
    ASSERT_FALSE(grown.ok());
    EXPECT_NE(grown.error().find("is too large to open"), std::string::npos) << grown.error();
    EXPECT_FALSE(fs::exists(folder + "/grown.wsm"));
}

} // namespace
} // namespace hw
