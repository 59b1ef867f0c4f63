#include "base/Files.h"
#include "engine/WebPage.h"
#include "engine/SchemeFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using hw::AnsiString;
using hw::WebPage;

namespace {

fs::path freshFolder(const std::string& name) {
    const fs::path folder = fs::path(std::getenv("HUEWRIGHT_HOME") ? std::getenv("HUEWRIGHT_HOME") : "/tmp") / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

std::vector<std::string> frameCopies(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (name.starts_with("fwp") && name.ends_with(".tmp")) names.push_back(name);
    }
    return names;
}

std::string instrumented(const std::string& text) {
    WebPage page;
    page.InstrumentPage(AnsiString(text));
    return page.instrumentedText.str();
}

/// The frame copies a rewritten frameset refers to, in order.
std::vector<std::string> referredCopies(const std::string& frameset) {
    std::vector<std::string> names;
    const std::regex source("<frame src='(fwp[0-9A-Fa-f]+\\.tmp)'");
    for (std::sregex_iterator i(frameset.begin(), frameset.end(), source), end; i != end; ++i) names.push_back((*i)[1]);
    return names;
}

} // namespace

TEST(InstrumentFrameset, ThreeFramesWrittenInThreeWays) {
    const fs::path folder = freshFolder("frames3");
    const std::string pages[] = {"<p>one</p>", "<h1>two</h1>", "<td>three"};
    hw::writeFileBytes((folder / "a.html").string(), pages[0]);
    hw::writeFileBytes((folder / "b.html").string(), pages[1]);
    fs::create_directories(folder / "sub");
    hw::writeFileBytes((folder / "sub" / "c.html").string(), pages[2]);
    const std::string text = "<html><frameset cols=\"*,*,*\"><FRAME SRC=\"a.html\" name=x>"
                             "<frame src = 'b.html'><frame src=sub/c.html></frameset></html>";
    const std::string path = (folder / "index.html").string();
    hw::writeFileBytes(path, text);

    WebPage page;
    ASSERT_TRUE(page.InstrumentFrameset(AnsiString(text), path));
    const std::string out = page.framesetText.str();
    const auto copies = referredCopies(out);
    ASSERT_EQ(copies.size(), 3u) << out;
    EXPECT_EQ(out, "<html><FRAMESET cols=\"*,*,*\"><frame src='" + copies[0] + "' name=x><frame src='" + copies[1] +
                       "'><frame src='" + copies[2] + "'></frameset></html>");
    EXPECT_EQ(frameCopies(folder).size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(hw::readFileOrEmpty((folder / copies[i]).string()), instrumented(pages[i])) << i;
        EXPECT_EQ(page.frameTexts[i].str(), instrumented(pages[i]));
    }
}

TEST(InstrumentFrameset, NestedFramesetIsInstrumentedAsAPage) {
    const fs::path folder = freshFolder("nested");
    const std::string inner = "<frameset rows=\"*,*\"><frame src=\"leaf.html\"><frame src=\"leaf.html\"></frameset>";
    hw::writeFileBytes((folder / "inner.html").string(), inner);
    hw::writeFileBytes((folder / "leaf.html").string(), "<p>leaf</p>");
    const std::string text = "<frameset cols=\"*\"><frame src=\"inner.html\"></frameset>";
    WebPage page;
    ASSERT_TRUE(page.InstrumentFrameset(AnsiString(text), (folder / "index.html").string()));
    const auto copies = referredCopies(page.framesetText.str());
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(frameCopies(folder).size(), 1u);
    const std::string copy = hw::readFileOrEmpty((folder / copies[0]).string());
    EXPECT_EQ(copy, instrumented(inner));
    EXPECT_NE(copy.find("<frame src=\"leaf.html\"><frame src=\"leaf.html\">"), std::string::npos);
}

// The frameset's own script goes as a page's does.
TEST(InstrumentFrameset, FramesWithoutUsableSourceStay) {
    const fs::path folder = freshFolder("oddframes");
    const std::string far(250, 'n');
    const std::string text = "<FRAMESET><FRAME name=a><frame title=\"" + far + "\" src=\"x.html\">"
                             "<frame src=\"missing.html\"><img src=p.gif srcset=q><script src=s.js></script></FRAMESET>";
    WebPage page;
    ASSERT_TRUE(page.InstrumentFrameset(AnsiString(text), (folder / "index.html").string()));
    const std::string out = page.framesetText.str();
    const auto copies = referredCopies(out);
    ASSERT_EQ(copies.size(), 1u) << out;
    EXPECT_EQ(out, "<FRAMESET><frame name=a><frame title=\"" + far + "\" S\xA3RC=\"x.html\"><frame src='" + copies[0] +
                       "'><img S\xA3RC=p.gif s#rcset=q></FRAMESET>");
    // An unreadable frame file is an empty page.
    EXPECT_EQ(hw::readFileOrEmpty((folder / copies[0]).string()), instrumented(""));
}

TEST(InstrumentFrameset, CorpusFramesets) {
    std::error_code ec;
    if (!fs::is_directory(HW_CORPUS, ec)) GTEST_SKIP() << "no corpus";
    for (const auto& entry : fs::recursive_directory_iterator(HW_CORPUS)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".html") continue;
        const AnsiString text = WebPage::ReadPageFile(entry.path().string());
        if (!hw::isFramesetText(text)) continue;
        // Copy the page's folder: the corpus is read-only and the copies go beside the page.
        const fs::path folder = freshFolder("corpusframes");
        fs::copy(entry.path().parent_path(), folder, fs::copy_options::recursive);
        const fs::path path = folder / entry.path().filename();
        WebPage page;
        ASSERT_TRUE(page.InstrumentFrameset(text, path.string())) << path;
        const auto copies = referredCopies(page.framesetText.str());
        EXPECT_FALSE(copies.empty()) << entry.path();
        for (const auto& copy : copies) {
            const std::string frame = hw::readFileOrEmpty((folder / copy).string());
            EXPECT_TRUE(frame.starts_with("<html>")) << copy;
        }
    }
}

// ---- frame sources a hostile frameset names ------------------------------------------------

TEST(InstrumentFrameset, OnlyRegularFilesInsideTheTreeAreRead) {
    const fs::path top = freshFolder("framesources");
    const fs::path folder = top / "site";
    fs::create_directories(folder / "sub");
    hw::writeFileBytes((top / "secret.html").string(), "<p>private words</p>");
    hw::writeFileBytes((folder / "f2.html").string(), "<p>two</p>");
    hw::writeFileBytes((folder / "sub" / "ok.html").string(), "<p>ok</p>");
    fs::create_symlink(top / "secret.html", folder / "link.html");
    fs::create_directory_symlink(top, folder / "up");
    ASSERT_EQ(::mkfifo((folder / "pipe.html").c_str(), 0600), 0);
    { std::ofstream((folder / "huge.html").string()); }
    fs::resize_file(folder / "huge.html", hw::frameSourceLimit + 1);

    // Each rule is checked before anything is read, so a wrong answer cannot hang the test.
    const std::string f = folder.string();
    for (const char* refused : {"/dev/zero", "pipe.html", "huge.html", "link.html", "../secret.html", "up/secret.html",
                                "sub", "missing.html", "/etc/hostname"})
        ASSERT_EQ(hw::frameSourcePath(f, refused), "") << refused;
    EXPECT_EQ(hw::frameSourcePath(f, "sub/ok.html"), (fs::canonical(folder) / "sub" / "ok.html").string());
    EXPECT_EQ(hw::frameSourcePath(f, "sub/../f2.html"), (fs::canonical(folder) / "f2.html").string());

    const std::string fuzzed = hw::readFileOrEmpty(HW_TEST_DATA "/pages/frameset-dev-zero.html");
    ASSERT_NE(fuzzed.find("/dev/zero"), std::string::npos);
    const std::string text = fuzzed + "<frameset><frame src=pipe.html><frame src=link.html><frame src=../secret.html>"
                                      "<frame src=huge.html><frame src=up/secret.html><frame src=sub/ok.html></frameset>";
    WebPage page;
    ASSERT_TRUE(page.InstrumentFrameset(AnsiString(text), (folder / "index.html").string()));
    const auto copies = referredCopies(page.framesetText.str());
    ASSERT_EQ(copies.size(), 8u) << page.framesetText.str();
    // The sources that may not be read share one empty page; the two readable ones have theirs.
    EXPECT_EQ(hw::readFileOrEmpty((folder / copies[1]).string()), instrumented("<p>two</p>"));
    EXPECT_EQ(hw::readFileOrEmpty((folder / copies[7]).string()), instrumented("<p>ok</p>"));
    for (const int i : {0, 2, 3, 4, 5, 6}) EXPECT_EQ(copies[i], copies[0]) << i;
    EXPECT_EQ(hw::readFileOrEmpty((folder / copies[0]).string()), instrumented(""));
    EXPECT_EQ(frameCopies(folder).size(), 3u);
}

TEST(InstrumentFrameset, OneCopyPerSourceAndAbsurdCountsRefused) {
    const fs::path folder = freshFolder("manyframes");
    const std::string frame = "<p>" + std::string(100000, 'w') + "</p>";
    hw::writeFileBytes((folder / "f1.htm").string(), frame);

    const std::string fuzzed = hw::readFileOrEmpty(HW_TEST_DATA "/pages/frameset-many-frames.html");
    WebPage page;
    const auto refused = page.InstrumentFrameset(AnsiString(fuzzed), (folder / "index.html").string());
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().find("at most 500 frames"), std::string::npos) << refused.error();
    EXPECT_TRUE(frameCopies(folder).empty());

    std::string text = "<frameset>";
    for (std::size_t i = 0; i < hw::maxFrames; ++i) text += i % 2 ? "<frame src=f1.htm>" : "<frame src=\"f1.htm\">";
    text += "<frameset><frame src=f1.htm></frameset></frameset>";
    const auto over = page.InstrumentFrameset(AnsiString(text), (folder / "index.html").string());
    EXPECT_FALSE(over);

    text.erase(text.find("<frameset><frame src=f1.htm></frameset>"), 39);
    ASSERT_TRUE(page.InstrumentFrameset(AnsiString(text), (folder / "index.html").string()));
    const auto copies = referredCopies(page.framesetText.str());
    ASSERT_EQ(copies.size(), hw::maxFrames);
    for (const auto& c : copies) EXPECT_EQ(c, copies[0]);
    ASSERT_EQ(frameCopies(folder).size(), 1u);
    for (const auto& t : page.frameTexts) EXPECT_EQ(t.str(), instrumented(frame));
}

TEST(InstrumentFrameset, FramesPastTheTagBudgetShowAsEmptyPages) {
    // Each source alone is within the page limits; together they pass the tag budget, so the
    // one read last shows as an empty page instead of a working copy of a hundred megabytes.
    const fs::path folder = freshFolder("frames-budget");
    const std::string many(150000, '<');
    hw::writeFileBytes((folder / "a.html").string(), "<p>one</p>" + many);
    hw::writeFileBytes((folder / "b.html").string(), "<p>two</p>" + many);
    const std::string text = "<frameset><frame src=a.html><frame src=b.html></frameset>";
    const std::string path = (folder / "index.html").string();
    hw::writeFileBytes(path, text);
    WebPage page;
    ASSERT_TRUE(page.InstrumentFrameset(AnsiString(text), path));
    EXPECT_EQ(page.frameTexts[0].str(), instrumented("<p>one</p>" + many));
    EXPECT_EQ(page.frameTexts[1].str(), instrumented(""));
    // Saved, the frames are what was shown.
    const std::string scheme = framesetSchemeText("", AnsiString(text), folder.string()).str();
    EXPECT_NE(scheme.find("<p>one</p>"), std::string::npos);
    EXPECT_NE(scheme.find("frame[1]\n\nendFrame[1]"), std::string::npos);
    EXPECT_EQ(scheme.find("<p>two</p>"), std::string::npos);
}
