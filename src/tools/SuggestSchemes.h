#pragma once

#include "colour/TColor.h"

#include <array>

namespace hw {

/// Luminance rules of the suggested schemes; L and results in whole percent 0-100.
int ComplementLum(int lum);
int AccentLum(int lum);
int SplitLum(int lum);
int SecondAccentLum(int lum);
int ShiftedLum(int lum);

/// Four schemes of three colours; [scheme][colour], both counted from 0.
using SuggestedSchemes = std::array<std::array<TColor, 3>, 4>;

/// The four suggested schemes around the colour under edit: hue H in degrees, saturation S and
/// luminance L in percent (the palette state's truncated values) and the palette's swatch
/// colour, which is colour 1 of every scheme. Derived colours use HslToColor with hue offsets
/// reduced once by 360. A hue outside 0-360 or a percentage outside 0-100 is held to its range.
SuggestedSchemes SuggestSchemes(int hue, int sat, int lum, TColor swatch);

} // namespace hw
