#pragma once

#include "colour/TColor.h"

#include <string>

namespace hw {

/// An sRGB channel (0-255) in linear light, 0-1: c = channel / 255, then c / 12.92 up to
/// 0.04045, else ((c + 0.055) / 1.055)^2.4.
double srgbToLinear(int channel);

/// WCAG 2.x relative luminance, 0 (black) to 1 (white): the linear channels weighted 0.2126,
/// 0.7152, 0.0722.
double relativeLuminance(TColor c);

/// (lighter + 0.05) / (darker + 0.05), 1 to 21; the order of the colours does not matter.
double contrastRatio(TColor a, TColor b);

/// A ratio as it may be shown: cut down to two decimals, never rounded up, so a ratio just
/// under a threshold never shows as reaching it (4.4799 shows as 4.47).
double shownRatio(double ratio);

/// The shown ratio with two decimals and ":1", as "4.47:1".
std::string ratioText(double ratio);

/// Large text in WCAG terms: at least 24 px (18 pt), or at least 18.66 px (14 pt) when bold
/// (weight 700 or more).
bool isLargeText(double fontSizePx, int fontWeight);

struct ContrastVerdict {
    double ratio = 1.0;  ///< unrounded, 1-21
    double lc = 0.0;     ///< APCA lightness contrast, signed, about -108 to 106
    bool largeText = false;
    bool passesAA = false;
    bool passesAAA = false;
};

/// The WCAG 2.2 verdicts for text of a size (px) and weight (100-900) on a background. The
/// thresholds (normal text AA 4.5, AAA 7; large text AA 3, AAA 4.5) are compared with the
/// unrounded ratio.
ContrastVerdict judgeContrast(TColor text, TColor background, double fontSizePx, int fontWeight);

/// The AA and AAA thresholds for normal or large text.
double aaThreshold(bool largeText);
double aaaThreshold(bool largeText);

/// APCA lightness contrast Lc (APCA-W3 0.0.98G-4g) of text on a background: positive for dark
/// text on a light background, negative for light on dark, 0 below the low clip.
double apcaContrast(TColor text, TColor background);

} // namespace hw
