#include "tools/SuggestSchemes.h"

#include "colour/ColorCodes.h"

#include <algorithm>

namespace hw {

int ComplementLum(int L) {
    if (L < 10) return L;
    if (L < 60) return L + 30;
    if (L < 70) return L + 20;
    if (L < 80) return L;
    if (L < 98) return L - 20;
    return L;
}

int AccentLum(int L) {
    if (L < 10) return L;
    if (L < 25) return 86;
    if (L < 30) return 87;
    if (L < 35) return 88;
    if (L < 40) return 89;
    if (L < 45) return 90;
    if (L < 50) return 91;
    if (L < 55) return 92;
    if (L < 60) return 93;
    if (L < 65) return 94;
    if (L < 80) return 95;
    if (L <= 98) return 30;
    return L;
}

int SplitLum(int L) {
    if (L < 10 || (L >= 80 && L <= 100)) return L;
    return L - 10;
}

int SecondAccentLum(int L) {
    if (L < 10 || (L >= 80 && L <= 100)) return L;
    return AccentLum(L) - 10;
}

int ShiftedLum(int L) {
    int w = L + 40;
    if (L >= 98) w = L;
    if (w > 100) w -= 100;
    if (L < 10) w = L;
    if (w >= 10 && w < 25) w += 15;
    return w;
}

namespace {

int offsetHue(int hue, int offset) {
    const int h = hue + offset;
    return h >= 360 ? h - 360 : h;
}

} // namespace

SuggestedSchemes SuggestSchemes(int H, int S, int L, TColor swatch) {
    // The offsets and luminance rules add to H and L; held to their ranges they cannot overflow.
    H = std::clamp(H, 0, 360);
    S = std::clamp(S, 0, 100);
    L = std::clamp(L, 0, 100);
    auto hsl = [S](int hue, int lum) { return HslToColor(hue, S, lum); };
    SuggestedSchemes s;
    s[0] = {swatch, hsl(offsetHue(H, 180), ComplementLum(L)), hsl(offsetHue(H, 0), AccentLum(L))};
    s[1] = {swatch, hsl(offsetHue(H, 145), SplitLum(L)), hsl(offsetHue(H, 215), AccentLum(L))};
    s[2] = {swatch, hsl(offsetHue(H, 240), L), hsl(H, ShiftedLum(L))};
    s[3] = {swatch, hsl(offsetHue(H, 120), AccentLum(L)), hsl(offsetHue(H, 240), SecondAccentLum(L))};
    return s;
}

} // namespace hw
