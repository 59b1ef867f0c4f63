#include "colour/VisionSimulation.h"

#include "colour/Contrast.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hw {

namespace {

int toSrgb(double linear) {
    const double l = std::clamp(linear, 0.0, 1.0);
    const double c = l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1.0 / 2.4) - 0.055;
    return static_cast<int>(std::lround(c * 255.0));
}

// A matrix value as the filter writes it: the published values have at most six decimals, so
// six keep them exact.
std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", v);
    std::string s = text;
    while (s.size() > 1 && s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    if (s == "-0") s = "0";
    return s;
}

// Percent-encodes everything but letters, digits and a few harmless marks, so the SVG text is
// safe inside url("data:...") in a style rule and inside a JavaScript string.
std::string percentEncoded(std::string_view text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char ch : text) {
        if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
            ch == '-' || ch == '.' || ch == '_' || ch == ' ' || ch == '=' || ch == ':' || ch == '/') {
            out += static_cast<char>(ch);
        } else {
            out += '%';
            out += hex[ch >> 4];
            out += hex[ch & 15];
        }
    }
    return out;
}

constexpr std::string_view kindNames[] = {"normal", "protanopia", "deuteranopia", "tritanopia",
                                          "achromatopsia"};

} // namespace

std::array<double, 9> visionMatrix(VisionKind kind) {
    switch (kind) {
    case VisionKind::Protanopia:
        return {0.152286, 1.052583, -0.204868,
                0.114503, 0.786281, 0.099216,
                -0.003882, -0.048116, 1.051998};
    case VisionKind::Deuteranopia:
        return {0.367322, 0.860646, -0.227968,
                0.280085, 0.672501, 0.047413,
                -0.011820, 0.042940, 0.968881};
    case VisionKind::Tritanopia:
        return {1.255528, -0.076749, -0.178779,
                -0.078411, 0.930809, 0.147602,
                0.004733, 0.691367, 0.303900};
    case VisionKind::Achromatopsia:
        return {0.2126, 0.7152, 0.0722,
                0.2126, 0.7152, 0.0722,
                0.2126, 0.7152, 0.0722};
    case VisionKind::Normal:
        break;
    }
    return {1, 0, 0, 0, 1, 0, 0, 0, 1};
}

TColor simulateVision(VisionKind kind, TColor c) {
    const auto m = visionMatrix(kind);
    const double in[3] = {srgbToLinear(redOf(c)), srgbToLinear(greenOf(c)), srgbToLinear(blueOf(c))};
    int out[3];
    for (int row = 0; row < 3; ++row) {
        out[row] = toSrgb(m[row * 3] * in[0] + m[row * 3 + 1] * in[1] + m[row * 3 + 2] * in[2]);
    }
    return rgbColor(out[0], out[1], out[2]);
}

std::optional<VisionKind> visionKindFromName(std::string_view name) {
    for (std::size_t i = 0; i < std::size(kindNames); ++i) {
        if (name == kindNames[i]) return static_cast<VisionKind>(i);
    }
    return std::nullopt;
}

std::string_view visionKindName(VisionKind kind) {
    const auto i = static_cast<std::size_t>(kind);
    return i < std::size(kindNames) ? kindNames[i] : kindNames[0];
}

std::string visionFilterSvg(VisionKind kind) {
    const auto m = visionMatrix(kind);
    std::string values;
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) values += number(m[row * 3 + col]) + " ";
        values += "0 ";  // the row's alpha weight
        values += "0 ";  // the row's offset
    }
    values += "0 0 0 1 0";
    return "<svg xmlns='http://www.w3.org/2000/svg'><filter id='" + std::string(visionFilterId) +
           "' color-interpolation-filters='linearRGB'><feColorMatrix type='matrix' values='" +
           values + "'/></filter></svg>";
}

std::string visionFilterCss(VisionKind kind) {
    if (kind == VisionKind::Normal) return {};
    return "html{filter:url(\"data:image/svg+xml," + percentEncoded(visionFilterSvg(kind)) + "#" +
           std::string(visionFilterId) + "\") !important}";
}

std::string visionFilterScript(VisionKind kind) {
    // Only the top document gets the filter: frames are drawn inside it and take the filter from
    // it, so a frame with a filter of its own would be filtered twice. An earlier simulation's
    // sheet is known by its rule naming the filter, not by a property kept on the document or
    // window: such properties are not shared between script worlds.
    return "(function(){if(window!==window.top)return;var d=document;"
           "if(!d.adoptedStyleSheets||typeof CSSStyleSheet!=='function')return;"
           "var css='" + visionFilterCss(kind) + "';"
           "var rest=d.adoptedStyleSheets.filter(function(s){try{return !(s.cssRules.length===1&&"
           "s.cssRules[0].cssText.indexOf('" + std::string(visionFilterId) + "')>=0);}"
           "catch(e){return true;}});"
           "if(css){var s=new CSSStyleSheet();s.replaceSync(css);rest.push(s);}"
           "d.adoptedStyleSheets=rest;})();";
}

} // namespace hw
