// Colour codes and numbers as the edit boxes and the command-line tool take them. Input: three
// texts, read as integers, hex codes and real numbers.

#include "FuzzSupport.h"

#include "colour/ColorCodes.h"
#include "colour/Ucolorschemer.h"
#include "tools/SuggestSchemes.h"

#include <charconv>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hw;
    const auto texts = fuzz::parts(data, size, 3);

    int ints[3] = {0, 0, 0};
    double reals[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        const std::string& t = texts[static_cast<std::size_t>(i)];
        // StrToInt throws exactly when tryStrToInt refuses.
        const bool fits = tryStrToInt(t, ints[i]);
        try {
            HW_FUZZ_CHECK(StrToInt(t) == ints[i] && fits);
        } catch (const IntegerConversionError&) {
            HW_FUZZ_CHECK(!fits);
        }
        std::from_chars(t.data(), t.data() + t.size(), reals[i]);
        try {
            HW_FUZZ_CHECK(ColorToHexCode(HexCodeToColor(t)).Length() == 6);
        } catch (const IntegerConversionError&) {
        }
    }
    try {
        HW_FUZZ_CHECK(RgbTextsToHexCode(texts[0], texts[1], texts[2]).Length() == 6);
    } catch (const IntegerConversionError&) {
    }

    // Real numbers of any size, the infinities and not-a-number included.
    HslToColor(reals[0], reals[1], reals[2]);
    const Hsl hsl = RgbToHsl(reals[0], reals[1], reals[2]);
    HW_FUZZ_CHECK(hsl.hue >= 0 && hsl.hue <= 359 && hsl.sat >= 0 && hsl.sat <= 100 && hsl.lum >= 0 && hsl.lum <= 100);
    RgbToHsl(ints[0], ints[1], ints[2]);

    // The palette as the tool's "suggest" fills it: any int in every field.
    PaletteState state;
    state.hue = ints[0];
    state.sat = ints[1];
    state.lum = ints[2];
    state.FromHsl();
    SuggestSchemes(state.hue, state.sat, state.lum, state.color);
    try {
        state.FromHex(AnsiString(texts[0]));
    } catch (const IntegerConversionError&) {
    }
    return 0;
}
