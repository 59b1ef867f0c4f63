#include "colour/Contrast.h"

#include "support/ToolRun.h"

#include <gtest/gtest.h>

using namespace hw;

namespace {
constexpr TColor grey(int level) { return rgbColor(level, level, level); }
} // namespace

TEST(Contrast, RatiosOfKnownPairsAreShownCutDownAndJudgedUnrounded) {
    const struct { TColor a, b; const char* shown; bool passesNormalAA; } rows[] = {
        {clWhite, clBlack, "21.00:1", true},
        {clBlack, clWhite, "21.00:1", true},          // order-free
        {grey(0x77), clWhite, "4.47:1", false},        // 4.478: would round to 4.48, still a fail
        {grey(0x76), clWhite, "4.54:1", true},
        {clWhite, clWhite, "1.00:1", false},
        {rgbColor(0xFF, 0, 0), clWhite, "3.99:1", false},
        {rgbColor(0, 0, 0xFF), clWhite, "8.59:1", true},
    };
    for (const auto& r : rows) {
        const double ratio = contrastRatio(r.a, r.b);
        EXPECT_EQ(ratioText(ratio), r.shown) << r.a << " " << r.b;
        EXPECT_EQ(judgeContrast(r.a, r.b, 16, 400).passesAA, r.passesNormalAA) << r.a << " " << r.b;
    }
}

TEST(Contrast, ShownRatioNeverRoundsUpToAPass) {
    const struct { double ratio, shown; } rows[] = {
        {4.4799, 4.47}, {4.4999999, 4.49}, {4.5, 4.5}, {6.999, 6.99}, {2.9999, 2.99},
        {4.47, 4.47}, {21.0, 21.0}, {1.0, 1.0},
    };
    for (const auto& r : rows) EXPECT_DOUBLE_EQ(shownRatio(r.ratio), r.shown) << r.ratio;
}

TEST(Contrast, LargeTextIsTwentyFourPixelsOrBoldFromEighteenPointSixSix) {
    const struct { double px; int weight; bool large; } rows[] = {
        {24, 400, true}, {23.9, 400, false}, {23.9, 700, true}, {18.66, 700, true},
        {18.6, 700, false}, {18.66, 600, false}, {18.67, 900, true}, {12, 900, false},
    };
    for (const auto& r : rows) EXPECT_EQ(isLargeText(r.px, r.weight), r.large) << r.px << " " << r.weight;
}

TEST(Contrast, VerdictsUseTheThresholdsOfTheTextSize) {
    // #949494 on white is 3.03: fails everything for body text, passes AA only when large.
    // #595959 on white is 7.00: passes AAA for body text.
    const struct { TColor text; double px; int weight; bool aa, aaa; } rows[] = {
        {grey(0x94), 16, 400, false, false},
        {grey(0x94), 24, 400, true, false},
        {grey(0x94), 19, 700, true, false},
        {grey(0x76), 16, 400, true, false},
        {grey(0x76), 24, 400, true, true},   // 4.54 reaches large AAA (4.5)
        {grey(0x59), 16, 400, true, true},
    };
    for (const auto& r : rows) {
        const ContrastVerdict v = judgeContrast(r.text, clWhite, r.px, r.weight);
        EXPECT_EQ(v.passesAA, r.aa) << r.text << " " << r.px;
        EXPECT_EQ(v.passesAAA, r.aaa) << r.text << " " << r.px;
    }
}

TEST(Contrast, ApcaMatchesPublishedValuesAndIsSignedByPolarity) {
    const struct { TColor text, background; double lc; } rows[] = {
        {grey(0x88), clWhite, 63.06},
        {clWhite, grey(0x88), -68.54},
        {clBlack, clWhite, 106.04},
        {clWhite, clBlack, -107.88},
        {grey(0x80), grey(0x80), 0.0},
        {grey(0xF0), clWhite, 0.0},  // too little difference: clipped to nothing
    };
    for (const auto& r : rows) {
        EXPECT_NEAR(apcaContrast(r.text, r.background), r.lc, 0.01) << r.text << " on " << r.background;
    }
}

TEST(Contrast, ToolPrintsVerdictsAndSimulationsAndRefusesBadArguments) {
    const struct { const char* args; int status; const char* out; } rows[] = {
        {"contrast 777777 FFFFFF", 0,
         "ratio 4.47:1\nLc 71.11\nAA normal fail\nAAA normal fail\nAA large pass\nAAA large fail\n"},
        {"contrast '#ffffff' '#888888'", 0,
         "ratio 3.54:1\nLc -68.54\nAA normal fail\nAAA normal fail\nAA large pass\nAAA large fail\n"},
        {"simulate deuteranopia '#FF0000'", 0, "A39000\n"},
        {"simulate achromatopsia 0000ff", 0, "4C4C4C\n"},
        {"contrast 777777", 2, nullptr},
        {"contrast 77777 FFFFFF", 2, nullptr},
        {"contrast 777777 GGGGGG", 2, nullptr},
        {"contrast '#' FFFFFF", 2, nullptr},
        {"simulate colourblind FF0000", 2, nullptr},
        {"simulate protanopia", 2, nullptr},
        {"simulate protanopia red", 2, nullptr},
    };
    for (const auto& r : rows) {
        const hw::test::ToolRun run = hw::test::runTool(r.args);
        EXPECT_EQ(run.status, r.status) << r.args;
        if (r.out) {
            EXPECT_EQ(run.out, r.out) << r.args;
        } else {
            EXPECT_EQ(run.out, "") << r.args;
            EXPECT_NE(run.err, "") << r.args;
        }
    }
}
