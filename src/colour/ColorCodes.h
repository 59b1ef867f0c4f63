#pragma once

#include "base/AnsiString.h"
#include "colour/TColor.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace hw {

/// The error a text that should hold an integer raises when it does not. It is thrown before
/// the operation assigns anything, so a caught error leaves every field as it was; the screen
/// shows what() in a message box.
class IntegerConversionError : public std::runtime_error {
public:
    explicit IntegerConversionError(std::string_view text);
    const std::string& text() const { return m_text; }

private:
    std::string m_text;
};

/// A decimal integer text as the edit boxes hold it: an optional "+" or "-" and one or more
/// digits, nothing else (no blanks), within the 32-bit range. Anything else throws
/// IntegerConversionError naming the whole text.
int StrToInt(std::string_view text);
/// Like StrToInt, but reports failure as false instead of throwing.
bool tryStrToInt(std::string_view text, int& value);

/// "RRGGBB" in upper case from the low 24 bits of a colour.
AnsiString ColorToHexCode(TColor color);

/// The colour of a six-character hex code, upper- or lower-case. A character that is neither
/// a hexadecimal letter nor a decimal digit throws IntegerConversionError naming that
/// character; a text that is not six characters long throws it naming the whole text.
TColor HexCodeToColor(std::string_view hexCode);

/// "RRGGBB" from three decimal channel texts (0-255). All three are converted before anything
/// is produced, so a bad text throws IntegerConversionError with nothing half done. A value
/// outside 0-255 is held to the nearest end, as the channel edit boxes do.
AnsiString RgbTextsToHexCode(std::string_view red, std::string_view green, std::string_view blue);

/// The colour of a hue in degrees, saturation and luminance in percent. Intermediates are
/// single precision and each channel is floored, so HSL (60, 100, 25) gives 127, 127, 0.
/// S or L outside 0-100 give channels outside 0-255, of which only the low 8 bits are packed.
/// Values beyond +-1e6 are held there and not-a-number is taken as 0.
TColor HslToColor(double hue, double sat, double lum);

/// One channel (0-1) of a hue (degrees) between the two levels m1 and m2 of HslToColor.
float HueToChannel(float m1, float m2, float hue);

/// Hue 0-359 whole degrees, saturation and luminance 0-100 whole percent; all truncated, so
/// converting back and forth loses (3FBFBF from HSL 180, 50, 50 gives L 49).
struct Hsl {
    int hue = 0;
    int sat = 0;
    int lum = 0;
    friend bool operator==(const Hsl&, const Hsl&) = default;
};

/// HSL of three channels 0-255; a channel outside that range is held to the nearest end.
Hsl RgbToHsl(double red, double green, double blue);

} // namespace hw
