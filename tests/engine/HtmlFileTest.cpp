#include "base/Files.h"
#include "engine/HtmlFile.h"
#include "engine/WebPage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using hw::AnsiString;

namespace {

const std::string samplePage =
    "<html><head><title>Sample</title><link rel=\"stylesheet\" href=\"style#SheetFile\"></head>\n"
    "<body bgcolor=\"white\"><h1>Title</h1><p class=\"x\">Text <a href=\"page.html\">link</a></p>\n"
    "<table><tr><td id=\"own\">cell</td><td>b</td></tr></table>\n"
    "<div>div</div><font color=red>f</font><ul><li>one</li></ul><span>s</span>\n"
    "<form action=\"go.cgi\"><input type=\"text\" name=\"q\"></form>\n"
    "<img src=\"img/logo.gif\" width=10>\n"
    "</body></html>\n";

std::string fileText(const fs::path& path) { return hw::readFileOrEmpty(path.string()); }

/// A scheme's folder, the Temp folder with the recoloured copies and a folder to save into,
/// all fresh for one test.
class HtmlFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* home = std::getenv("HUEWRIGHT_HOME");
        root = fs::path(home ? home : "/tmp") /
               ("html-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root);
        scheme = root / "scheme";
        temp = root / "Temp";
        elsewhere = root / "elsewhere";
        for (const auto& f : {scheme, temp, elsewhere}) fs::create_directories(f);
    }

    static std::string instrumented(const std::string& page) {
        hw::WebPage web;
        web.InstrumentPage(AnsiString(page));
        return web.instrumentedText.str();
    }

    /// A recoloured copy in the Temp folder with its parameter file naming `source`.
    std::string recolouredCopy(const std::string& name, const std::string& source, const std::string& bytes) {
        const fs::path copy = temp / (name + ".tmp");
        hw::writeFileBytes(copy.string(), bytes);
        hw::writeFileBytes((temp / (name + ".dat")).string(), "  " + source + "\r\n6710886\r\n0\r\n100\r\n100");
        return copy.string();
    }

    /// The scheme view's insertions: a style after an element's id, a picture in place of an
    /// image's source.
    static void style(std::string& page, const std::string& id, const std::string& style) {
        const std::string at = "id='" + id + "'";
        const auto p = page.find(at);
        ASSERT_NE(p, std::string::npos) << id;
        page.insert(p + at.size(), " Style='" + style + "' ");
    }
    static void picture(std::string& page, const std::string& id, const std::string& oldSource, const std::string& copy) {
        page.erase(page.find(oldSource), oldSource.size());
        const std::string at = "id='" + id + "'";
        page.insert(page.find(at) + at.size(), " src='" + copy + "' ");
    }

    /// The sample page's working copy: coloured body and paragraph, a recoloured image and cell
    /// background, its stylesheet in an "ss" file.
    std::string sampleCopy() {
        std::string page = instrumented(samplePage);
        page.replace(page.find("style#SheetFile"), 15, "ss1A.tmp");
        hw::writeFileBytes((scheme / "ss1A.tmp").string(), "body { color: #102030; }\r\n");
        style(page, "1b", "Background-color:#FFCC00");
        style(page, "1p", "Color:#FF0000");
        picture(page, "1img", "src=\"img/logo.gif\"", recolouredCopy("im1", "/site/img/logo.gif", "GIF89a-logo"));
        style(page, "own", "Background:url(" + recolouredCopy("im2", "C:\\site\\img\\back.jpg", "JPEG-back") + ") repeat");
        const fs::path copy = scheme / "ps1.tmp";
        hw::writeFileBytes(copy.string(), page);
        return copy.string();
    }

    fs::path root, scheme, temp, elsewhere;
};

/// Every address a created file links, from its src, href and url() attributes.
std::vector<std::string> addresses(const std::string& text) {
    std::vector<std::string> found;
    const std::regex link(R"((?:src|href)\s*=\s*["']?([^"' >]+)|url\(([^)]+)\))", std::regex::icase);
    for (std::sregex_iterator i(text.begin(), text.end(), link), end; i != end; ++i)
        found.push_back((*i)[1].matched ? (*i)[1].str() : (*i)[2].str());
    return found;
}

} // namespace

TEST_F(HtmlFileTest, PageInTheSchemeFolderGetsItsStylesheetPicturesAndBanner) {
    const auto created = hw::CreatePageFile(sampleCopy(), (scheme / "site.html").string());
    ASSERT_TRUE(created) << created.error();
    const std::string page = fileText(scheme / "site.html");

    EXPECT_NE(page.find("href=\"site.css\""), std::string::npos);
    EXPECT_EQ(fileText(scheme / "site.css"), "body { color: #102030; }\r\n");
    EXPECT_EQ(fileText(scheme / "site_files" / "logo.gif"), "GIF89a-logo");
    EXPECT_NE(page.find("src='site_files/logo.gif'"), std::string::npos);
    EXPECT_EQ(fileText(scheme / "site_files" / "back.jpg"), "JPEG-back");
    EXPECT_NE(page.find("Style='Background:url(site_files/back.jpg) repeat'"), std::string::npos);
    EXPECT_NE(page.find("Style='Background-color:#FFCC00'"), std::string::npos);

    EXPECT_NE(page.find("<a href=\"https://huewright.org/\"><img border=\"0\" alt=\"Huewright\" "
                        "src=\"site_files/huewright-banner.png\"></a></div></p></body>"),
              std::string::npos);
    EXPECT_EQ(fileText(scheme / "site_files" / "huewright-banner.png").substr(1, 3), "PNG");
    for (const auto& a : addresses(page))
        EXPECT_TRUE(a.starts_with("site") || a.starts_with("https://huewright.org/")) << a;

    EXPECT_EQ(created->page, (scheme / "site.html").string());
    EXPECT_EQ(created->written.back(), created->page);
    EXPECT_EQ(created->written.size(), 5u);
    EXPECT_EQ(hw::createdNotice(*created),
              "The file site.html has been created and saved to\n" + scheme.string());
}

TEST_F(HtmlFileTest, ProgramsAdditionsAreRemovedAndThePagesOwnKept) {
    // An element id longer than any fixed window, and a paragraph with many handlers' worth of
    // attributes, must lose the program's attributes whole.
    const std::string longId(80, 'k');
    std::string page = instrumented(samplePage + "<p id=\"" + longId + "\" class=\"end\">end</p>");
    const fs::path copy = scheme / "ps2.tmp";
    hw::writeFileBytes(copy.string(), page);
    ASSERT_TRUE(hw::CreatePageFile(copy.string(), (scheme / "clean.html").string()));
    const std::string created = fileText(scheme / "clean.html");

    for (const char* gone : {" id='", " onClick", " onContextMenu", " onKeyPress", "<script", "function gkp",
                             "<IMG", "</BODY>", "  ", "\r\r"})
        EXPECT_EQ(created.find(gone), std::string::npos) << gone;
    for (const char* kept : {"<td ID=\"own\">", "ID=\"" "kkkkkkkk", "onSelectStart=\"return false;\"", "<title>Sample</title>",
                             "<h1>Title</h1>", "class=\"end\">end</p>", "<li>one</li>"})
        EXPECT_NE(created.find(kept), std::string::npos) << kept;
    // Text mode: every line ends in CR LF.
    EXPECT_EQ(std::regex_search(created, std::regex("[^\r]\n")), false);
}

TEST_F(HtmlFileTest, SavingElsewhereCarriesEverythingAlong) {
    const fs::path before = fs::current_path();
    fs::current_path(root);
    const auto created = hw::CreatePageFile(sampleCopy(), (elsewhere / "site.html").string());
    fs::current_path(before);
    ASSERT_TRUE(created) << created.error();

    const std::string page = fileText(elsewhere / "site.html");
    EXPECT_EQ(fileText(elsewhere / "site.css"), "body { color: #102030; }\r\n");
    EXPECT_EQ(fileText(elsewhere / "site_files" / "logo.gif"), "GIF89a-logo");
    EXPECT_NE(page.find("src='site_files/logo.gif'"), std::string::npos);
    EXPECT_EQ(page.find(root.string()), std::string::npos);
    EXPECT_FALSE(fs::exists(scheme / "site_files"));
    EXPECT_FALSE(fs::exists(root / "site.css"));
}

TEST_F(HtmlFileTest, ThePagesOwnPicturesTravelWithIt) {
    // A picture the scheme did not recolour, a background in an inline style and one in the
    // stylesheet: saved elsewhere, the created page still shows them; web addresses stay.
    std::string page = instrumented("<html><head><link rel=\"stylesheet\" href=\"style#SheetFile\"></head><body>"
                                    "<img src=\"img/photo.jpg\"><img src='http://example.org/w.png'>"
                                    "<div style=\"background: url('img/tile.png')\">d</div></body></html>");
    page.replace(page.find("style#SheetFile"), 15, "ss2B.tmp");
    hw::writeFileBytes((scheme / "ss2B.tmp").string(), "p { background: url(img/dots.gif) }\r\n");
    fs::create_directories(scheme / "img");
    for (const char* name : {"photo.jpg", "tile.png", "dots.gif"}) hw::writeFileBytes((scheme / "img" / name).string(), name);
    const fs::path copy = scheme / "ps2C.tmp";
    hw::writeFileBytes(copy.string(), page);

    const auto created = hw::CreatePageFile(copy.string(), (elsewhere / "site.html").string());
    ASSERT_TRUE(created) << created.error();
    const std::string out = fileText(elsewhere / "site.html");
    EXPECT_NE(out.find("src=\"site_files/photo.jpg\""), std::string::npos) << out;
    EXPECT_NE(out.find("url('site_files/tile.png')"), std::string::npos) << out;
    EXPECT_NE(out.find("http://example.org/w.png"), std::string::npos);
    EXPECT_EQ(fileText(elsewhere / "site.css"), "p { background: url(site_files/dots.gif) }\r\n");
    for (const char* name : {"photo.jpg", "tile.png", "dots.gif"})
        EXPECT_EQ(fileText(elsewhere / "site_files" / name), name);
}

TEST_F(HtmlFileTest, PictureNamesNeverClash) {
    std::string page = instrumented("<body><img src=\"a.gif\"><img src=\"b.gif\"><img src=\"c.gif\"><img src=\"d.gif\">"
                                    "<p>x</p></body>");
    const std::string logo = recolouredCopy("im3", "/site/img/logo.gif", "first logo");
    picture(page, "1img", "src=\"a.gif\"", logo);
    picture(page, "2img", "src=\"b.gif\"", recolouredCopy("im4", "/site/other/LOGO.gif", "second logo"));
    picture(page, "3img", "src=\"c.gif\"", recolouredCopy("im5", "/site/huewright-banner.png", "not the banner"));
    picture(page, "4img", "src=\"d.gif\"", logo);
    style(page, "1p", "Background:url(" + logo + ") no-repeat");
    hw::writeFileBytes((scheme / "ps3.tmp").string(), page);

    const auto created = hw::CreatePageFile((scheme / "ps3.tmp").string(), (elsewhere / "my page.html").string());
    ASSERT_TRUE(created) << created.error();
    const fs::path files = elsewhere / "my page_files";
    EXPECT_EQ(fileText(files / "logo.gif"), "first logo");
    EXPECT_EQ(fileText(files / "LOGO-2.gif"), "second logo");
    EXPECT_EQ(fileText(files / "huewright-banner-2.png"), "not the banner");
    const std::string text = fileText(elsewhere / "my page.html");
    EXPECT_EQ(addresses(text), (std::vector<std::string>{"my%20page_files/logo.gif", "my%20page_files/LOGO-2.gif",
                                                         "my%20page_files/huewright-banner-2.png",
                                                         "my%20page_files/logo.gif", "my%20page_files/logo.gif",
                                                         "https://huewright.org/",
                                                         "my%20page_files/huewright-banner.png"}));
}

namespace {

/// A frameset scheme's working files: `frames` frame copies, each an instrumented page with a
/// stylesheet and a recoloured picture, and the frameset copy showing them.
struct FramesetCopies {
    std::string frameset;
    std::vector<std::string> frames;
};

} // namespace

class HtmlFramesetTest : public HtmlFileTest {
protected:
    FramesetCopies framesetCopies(int frames) {
        FramesetCopies copies;
        std::string frameset = "<html><FRAMESET rows=\"*\">\r\n";
        for (int i = 0; i < frames; ++i) {
            const std::string n = std::to_string(i);
            std::string page = instrumented("<html><head><link rel=\"stylesheet\" href=\"style#SheetFile\"></head>"
                                            "<body><p>frame " + n + "</p><img src=\"pic.gif\"></body></html>");
            page.replace(page.find("style#SheetFile"), 15, "ssF" + n + ".tmp");
            // Frames 0 and 1 share a stylesheet text; the others have their own.
            hw::writeFileBytes((scheme / ("ssF" + n + ".tmp")).string(), "p { color: #" + (i < 2 ? "0" : n) + "; }");
            picture(page, "1img", "src=\"pic.gif\"", recolouredCopy("imF" + n, "/site/pic" + n + ".gif", "pic " + n));
            copies.frames.push_back((scheme / ("fps" + n + ".tmp")).string());
            hw::writeFileBytes(copies.frames.back(), page);
            frameset += "<frame src='fps" + n + ".tmp' name=\"f" + n + "\">\r\n";
        }
        frameset += "</FRAMESET></html>\r\n";
        copies.frameset = (scheme / "ps9.tmp").string();
        hw::writeFileBytes(copies.frameset, frameset);
        return copies;
    }

    void expectFramesWritten(int frames, const fs::path& target) {
        FramesetCopies copies = framesetCopies(frames);
        // A frame copy of an earlier frameset scheme, which this frameset does not show.
        hw::writeFileBytes((scheme / "fpsOld.tmp").string(), "<html><body>old scheme</body></html>");
        copies.frames.push_back((scheme / "fpsOld.tmp").string());

        const auto created = hw::createHtmlFile(copies.frameset, copies.frames, target.string());
        ASSERT_TRUE(created) << created.error();
        const fs::path folder = target.parent_path();
        const fs::path files = folder / (target.stem().string() + "_files");
        const std::string frameset = fileText(target);
        for (int i = 0; i < frames; ++i) {
            const std::string n = std::to_string(i);
            SCOPED_TRACE("frame " + n);
            EXPECT_NE(frameset.find("<frame src='" + target.stem().string() + "_files/frame" + n + ".html'"),
                      std::string::npos);
            const std::string frame = fileText(files / ("frame" + n + ".html"));
            EXPECT_NE(frame.find("<p>frame " + n + "</p>"), std::string::npos);
            EXPECT_NE(frame.find("src='pic" + n + ".gif'"), std::string::npos);
            EXPECT_EQ(fileText(files / ("pic" + n + ".gif")), "pic " + n);
            const std::string sheet = i < 2 ? "site.css" : "site-" + std::to_string(i) + ".css";
            EXPECT_NE(frame.find("href=\"../" + sheet + "\""), std::string::npos);
            EXPECT_EQ(fileText(folder / sheet), "p { color: #" + (i < 2 ? std::string("0") : n) + "; }");
            for (const char* gone : {" id='", " onClick", "<script", "\r\n"}) EXPECT_EQ(frame.find(gone), std::string::npos);
            for (const auto& a : addresses(frame)) EXPECT_EQ(a.find('/'), a.starts_with("../") ? 2u : std::string::npos) << a;
        }
        EXPECT_FALSE(fs::exists(files / ("frame" + std::to_string(frames) + ".html")));
        EXPECT_EQ(frameset.find("fps"), std::string::npos);
        EXPECT_EQ(frameset.find("\r\r"), std::string::npos);
        EXPECT_EQ(created->written.back(), target.string());
    }
};

TEST_F(HtmlFramesetTest, TwoFramesInTheSchemeFolder) { expectFramesWritten(2, scheme / "site.html"); }

TEST_F(HtmlFramesetTest, TwelveFramesElsewhere) { expectFramesWritten(12, elsewhere / "site.html"); }

TEST_F(HtmlFileTest, FailuresAreToldAndLeaveNoPartialFile) {
    const std::string copy = sampleCopy();

    // The page's name is taken by a folder: its write cannot be renamed into place.
    fs::create_directories(elsewhere / "taken.html" / "inside");
    const auto blocked = hw::CreatePageFile(copy, (elsewhere / "taken.html").string());
    ASSERT_FALSE(blocked);
    EXPECT_NE(blocked.error().find("taken.html"), std::string::npos);
    for (const auto& e : fs::directory_iterator(elsewhere))
        EXPECT_EQ(e.path().filename().string().find("~hw"), std::string::npos) << e.path();

    // A working copy that is gone, a folder that is not there, a file where the companion
    // folder goes, a recoloured picture deleted before its page was created.
    hw::writeFileBytes((elsewhere / "plain_files").string(), "a file");
    const std::pair<std::string, fs::path> failures[] = {
        {(scheme / "missing.tmp").string(), elsewhere / "x.html"},
        {copy, root / "no such folder" / "site.html"},
        {copy, elsewhere / "plain.html"},
        {"", elsewhere / "nopicture.html"},
    };
    for (const auto& [workingCopy, target] : failures) {
        SCOPED_TRACE(target);
        if (workingCopy.empty()) fs::remove(temp / "im1.tmp");
        const auto result = hw::CreatePageFile(workingCopy.empty() ? copy : workingCopy, target.string());
        EXPECT_FALSE(result);
        EXPECT_FALSE(result.error().empty());
        EXPECT_FALSE(fs::exists(target));
    }
}

TEST(HtmlFile, HostileWorkingCopiesEnd) {
    const char* home = std::getenv("HUEWRIGHT_HOME");
    const fs::path folder = fs::path(home ? home : "/tmp") / "html-hostile";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string longRun(200000, 'a');
    const std::string inputs[] = {
        " id='" + longRun,
        " id='unterminated> id='x' id=",
        std::string(" id='") + "k" + longRun + "'",
        " onClick=\"r('" + longRun,
        " onClick onClick=\"\" onContextMenu onKeyPress=\"gkp();",
        " onContextMenu=\"r('" + longRun + "');return false;\"",
        " on onClick=\"x\"Click=\"y\" ok",
        "<script id='script'>never closed",
        "<link href=" + longRun + ".tmp",
        "<link href='ss.tmp'>",
        "<img src=",
        "<img src='nothing.tmp'><img SRC = \"x.TMP\">",
        "<img " + longRun + " src='im.tmp'>",
        "url(",
        "url()url( )url(''.tmp)url(" + longRun + ".tmp)",
        "</body></body>",
        "",
    };
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.substr(0, 60));
        hw::writeFileBytes((folder / "ps.tmp").string(), input);
        const auto created = hw::CreatePageFile((folder / "ps.tmp").string(), (folder / "out.html").string());
        if (!created) {
            EXPECT_NE(created.error().find("ss.tmp"), std::string::npos);
            continue;
        }
        const std::string page = fileText(folder / "out.html");
        for (const char* gone : {" id='", " onClick", " onContextMenu", " onKeyPress"})
            EXPECT_EQ(page.find(gone), std::string::npos) << gone;
    }
}
