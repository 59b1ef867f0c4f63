#include "colour/Contrast.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace hw {

namespace {

// APCA's screen luminance: a plain 2.4 power curve with its own coefficients, not the sRGB
// piecewise curve of WCAG 2.
double apcaLuminance(TColor c) {
    const auto lin = [](int channel) { return std::pow(channel / 255.0, 2.4); };
    return 0.2126729 * lin(redOf(c)) + 0.7151522 * lin(greenOf(c)) + 0.0721750 * lin(blueOf(c));
}

} // namespace

double srgbToLinear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double relativeLuminance(TColor c) {
    return 0.2126 * srgbToLinear(redOf(c)) + 0.7152 * srgbToLinear(greenOf(c)) +
           0.0722 * srgbToLinear(blueOf(c));
}

double contrastRatio(TColor a, TColor b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double shownRatio(double ratio) {
    if (!std::isfinite(ratio)) return 0.0;
    // The small allowance keeps a ratio that is a two-decimal number in exact arithmetic (4.47
    // held as 4.46999...) from dropping a step; it is far below any step between ratios of
    // 8-bit colours.
    return std::floor(ratio * 100.0 + 1e-9) / 100.0;
}

std::string ratioText(double ratio) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f:1", shownRatio(ratio));
    return text;
}

bool isLargeText(double fontSizePx, int fontWeight) {
    return fontSizePx >= 24.0 || (fontSizePx >= 18.66 && fontWeight >= 700);
}

double aaThreshold(bool largeText) { return largeText ? 3.0 : 4.5; }
double aaaThreshold(bool largeText) { return largeText ? 4.5 : 7.0; }

ContrastVerdict judgeContrast(TColor text, TColor background, double fontSizePx, int fontWeight) {
    ContrastVerdict v;
    v.ratio = contrastRatio(text, background);
    v.lc = apcaContrast(text, background);
    v.largeText = isLargeText(fontSizePx, fontWeight);
    v.passesAA = v.ratio >= aaThreshold(v.largeText);
    v.passesAAA = v.ratio >= aaaThreshold(v.largeText);
    return v;
}

double apcaContrast(TColor text, TColor background) {
    constexpr double normBG = 0.56, normTXT = 0.57, revTXT = 0.62, revBG = 0.65;
    constexpr double blkThrs = 0.022, blkClmp = 1.414;
    constexpr double scaleBoW = 1.14, scaleWoB = 1.14;
    constexpr double loBoWoffset = 0.027, loWoBoffset = 0.027;
    constexpr double deltaYmin = 0.0005, loClip = 0.1;

    // Soft clamp near black, where a display's flare swamps the difference.
    const auto clampBlack = [](double y) {
        return y > blkThrs ? y : y + std::pow(blkThrs - y, blkClmp);
    };
    const double txtY = clampBlack(apcaLuminance(text));
    const double bgY = clampBlack(apcaLuminance(background));
    if (std::abs(bgY - txtY) < deltaYmin) return 0.0;

    double lc = 0.0;
    if (bgY > txtY) {  // dark text on a light background
        const double sapc = (std::pow(bgY, normBG) - std::pow(txtY, normTXT)) * scaleBoW;
        lc = sapc < loClip ? 0.0 : sapc - loBoWoffset;
    } else {  // light text on a dark background
        const double sapc = (std::pow(bgY, revBG) - std::pow(txtY, revTXT)) * scaleWoB;
        lc = sapc > -loClip ? 0.0 : sapc + loWoBoffset;
    }
    return lc * 100.0;
}

} // namespace hw
