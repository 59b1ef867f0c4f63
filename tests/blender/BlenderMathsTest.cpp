#include "base/Files.h"
#include "blender/Hsv.h"
#include "blender/Modulation.h"
#include "blender/ParameterFile.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>
#include <vector>

namespace {

/// A colour from its hex code RRGGBB.
hw::TColor hex(unsigned rrggbb) { return hw::rgbColor((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF); }

std::string golden(const std::string& name) { return hw::readFileOrEmpty(HW_TEST_DATA "/blender/" + name); }

} // namespace

TEST(Hsv, OfChannelsTakenBlueGreenRed) {
    struct Row {
        int r, g, b;
        int hue, saturation, value;
    };
    const std::vector<Row> rows = {
        {51, 102, 204, 220, 75, 80},  // 3366CC
        {204, 51, 51, 0, 75, 80},     // CC3333
        {0, 0, 0, 0, 0, 0},           // black: everything zero
        {255, 255, 255, 0, 0, 100},   // white
        {128, 128, 128, 0, 0, 50},    // grey: no hue, no saturation
        {0, 255, 0, 120, 100, 100},   // green maximum
        {0, 0, 255, 240, 100, 100},   // blue maximum
        {255, 0, 1, 360, 100, 100},   // hue 359.76 rounds up to a full turn
        {200, 199, 199, 0, 1, 78},    // saturation exactly 0.5 percent rounds up
        {255, 128, 0, 30, 100, 100},  // hue 30.12
    };
    for (const auto& row : rows) {
        const hw::Hsv hsv = hw::hsvOf(row.b, row.g, row.r);
        EXPECT_EQ(hsv.hue, row.hue) << row.r << "," << row.g << "," << row.b;
        EXPECT_EQ(hsv.saturation, row.saturation) << row.r << "," << row.g << "," << row.b;
        EXPECT_EQ(hsv.value, row.value) << row.r << "," << row.g << "," << row.b;
    }
    const hw::Hsv fromColour = hw::hsvOfColour(13395507);
    EXPECT_EQ(fromColour.hue, 220);
}

TEST(Hsv, RgbOfHsvDoesNotClamp) {
    struct Row {
        double value, saturation, hue;
        int r, g, b;
    };
    const std::vector<Row> rows = {
        {100, 100, 0, 255, 0, 0},
        {80, 75, 220, 51, 102, 204},
        {0, 100, 120, 0, 0, 0},         // no value: black whatever the rest
        {150, 100, 0, 383, 0, 0},       // above 100 percent
        {100, 200, 0, 255, -255, -255}, // negative intermediate values
        {100, 100, 400.7, 255, 170, 0}, // hue truncated to 400, then taken modulo 360
        {100, 100, -30, 255, 0, 128},   // a negative hue lands in the last sector
        {100, 100, 359.9, 255, 0, 4},
    };
    for (const auto& row : rows) {
        const hw::Rgb rgb = hw::rgbOfHsv(row.value, row.saturation, row.hue);
        EXPECT_EQ(rgb.red, row.r) << row.value << "," << row.saturation << "," << row.hue;
        EXPECT_EQ(rgb.green, row.g) << row.value << "," << row.saturation << "," << row.hue;
        EXPECT_EQ(rgb.blue, row.b) << row.value << "," << row.saturation << "," << row.hue;
    }
}

TEST(Modulation, WorkedExample) {
    const hw::Modulation m = hw::modulationBetween(hex(0x3366CC), hex(0xCC3333));
    EXPECT_EQ(hex(0x3366CC), 13395507);
    EXPECT_EQ(m.hueShift, 140.0f);
    EXPECT_EQ(m.saturation, 100.0f);
    EXPECT_EQ(m.brightness, 100.0f);
    const hw::LibraryModulation lib = hw::libraryModulationBetween(hex(0x3366CC), hex(0xCC3333));
    EXPECT_FALSE(lib.negate);
    EXPECT_DOUBLE_EQ(lib.brightness, 100);
    EXPECT_DOUBLE_EQ(lib.saturation, 100);
    EXPECT_DOUBLE_EQ(lib.hue, 100 + 140.0 / 360 * 200 - 100 + 100);
    EXPECT_EQ(hw::generalNumberText(lib.hue), "177.777777777778");
    EXPECT_EQ(hw::modulationText(m), "?mod(100,100,,140)$mod$");
    EXPECT_EQ(hw::oldColourText(13395507), "^oc13395507^^");
}

TEST(Modulation, NegateOnlyWhenTheNewColourIsDarker) {
    struct Row {
        unsigned oldHex, newHex;
        bool negate;
    };
    const std::vector<Row> rows = {
        {0x3366CC, 0x1A3366, true},  // value 80 -> 40
        {0x3366CC, 0x6699FF, false}, // brighter
        {0x3366CC, 0xCC3333, false}, // equally bright
        {0xFFFFFF, 0x000000, true},
        {0x000000, 0xFFFFFF, false},
    };
    for (const auto& row : rows) {
        const auto lib = hw::libraryModulationBetween(hex(row.oldHex), hex(row.newHex));
        EXPECT_EQ(lib.negate, row.negate) << std::hex << row.oldHex << " -> " << row.newHex;
        const auto m = hw::modulationBetween(hex(row.oldHex), hex(row.newHex));
        // A stored modulation makes the same choice as the fresh recolouring it came from.
        EXPECT_EQ(hw::libraryModulationFor(m, hex(row.oldHex)).negate, row.negate);
    }
    // The darker case: old inverted (CC9933) has S 75 V 80, new inverted (E5CC99) S 33 V 90.
    const auto dark = hw::libraryModulationBetween(hex(0x3366CC), hex(0x1A3366));
    EXPECT_DOUBLE_EQ(dark.saturation, 33.0 / 75 * 100);
    EXPECT_DOUBLE_EQ(dark.brightness, 90.0 / 80 * 100);
    const auto m = hw::modulationBetween(hex(0x3366CC), hex(0x1A3366));
    EXPECT_EQ(m.brightness, 50.0f);
    EXPECT_EQ(m.hueShift, 0.0f);
}

TEST(Modulation, GreyAndBlackPicks) {
    // Grey: no hue and no saturation, so the shift is the new hue and the saturation stays.
    const auto grey = hw::modulationBetween(hex(0x808080), hex(0x33CC33));
    EXPECT_EQ(grey.hueShift, 120.0f);
    EXPECT_EQ(grey.saturation, 100.0f);
    EXPECT_EQ(grey.brightness, 160.0f);
    // Black: no value either; nothing to scale.
    const auto black = hw::modulationBetween(hex(0x000000), hex(0x3366CC));
    EXPECT_EQ(black.hueShift, 220.0f);
    EXPECT_EQ(black.saturation, 100.0f);
    EXPECT_EQ(black.brightness, 100.0f);
    // A grey new colour takes all saturation away.
    EXPECT_EQ(hw::modulationBetween(hex(0x3366CC), hex(0x1A1A1A)).saturation, 0.0f);
}

TEST(Modulation, HueShiftWrapsForwards) {
    EXPECT_EQ(hw::hueShiftBetween(hex(0xCC3333), hex(0x3366CC)), 220.0f); // 0 -> 220
    EXPECT_EQ(hw::hueShiftBetween(hex(0x3366CC), hex(0xCC3333)), 140.0f); // 220 -> 0
    EXPECT_EQ(hw::hueShiftBetween(hex(0x3366CC), hex(0x3366CC)), 0.0f);
}

TEST(Modulation, ComposedShiftIsStoredWholeAndUsedLessOneTurn) {
    const hw::Modulation stored{260, 50, 80};
    const auto m = hw::composeModulation(stored, hex(0x3366CC), hex(0xCC3333));
    EXPECT_EQ(m.hueShift, 400.0f);
    EXPECT_EQ(hw::storedNumberText(m.hueShift), "400");
    EXPECT_DOUBLE_EQ(hw::libraryHue(m.hueShift), hw::libraryHue(40));
    EXPECT_DOUBLE_EQ(hw::libraryHue(40), 40.0 / 360 * 200 + 100);
    EXPECT_EQ(m.saturation, 50.0f);
    EXPECT_EQ(m.brightness, 80.0f);
    // Percentages multiply.
    const auto darker = hw::composeModulation({0, 100, 100}, hex(0x3366CC), hex(0x1A3366));
    const auto twice = hw::composeModulation(darker, hex(0x3366CC), hex(0x1A3366));
    EXPECT_EQ(twice.brightness, 25.0f);
}

TEST(Modulation, LibraryHueStaysWithinOneTurn) {
    EXPECT_DOUBLE_EQ(hw::libraryHue(0), 100);
    EXPECT_DOUBLE_EQ(hw::libraryHue(180), 200);
    EXPECT_DOUBLE_EQ(hw::libraryHue(360), 100);
    EXPECT_DOUBLE_EQ(hw::libraryHue(270), 50);
    // Hand-edited records: the same turn, without values the library would count down forever.
    EXPECT_DOUBLE_EQ(hw::libraryHue(-90), 50);
    EXPECT_DOUBLE_EQ(hw::libraryHue(-540), 0);
    EXPECT_DOUBLE_EQ(hw::libraryHue(1e30 + 0), std::fmod(1e30 / 360 * 200 - 100, 200.0));
    EXPECT_GE(hw::libraryHue(-1e30), 0);
    EXPECT_LE(hw::libraryHue(1e30), 200);
}

TEST(Modulation, NegateParameters) {
    // Old 3366CC at half brightness with its hue turned a further 140 degrees: the target
    // 661A1A inverts to 99E5E5 (S 33, V 90); the old colour inverts to CC9933 (S 75, V 80).
    const auto n = hw::negateParameters(hex(0x3366CC), 50, 100, 140);
    EXPECT_DOUBLE_EQ(n.saturation, 44);
    EXPECT_DOUBLE_EQ(n.brightness, 112.5);
    // White inverts to black, which has neither saturation nor value: both stay at 100.
    const auto white = hw::negateParameters(hex(0xFFFFFF), 50, 100, 0);
    EXPECT_DOUBLE_EQ(white.saturation, 100);
    EXPECT_DOUBLE_EQ(white.brightness, 100);
}

TEST(NumberText, StoredAndGeneralFormats) {
    const float sevenths = static_cast<float>(6.0 / 7 * 100);
    EXPECT_EQ(hw::storedNumberText(140), "140");
    EXPECT_EQ(hw::storedNumberText(sevenths), "85.7143");
    EXPECT_EQ(hw::storedNumberText(1e8f), "1e+08");
    EXPECT_EQ(hw::storedNumberText(0.5f), "0.5");
    EXPECT_EQ(hw::generalNumberText(sevenths), "85.7142868041992");
    EXPECT_EQ(hw::generalNumberText(100), "100");
    EXPECT_EQ(hw::generalNumberText(12.5), "12.5");
    // The decimal point is "." whatever the locale says.
    const char* before = std::setlocale(LC_ALL, nullptr);
    const std::string saved = before ? before : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        EXPECT_EQ(hw::storedNumberText(sevenths), "85.7143");
        EXPECT_EQ(hw::parseNumber("85.7143").value_or(0), 85.7143);
    }
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(ModulationText, ParsesWhatIsWritten) {
    const auto m = hw::parseModulationText("(100,100,,140)");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->brightness, 100.0f);
    EXPECT_EQ(m->saturation, 100.0f);
    EXPECT_EQ(m->hueShift, 140.0f);
    const auto written = hw::modulationText({400, static_cast<float>(6.0 / 7 * 100), 1e8f});
    EXPECT_EQ(written, "?mod(100000000,85.7142868041992,,400)$mod$");
    const auto back = hw::parseModulationText(written.substr(4, written.size() - 9));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->saturation, static_cast<float>(6.0 / 7 * 100));
    EXPECT_EQ(back->brightness, 1e8f);
    EXPECT_EQ(back->hueShift, 400.0f);
    const auto spaced = hw::parseModulationText("( 50 , 1e+02 ,, 40 )");
    ASSERT_TRUE(spaced);
    EXPECT_EQ(spaced->saturation, 100.0f);
}

TEST(ModulationText, RefusesMalformedTexts) {
    for (const char* text : {"", "100,100,,140", "(100,100,140)", "(100,100,,140", "(,100,,140)", "(100,,,140)",
                             "(100,100,,)", "(abc,100,,140)", "(100,100,,140x)", "(100,100,,nan)", "(100,100,,inf)",
                             "(1e39,100,,140)", ")100,100,,140(", "(100;100,,140)", "(100,1,5,,140)", "(8,5,,1,2)"}) {
        EXPECT_FALSE(hw::parseModulationText(text)) << text;
    }
    for (const char* text : {"", "abc", "1.5", "0x10", "99999999999", "12 3"}) {
        EXPECT_FALSE(hw::parseColourNumber(text)) << text;
    }
    EXPECT_EQ(hw::parseColourNumber(" 13395507 ").value_or(0), 13395507);
}

TEST(ParameterFile, WorkedExampleByteForByte) {
    hw::RecolourParameters p;
    p.sourcePath = "/srv/site/img/logo.gif";
    p.oldColour = 13395507;
    p.modulation = hw::modulationBetween(hex(0x3366CC), hex(0xCC3333));
    EXPECT_EQ(hw::parameterFileText(p), golden("worked-example.dat"));
    EXPECT_EQ(hw::imJsText("/home/u/.local/share/huewright/Temp/im3F.tmp", p.sourcePath, p.modulation, p.oldColour),
              golden("worked-example-im.js"));
    EXPECT_EQ(hw::parameterFilePath("/t/im3F.tmp"), "/t/im3F.dat");
    EXPECT_EQ(hw::parameterFilePath("/t/im3F.TMP"), "/t/im3F.dat");
    EXPECT_EQ(hw::parameterFilePath("/t/pic.tmp.gif"), "");
}

TEST(ParameterFile, ReadsCrLfAndLfAlike) {
    for (std::string text : {golden("worked-example.dat"), std::string("  /srv/site/img/logo.gif\n13395507\n140\n100\n100\n")}) {
        const auto p = hw::parseParameterFile(text);
        ASSERT_TRUE(p) << text;
        EXPECT_EQ(p->sourcePath, "/srv/site/img/logo.gif");
        EXPECT_EQ(p->oldColour, 13395507);
        EXPECT_EQ(p->modulation.hueShift, 140.0f);
        EXPECT_EQ(p->modulation.saturation, 100.0f);
        EXPECT_EQ(p->modulation.brightness, 100.0f);
    }
    // A long path with blanks and non-ASCII letters comes back whole.
    hw::RecolourParameters p;
    p.sourcePath = "/home/u/Mes images/" + std::string(300, 'x') + "/caf\xc3\xa9 logo.gif";
    p.oldColour = 255;
    p.modulation = {400, static_cast<float>(6.0 / 7 * 100), 12.5f};
    const auto back = hw::parseParameterFile(hw::parameterFileText(p));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->sourcePath, p.sourcePath);
    EXPECT_EQ(back->modulation.hueShift, 400.0f);
    EXPECT_NEAR(back->modulation.saturation, 85.7143f, 1e-4);
}

TEST(ParameterFile, RefusesMalformedFiles) {
    for (const char* text : {"", "/srv/pic.gif", "/srv/pic.gif\r\n", "\r\n13395507\r\n140\r\n100\r\n100",
                             "/srv/pic.gif\r\n13395507\r\n140\r\n100", "/srv/pic.gif\r\nblue\r\n140\r\n100\r\n100",
                             "/srv/pic.gif\r\n13395507\r\n140\r\nfull\r\n100", "/srv/pic.gif\r\n1.5\r\n140\r\n100\r\n100",
                             // Beyond a float: it would be written as "inf" and never read back.
                             "/srv/pic.gif\r\n13395507\r\n1e39\r\n100\r\n100",
                             "\x89PNG\r\n\x1a\n\0\0\0"}) {
        EXPECT_FALSE(hw::parseParameterFile(text)) << text;
    }
}

TEST(SwapScript, QuotesKeepTheScriptValid) {
    const std::string js = hw::imJsText("/t/im1.tmp", "/home/o'brien/a\\b.gif", {0, 100, 100}, 0);
    EXPECT_NE(js.find("op='/home/o\\'brien/a\\\\b.gif';"), std::string::npos);
    // Line ends in a path would end the string literal and let the rest run as script.
    const std::string broken = hw::imJsText("/t/im1.tmp", "/x\n';alert(1);'\r\xE2\x80\xA8.gif", {0, 100, 100}, 0);
    EXPECT_NE(broken.find("op='/x\\x0A\\';alert(1);\\'\\x0D\\u2028.gif';"), std::string::npos) << broken;
}
