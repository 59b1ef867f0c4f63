// The scheme view: a scheme file applied to its page, its frames, the swatch file, the scheme
// cards and the working files written beside the scheme file.

#include "engine/SchemeView.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "engine/ChangeRecord.h"
#include "engine/RecordTestSupport.h"
#include "engine/SchemeFile.h"
#include "engine/WebPage.h"
#include "support/TestHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace hw {
namespace {

namespace fs = std::filesystem;
using test::entry;
using test::readAll;

/// Hands out "/copies/<n>-<source name>" and remembers what it was asked; a source named in
/// `failing` gives no copy.
class FakePictures : public PictureMaker {
public:
    std::string recreate(const std::string& sourcePath, const std::string& modulation,
                         const std::string& oldColour) override {
        calls.push_back(sourcePath + "|" + modulation + "|" + oldColour);
        if (failing.count(sourcePath)) return {};
        return "/copies/" + std::to_string(calls.size()) + "-" + fileNameOf(sourcePath);
    }
    std::vector<std::string> calls;
    std::set<std::string> failing;
};

std::string image(const std::string& id, const std::string& source, const std::string& repeat = "") {
    return test::imageEntry(id, source, repeat, "(100,100,,140)", "13395507");
}

std::string swatch(const std::string& hex) { return "%" + test::colour(hex) + ","; }

std::string recordOf(const std::string& entries, const std::string& swatches = "", const std::string& images = "") {
    return "initialise," + entries + ":Swatch:," + swatches + "%%,images:" + images + "endData";
}

/// A single-page scheme file's text as the writer lays it out (before its text stream).
AnsiString schemeOf(const std::string& record, const std::string& page, const std::string& css = "") {
    std::string text = "data\n" + record + "\n\n\n";
    if (!css.empty()) text += "beginCssData\n" + css + "\n";
    return AnsiString(text + page);
}

/// The text of the tag that holds "id='<id>'".
std::string tagOf(const AnsiString& page, const std::string& id) {
    const std::string& t = page.str();
    const auto at = t.find("id='" + id + "'");
    if (at == std::string::npos) return {};
    const auto start = t.rfind('<', at);
    return t.substr(start, t.find('>', at) - start + 1);
}

std::size_t countNoCase(std::string text, const std::string& lowerPart) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    std::size_t n = 0;
    for (auto p = text.find(lowerPart); p != std::string::npos; p = text.find(lowerPart, p + 1)) ++n;
    return n;
}

AnsiString apply(const std::string& record, const std::string& page, PictureMaker& pictures) {
    return applySchemeToPageText(schemeOf(record, page), "", pictures).page;
}

// ---- applying a scheme to its page -------------------------------------------------------------

TEST(SchemeView, BodyBackgroundGoesRightAfterTheBodyId) {
    FakePictures pictures;
    const AnsiString scheme = WebPage::ReadPageFile(std::string(HW_TEST_DATA) + "/schemes/worked/expected.wsm");
    const AppliedPage applied = applySchemeToPageText(scheme, "ss12.tmp", pictures);
    EXPECT_TRUE(applied.page.Contains("<body id='1b' Style='Background-color:#FFCC00'  onSelectStart="));
    EXPECT_EQ(countNoCase(tagOf(applied.page, "1b"), "style="), 1u);
    EXPECT_EQ(applied.swatchList, "%#FFCC00(52479),");

    // The stored stylesheet is the text after its marker, up to the page; the page links the copy.
    EXPECT_TRUE(applied.hasStyleSheet);
    EXPECT_EQ(applied.styleSheetText, "\r\nbody { color: navy }\r\r\n\r\n");
    EXPECT_TRUE(applied.page.Contains("href='ss12.tmp'"));
    EXPECT_FALSE(applied.page.Contains(styleSheetPlaceholder));
    EXPECT_TRUE(pictures.calls.empty());
}

TEST(SchemeView, EveryAspectOfAnElementGoesIntoOneStyleAttribute) {
    FakePictures pictures;
    const std::string page = "<html><body><p>words</p><div style=\"margin: 0 ;\">own</div><div>plain</div>"
                             "<span STYLE = 'font-family:\"Serif\"' title='a>b style=x'>s</span>"
                             "<td style=\"font-family:'Sans'\">c</td></body></html>";
    const std::string record = recordOf(entry('B', "1p", "FFCC00") + entry('C', "1p", "336699") + entry('D', "1p", "112233") +
                                        entry('B', "1div", "AA0000") + entry('C', "2div", "00AA00") +
                                        entry('C', "1span", "0000AA") + entry('C', "1td", "123456") +
                                        entry('B', "1p", "445566"));
    const AnsiString painted = apply(record, page, pictures);

    // The later background of the paragraph wins, as the later of two inserted attributes did.
    EXPECT_NE(tagOf(painted, "1p").find("id='1p' Style='Background-color:#445566;Color:#336699;border-color:#112233' "),
              std::string::npos)
        << tagOf(painted, "1p");
    // A division keeps its own declarations ahead of the colours and loses its own attribute.
    const std::string own = tagOf(painted, "1div");
    EXPECT_NE(own.find("id='1div' Style='margin: 0;Background-color:#AA0000' "), std::string::npos) << own;
    EXPECT_EQ(countNoCase(own, "style="), 1u) << own;
    // Instrumentation's layout hint on a division without a style is an own declaration too.
    EXPECT_NE(tagOf(painted, "2div").find("Style='zoom:1;Color:#00AA00' "), std::string::npos) << tagOf(painted, "2div");
    EXPECT_EQ(countNoCase(tagOf(painted, "2div"), "style="), 1u);
    // A style written in capitals with blanks round "=" is found; text inside another
    // attribute's value is not an attribute.
    const std::string span = tagOf(painted, "1span");
    EXPECT_NE(span.find("Style='font-family:\"Serif\";Color:#0000AA' "), std::string::npos) << span;
    EXPECT_TRUE(painted.Contains("title='a>b style=x'>s</span>"));
    // An own declaration with single quotes makes the attribute take double ones.
    EXPECT_NE(tagOf(painted, "1td").find("Style=\"font-family:'Sans';Color:#123456\" "), std::string::npos)
        << tagOf(painted, "1td");
}

TEST(SchemeView, AnIdThePageDoesNotHoldIsSkipped) {
    FakePictures pictures;
    const std::string page = "<html><body><p>one</p></body></html>";
    const AnsiString plain = apply(recordOf(""), page, pictures);
    const AnsiString painted =
        apply(recordOf(entry('B', "7p", "FFCC00") + entry('C', "1p", "336699") + entry('D', "9td", "112233"), "",
                       image("3img", "/site/a.gif") + image("4td", "/site/b.gif", "repeat")),
              page, pictures);
    AnsiString expected = plain;
    expected.Insert(" Style='Color:#336699' ", plain.Pos("id='1p'") + 7);
    EXPECT_EQ(painted, expected);
    // No picture is made for an element that is not there.
    EXPECT_TRUE(pictures.calls.empty());
}

TEST(SchemeView, PictureEntries) {
    FakePictures pictures;
    pictures.failing.insert("/site/gone.gif");
    const std::string page = "<html><body><img width=4 SRC=\"Photo.JPG\" alt=x><img src='same.gif'><img src='same.gif'>"
                             "<table><tr><td>cell</td></tr></table><p style='color:red'>p</p><img src=\"gone.gif\"></body></html>";
    const std::string record = recordOf(entry('B', "1td", "FFCC00"), "",
                                        image("1img", "/site/Photo.JPG") + image("3img", "/site/same.gif") +
                                            image("1td", "/site/tile.gif", "no-repeat") + image("1p", "/site/p.png", "repeat-x") +
                                            image("4img", "/site/gone.gif"));
    const AnsiString painted = apply(record, page, pictures);

    // An image element's source attribute, written in capitals for a ".JPG", is replaced.
    const std::string photo = tagOf(painted, "1img");
    EXPECT_NE(photo.find("id='1img' src='/copies/1-Photo.JPG' "), std::string::npos) << photo;
    EXPECT_EQ(photo.find("Photo.JPG\""), std::string::npos) << photo;
    EXPECT_NE(photo.find("width=4"), std::string::npos);
    EXPECT_NE(photo.find("alt=x>"), std::string::npos);
    // Of two images with one source, only the painted one changes.
    EXPECT_NE(tagOf(painted, "2img").find("src='same.gif'"), std::string::npos);
    EXPECT_NE(tagOf(painted, "3img").find("id='3img' src='/copies/2-same.gif' "), std::string::npos) << tagOf(painted, "3img");
    EXPECT_EQ(tagOf(painted, "3img").find("src='same.gif'"), std::string::npos);
    // Any other element shows its picture as a background, under its background colour.
    EXPECT_NE(tagOf(painted, "1td").find("Style='Background:url(/copies/3-tile.gif) no-repeat;Background-color:#FFCC00' "),
              std::string::npos)
        << tagOf(painted, "1td");
    EXPECT_NE(tagOf(painted, "1p").find("Style='color:red;Background:url(/copies/4-p.png) repeat-x' "), std::string::npos)
        << tagOf(painted, "1p");
    // A picture that cannot be made again leaves the element its own.
    EXPECT_NE(tagOf(painted, "4img").find("src=\"gone.gif\""), std::string::npos);
    ASSERT_EQ(pictures.calls.size(), 5u);
    EXPECT_EQ(pictures.calls[0], "/site/Photo.JPG|(100,100,,140)|13395507");
}

// ---- the same rules applied the slow way ------------------------------------------------------

/// Each entry searches the whole page from its start for its element and rewrites that tag in
/// place, keeping what it inserted so that a later entry of the element can rewrite it.
class ReferencePainter {
public:
    explicit ReferencePainter(PictureMaker& pictures) : m_pictures(pictures) {}

    AnsiString paint(AnsiString page, AnsiString record, bool borders) {
        m_page = std::move(page);
        ColourEntry e;
        for (const char letter : {'B', 'C', 'D'}) {
            while (takeColourEntry(record, letter, e))
                if (letter != 'D' || borders) colour(e.elementId.str(), letter, e.hexCode.str());
        }
        ImageEntry ie;
        while (takeImageEntry(record, ie)) {
            const std::string id = ie.elementId.str();
            if (id.find('\'') != std::string::npos || !m_page.Contains("id='" + id + "'")) continue;
            const std::string copy = m_pictures.recreate(ie.sourcePath.str(), ie.modulation.str(), ie.oldColour.str());
            if (copy.empty()) continue;
            Element& el = m_elements[id];
            if (id.find("img") != std::string::npos) {
                takeOut(id, el, "src");
                el.source = copy;
            } else {
                takeOut(id, el, "style");
                el.picture = "Background:url(" + copy + ") " + ie.repeatValue.str();
            }
            render(id, el);
        }
        return m_page;
    }

private:
    struct Element {
        std::map<char, std::string> colours;
        std::string picture;
        std::string source;
        std::string own;
        std::set<std::string> takenOut;
        std::string rendered;
    };

    int after(const std::string& id) const {
        const int p = m_page.Pos("id='" + id + "'");
        return p ? p + static_cast<int>(id.size()) + 5 : 0;
    }

    void colour(const std::string& id, char letter, const std::string& hex) {
        if (id.find('\'') != std::string::npos || !after(id)) return;
        Element& el = m_elements[id];
        takeOut(id, el, "style");
        el.colours[letter] = hex;
        render(id, el);
    }

    // Removes every attribute `name` (any case) from the element's tag, once per element and
    // name; the first style's value becomes the element's own declarations.
    void takeOut(const std::string& id, Element& el, const std::string& name) {
        if (!el.takenOut.insert(name).second) return;
        const int start = after(id) + static_cast<int>(el.rendered.size());
        static const std::regex attribute(R"(^(\s*)([^\s=><]+)(?:\s*=\s*("[^"]*"|'[^']*'|[^\s>]*))?)");
        static const std::regex close(R"(^\s*>)");
        std::string tag = m_page.str().substr(static_cast<std::size_t>(start - 1), 4096);
        std::string kept;
        bool found = false, closed = false;
        std::string own;
        std::smatch m;
        std::string rest = tag;
        while (!rest.empty()) {
            if (std::regex_search(rest, m, close)) {
                closed = true;
                break;
            }
            if (!std::regex_search(rest, m, attribute)) break;
            std::string attr = m[2];
            std::transform(attr.begin(), attr.end(), attr.begin(), [](unsigned char c) { return std::tolower(c); });
            if (attr == name) {
                if (!found && name == "style") {
                    own = m[3];
                    if (!own.empty() && (own.front() == '"' || own.front() == '\'')) own = own.substr(1, own.size() - 2);
                }
                found = true;
            } else {
                kept += m[0];
            }
            rest = m.suffix();
        }
        if (!closed) return;
        if (name == "style") el.own = own;
        m_page.Delete(start, static_cast<int>(tag.size() - rest.size()));
        m_page.Insert(kept, start);
    }

    void render(const std::string& id, Element& el) {
        const int at = after(id);
        m_page.Delete(at, static_cast<int>(el.rendered.size()));
        std::vector<std::string> declarations;
        std::string own = el.own;
        while (!own.empty() && (std::isspace(static_cast<unsigned char>(own.back())) || own.back() == ';')) own.pop_back();
        while (!own.empty() && (std::isspace(static_cast<unsigned char>(own.front())) || own.front() == ';')) own.erase(0, 1);
        if (!own.empty()) declarations.push_back(own);
        if (!el.picture.empty()) declarations.push_back(el.picture);
        if (el.colours.count('B')) declarations.push_back("Background-color:" + el.colours['B']);
        if (el.colours.count('C')) declarations.push_back("Color:" + el.colours['C']);
        if (el.colours.count('D')) declarations.push_back("border-color:" + el.colours['D']);
        std::string style;
        if (!el.colours.empty() || !el.picture.empty()) {
            std::string joined;
            for (const auto& d : declarations) joined += (joined.empty() ? "" : ";") + d;
            const bool single = joined.find('\'') != std::string::npos;
            if (single) joined = std::regex_replace(joined, std::regex("\""), "&quot;");
            const std::string q = single ? "\"" : "'";
            style = " Style=" + q + joined + q + " ";
        }
        el.rendered = style + (el.source.empty() ? "" : " src='" + el.source + "' ");
        m_page.Insert(el.rendered, at);
    }

    PictureMaker& m_pictures;
    AnsiString m_page;
    std::map<std::string, Element> m_elements;
};

/// The scheme's page without its record, and the record as the page reader takes it.
AnsiString unpainted(const AnsiString& scheme) {
    FakePictures none;
    AnsiString bare = scheme;
    bare.Delete(bare.Pos("initialise,"), bare.Pos("endData") + 7 - bare.Pos("initialise,"));
    return applySchemeToPageText(bare, "", none).page;
}

void expectSameAsReference(const AnsiString& scheme, const std::string& what) {
    FakePictures fast, slow;
    const AnsiString painted = applySchemeToPageText(scheme, "", fast).page;
    AnsiString record = scheme.SubString(scheme.Pos("initialise,?"), scheme.Pos("endData") + 7 - scheme.Pos("initialise,?"));
    record.Delete(1, 11);
    const AnsiString reference = ReferencePainter(slow).paint(unpainted(scheme), record, true);
    EXPECT_EQ(fast.calls, slow.calls) << what;
    if (painted == reference) return;
    const auto diff = std::mismatch(painted.str().begin(), painted.str().end(), reference.str().begin(), reference.str().end());
    const auto at = static_cast<std::size_t>(diff.first - painted.str().begin());
    ADD_FAILURE() << what << ": differs at " << at << "\n fast: " << painted.str().substr(at > 80 ? at - 80 : 0, 200)
                  << "\n slow: " << reference.str().substr(at > 80 ? at - 80 : 0, 200);
}

std::vector<std::string> idsOf(const AnsiString& page) {
    std::vector<std::string> ids;
    const std::string& t = page.str();
    for (auto q = t.find("id='"); q != std::string::npos; q = t.find("id='", q + 1)) {
        const auto end = t.find('\'', q + 4);
        if (end == std::string::npos) break;
        const std::string id = t.substr(q + 4, end - q - 4);
        if (!id.empty() && id.size() <= 14 && id.find_first_of("$?%#()") == std::string::npos) ids.push_back(id);
    }
    return ids;
}

/// `count` entries of every kind on the page's ids, with repeats and a few ids it lacks.
std::string generatedRecord(const std::vector<std::string>& ids, int count, unsigned seed) {
    std::mt19937 random(seed);
    std::string entries, images, swatches;
    const char* hexes[] = {"FFCC00", "336699", "112233", "ABCDEF", "00FF00"};
    for (int n = 0; n < count; ++n) {
        const std::string id = random() % 20 == 0 ? "x" + std::to_string(n) + "p" : ids[random() % ids.size()];
        const std::string hex = hexes[random() % 5];
        switch (random() % 5) {
        case 0: entries += entry('B', id, hex); break;
        case 1: entries += entry('C', id, hex); break;
        case 2: entries += entry('D', id, hex); break;
        case 3: images += image(id, "/site/p" + std::to_string(n % 7) + ".gif", random() % 2 ? "repeat" : ""); break;
        default: entries += entry('B', id, hex) + "," + entry('C', id, hex); break;
        }
        entries += ",";
    }
    for (const char* hex : hexes) swatches += swatch(hex);
    return recordOf(entries, swatches, images);
}

std::string generatedPage(unsigned seed) {
    std::mt19937 random(seed);
    const char* pieces[] = {
        "<p>text</p>",
        "<div style=\"margin:0\">d</div>",
        "<DIV STYLE='padding:1px;'>D</DIV>",
        "<div>plain</div>",
        "<span title=\"x>y style=z\" Style = 'color:red'>s</span>",
        "<img src=\"a.gif\" width=3>",
        "<IMG SRC='B.JPG'>",
        "<img src=c.jpeg alt=\"q\">",
        "<table border=1><tr><td style=\"font-family:'Sans'\">c</td><td>d</td></tr></table>",
        "<a href=\"#top\" id=\"own\">own id</a>",
        "<h2 style=\"x:y\">head</h2>",
        "<li>item</li>",
        "<font color=red>f</font>",
        "<p style=unquoted;>u</p>",
    };
    std::string page = "<html><head><title>t</title></head><body bgcolor=white style=\"margin:2px\">\n";
    for (int n = 0; n < 300; ++n) page += pieces[random() % std::size(pieces)] + std::string("\n");
    return page + "</body></html>";
}

TEST(SchemeView, OnePassGivesTheTextOfTheSlowRules) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        const std::string page = generatedPage(seed);
        const auto ids = idsOf(unpainted(schemeOf(recordOf(""), page)));
        ASSERT_GT(ids.size(), 100u);
        expectSameAsReference(schemeOf(generatedRecord(ids, 400, seed), page), "seed " + std::to_string(seed));
    }
    // The corpus lies beside the repository; a checkout without it checks the generated pages only.
    if (!std::filesystem::is_directory(HW_CORPUS)) GTEST_SKIP() << "no corpus at " << HW_CORPUS;
    for (const char* name : {"bash-manual/bashref.html", "skeleton-site/index.html", "libxslt-site/news.html"}) {
        const std::string path = std::string(HW_CORPUS) + "/" + name;
        ASSERT_TRUE(fileExists(path)) << path;
        const AnsiString scheme(singlePageSchemeText("", WebPage::ReadPageFile(path), folderOf(path)).str());
        const auto ids = idsOf(unpainted(schemeOf(recordOf(""), scheme.str())));
        ASSERT_FALSE(ids.empty()) << name;
        expectSameAsReference(AnsiString("data\n" + generatedRecord(ids, 2000, 7) + "\n\n") + scheme, name);
    }
}

// ---- swatch files and cards --------------------------------------------------------------------

TEST(SchemeCards, FourColoursMakeTwoCards) {
    const AnsiString list(swatch("FFCC00") + swatch("336699") + swatch("112233") + swatch("ABCDEF"));
    const std::string text = swatchFileText(list, "blue.wsm");
    EXPECT_EQ(text, "1\r\n52479\r\n10053171\r\n3351057\r\nFFCC00\r\n336699\r\n112233\r\nblue.wsm\r\n"
                    "15715755\r\n16777215\r\n16777215\r\nABCDEF\r\nspace\r\nspace\r\nblue.wsm\r\n");
    const auto cards = readSwatchFileText(text);
    ASSERT_EQ(cards.size(), 2u);
    EXPECT_EQ(cards[0].GetColor2(), 10053171);
    EXPECT_EQ(cards[0].GetCaption3(), "112233");
    EXPECT_EQ(cards[1].GetColor1(), 15715755);
    EXPECT_EQ(cards[1].GetColor2(), clWhite);
    EXPECT_EQ(cards[1].GetColor3(), clWhite);
    EXPECT_EQ(cards[1].GetCaption2(), "");
    EXPECT_EQ(cards[1].GetCaption3(), "");
    EXPECT_EQ(cards[1].GetTitle(), "blue");

    EXPECT_EQ(swatchFileText("", "empty.wsm"), "-1\r\n");
    EXPECT_TRUE(readSwatchFileText("-1\r\n").empty());
}

TEST(SchemeCards, DamagedItemsKeepTheLinesOfTheFile) {
    // Blanks and line ends in an item's colour or caption, or in the file name, would shift every
    // card read after them; such an item becomes a white swatch without caption.
    for (const std::string& bad : {std::string("%#FF CC\r\n00(52479),"), std::string("%#FFCC00(52\r\n479),"),
                                   std::string("%#FFCC00(),"), std::string("%#FFCC00(99999999999),"),
                                   std::string("%#FFCC0Z(52479),")}) {
        const auto cards =
            readSwatchFileText(swatchFileText(AnsiString(bad + swatch("336699") + swatch("112233") + swatch("ABCDEF")),
                                              "blue\r\n.wsm"));
        ASSERT_EQ(cards.size(), 2u) << bad;
        EXPECT_EQ(cards[0].GetColor1(), clWhite) << bad;
        EXPECT_EQ(cards[0].GetCaption1(), "") << bad;
        EXPECT_EQ(cards[0].GetCaption2(), "336699") << bad;
        EXPECT_EQ(cards[1].GetColor1(), 15715755) << bad;
        EXPECT_EQ(cards[1].GetTitle(), "blue  ") << bad;
    }
}

TEST(SchemeCards, Titles) {
    struct Row {
        const char* file;
        const char* title;
    };
    const Row rows[] = {
        {"blue.wsm", "blue"},
        {"my blue scheme.wsm", "my blue scheme"},
        {"v1.2.wsm", "v1sm"},
        {"no-extension", "no-extension"},
        // The title is read to at most 48 characters before its extension goes.
        {"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstu.wsm", "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstu"},
        {"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz.wsm", "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuv"},
    };
    for (const auto& row : rows) {
        const auto cards = readSwatchFileText(swatchFileText(AnsiString(swatch("FFCC00")), row.file));
        ASSERT_EQ(cards.size(), 1u) << row.file;
        EXPECT_EQ(cards[0].GetTitle(), row.title) << row.file;
    }
}

TEST(SchemeCards, ManyColoursMakeManyCards) {
    std::string list;
    for (int n = 0; n < 40; ++n) {
        char hex[7];
        std::snprintf(hex, sizeof hex, "%06X", 0x010101 * (n + 1));
        list += swatch(hex);
    }
    const auto cards = readSwatchFileText(swatchFileText(AnsiString(list), "many.wsm"));
    ASSERT_EQ(cards.size(), 14u);
    EXPECT_EQ(cards[13].GetCaption1(), "282828");
    EXPECT_EQ(cards[13].GetCaption2(), "");
}

std::vector<SwatchBook> group(const std::string& title, int count, int colour = 1) {
    std::vector<SwatchBook> cards(static_cast<std::size_t>(count));
    for (auto& card : cards) {
        card.SetTitle(AnsiString(title));
        card.SetColor1(colour++);
    }
    return cards;
}

std::string layout(const std::vector<SwatchBook>& cards) {
    std::string text;
    for (const auto& card : cards) text += card.GetTitle().str() + std::to_string(card.GetColor1()) + " ";
    return text;
}

TEST(SchemeCards, Placing) {
    struct Row {
        const char* what;
        std::vector<SwatchBook> cards;
        int current;
        std::vector<SwatchBook> fresh;
        bool reload;
        int lastScheme;
        const char* expected;
        int newCurrent;
    };
    auto join = [](std::vector<SwatchBook> a, const std::vector<SwatchBook>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const auto ab = join(join(group("a", 2), group("b", 3)), group("c", 1));
    const Row rows[] = {
        {"first load", {}, -1, group("a", 2), false, 0, "a1 a2 ", 1},
        {"second scheme after the first", group("a", 2), 1, group("b", 3), false, 1, "a1 a2 b1 b2 b3 ", 4},
        {"reload of the middle group", ab, 3, group("b", 1, 7), true, 2, "a1 a2 b7 c1 ", 2},
        {"reload from the group's first card", ab, 2, group("b", 4, 7), true, 2, "a1 a2 b7 b8 b9 b10 c1 ", 5},
        {"reload of the first group", ab, 0, group("a", 3, 7), true, 2, "a7 a8 a9 b1 b2 b3 c1 ", 2},
        {"reload of the last group", ab, 5, group("c", 2, 7), true, 2, "a1 a2 b1 b2 b3 c7 c8 ", 6},
        {"reload with one scheme open", group("a", 3), 2, group("a", 1, 7), true, 0, "a7 ", 0},
        {"a first load does not replace a namesake", group("a", 2), 1, group("a", 1, 7), false, 1, "a1 a2 a7 ", 2},
    };
    for (const auto& row : rows) {
        auto cards = row.cards;
        EXPECT_EQ(placeSchemeCards(cards, row.current, row.fresh, row.reload, row.lastScheme), row.newCurrent) << row.what;
        EXPECT_EQ(layout(cards), row.expected) << row.what;
    }

    // Twelve schemes of one card each: nothing stops at ten.
    std::vector<SwatchBook> cards;
    int current = -1;
    for (int n = 0; n < 12; ++n) current = placeSchemeCards(cards, current, group("s" + std::to_string(n), 1), false, n);
    EXPECT_EQ(cards.size(), 12u);
    EXPECT_EQ(current, 11);
    EXPECT_EQ(cards[11].GetTitle(), "s11");
}

// ---- the working files ------------------------------------------------------------------------

class SchemeViewFolder : public ::testing::Test {
protected:
    void SetUp() override {
        test::isolateHome("scheme-view");
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder = (fs::temp_directory_path() / ("hw-scheme-view-" + name + "-" + std::to_string(::getpid()))).string();
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string put(const std::string& name, const std::string& bytes) {
        const std::string path = folder + "/" + name;
        EXPECT_TRUE(writeFileBytes(path, bytes));
        return path;
    }
    /// The names in the folder that start with `prefix` and end in ".tmp".
    std::vector<std::string> made(const std::string& prefix) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) {
            const std::string n = e.path().filename().string();
            if (n.rfind(prefix, 0) == 0 && n.size() > 4 && n.substr(n.size() - 4) == ".tmp") names.push_back(n);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::set<std::string> everything() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
        return names;
    }
    std::string folder;
    FakePictures pictures;
};

TEST_F(SchemeViewFolder, SinglePageWithStylesheet) {
    const std::string scheme =
        put("blue.wsm", readAll(std::string(HW_TEST_DATA) + "/schemes/worked/expected.wsm"));
    const auto view = buildSchemeView(scheme, true, pictures);
    ASSERT_TRUE(view.ok()) << view.error();
    EXPECT_FALSE(view->frameset);
    EXPECT_EQ(folderOf(view->workingCopy), folder);
    EXPECT_EQ(fileNameOf(view->workingCopy).substr(0, 2), "ps");
    EXPECT_EQ(fileNameOf(view->styleSheetCopy).substr(0, 2), "ss");
    EXPECT_EQ(fileNameOf(view->swatchFile).substr(0, 2), "sb");

    const std::string page = readAll(view->workingCopy);
    EXPECT_NE(page.find("<body id='1b' Style='Background-color:#FFCC00' "), std::string::npos);
    EXPECT_NE(page.find("href='" + fileNameOf(view->styleSheetCopy) + "'"), std::string::npos);
    // The stylesheet's lines went through the text stream twice; one CR of each run is kept.
    EXPECT_EQ(readAll(view->styleSheetCopy), "\r\nbody { color: navy }\r\n\r\n");
    EXPECT_EQ(readAll(view->swatchFile), "0\r\n52479\r\n16777215\r\n16777215\r\nFFCC00\r\nspace\r\nspace\r\nblue.wsm\r\n");
    ASSERT_EQ(view->cards.size(), 1u);
    EXPECT_EQ(view->cards[0].GetTitle(), "blue");

    // A rebuild writes the same working copy again, with table borders when asked.
    const std::string tables = put("tables.wsm", schemeOf(recordOf(""), "<html><body><table><tr><td>x</td></tr></table></body></html>").str());
    const auto rebuilt = buildSchemeView(tables, true, pictures, view->workingCopy);
    ASSERT_TRUE(rebuilt.ok()) << rebuilt.error();
    EXPECT_EQ(rebuilt->workingCopy, view->workingCopy);
    EXPECT_NE(readAll(view->workingCopy).find("<table border='1' id='1table'"), std::string::npos);
    EXPECT_EQ(made("ps").size(), 1u);
    // Without a stylesheet section there is no "ss" file.
    EXPECT_EQ(rebuilt->styleSheetCopy, "noStyle");
    EXPECT_EQ(made("ss").size(), 1u);
}

TEST_F(SchemeViewFolder, FramesetWithTwoFrames) {
    const std::string scheme = put("frames.wsm", readAll(std::string(HW_TEST_DATA) + "/schemes/frameset/expected.wsm"));
    const auto view = buildSchemeView(scheme, false, pictures);
    ASSERT_TRUE(view.ok()) << view.error();
    EXPECT_TRUE(view->frameset);
    EXPECT_EQ(made("fps").size(), 2u);
    EXPECT_EQ(made("ss").size(), 2u);
    EXPECT_EQ(made("sb").size(), 1u);
    ASSERT_EQ(view->frameCopies.size(), 2u);

    const std::string frameset = readAll(view->workingCopy);
    EXPECT_EQ(frameset.find('\r'), std::string::npos);
    EXPECT_NE(frameset.find("<frame src='" + fileNameOf(view->frameCopies[0]) + "' name=\"l\">"), std::string::npos) << frameset;
    EXPECT_NE(frameset.find("<frame src='" + fileNameOf(view->frameCopies[1]) + "'>"), std::string::npos) << frameset;
    EXPECT_EQ(frameset.find("frameS["), std::string::npos);

    const std::string left = readAll(view->frameCopies[0]);
    EXPECT_NE(left.find("<body id='1b' Style='Background-color:#FFCC00' "), std::string::npos);
    // Frame 1's record names an element its page lacks ("3p"): nothing is put anywhere.
    const std::string right = readAll(view->frameCopies[1]);
    EXPECT_NE(right.find("<body id='1b' onSelectStart"), std::string::npos);
    EXPECT_NE(right.find("<p id='1p' onClick"), std::string::npos);
    EXPECT_EQ(right.find('\r'), std::string::npos);
    EXPECT_EQ(view->cards.size(), 1u);
    EXPECT_EQ(view->cards[0].GetCaption2(), "336699");
}

TEST_F(SchemeViewFolder, FramesFromTenOnward) {
    std::string records, frames, index = "\n[indexString]\n<html><frameset rows='*'>\n";
    for (int i = 0; i < 12; ++i) {
        const std::string n = "[" + std::to_string(i) + "]";
        char hex[7];
        std::snprintf(hex, sizeof hex, "%06X", 0x100000 + i);
        // Frames 1 and 11 share a colour; the scheme's swatches name it once.
        const std::string colourHex = i == 11 ? "100001" : hex;
        records += "frameC" + n + "\n" + "initialise," + entry('B', "1p", colourHex) + ",:Swatch:," + swatch(colourHex) +
                   "%%,images:frameE" + n + "\n\n";
        frames += "frame" + n + "\n<html><body><p>frame " + std::to_string(i) + "</p></body></html>\nendFrame" + n + "\r\n";
        index += "<frame src='frameS" + n + "'>\n";
    }
    const std::string scheme = put("twelve.wsm", records + "\r\n" + frames + index + "</frameset></html>\n[endIndexString]");
    const auto view = buildSchemeView(scheme, false, pictures);
    ASSERT_TRUE(view.ok()) << view.error();
    ASSERT_EQ(view->frameCopies.size(), 12u);
    EXPECT_EQ(made("fps").size(), 12u);
    const std::string frameset = readAll(view->workingCopy);
    for (int i = 0; i < 12; ++i) {
        const std::string copy = readAll(view->frameCopies[static_cast<std::size_t>(i)]);
        char hex[7];
        std::snprintf(hex, sizeof hex, "%06X", 0x100000 + (i == 11 ? 1 : i));
        EXPECT_NE(copy.find("id='1p' Style='Background-color:#" + std::string(hex) + "' "), std::string::npos) << i;
        EXPECT_NE(copy.find(">frame " + std::to_string(i) + "<"), std::string::npos) << i;
        EXPECT_EQ(copy.find("endFrame"), std::string::npos) << i;
        EXPECT_NE(frameset.find("src='" + fileNameOf(view->frameCopies[static_cast<std::size_t>(i)]) + "'"), std::string::npos);
    }
    EXPECT_EQ(frameset.find("frameS["), std::string::npos);
    EXPECT_EQ(frameset.find(']'), std::string::npos) << frameset;
    // Eleven distinct colours: four cards.
    EXPECT_EQ(view->cards.size(), 4u);
    EXPECT_EQ(readAll(view->swatchFile).substr(0, 3), "3\r\n");
}

TEST_F(SchemeViewFolder, WhatIsNotASchemeWritesNothing) {
    const std::map<std::string, std::string> files = {
        {"empty.wsm", ""},
        {"words.wsm", "just some words\r\n"},
        {"book.wsm", "0\r\n255\r\n65280\r\n16711680\r\nFF0000\r\n00FF00\r\n0000FF\r\nred\r\n"},
        {"binary.wsm", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
        {"hidden.wsm", std::string("\0<html></html>", 14)},
    };
    for (const auto& [name, bytes] : files) put(name, bytes);
    fs::create_directories(folder + "/a folder.wsm");
    const auto before = everything();
    std::vector<std::string> paths = {folder + "/missing.wsm", folder + "/a folder.wsm"};
    for (const auto& [name, bytes] : files) paths.push_back(folder + "/" + name);
    for (const auto& path : paths) {
        const auto view = buildSchemeView(path, false, pictures);
        EXPECT_FALSE(view.ok()) << path;
        EXPECT_NE(view.error().find(path), std::string::npos) << view.error();
    }
    EXPECT_EQ(buildSchemeView(folder + "/words.wsm", false, pictures).error(),
              "The file " + folder + "/words.wsm is not a web scheme.");
    EXPECT_EQ(everything(), before);
}

TEST_F(SchemeViewFolder, AFailedWriteLeavesNoWorkingFile) {
    const std::string scheme = put("blue.wsm", readAll(std::string(HW_TEST_DATA) + "/schemes/worked/expected.wsm"));
    const auto before = everything();
    const auto view = buildSchemeView(scheme, false, pictures, folder + "/gone/ps1.tmp");
    ASSERT_FALSE(view.ok());
    EXPECT_FALSE(view.error().empty());
    // The stylesheet and swatch files made before the working copy failed are gone again.
    EXPECT_EQ(everything(), before);
}

// ---- huewright-tool scheme-view ------------------------------------------------------------------

TEST_F(SchemeViewFolder, Tool) {
    const std::string scheme = put("blue.wsm", readAll(std::string(HW_TEST_DATA) + "/schemes/worked/expected.wsm"));
    auto run = [&](const std::string& path, std::string& out, std::string& err) {
        const std::string o = folder + "/../" + fileNameOf(folder) + ".out", e = folder + "/../" + fileNameOf(folder) + ".err";
        const int raw = std::system(("'" + std::string(HW_TOOL) + "' scheme-view '" + path + "' >'" + o + "' 2>'" + e + "'").c_str());
        out = readAll(o);
        err = readAll(e);
        removeFile(o);
        removeFile(e);
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    };
    std::string out, err;
    ASSERT_EQ(run(scheme, out, err), 0) << err;
    const auto lf = out.find('\n');
    ASSERT_NE(lf, std::string::npos);
    const std::string working = out.substr(0, lf), swatches = out.substr(lf + 1, out.size() - lf - 2);
    EXPECT_EQ(folderOf(working), folder);
    EXPECT_EQ(fileNameOf(working).substr(0, 2), "ps");
    EXPECT_NE(readAll(working).find("<body id='1b' Style='Background-color:#FFCC00' "), std::string::npos);
    EXPECT_EQ(readAll(swatches).substr(0, 3), "0\r\n");
    EXPECT_EQ(made("ss").size(), 1u);

    const std::string words = put("words.txt", "no scheme here");
    const auto before = everything();
    EXPECT_EQ(run(words, out, err), 2);
    EXPECT_TRUE(out.empty());
    EXPECT_NE(err.find("is not a web scheme"), std::string::npos) << err;
    EXPECT_EQ(run(folder + "/missing.wsm", out, err), 2);
    EXPECT_NE(err.find("cannot be read"), std::string::npos) << err;
    EXPECT_EQ(everything(), before);
}

} // namespace
} // namespace hw
