#pragma once

#include "base/AnsiString.h"
#include "colour/TColor.h"

namespace hw {

/// The colour under edit in the colour palette panel, shared with the suggested schemes and
/// the slider popup. Hue in degrees 0-360, saturation and luminance in percent 0-100, channels
/// 0-255. Starts at HSL (180, 50, 50), which is 3FBFBF.
struct PaletteState {
    int sliderHue = 0;
    int sliderSat = 0;
    int sliderLum = 50;
    TColor color = 0;
    int red = 0;
    int green = 0;
    int blue = 0;
    AnsiString hexCode;
    int lum = 50;
    int sat = 50;
    int hue = 180;

    PaletteState() { FromHsl(); }

    /// After an edit of hue, sat or lum: colour, channels and hex code from them.
    void FromHsl();
    /// After an edit of one channel: colour and hex code from the channels, then hue, sat and
    /// lum from them (truncated, so they may differ slightly from the ones that made the colour).
    void FromRgb();
    /// After a six-character hex code was typed: everything from it, keeping the text as typed
    /// (lower-case letters stay). A bad character throws IntegerConversionError before any field
    /// changes.
    void FromHex(const AnsiString& text);
};

} // namespace hw
