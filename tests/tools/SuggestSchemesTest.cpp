#include "colour/ColorCodes.h"
#include "colour/Ucolorschemer.h"
#include "tools/SuggestSchemes.h"

#include "support/ToolRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace hw;

namespace {

std::string hexRows(const SuggestedSchemes& s) {
    std::string out;
    for (const auto& scheme : s)
        out += ColorToHexCode(scheme[0]).str() + " " + ColorToHexCode(scheme[1]).str() + " " +
               ColorToHexCode(scheme[2]).str() + "\n";
    return out;
}

SuggestedSchemes fromPalette(int h, int s, int l) {
    PaletteState st;
    st.hue = h;
    st.sat = s;
    st.lum = l;
    st.FromHsl();
    return SuggestSchemes(st.hue, st.sat, st.lum, st.color);
}

const char* const example3FBFBF =
    "3FBFBF E5B2B2 E0F4F4\n3FBFBF 99326E F4ECE0\n3FBFBF BFBF3F D8F2F2\n3FBFBF F4E0F4 E8E8BA\n";
const char* const exampleFF0000 =
    "FF0000 99FFFF FFD6D6\nFF0000 00CC55 D6E7FF\nFF0000 0000FF FFCBCB\nFF0000 D6FFD6 A3A3FF\n";

} // namespace

TEST(SuggestSchemes, WorkedExamples) {
    EXPECT_EQ(hexRows(fromPalette(180, 50, 50)), example3FBFBF);
    EXPECT_EQ(hexRows(fromPalette(0, 100, 50)), exampleFF0000);
}

TEST(SuggestSchemes, ToolPrintsTheSameRows) {
    for (const auto& [args, expected] : {std::pair{"180 50 50", example3FBFBF}, std::pair{"0 100 50", exampleFF0000}}) {
        const hw::test::ToolRun run = hw::test::runTool(std::string("suggest ") + args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, expected);
    }
    const hw::test::ToolRun bad = hw::test::runTool("suggest 1x 50 50");
    EXPECT_EQ(bad.err, "'1x' is not a valid integer value\n");
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(bad.status, 2);
}

TEST(SuggestSchemes, LuminanceRulesAtTheirBoundaries) {
    const struct { int L, complement, accent, split, secondAccent; } rows[] = {
        {0, 0, 0, 0, 0},       {9, 9, 9, 9, 9},       {10, 40, 86, 0, 76},   {24, 54, 86, 14, 76},
        {25, 55, 87, 15, 77},  {29, 59, 87, 19, 77},  {30, 60, 88, 20, 78},  {45, 75, 91, 35, 81},
        {59, 89, 93, 49, 83},  {60, 80, 94, 50, 84},  {64, 84, 94, 54, 84},  {65, 85, 95, 55, 85},
        {69, 89, 95, 59, 85},  {70, 70, 95, 60, 85},  {79, 79, 95, 69, 85},  {80, 60, 30, 80, 80},
        {97, 77, 30, 97, 97},  {98, 98, 30, 98, 98},  {99, 99, 99, 99, 99},  {100, 100, 100, 100, 100},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(ComplementLum(r.L), r.complement) << r.L;
        EXPECT_EQ(AccentLum(r.L), r.accent) << r.L;
        EXPECT_EQ(SplitLum(r.L), r.split) << r.L;
        EXPECT_EQ(SecondAccentLum(r.L), r.secondAccent) << r.L;
    }
}

TEST(SuggestSchemes, ShiftedLumWrapsPastWhite) {
    const struct { int L, shifted; } rows[] = {
        {0, 0},   {9, 9},   {10, 50}, {59, 99}, {60, 100}, {61, 1},   {69, 9},
        {70, 25}, {84, 39}, {85, 25}, {97, 37}, {98, 98},  {100, 100},
    };
    for (const auto& r : rows) EXPECT_EQ(ShiftedLum(r.L), r.shifted) << r.L;
}

TEST(SuggestSchemes, NumbersOutsideTheirRangesAreHeldToIt) {
    // Offsets added to these once overflowed an int.
    const struct { int h, s, l, heldH, heldS, heldL; } rows[] = {
        {2147483647, 0, 50, 360, 0, 50},       {0, 0, 2147483647, 0, 0, 100},
        {-2147483647 - 1, 50, 50, 0, 50, 50},  {200, 2147483647, -2147483647 - 1, 200, 100, 0},
        {361, 101, 101, 360, 100, 100},
    };
    for (const auto& r : rows)
        EXPECT_EQ(hexRows(SuggestSchemes(r.h, r.s, r.l, 0)), hexRows(SuggestSchemes(r.heldH, r.heldS, r.heldL, 0))) << r.h;
    for (const char* args : {"suggest 0 0 2147483647", "suggest 2147483647 0 50"}) {
        const hw::test::ToolRun run = hw::test::runTool(args);
        EXPECT_EQ(run.status, 0) << args << run.err;
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 4) << args;
    }
}

TEST(SuggestSchemes, Hue360IsHue0) {
    const SuggestedSchemes a = fromPalette(360, 70, 40);
    const SuggestedSchemes b = fromPalette(0, 70, 40);
    EXPECT_EQ(hexRows(a), hexRows(b));
}

TEST(SuggestSchemes, VeryDarkAndVeryLightBasesStayThatWay) {
    for (int h : {0, 95, 200, 359}) {
        for (const auto& scheme : fromPalette(h, 100, 5))
            for (TColor c : scheme) EXPECT_LE(std::max({redOf(c), greenOf(c), blueOf(c)}), 25) << h;
        for (const auto& scheme : fromPalette(h, 100, 99))
            for (TColor c : scheme) EXPECT_GE(std::min({redOf(c), greenOf(c), blueOf(c)}), 249) << h;
    }
}

TEST(SuggestSchemes, ColourOneIsTheSwatchEvenFromATypedHexCode) {
    PaletteState st;
    st.FromHex("336699");
    const SuggestedSchemes s = SuggestSchemes(st.hue, st.sat, st.lum, st.color);
    for (const auto& scheme : s) EXPECT_EQ(scheme[0], 10053171);
    // The derived colours use the truncated HSL of the code (210, 50, 40).
    EXPECT_EQ(s[2][1], HslToColor(90, 50, 40));
}
