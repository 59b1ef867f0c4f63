#pragma once

#include "colour/TColor.h"

#include <optional>
#include <string>
#include <string_view>

namespace hw {

/// A recolouring as the parameter file and the change record keep it. Single precision on
/// purpose: the stored texts are the float values (85.7143 in the parameter file,
/// 85.7142868041992 in the modulation text).
struct Modulation {
    float hueShift = 0;    ///< degrees; composed shifts add up and may exceed 360
    float saturation = 100; ///< percent of the picture's saturation
    float brightness = 100; ///< percent of the picture's brightness
};

/// What the picture library gets: negate-modulate-negate when `negate`, else modulate alone.
struct LibraryModulation {
    bool negate = false;
    double brightness = 100;
    double saturation = 100;
    double hue = 100; ///< the library's scale: 100 is no change, each unit turns 1.8 degrees
};

struct NegatedPercentages {
    double saturation = 100;
    double brightness = 100;
};

/// The saturation and brightness for the library when the picture is inverted around the
/// modulation, so that a darkening keeps the picture's light parts light.
NegatedPercentages negateParameters(TColor oldColour, double brightness, double saturation,
                                    double hueShift);

/// Degrees to turn the old colour's hue onto the new colour's hue, in 0..360.
float hueShiftBetween(TColor oldColour, TColor newColour);
/// The modulation that turns `oldColour` into `newColour`.
Modulation modulationBetween(TColor oldColour, TColor newColour);
/// `stored` followed by the change from `oldColour` to `newColour` on the same picture.
Modulation composeModulation(const Modulation& stored, TColor oldColour, TColor newColour);

/// The hue value for the library from a hue shift in degrees (a composed shift above 360 is
/// reduced by one turn first).
double libraryHue(double hueShift);

/// The library's numbers for a fresh recolouring from `oldColour` to `newColour`.
LibraryModulation libraryModulationBetween(TColor oldColour, TColor newColour);
/// The library's numbers for a stored modulation of a picture whose picked colour was
/// `oldColour`: negate mode when the brightness is below 100 percent.
LibraryModulation libraryModulationFor(const Modulation& m, TColor oldColour);

/// A stored number as a default-format stream writes a float: six significant digits, no
/// trailing zeros (140, 85.7143). Always "." as the decimal point.
std::string storedNumberText(float x);
/// General format with up to 15 significant digits (100, 85.7142868041992).
std::string generalNumberText(double x);

/// "?mod(" brightness "," saturation ",," hue shift ")$mod$".
std::string modulationText(const Modulation& m);
/// "^oc" decimal colour "^^".
std::string oldColourText(TColor oldColour);

/// A number as the stored texts write it; blanks around it are allowed, nothing else.
/// Non-finite values are refused.
std::optional<double> parseNumber(std::string_view text);
/// parseNumber held to what a float holds: a number beyond the float range is refused, since
/// it would be stored as "inf" and never read back.
std::optional<float> parseFloatNumber(std::string_view text);
std::optional<TColor> parseColourNumber(std::string_view text);
/// Takes "(" brightness "," saturation ",," hue shift ")" apart.
std::optional<Modulation> parseModulationText(std::string_view text);

} // namespace hw
