#include "engine/ContrastReport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace hw;

namespace {

// A collection line: frame, path, text colour, background, size, weight, tag, id, class, text.
std::string line(const std::string& path, const std::string& ink, const std::string& back,
                 const std::string& text = "words", const std::string& size = "16", const std::string& weight = "400") {
    return "0\t" + path + "\t" + ink + "\t" + back + "\t" + size + "\t" + weight + "\tp\t\t\t" + text;
}

std::vector<ContrastRow> parsed(const std::vector<std::string>& lines) {
    std::string text = "hwcontrast 1";
    for (const auto& l : lines) text += "\n" + l;
    return parseContrastCollection(text).rows;
}

ContrastRow rowWithText(const std::string& text) {
    ContrastRow r;
    r.tag = "p";
    r.path = "1/0";
    r.text = text;
    r.background = clWhite;
    r.verdict = judgeContrast(r.textColour, clWhite, 16, 400);
    return r;
}

} // namespace

TEST(ContrastReport, ListsAAFailuresThenAAAFailuresThenPicturesThenPassesLowestRatioFirst) {
    auto rows = parsed({
        line("1/0", "#000000", "#ffffff"),   // 21:1, passes
        line("1/1", "#777777", "#ffffff"),   // 4.47:1, fails AA
        line("1/2", "#595959", "#ffffff"),   // 7.0:1, passes AAA
        line("1/3", "#666666", "#ffffff"),   // 5.74:1, fails AAA only
        line("1/4", "#000000", "picture"),   // by eye
        line("1/5", "#999999", "#ffffff"),   // 2.84:1, fails AA
        line("1/6", "#777777", "#ffffff", "large", "24"), // 4.47:1 large: passes AA, fails AAA
    });
    sortContrastRows(rows);
    std::vector<std::string> keys;
    for (const auto& r : rows) keys.push_back(r.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"0:1/5", "0:1/1", "0:1/6", "0:1/3", "0:1/4", "0:1/2", "0:1/0"}));
    EXPECT_EQ(countAAFailures(rows), 2); // the picture counts neither way
    EXPECT_EQ(ratioText(rows[1].verdict.ratio), "4.47:1");
}

TEST(ContrastReport, CsvQuotesWhatWouldBreakAField) {
    const struct {
        std::string text;
        std::string field;
    } cases[] = {
        {"plain", "\"p \"\"plain\"\"\""}, // the description quotes the text itself
        {"a,b", "\"p \"\"a,b\"\"\""},
        {"two\r\nlines", "\"p \"\"two\r\nlines\"\"\""},
    };
    for (const auto& c : cases) {
        const std::string csv = contrastCsv({rowWithText(c.text)});
        const std::string body = csv.substr(csv.find("\r\n") + 2);
        EXPECT_EQ(body.substr(0, c.field.size() + 1), c.field + ",") << c.text;
    }
    ContrastRow bare = rowWithText("");
    bare.id = "x";
    ContrastRow picture = bare;
    picture.background.reset();
    EXPECT_EQ(contrastCsv({bare, picture}),
              "Element,Frame,Path,Text colour,Background,Font size (px),Font weight,Ratio,Lc,AA,AAA\r\n"
              "p#x,0,1/0,#000000,#FFFFFF,16,400,21.00:1,106,pass,pass\r\n"
              "p#x,0,1/0,#000000,over a picture,16,400,,,check by eye,check by eye\r\n");
}

TEST(ContrastReport, HtmlEscapesAllPageText) {
    ContrastRow r = rowWithText("<script>alert('x')</script> & \"q\"");
    r.id = "a\"><img src=x onerror=y>";
    r.className = "<b>";
    const std::string html = contrastHtml({r}, "<page>.html");
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_EQ(html.find("<img"), std::string::npos);
    EXPECT_EQ(html.find("<b>"), std::string::npos);
    EXPECT_EQ(html.find("<page>"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;q&quot;"), std::string::npos);
    EXPECT_NE(html.find("&lt;page&gt;.html"), std::string::npos);
}

TEST(ContrastReport, MalformedCollectionLinesAreSkippedAndCounted) {
    const std::string good = line("1/2", "#777777", "#ffffff");
    const std::vector<std::string> malformed = {
        "",                                                    // nothing
        "0\t1/2\t#777777\t#ffffff\t16\t400\tp\t\t",            // a field short
        good + "\textra",                                      // a field over
        line("1/2", "#77777", "#ffffff"),                      // short colour
        line("1/2", "#77777g", "#ffffff"),                     // not hex
        line("1/2", "777777#", "#ffffff"),
        line("1/2", "#777777", "transparent"),
        line("", "#777777", "#ffffff"),                        // no path
        line("1//2", "#777777", "#ffffff"),
        line("1/x", "#777777", "#ffffff"),
        line("1/2", "#777777", "#ffffff", "t", "0"),           // sizes
        line("1/2", "#777777", "#ffffff", "t", "-3"),
        line("1/2", "#777777", "#ffffff", "t", "nan"),
        line("1/2", "#777777", "#ffffff", "t", "inf"),
        line("1/2", "#777777", "#ffffff", "t", "1e400"),
        line("1/2", "#777777", "#ffffff", "t", "16px"),
        line("1/2", "#777777", "#ffffff", "t", "16", "0"),     // weights
        line("1/2", "#777777", "#ffffff", "t", "16", "99999"),
        line("1/2", "#777777", "#ffffff", "t", "16", "-400"),
        line("1/2", "#777777", "#ffffff", std::string(5000, 'x')),
        "x\t1/2\t#777777\t#ffffff\t16\t400\tp\t\t\tt",        // frame
        "99999999999999999999\t1/2\t#777777\t#ffffff\t16\t400\tp\t\t\tt",
        "0\t1/2\t#777777\t#ffffff\t16\t400\t<p>\t\t\tt",       // tag
        std::string(1, '\0') + good,
    };
    for (const auto& bad : malformed) {
        const auto c = parseContrastCollection("hwcontrast 1\n" + bad + "\n" + good + "\n");
        ASSERT_EQ(c.rows.size(), 1u) << bad;
        EXPECT_EQ(c.rows[0].path, "1/2");
        EXPECT_EQ(c.rejectedLines, bad.empty() ? 0 : 1) << bad;
    }
    // Without the header nothing is believed; with it, CR LF lines read as LF ones.
    EXPECT_FALSE(parseContrastCollection(good).understood);
    EXPECT_TRUE(parseContrastCollection(good).rows.empty());
    EXPECT_FALSE(parseContrastCollection("").understood);
    EXPECT_EQ(parseContrastCollection("hwcontrast 1\r\n" + good + "\r\n").rows.size(), 1u);
}

TEST(ContrastReport, ACollectionIsReadUpToItsCap) {
    std::string text = "hwcontrast 1";
    for (int i = 0; i <= contrastCollectionCap; ++i) text += "\n" + line("1/" + std::to_string(i), "#000000", "#ffffff");
    const auto c = parseContrastCollection(text);
    EXPECT_EQ(c.rows.size(), static_cast<std::size_t>(contrastCollectionCap));
    EXPECT_TRUE(c.truncated);
    EXPECT_TRUE(parseContrastCollection("hwcontrast 1\n" + line("1", "#000000", "#ffffff") + "\ntruncated").truncated);
}

TEST(ContrastReport, DescriptionCutsTextAtFortyCharactersNotInsideOne) {
    ContrastRow r = rowWithText(std::string(39, 'a') + "\xC3\xA9\xC3\xA9"); // 41 characters, two of them é
    r.id = "intro";
    r.className = "lead  wide";
    EXPECT_EQ(r.description(), "p#intro.lead.wide \"" + std::string(39, 'a') + "\xC3\xA9...\"");
}
