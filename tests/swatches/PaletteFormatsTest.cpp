#include "base/Files.h"
#include "colour/ColorCodes.h"
#include "engine/SchemeView.h"
#include "swatches/PaletteFormats.h"
#include "swatches/SwatchBookFile.h"

#include "support/TestFolders.h"
#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

using namespace hw;
using hw::test::runTool;
using hw::test::shellQuoted;
using namespace std::string_literals;

namespace {

const std::string palettes = std::string(HW_TEST_DATA) + "/palettes";

/// The sample book: a full card, a card with its middle slot empty, a title with "." and
/// characters beyond ASCII (one outside the 16-bit range), a title used twice, an empty title
/// and a card without colours, which no palette holds.
std::vector<SwatchBook> sampleCards() {
    const Result<BookContents> book = readBookFile(palettes + "/sample.sbk");
    EXPECT_TRUE(book.ok()) << book.error();
    if (!book) return {};
    return {book->cards.begin(), book->cards.begin() + book->lastCard + 1};
}

struct FormatFile {
    PaletteFormat format;
    const char* file;
};

const FormatFile formats[] = {
    {PaletteFormat::Gimp, "sample.gpl"},
    {PaletteFormat::Ase, "sample.ase"},
    {PaletteFormat::Css, "sample.css"},
    {PaletteFormat::Json, "sample.json"},
};

std::vector<SwatchBook> parsed(PaletteFormat format, std::string_view bytes) {
    Result<std::vector<SwatchBook>> r = parsePaletteText(format, bytes, "fallback");
    EXPECT_TRUE(r.ok()) << r.error();
    if (!r) return {};
    // A read card is as the book makes one: an empty slot white, a filled one with its code.
    for (const SwatchBook& c : *r)
        for (int slot = 1; slot <= 3; ++slot)
            EXPECT_EQ(c.GetCaption(slot).IsEmpty() ? clWhite : HexCodeToColor(c.GetCaption(slot).str()), c.GetColor(slot))
                << "slot " << slot << " of " << c.GetTitle().str();
    return *r;
}

/// Each card as "RRGGBB,,RRGGBB|title": captions by slot, then the title.
std::string layout(const std::vector<SwatchBook>& cards, bool titles = true) {
    std::string out;
    for (const SwatchBook& c : cards) {
        out += c.GetCaption1().str() + "," + c.GetCaption2().str() + "," + c.GetCaption3().str();
        if (titles) out += "|" + c.GetTitle().str();
        out += "\n";
    }
    return out;
}

// ---- ASE bytes, built by hand for the inputs our own writer never makes ----------------------

void put16(std::string& s, unsigned v) {
    s += static_cast<char>((v >> 8) & 0xFF);
    s += static_cast<char>(v & 0xFF);
}
void put32(std::string& s, unsigned v) {
    put16(s, v >> 16);
    put16(s, v & 0xFFFF);
}
void putFloat(std::string& s, float f) {
    unsigned bits = 0;
    std::memcpy(&bits, &f, 4);
    put32(s, bits);
}
std::string name16(const std::u16string& units) {
    std::string s;
    put16(s, static_cast<unsigned>(units.size()));
    for (char16_t u : units) put16(s, u);
    return s;
}
std::string block(unsigned type, const std::string& body) {
    std::string s;
    put16(s, type);
    put32(s, static_cast<unsigned>(body.size()));
    return s + body;
}
std::string colourBody(const std::u16string& name, const char* model, std::vector<float> values) {
    std::string s = name16(name) + model;
    for (float v : values) putFloat(s, v);
    put16(s, 2);
    return s;
}
std::string aseFile(const std::vector<std::string>& blocks, unsigned count) {
    std::string s = "ASEF";
    put16(s, 1);
    put16(s, 0);
    put32(s, count);
    for (const auto& b : blocks) s += b;
    return s;
}
std::string aseFile(const std::vector<std::string>& blocks) {
    return aseFile(blocks, static_cast<unsigned>(blocks.size()));
}

} // namespace

TEST(PaletteFormats, SampleBookWritesEachGoldenFileAndReadsBackToTheSameFile) {
    const std::vector<SwatchBook> sample = sampleCards();
    ASSERT_EQ(sample.size(), 6u);
    std::vector<SwatchBook> coloured(sample.begin(), sample.end() - 1);
    for (const FormatFile& f : formats) {
        SCOPED_TRACE(f.file);
        const std::string golden = readFileOrEmpty(palettes + "/" + f.file);
        ASSERT_FALSE(golden.empty());
        EXPECT_EQ(paletteFileText(f.format, sample, "sample"), golden);
        const std::vector<SwatchBook> back = parsed(f.format, golden);
        EXPECT_EQ(layout(back, false), layout(coloured, false)) << "every colour in its slot, empty slots kept";
        EXPECT_EQ(paletteFileText(f.format, back, "sample"), golden);
    }
}

TEST(PaletteFormats, GimpAndAseKeepEveryTitle) {
    const std::vector<SwatchBook> sample = sampleCards();
    const std::vector<SwatchBook> coloured(sample.begin(), sample.end() - 1);
    for (const FormatFile& f : {formats[0], formats[1]})
        EXPECT_EQ(layout(parsed(f.format, readFileOrEmpty(palettes + "/" + f.file))), layout(coloured)) << f.file;
}

TEST(PaletteFormats, GimpPaletteOfAnotherProgramReadsTolerantly) {
    const std::string text =
        "\xEF\xBB\xBFGIMP Palette  \r\n"
        "Name: Tango\r\n"
        "Columns: 4\r\n"
        "# a comment\r\n"
        "\r\n"
        "   252 233  79\tButter 1\r\n"
        "\t196\t160   0   Butter 2  \r\n"
        "  # another comment\r\n"
        "0 0 0\r\n"
        "255 255 255 White\r\n"
        "1 2 3\tRed\n"
        "4 5 6\tGreen\n"
        "7 8 9\tBlue\n"
        "10 11 12";
    EXPECT_EQ(layout(parsed(PaletteFormat::Gimp, text)),
              "FCE94F,C4A000,|Butter\n"   // named by slot: their own card
              "000000,FFFFFF,010203|Tango\n" // no slot names: three to a card, titled by the palette
              "040506,070809,0A0B0C|Tango\n");
}

TEST(PaletteFormats, FlatAndGroupedNamesMakeCards) {
    const struct {
        PaletteFormat format;
        const char* text;
        const char* cards;
    } rows[] = {
        // A slot number that does not move forward starts a new card.
        {PaletteFormat::Css, ":root{--a-1:#111;--a-3:#333;--a-2:#222}", "111111,,333333|a\n,222222,|a\n"},
        // Declarations in any block, after other declarations and comments, with !important;
        // other values and ordinary properties are passed over.
        {PaletteFormat::Css,
         "/* { not a block } */ @media screen { .x { color: #fff; --gap: 4px; --ink-2: #ABCDEF !important; "
         "--url: \"a;b}\"; } }\nbody { --b: #123 }",
         ",ABCDEF,|ink\n112233,,|fallback\n"},
        // Nested groups are titled by their path; "$type" is inherited; other tokens, aliases
        // and the format's own properties are passed over.
        {PaletteFormat::Json,
         R"({"$description": "x", "brand": {"$type": "color", "main": {"1": {"$value": "#102030"},
            "2": {"$value": {"colorSpace": "srgb", "hex": "#405060"}}, "3": {"$value": "{brand.main.1}"}},
            "gap": {"$type": "dimension", "$value": "4px"}}, "top": {"$type": "color", "$value": "#fff"}})",
         "102030,405060,|brand.main\nFFFFFF,,|fallback\n"},
    };
    for (const auto& r : rows) EXPECT_EQ(layout(parsed(r.format, r.text)), r.cards) << r.text;
}

TEST(PaletteFormats, AseColourModelsAndColoursOutsideGroups) {
    const std::string file = aseFile({
        block(0x0001, colourBody(u"Loose\0"s, "RGB ", {1.0f, 0.5f, 0.0f})),
        block(0xC001, name16(u"Inks\0"s)),
        block(0x0001, colourBody(u"Cyan\0"s, "CMYK", {1, 0, 0, 0})),
        block(0x0001, colourBody(u"Half black\0"s, "CMYK", {0, 0, 0, 0.5f})),
        block(0x0001, colourBody(u"Grey\0"s, "Gray", {0.2f})),
        block(0xC002, ""),
        block(0xC001, name16(u"Lab\0"s)),
        block(0x0001, colourBody(u"White\0"s, "LAB ", {1, 0, 0})),
        block(0x0001, colourBody(u"Black\0"s, "LAB ", {0, 0, 0})),
        block(0x0001, colourBody(u"Mid\0"s, "LAB ", {0.5f, 0, 0})),
        block(0x0001, colourBody(u"Red\0"s, "LAB ", {0.5429f, 80.81f, 69.89f})),
        block(0xC002, ""),
        block(0x7777, "unknown blocks are passed over"),
    });
    EXPECT_EQ(layout(parsed(PaletteFormat::Ase, file)),
              "FF8000,,|fallback\n"
              "00FFFF,808080,333333|Inks\n"
              "FFFFFF,000000,777777|Lab\n"
              "FF0000,,|Lab\n");
}

TEST(PaletteFormats, MalformedFilesAreRejected) {
    const std::string ok = readFileOrEmpty(palettes + "/sample.ase");
    const std::string colour = colourBody(u"C\0"s, "RGB ", {0, 0, 0});
    const struct {
        PaletteFormat format;
        std::string bytes;
    } rows[] = {
        {PaletteFormat::Gimp, ""},
        {PaletteFormat::Gimp, "Gimp palette\n0 0 0\tx\n"},
        {PaletteFormat::Gimp, "GIMP Palette\n0 0\tshort\n"},
        {PaletteFormat::Gimp, "GIMP Palette\n0 0 256\ttoo bright\n"},
        {PaletteFormat::Gimp, "GIMP Palette\n0 0 -1\tnegative\n"},
        {PaletteFormat::Gimp, "GIMP Palette\n0 0 0x\tglued\n"},
        {PaletteFormat::Gimp, "GIMP Palette\nColumns: many\n"},
        {PaletteFormat::Gimp, "GIMP Palette\nName: only a name\n"},
        {PaletteFormat::Ase, "ASEF"},
        {PaletteFormat::Ase, "ASEG" + ok.substr(4)},
        {PaletteFormat::Ase, aseFile({}, 0)},
        {PaletteFormat::Ase, "ASEF" + std::string("\0\2\0\0\0\0\0\0", 8)},
        {PaletteFormat::Ase, aseFile({block(0x0001, colour)}, 0xFFFFFFFF)},
        {PaletteFormat::Ase, aseFile({block(0x0001, colour).substr(0, 8)})},
        {PaletteFormat::Ase, aseFile({block(0x0001, colour).substr(0, 2) + std::string("\x7F\xFF\xFF\xFF", 4) + colour})},
        {PaletteFormat::Ase, aseFile({block(0x0001, name16(u"C"s) + "RGB ")})},
        {PaletteFormat::Ase, aseFile({block(0x0001, name16({0xD800, u'x', 0}) + colour.substr(6))})},
        {PaletteFormat::Ase, aseFile({block(0x0001, name16({0xDC00, 0}) + colour.substr(6))})},
        {PaletteFormat::Ase, aseFile({block(0x0001, name16({u'a', 0xD83C, 0}) + colour.substr(6))})},
        {PaletteFormat::Ase, aseFile({block(0x0001, std::string("\xFF\xFF", 2) + colour.substr(6))})},
        {PaletteFormat::Ase, aseFile({block(0x0001, colourBody(u"C\0"s, "HSB ", {0, 0, 0}))})},
        {PaletteFormat::Ase, aseFile({block(0x0001, colourBody(u"C\0"s, "RGB ", {0, NAN, 0}))})},
        {PaletteFormat::Ase, aseFile({block(0x0001, colour.substr(0, colour.size() - 2))})},
        {PaletteFormat::Css, ":root { --a: #123456;"},
        {PaletteFormat::Css, ":root { --a: #123456; }}"},
        {PaletteFormat::Css, ":root { --a: #123456; } /* open"},
        {PaletteFormat::Css, ":root { --a: \"never closed; }"},
        {PaletteFormat::Css, ":root { --a: #12345; --b: red; }"},
        {PaletteFormat::Json, ""},
        {PaletteFormat::Json, "[]"},
        {PaletteFormat::Json, R"({"a": {"1": {"$type": "color", "$value": "#123456"}},})"},
        {PaletteFormat::Json, R"({"a": {"1": {"$type": "color", "$value": "#123456"}}} x)"},
        {PaletteFormat::Json, R"({"a": {"1": {"$type": "color", "$value": "red"}}})"},
        {PaletteFormat::Json, R"({"a": {"1": {"$type": "color", "$value": "#1234567"}}})"},
        {PaletteFormat::Json, R"({"a\ud800": {"1": {"$type": "color", "$value": "#123456"}}})"},
        {PaletteFormat::Json, R"({"a\udc00\ud800": {"1": {"$type": "color", "$value": "#123456"}}})"},
        {PaletteFormat::Json, R"({"a": {"1": {"$type": "color", "$value": "#123456"}}, "b": 01})"},
        {PaletteFormat::Json, "{\"a\": \"tab\tin a string\"}"},
        {PaletteFormat::Json, R"({"a": {"$type": "dimension", "$value": "4px"}})"},
        {PaletteFormat::Json, std::string(100000, '[')},
        {PaletteFormat::Json, "{\"a\": " + std::string(100000, '{')},
    };
    for (const auto& r : rows) {
        const Result<std::vector<SwatchBook>> read = parsePaletteText(r.format, r.bytes, "x");
        EXPECT_FALSE(read.ok()) << static_cast<int>(r.format) << ": " << r.bytes.substr(0, 80);
        if (!read) {
            EXPECT_FALSE(read.error().empty());
        }
    }
}

TEST(PaletteFormats, EveryCutShortAseOrJsonFileIsRejected) {
    for (const char* file : {"sample.ase", "sample.json"}) {
        const std::string whole = readFileOrEmpty(palettes + "/" + file);
        const PaletteFormat format = *paletteFormatOfPath(file);
        // The JSON file's last byte is its closing line end, which the value does not need.
        const std::size_t needed = format == PaletteFormat::Json ? whole.size() - 1 : whole.size();
        for (std::size_t n = 0; n < needed; ++n)
            EXPECT_FALSE(parsePaletteText(format, std::string_view(whole).substr(0, n), "x").ok()) << file << " cut at " << n;
    }
}

TEST(PaletteFormats, GimpErrorsNameTheLine) {
    const Result<std::vector<SwatchBook>> r =
        parsePaletteText(PaletteFormat::Gimp, "GIMP Palette\r\n# c\r\n\r\n1 2 3 ok\r\nnot a row\r\n", "x");
    ASSERT_FALSE(r.ok());
    EXPECT_NE(r.error().find("line 5"), std::string::npos) << r.error();
}

TEST(PaletteFormats, FileKindComesFromTheSignatureElseTheExtension) {
    const std::string dir = hw::test::freshFolder("palette-kind");
    const std::string gimp = readFileOrEmpty(palettes + "/sample.gpl");
    const struct {
        const char* name;
        std::string bytes;
        bool readable;
    } rows[] = {
        {"gimp.txt", gimp, true},
        {"ase-named.css", readFileOrEmpty(palettes + "/sample.ase"), true},
        {"upper.JSON", readFileOrEmpty(palettes + "/sample.json"), true},
        {"plain.css", readFileOrEmpty(palettes + "/sample.css"), true},
        {"notes.txt", ":root { --a: #123456; }", false},
        {"no-extension", "", false},
    };
    for (const auto& r : rows) {
        const std::string path = dir + "/" + r.name;
        ASSERT_TRUE(writeFileBytes(path, r.bytes));
        const Result<std::vector<SwatchBook>> read = readPaletteFile(path);
        EXPECT_EQ(read.ok(), r.readable) << r.name << ": " << read.error();
        if (!read) {
            EXPECT_NE(read.error().find(path), std::string::npos) << "the message names the file";
        }
    }
    for (const std::string& path : {dir + "/missing.gpl", dir, std::string("/dev/zero")})
        EXPECT_FALSE(readPaletteFile(path).ok()) << path;
}

TEST(SchemeColours, AreTheCardsTheSchemeViewMakesWithoutWritingAFile) {
    class NoPictures : public PictureMaker {
    public:
        std::string recreate(const std::string&, const std::string&, const std::string&) override { return {}; }
    } pictures;
    const std::string dir = hw::test::freshFolder("scheme-colours");
    for (const auto& entry : std::filesystem::directory_iterator(std::string(HW_TEST_DATA) + "/schemes")) {
        if (!entry.is_directory()) continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const std::string scheme = dir + "/" + name + ".wsm";
        ASSERT_TRUE(copyFile(entry.path().string() + "/expected.wsm", scheme));
        const int before = hw::test::filesLike(dir, "*.tmp");
        const Result<std::vector<SwatchBook>> cards = readSchemeCards(scheme);
        ASSERT_TRUE(cards.ok()) << cards.error();
        EXPECT_EQ(hw::test::filesLike(dir, "*.tmp"), before);
        const Result<SchemeViewFiles> view = buildSchemeView(scheme, false, pictures);
        ASSERT_TRUE(view.ok()) << view.error();
        EXPECT_FALSE(cards->empty());
        EXPECT_EQ(layout(*cards), layout(view->cards));
        for (std::size_t i = 0; i < cards->size() && i < view->cards.size(); ++i)
            for (int slot = 1; slot <= 3; ++slot) EXPECT_EQ((*cards)[i].GetColor(slot), view->cards[i].GetColor(slot));
    }
    EXPECT_FALSE(readSchemeCards(dir + "/missing.wsm").ok());
}

TEST(PaletteTool, ExportsBooksAndSchemesAndImportsPalettes) {
    const std::string dir = hw::test::freshFolder("palette-tool");
    const std::string book = shellQuoted(palettes + "/sample.sbk");
    for (const FormatFile& f : formats) {
        SCOPED_TRACE(f.file);
        const std::string out = dir + "/" + f.file;
        const auto written = runTool("export-palette " + book + " " + paletteExtension(f.format) + " " + shellQuoted(out));
        EXPECT_EQ(written.status, 0) << written.err;
        EXPECT_EQ(readFileOrEmpty(out), readFileOrEmpty(palettes + "/" + f.file));
        const auto imported = runTool("import-palette " + shellQuoted(out) + " " + shellQuoted(dir + "/back.sbk"));
        EXPECT_EQ(imported.status, 0) << imported.err;
        const Result<BookContents> back = readBookFile(dir + "/back.sbk");
        ASSERT_TRUE(back.ok()) << back.error();
        EXPECT_EQ(back->lastCard, 4);
    }
    const std::string scheme = shellQuoted(std::string(HW_TEST_DATA) + "/schemes/frameset/expected.wsm");
    EXPECT_EQ(runTool("export-palette " + scheme + " json " + shellQuoted(dir + "/scheme.json")).status, 0);
    EXPECT_NE(readFileOrEmpty(dir + "/scheme.json").find("\"expected\""), std::string::npos);

    const std::string bad = dir + "/bad.ase";
    ASSERT_TRUE(writeFileBytes(bad, std::string_view("ASEF\0\1", 6)));
    for (const std::string& args : {"export-palette " + book + " pdf " + shellQuoted(dir + "/x.pdf"),
                                    "export-palette " + shellQuoted(palettes + "/sample.gpl") + " gpl " + shellQuoted(dir + "/x.gpl"),
                                    "import-palette " + shellQuoted(bad) + " " + shellQuoted(dir + "/bad.sbk"),
                                    std::string("import-palette only-one-argument")}) {
        const auto run = runTool(args);
        EXPECT_NE(run.status, 0) << args;
        EXPECT_FALSE(run.err.empty()) << args;
    }
    EXPECT_FALSE(fileExists(dir + "/bad.sbk"));
}
