#include "blender/Hsv.h"

#include <algorithm>
#include <cmath>

namespace hw {

namespace {

int roundHalfUp(double x) {
    // Out-of-range inputs (huge percentages from a hand-edited modulation) saturate instead of
    // overflowing the integer.
    const double r = std::floor(x + 0.5);
    if (!(r == r)) return 0;
    return static_cast<int>(std::clamp(r, -1e9, 1e9));
}

} // namespace

Hsv hsvOf(int blue, int green, int red) {
    const int max = std::max({red, green, blue});
    const int min = std::min({red, green, blue});
    const int delta = max - min;
    if (max == 0) return {};
    // Each quantity is one division of exact integers, so a true half (such as 0.5 percent)
    // stays a half and rounds up.
    double hue = 0;
    if (delta != 0) {
        if (red == max)
            hue = (green - blue) * 60.0 / delta;
        else if (green == max)
            hue = (blue - red) * 60.0 / delta + 120.0;
        else
            hue = (red - green) * 60.0 / delta + 240.0;
        if (hue < 0) hue += 360.0;
    }
    return {roundHalfUp(hue), roundHalfUp(delta * 100.0 / max), roundHalfUp(max * 100.0 / 255.0)};
}

Hsv hsvOfColour(TColor colour) { return hsvOf(blueOf(colour), greenOf(colour), redOf(colour)); }

Hsv hsvOfInverted(TColor colour) {
    return hsvOf(255 - blueOf(colour), 255 - greenOf(colour), 255 - redOf(colour));
}

Rgb rgbOfHsv(double value, double saturation, double hue) {
    if (value == 0) return {};
    // Whole degrees in 0..359; a negative or enormous hue still lands on one of the six sectors.
    double h = std::isfinite(hue) ? std::fmod(std::trunc(hue), 360.0) : 0.0;
    if (h < 0) h += 360.0;
    const double v = value / 100.0;
    const double s = saturation / 100.0;
    const int i = static_cast<int>(std::floor(h / 60.0));
    const double f = h / 60.0 - i;
    const double p = v * (1 - s);
    const double q = v * (1 - s * f);
    const double t = v * (1 - s * (1 - f));
    double r = 0, g = 0, b = 0;
    switch (i) {
    case 0: r = v, g = t, b = p; break;
    case 1: r = q, g = v, b = p; break;
    case 2: r = p, g = v, b = t; break;
    case 3: r = p, g = q, b = v; break;
    case 4: r = t, g = p, b = v; break;
    default: r = v, g = p, b = q; break;
    }
    return {roundHalfUp(r * 255), roundHalfUp(g * 255), roundHalfUp(b * 255)};
}

} // namespace hw
