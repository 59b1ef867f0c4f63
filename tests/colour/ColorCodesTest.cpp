#include "colour/ColorCodes.h"
#include "colour/Pallet.h"
#include "colour/Ucolorschemer.h"

#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

using namespace hw;

TEST(ColorCodes, ColorToHexCodeWritesRedFirst) {
    const struct { TColor color; const char* hex; } rows[] = {
        {0, "000000"}, {16777215, "FFFFFF"}, {16711680, "0000FF"}, {255, "FF0000"},
        {32768, "008000"}, {10053171, "336699"}, {52479, "FFCC00"}, {0x0A0B0C, "0C0B0A"},
    };
    for (const auto& r : rows) EXPECT_EQ(ColorToHexCode(r.color).str(), r.hex) << r.color;
}

TEST(ColorCodes, HexCodeToColorAcceptsBothLetterCases) {
    const struct { const char* hex; TColor color; } rows[] = {
        {"ff8000", 33023}, {"FF8000", 33023}, {"Ff8000", 33023}, {"0000FF", 16711680},
        {"FFFFFF", 16777215}, {"000000", 0}, {"3fbfbf", 0xBFBF3F}, {"123456", 0x563412},
    };
    for (const auto& r : rows) EXPECT_EQ(HexCodeToColor(r.hex), r.color) << r.hex;
}

TEST(ColorCodes, BadTextsRaiseTheIntegerConversionErrorNamingTheOffendingText) {
    const struct { const char* hex; const char* message; } rows[] = {
        {"FF80G0", "'G' is not a valid integer value"},
        {"FF80 0", "' ' is not a valid integer value"},
        {"-F8000", "'-' is not a valid integer value"},
        {"FF80g0", "'g' is not a valid integer value"},
        {"FF80", "'FF80' is not a valid integer value"},
        {"", "'' is not a valid integer value"},
    };
    for (const auto& r : rows) {
        try {
            HexCodeToColor(r.hex);
            ADD_FAILURE() << r.hex << " was accepted";
        } catch (const IntegerConversionError& e) {
            EXPECT_STREQ(e.what(), r.message);
        }
    }
}

TEST(ColorCodes, IntegerConversionTakesOnlyASignAndDigits) {
    const struct { const char* text; bool ok; int value; } rows[] = {
        {"12", true, 12}, {"0", true, 0}, {"-7", true, -7}, {"+255", true, 255},
        {"2147483647", true, 2147483647}, {"-2147483648", true, -2147483647 - 1},
        {"2147483648", false, 0}, {"", false, 0}, {"1a", false, 0}, {" 12", false, 0},
        {"12 ", false, 0}, {"-", false, 0}, {"1.5", false, 0}, {"99999999999999999999", false, 0},
    };
    for (const auto& r : rows) {
        int v = -1;
        EXPECT_EQ(tryStrToInt(r.text, v), r.ok) << r.text;
        if (r.ok) {
            EXPECT_EQ(v, r.value) << r.text;
        }
    }
    EXPECT_THROW(StrToInt("1a"), IntegerConversionError);
}

TEST(ColorCodes, RgbTextsToHexCode) {
    EXPECT_EQ(RgbTextsToHexCode("255", "128", "0").str(), "FF8000");
    EXPECT_EQ(RgbTextsToHexCode("63", "191", "191").str(), "3FBFBF");
    EXPECT_EQ(RgbTextsToHexCode("0", "10", "15").str(), "000A0F");
    EXPECT_EQ(RgbTextsToHexCode("300", "-4", "16").str(), "FF0010");
    try {
        RgbTextsToHexCode("12", "x7", "");
        ADD_FAILURE() << "accepted";
    } catch (const IntegerConversionError& e) {
        EXPECT_STREQ(e.what(), "'x7' is not a valid integer value");
    }
}

TEST(ColorCodes, HslToColorFloorsEveryChannel) {
    const struct { double h, s, l; int red, green, blue; } rows[] = {
        {0, 100, 50, 255, 0, 0},     {120, 100, 50, 0, 255, 0},   {240, 100, 50, 0, 0, 255},
        {360, 100, 50, 255, 0, 0},   {77, 0, 100, 255, 255, 255}, {200, 0, 0, 0, 0, 0},
        {60, 100, 25, 127, 127, 0},  {180, 50, 50, 63, 191, 191}, {0, 50, 80, 229, 178, 178},
        {180, 100, 80, 153, 255, 255}, {210, 50, 40, 50, 102, 153}, {300, 100, 50, 255, 0, 255},
        {0, 0, 50, 127, 127, 127},
    };
    for (const auto& r : rows) {
        const TColor c = HslToColor(r.h, r.s, r.l);
        EXPECT_EQ(redOf(c), r.red) << r.h << " " << r.s << " " << r.l;
        EXPECT_EQ(greenOf(c), r.green) << r.h << " " << r.s << " " << r.l;
        EXPECT_EQ(blueOf(c), r.blue) << r.h << " " << r.s << " " << r.l;
        EXPECT_EQ(c & ~0xFFFFFF, 0);
    }
}

TEST(ColorCodes, HslToColorOutOfRangeKeepsOnlyTheLowByteOfEachChannel) {
    // L 120, S 0: every channel is floor(1.2 * 255) = 306, whose low byte is 50.
    EXPECT_EQ(HslToColor(0, 0, 120), rgbColor(50, 50, 50));
}

TEST(ColorCodes, HostileNumbersAreHeldToARangeNeverOverflowed) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // Each of these once reached a float-to-int conversion out of range.
    const struct { double h, s, l; } hsl[] = {
        {0, 1e300, 50}, {1e300, 50, 50}, {0, 50, 1e300}, {-1e300, -1e300, -1e300},
        {0, inf, 50},   {inf, 50, 50},   {0, 50, -inf},  {nan, nan, nan},
    };
    for (const auto& r : hsl) EXPECT_EQ(HslToColor(r.h, r.s, r.l) & ~0xFFFFFF, 0) << r.h << " " << r.s << " " << r.l;
    EXPECT_EQ(HslToColor(0, 1e300, 50), HslToColor(0, 1e6, 50));
    EXPECT_EQ(HslToColor(nan, 100, 50), HslToColor(0, 100, 50));

    // Channels outside 0-255 are held to the nearest end (a negative one made S infinite).
    const struct { double r, g, b, heldR, heldG, heldB; } rgb[] = {
        {-5, 5, 5, 0, 5, 5}, {300, 0, 0, 255, 0, 0}, {-1e300, 1e300, 0, 0, 255, 0}, {nan, 255, 255, 0, 255, 255},
    };
    for (const auto& r : rgb) EXPECT_EQ(RgbToHsl(r.r, r.g, r.b), RgbToHsl(r.heldR, r.heldG, r.heldB)) << r.r;
}

TEST(ColorCodes, RgbToHslTruncates) {
    // 255, 0, 1 has the sector value -1/255, -0.235 degrees: truncated toward zero it is 0, not 359.
    const struct { int r, g, b; Hsl hsl; } rows[] = {
        {128, 128, 128, {0, 0, 50}}, {51, 102, 153, {210, 50, 40}}, {255, 255, 255, {0, 0, 100}},
        {254, 0, 0, {0, 100, 49}},   {63, 191, 191, {180, 50, 49}}, {0, 0, 0, {0, 0, 0}},
        {255, 0, 0, {0, 100, 50}},   {0, 255, 0, {120, 100, 50}},   {0, 0, 255, {240, 100, 50}},
        {255, 0, 255, {300, 100, 50}}, {255, 0, 1, {0, 100, 50}}, {255, 255, 0, {60, 100, 50}},
    };
    for (const auto& r : rows) EXPECT_EQ(RgbToHsl(r.r, r.g, r.b), r.hsl) << r.r << " " << r.g << " " << r.b;
}

TEST(Pallet, StartsWhiteWithNoHexCodeAndPicksSetBoth) {
    Pallet p;
    EXPECT_EQ(p.GetColor(), 16777215);
    EXPECT_TRUE(p.GetHexCode().IsEmpty());
    p.SetColor(255);
    EXPECT_TRUE(p.GetHexCode().IsEmpty()) << "the two fields are independent";
    p.pick(16711680);
    EXPECT_EQ(p.GetColor(), 16711680);
    EXPECT_EQ(p.GetHexCode().str(), "0000FF");
}

TEST(PaletteState, StartsAt3FBFBF) {
    const PaletteState st;
    EXPECT_EQ(st.sliderHue, 0);
    EXPECT_EQ(st.sliderSat, 0);
    EXPECT_EQ(st.sliderLum, 50);
    EXPECT_EQ(st.hue, 180);
    EXPECT_EQ(st.sat, 50);
    EXPECT_EQ(st.lum, 50);
    EXPECT_EQ(st.red, 63);
    EXPECT_EQ(st.green, 191);
    EXPECT_EQ(st.blue, 191);
    EXPECT_EQ(st.hexCode.str(), "3FBFBF");
    EXPECT_EQ(st.color, 0xBFBF3F);
}

TEST(PaletteState, RecomputationsFromEachForm) {
    PaletteState st;
    st.red = 51;
    st.green = 102;
    st.blue = 153;
    st.FromRgb();
    EXPECT_EQ(st.hexCode.str(), "336699");
    EXPECT_EQ(st.color, 10053171);
    EXPECT_EQ((Hsl{st.hue, st.sat, st.lum}), (Hsl{210, 50, 40}));

    st.FromHex("3fbfbf");
    EXPECT_EQ(st.hexCode.str(), "3fbfbf") << "the typed text is kept as typed";
    EXPECT_EQ(st.color, 0xBFBF3F);
    EXPECT_EQ((Hsl{st.hue, st.sat, st.lum}), (Hsl{180, 50, 49}));

    st.hue = 0;
    st.sat = 100;
    st.lum = 50;
    st.FromHsl();
    EXPECT_EQ(st.hexCode.str(), "FF0000");
    EXPECT_EQ(st.red, 255);
}

TEST(PaletteState, BadHexCodeChangesNothing) {
    PaletteState st;
    const PaletteState before = st;
    EXPECT_THROW(st.FromHex("12x456"), IntegerConversionError);
    EXPECT_EQ(st.color, before.color);
    EXPECT_EQ(st.hexCode, before.hexCode);
    EXPECT_EQ(st.hue, before.hue);
    EXPECT_EQ(st.red, before.red);
}

TEST(ColourTool, EachFormPrintsOneResultAndBadInputExitsWithTwo) {
    const struct { const char* args; int status; const char* out; } rows[] = {
        {"colour hex2color ff8000", 0, "33023\n"},
        {"colour color2hex 16711680", 0, "0000FF\n"},
        {"colour rgb2hex 255 128 0", 0, "FF8000\n"},
        {"colour hsl2color 60.0 100 25", 0, "32639\n"},
        {"colour hsl2color 180 50 50", 0, "12566335\n"},
        {"colour rgb2hsl 51 102 153", 0, "210 50 40\n"},
        {"colour hex2color FF80G0", 2, "'G' is not a valid integer value\n"},
        {"colour rgb2hex 12 x 0", 2, "'x' is not a valid integer value\n"},
        {"colour rgb2hsl 1 2 3.5", 2, "'3.5' is not a valid integer value\n"},
        {"colour hsl2color 1,5 2 3", 2, "'1,5' is not a valid floating point value\n"},
        {"colour hsl2color 0 nan 50", 2, "'nan' is not a valid floating point value\n"},
        {"colour hsl2color inf 50 50", 2, "'inf' is not a valid floating point value\n"},
        {"colour hsl2color 0 50 -infinity", 2, "'-infinity' is not a valid floating point value\n"},
        {"colour hsl2color 0 1e400 50", 2, "'1e400' is not a valid floating point value\n"},
        {"colour hsl2color 0 1e300 50", 0, "460791\n"}, // held to 1e6, as below
        {"colour hsl2color 0 1000000 50", 0, "460791\n"},
        {"colour rgb2hsl -5 5 5", 0, "180 100 0\n"},
        {"colour rgb2hsl 2147483647 0 0", 0, "0 100 50\n"},
        {"colour rgb2hsl 2147483648 0 0", 2, "'2147483648' is not a valid integer value\n"},
    };
    for (const auto& r : rows) {
        const hw::test::ToolRun run = hw::test::runTool(r.args);
        EXPECT_EQ(run.status, r.status) << r.args;
        // A result goes to standard output, a complaint to standard error, never both.
        EXPECT_EQ(r.status == 0 ? run.out : run.err, r.out) << r.args;
        EXPECT_EQ(r.status == 0 ? run.err : run.out, "") << r.args;
    }
}
