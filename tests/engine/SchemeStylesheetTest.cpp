// Export Scheme as Stylesheet: each painted element named in the page as the page is written,
// the element tree a browser would build, frames, files, and pages built to be costly.

#include "engine/SchemeStylesheet.h"

#include "base/Files.h"
#include "engine/HtmlTree.h"
#include "support/TestHome.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

namespace hw {
namespace {

namespace fs = std::filesystem;

std::string sheetOf(const std::string& record, const std::string& page) {
    const auto sheets = schemeStyleSheets(AnsiString("data\ninitialise," + record + ":Swatch:,%%,images:endData\n\n" + page),
                                          {"blue.wsm", "2026-12-09"});
    return sheets.size() == 1 ? sheets[0].text : std::string("(not one stylesheet)");
}

std::string background(const std::string& id) { return "?B" + id + "$B$:B#FF0000(255)b,"; }

struct Case {
    const char* what;
    std::string page;
    std::string painted; ///< the element id instrumentation gives it
    std::string selector;
};

TEST(SchemeStylesheet, NamesEachPaintedElementInThePageAsABrowserBuildsIt) {
    const Case cases[] = {
        {"own id", "<html><body><div id=\"main\"><p>a</p></div></body></html>", "main", "#main"},
        {"own id in quirks mode matched in either case: a twin spelt otherwise takes the path",
         "<html><body><div id=Top>a</div><div ID=top>b</div></body></html>", "Top", "body > div:nth-child(1)"},
        {"own id that CSS must escape", "<html><body><p id=\"1st.x\">a</p></body></html>", "1st.x", "#\\31 st\\.x"},
        {"the body", "<html><body id=home><p>a</p></body></html>", "1b", "body"},
        {"nested, after a void element", "<html><body><br><div><img src=a.gif><p>x</p></div></body></html>", "1p",
         "body > div:nth-child(2) > p:nth-child(2)"},
        {"paragraphs and items closed by their successors",
         "<html><body><p>a<p>b<ul><li>1<li>2<li>3</ul></body></html>", "3li",
         "body > ul:nth-child(3) > li:nth-child(3)"},
        {"a block closes the paragraph", "<html><body><p>a<div>b</div></body></html>", "1div",
         "body > div:nth-child(2)"},
        {"implied html, head and body", "<title>t</title><p>a<p>b</html>", "2p", "body > p:nth-child(2)"},
        {"tables gain a tbody and close cells", "<html><body><table><tr><td>a<td>b<tr><td>c</table></body></html>",
         "3td", "body > table:nth-child(1) > tbody:nth-child(1) > tr:nth-child(2) > td:nth-child(1)"},
        {"content moved in front of its table",
         "<html><body><table><div>x</div><tr><td>a</td></tr></table></body></html>", "1div",
         "body > div:nth-child(1)"},
        {"scripts and frames the working copy drops still count",
         "<html><body><script>var s = '<p>';</script><iframe src=a.html></iframe><p>x</p></body></html>", "1p",
         "body > p:nth-child(3)"},
        {"markup in comments, raw text and attributes is no element",
         "<html><body><!-- <p> --><textarea><p></textarea><p title='<p>'>x</p></body></html>", "3p",
         "body > p:nth-child(2)"},
        {"a table ends an open paragraph only in standards mode",
         "<!DOCTYPE html><html><body><p>a<table><tr><td>x</td></tr></table></body></html>", "1table",
         "body > table:nth-child(2)"},
        {"... and not in quirks mode", "<html><body><p>a<table><tr><td>x</td></tr></table></body></html>", "1table",
         "body > p:nth-child(1) > table:nth-child(1)"},
        {"a form inside a form is dropped", "<html><body><form><form><p>x</p></form></body></html>", "1p",
         "body > form:nth-child(1) > p:nth-child(1)"},
        {"select keeps only options", "<html><body><select><div>x</div><option>o</select><p>y</p></body></html>",
         "1p", "body > p:nth-child(2)"},
        {"a formatting element across blocks is copied",
         "<html><body><font color=red><p>x<p>y</font></body></html>", "1font",
         "body > font:nth-child(1),\nbody > p:nth-child(2) > font:nth-child(1)"},
        {"a heading closes an open heading", "<html><body><h1>a<h2>b</h2></body></html>", "2h",
         "body > h2:nth-child(2)"},
    };
    for (const Case& c : cases) {
        const std::string css = sheetOf(background(c.painted), c.page);
        EXPECT_NE(css.find("\n" + c.selector + " {\n  background-color: #FF0000 !important;\n}"), std::string::npos)
            << c.what << "\n" << css;
    }
}

TEST(SchemeStylesheet, EveryAspectIsDeclaredAndTheLastEntryOfEachWins) {
    const std::string css =
        sheetOf("?B1p$B$:B#111111(1)b,?C1p$C$:C#222222(2)c,?D1p$D$:D#333333(3)d,?B1p$B$:B#444444(4)b,",
                "<html><body><p>x</p></body></html>");
    EXPECT_NE(css.find("body > p:nth-child(1) {\n  background-color: #444444 !important;\n  color: #222222 "
                       "!important;\n  border-color: #333333 !important;\n}"),
              std::string::npos)
        << css;
    EXPECT_EQ(css.find("#111111"), std::string::npos);
}

TEST(SchemeStylesheet, WhatCannotBeNamedIsCommentedOutOrNoted) {
    // "1p" is the "<p" inside the comment: the scheme view paints no element for it.
    std::string css = sheetOf(background("1p") + background("9p"), "<html><body><!-- <p> --><p>x</p></body></html>");
    EXPECT_NE(css.find("/* ? {\n  background-color: #FF0000 !important;\n} */"), std::string::npos) << css;
    EXPECT_NE(css.find("not found on its page (the scheme view shows them nowhere): 9p"), std::string::npos) << css;

    // A code that is no colour, or a comment closer in an id, cannot break out of the sheet.
    css = sheetOf("?B1p$B$:B#12}*/x(1)b,?Bx*/y$B$:B#00FF00(1)b,", "<html><body><p>x</p></body></html>");
    EXPECT_EQ(css.find("}*/"), std::string::npos) << css;
    EXPECT_EQ(css.find("x*/y"), std::string::npos) << css;
}

TEST(SchemeStylesheet, AFramesetGivesEachFrameItsOwnSheet) {
    const std::string scheme =
        "frameC[0]\n?B1p$B$:B#FF0000(255)b,?D1p$D$:D#00FF00(1)d,:Swatch:,%%,images:endData\nframeE[0]\n"
        "frameC[1]\n?B2p$B$:B#0000FF(1)b,:Swatch:,%%,images:endData\nframeE[1]\n"
        "frame[0]\n<html><body><p>a</p></body></html>\nendFrame[0]\n"
        "frame[1]\n<html><body><p>a<p>b</body></html>\nendFrame[1]\n"
        "[indexString]\n<frameset><frame src='frameS[0]'><frame src='frameS[1]'></frameset>\n[endIndexString]";
    const auto sheets = schemeStyleSheets(AnsiString(scheme), {"f.wsm", ""});
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].frame, 0);
    EXPECT_NE(sheets[0].text.find("body > p:nth-child(1) {\n  background-color: #FF0000 !important;\n}"),
              std::string::npos);
    // Frames show no border colours in the scheme view.
    EXPECT_EQ(sheets[0].text.find("#00FF00"), std::string::npos);
    EXPECT_NE(sheets[1].text.find("body > p:nth-child(2) {\n  background-color: #0000FF"), std::string::npos);
    EXPECT_EQ(frameStyleSheetPath("/site/blue.css", 1), "/site/blue-frame1.css");
    EXPECT_EQ(frameStyleSheetPath("/site/blue", 0), "/site/blue-frame0.css");
}

TEST(SchemeStylesheet, ExportWritesTheFilesOrTellsWhy) {
    test::isolateHome("stylesheet-export");
    const fs::path dir = fs::temp_directory_path() / "hw-stylesheet-export";
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string scheme = (dir / "blue.wsm").string();
    ASSERT_TRUE(writeFileBytes(scheme, "data\ninitialise,?B1p$B$:B#FF0000(255)b,:Swatch:,%%,images:endData\n\n"
                                       "<html><head><title>Home\n page</title></head><body><p>x</p></body></html>"));
    const auto written = exportSchemeStyleSheet(scheme, (dir / "blue.css").string(), "2026-12-09");
    ASSERT_TRUE(written) << written.error();
    const std::string css = readFileOrEmpty((dir / "blue.css").string());
    EXPECT_EQ(css.rfind("/* Colours of the web scheme blue.wsm for the page \"Home page\", exported by Huewright on "
                        "2026-12-09.",
                        0),
              0u)
        << css;

    ASSERT_TRUE(writeFileBytes((dir / "notes.wsm").string(), "just some words"));
    for (const std::string& bad : {(dir / "missing.wsm").string(), (dir / "notes.wsm").string()})
        EXPECT_FALSE(exportSchemeStyleSheet(bad, (dir / "x.css").string(), ""));
    EXPECT_FALSE(exportSchemeStyleSheet(scheme, (dir / "no" / "folder" / "x.css").string(), ""));
    EXPECT_FALSE(fs::exists(dir / "x.css"));
}

TEST(HtmlTree, CostlyPagesAreReadInBoundedTime) {
    const auto repeat = [](const std::string& piece, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += piece;
        return s;
    };
    std::string distinct = "<p>";
    for (int i = 0; i < 5000; ++i) distinct += "<b id=" + std::to_string(i) + ">";
    const std::string pages[] = {
        // Every paragraph would reopen copies of all five thousand.
        distinct + repeat("<p>x", 5000),
        repeat("<div>", 200000),
        repeat("<b><p>", 100000),
        repeat("<table><tr><td>", 50000),
        repeat("<a><b><i><u><s><div>", 30000) + repeat("</a>", 30000),
        repeat("<span>", 100000) + repeat("</x>", 100000),
        "<html><body><!--" + repeat("-", 500000),
        repeat("<p title='", 100000),
        repeat("<font><table><tr><td>x</td></font>", 30000),
    };
    for (const auto& page : pages) {
        const auto start = std::chrono::steady_clock::now();
        const HtmlTree tree = HtmlTree::parse(page);
        const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        // Generous for a sanitizer build; a quadratic walk of these pages takes minutes.
        EXPECT_LT(seconds, 20.0) << page.substr(0, 40);

        ASSERT_FALSE(tree.elements.empty());
        // No path grows without bound, however deep misnesting goes.
        for (std::size_t e = 0; e < tree.elements.size(); e += 997)
            ASSERT_LT(tree.childPath(static_cast<int>(e)).size(), 1100u * 32u) << page.substr(0, 40);
    }
}

} // namespace
} // namespace hw
