#pragma once

#include <cstdint>

namespace hw {

/// A packed colour: red in bits 0-7, green in bits 8-15, blue in bits 16-23; bits 24-31 are
/// zero for every colour the program makes. Signed, as the swatch book file stores it.
using TColor = std::int32_t;

inline constexpr TColor clWhite = 16777215;
inline constexpr TColor clBlack = 0;

inline constexpr int redOf(TColor c) { return c & 0xFF; }
inline constexpr int greenOf(TColor c) { return (c >> 8) & 0xFF; }
inline constexpr int blueOf(TColor c) { return (c >> 16) & 0xFF; }
inline constexpr TColor rgbColor(int red, int green, int blue) {
    return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}

} // namespace hw
