#include "colour/VisionSimulation.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

using namespace hw;

TEST(VisionSimulation, PrimariesGoThroughTheMatricesInLinearLight) {
    // Expected colours worked out by hand from the published matrices: a primary picks one
    // column, negative values are held at 0, and the result is sRGB-encoded again.
    const TColor red = rgbColor(255, 0, 0), green = rgbColor(0, 255, 0), blue = rgbColor(0, 0, 255);
    const struct { VisionKind kind; TColor r, g, b; } rows[] = {
        {VisionKind::Normal, red, green, blue},
        {VisionKind::Protanopia, rgbColor(0x6D, 0x5F, 0x00), rgbColor(0xFF, 0xE5, 0x00), rgbColor(0x00, 0x59, 0xFF)},
        {VisionKind::Deuteranopia, rgbColor(0xA3, 0x90, 0x00), rgbColor(0xEF, 0xD6, 0x3A), rgbColor(0x00, 0x3D, 0xFB)},
        {VisionKind::Tritanopia, rgbColor(0xFF, 0x00, 0x0F), rgbColor(0x00, 0xF7, 0xD9), rgbColor(0x00, 0x6B, 0x96)},
        {VisionKind::Achromatopsia, rgbColor(0x7F, 0x7F, 0x7F), rgbColor(0xDC, 0xDC, 0xDC), rgbColor(0x4C, 0x4C, 0x4C)},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(simulateVision(r.kind, red), r.r) << visionKindName(r.kind);
        EXPECT_EQ(simulateVision(r.kind, green), r.g) << visionKindName(r.kind);
        EXPECT_EQ(simulateVision(r.kind, blue), r.b) << visionKindName(r.kind);
    }
}

TEST(VisionSimulation, NamesRoundTripAndOthersAreRefused) {
    for (auto kind : {VisionKind::Normal, VisionKind::Protanopia, VisionKind::Deuteranopia,
                      VisionKind::Tritanopia, VisionKind::Achromatopsia}) {
        EXPECT_EQ(visionKindFromName(visionKindName(kind)), kind);
    }
    for (const char* bad : {"", "Protanopia", "protan", "deuteranopia ", "red"}) {
        EXPECT_FALSE(visionKindFromName(bad)) << bad;
    }
}

TEST(VisionSimulation, FilterCarriesTheSameMatrixAsTheCore) {
    for (auto kind : {VisionKind::Protanopia, VisionKind::Deuteranopia, VisionKind::Tritanopia,
                      VisionKind::Achromatopsia}) {
        const std::string svg = visionFilterSvg(kind);
        EXPECT_NE(svg.find("color-interpolation-filters='linearRGB'"), std::string::npos);
        const auto start = svg.find("values='") + 8;
        std::istringstream in(svg.substr(start, svg.find('\'', start) - start));
        std::vector<double> values;
        for (double v; in >> v;) values.push_back(v);
        ASSERT_EQ(values.size(), 20u) << visionKindName(kind);
        const auto m = visionMatrix(kind);
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col) EXPECT_DOUBLE_EQ(values[row * 5 + col], m[row * 3 + col]);
            EXPECT_EQ(values[row * 5 + 3], 0.0);
            EXPECT_EQ(values[row * 5 + 4], 0.0);
        }
        EXPECT_EQ(values[18], 1.0);  // alpha passes through

        // The style rule and the script carry the SVG percent-encoded: no raw quote or angle
        // bracket may break out of the CSS url() or the script's string.
        const std::string css = visionFilterCss(kind);
        // The data itself, up to the fragment that names the filter.
        const auto url = css.substr(css.find("data:"), css.rfind('#') - css.find("data:"));
        EXPECT_EQ(css.substr(css.rfind('#') + 1, visionFilterId.size()), visionFilterId);
        EXPECT_EQ(url.find_first_of("<>'\"#"), std::string::npos) << url;
        EXPECT_NE(visionFilterScript(kind).find(css), std::string::npos);
    }
    EXPECT_EQ(visionFilterCss(VisionKind::Normal), "");
}
