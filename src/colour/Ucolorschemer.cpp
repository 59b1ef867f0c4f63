#include "colour/Ucolorschemer.h"

#include "colour/ColorCodes.h"

#include <string>

namespace hw {

namespace {

AnsiString channelsHexCode(int red, int green, int blue) {
    return RgbTextsToHexCode(std::to_string(red), std::to_string(green), std::to_string(blue));
}

} // namespace

void PaletteState::FromHsl() {
    color = HslToColor(hue, sat, lum);
    red = redOf(color);
    green = greenOf(color);
    blue = blueOf(color);
    hexCode = channelsHexCode(red, green, blue);
}

void PaletteState::FromRgb() {
    color = rgbColor(red, green, blue);
    hexCode = channelsHexCode(red, green, blue);
    const Hsl hsl = RgbToHsl(red, green, blue);
    hue = hsl.hue;
    sat = hsl.sat;
    lum = hsl.lum;
}

void PaletteState::FromHex(const AnsiString& text) {
    const TColor c = HexCodeToColor(text); // throws before anything is assigned
    color = c;
    red = redOf(c);
    green = greenOf(c);
    blue = blueOf(c);
    hexCode = text;
    const Hsl hsl = RgbToHsl(red, green, blue);
    hue = hsl.hue;
    sat = hsl.sat;
    lum = hsl.lum;
}

} // namespace hw
