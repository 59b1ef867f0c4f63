#include "base/Files.h"
#include "engine/WebPage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
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
    page.InstrumentFrameset(AnsiString(text), path);
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
    page.InstrumentFrameset(AnsiString(text), (folder / "index.html").string());
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
    page.InstrumentFrameset(AnsiString(text), (folder / "index.html").string());
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
        page.InstrumentFrameset(text, path.string());
        const auto copies = referredCopies(page.framesetText.str());
        EXPECT_FALSE(copies.empty()) << entry.path();
        for (const auto& copy : copies) {
            const std::string frame = hw::readFileOrEmpty((folder / copy).string());
            EXPECT_TRUE(frame.starts_with("<html>")) << copy;
        }
    }
}
