#pragma once

#include "colour/TColor.h"

namespace hw {

/// Hue in whole degrees (0..360; 359.5 and above rounds to 360), saturation and value in whole
/// percent.
struct Hsv {
    int hue = 0;
    int saturation = 0;
    int value = 0;
};

/// Channels as integers; rgbOfHsv may give values outside 0..255 on purpose.
struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
};

/// Note the argument order: blue, green, red (0..255, or beyond for inverted out-of-range
/// colours). Each result is rounded half up.
Hsv hsvOf(int blue, int green, int red);
/// hsvOf of the bytes of a colour.
Hsv hsvOfColour(TColor colour);
/// hsvOf of the colour with every byte replaced by 255 minus the byte.
Hsv hsvOfInverted(TColor colour);

/// value and saturation in percent (any real number), hue in degrees (truncated, taken modulo
/// 360). No clamping: more than 100 percent gives channels above 255.
Rgb rgbOfHsv(double value, double saturation, double hue);

} // namespace hw
