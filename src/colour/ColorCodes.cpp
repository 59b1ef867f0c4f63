#include "colour/ColorCodes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace hw {

IntegerConversionError::IntegerConversionError(std::string_view text)
    : std::runtime_error("'" + std::string(text) + "' is not a valid integer value"), m_text(text) {}

bool tryStrToInt(std::string_view text, int& value) {
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty()) return false;
    std::int64_t v = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > 2147483648LL) return false;
    }
    if (negative) v = -v;
    if (v > 2147483647LL) return false;
    value = static_cast<int>(v);
    return true;
}

int StrToInt(std::string_view text) {
    int value = 0;
    if (!tryStrToInt(text, value)) throw IntegerConversionError(text);
    return value;
}

namespace {

char hexDigit(int v) { return static_cast<char>(v < 10 ? '0' + v : 'A' + (v - 10)); }

void appendByte(std::string& out, int v) {
    out.push_back(hexDigit(v / 16));
    out.push_back(hexDigit(v % 16));
}

int hexValue(char c) {
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    // Everything else goes through the decimal conversion, which accepts only "0"-"9" here.
    return StrToInt(std::string_view(&c, 1));
}

} // namespace

AnsiString ColorToHexCode(TColor color) {
    std::string out;
    appendByte(out, redOf(color));
    appendByte(out, greenOf(color));
    appendByte(out, blueOf(color));
    return AnsiString(std::move(out));
}

TColor HexCodeToColor(std::string_view hexCode) {
    if (hexCode.size() != 6) throw IntegerConversionError(hexCode);
    int d[6];
    for (int i = 0; i < 6; ++i) d[i] = hexValue(hexCode[static_cast<std::size_t>(i)]);
    const int red = 16 * d[0] + d[1];
    const int green = 16 * d[2] + d[3];
    const int blue = 16 * d[4] + d[5];
    return red | green << 8 | blue << 16;
}

AnsiString RgbTextsToHexCode(std::string_view red, std::string_view green, std::string_view blue) {
    int v[3] = {StrToInt(red), StrToInt(green), StrToInt(blue)};
    std::string out;
    for (int c : v) appendByte(out, c < 0 ? 0 : (c > 255 ? 255 : c));
    return AnsiString(std::move(out));
}

// The colour arithmetic keeps its named values (l, s, m1, m2, the channels, the HSL parts) in
// single precision but evaluates each expression in higher precision before storing it, the
// way an x87 compiler does; that is what makes 3FBFBF and FF0000 come out as they do (m2 of
// HSL (180, 100, 80) is exactly 1, not 0.99999994). Hence the doubles inside each expression.

float HueToChannel(float m1, float m2, float hue) {
    float h = hue;
    if (h > 360) h = static_cast<float>(static_cast<double>(h) - 360);
    if (h < 0) h = static_cast<float>(static_cast<double>(h) + 360);
    const double lo = m1, hi = m2;
    if (h < 60) return static_cast<float>(lo + (hi - lo) * h / 60);
    if (h < 180) return m2;
    if (h < 240) return static_cast<float>(lo + (hi - lo) * (240.0 - h) / 60);
    return m1;
}

namespace {

int channelByte(float x) {
    // The product is rounded to single precision before the floor.
    const float product = static_cast<float>(static_cast<double>(x) * 255);
    return static_cast<int>(static_cast<std::int64_t>(std::floor(product)) & 0xFF);
}

} // namespace

namespace {

// Far beyond any meaningful hue or percentage, yet small enough that every intermediate of
// HslToColor stays finite and every floored channel fits an int64. Not-a-number counts as 0.
double heldToWorkingRange(double v) {
    constexpr double most = 1e6;
    if (std::isnan(v)) return 0;
    return v < -most ? -most : (v > most ? most : v);
}

} // namespace

TColor HslToColor(double hue, double sat, double lum) {
    hue = heldToWorkingRange(hue);
    sat = heldToWorkingRange(sat);
    lum = heldToWorkingRange(lum);
    const float h = static_cast<float>(hue);
    const float l = static_cast<float>(lum * 0.01);
    const float s = static_cast<float>(sat * 0.01);
    const double dl = l, ds = s;
    const float m2 = static_cast<float>(l > 0.5f ? dl + ds - dl * ds : dl * (1 + ds));
    const float m1 = static_cast<float>(2 * dl - m2);
    float r = l, g = l, b = l;
    if (s != 0) {
        r = HueToChannel(m1, m2, static_cast<float>(static_cast<double>(h) + 120));
        g = HueToChannel(m1, m2, h);
        b = HueToChannel(m1, m2, static_cast<float>(static_cast<double>(h) - 120));
    }
    return channelByte(r) | channelByte(g) << 8 | channelByte(b) << 16;
}

Hsl RgbToHsl(double red, double green, double blue) {
    // A channel outside 0-255 is held to the nearest end, as the channel edit boxes do; beyond
    // them the saturation's divisor can reach 0.
    auto held = [](double c) { return std::isnan(c) ? 0.0 : std::clamp(c, 0.0, 255.0); };
    red = held(red);
    green = held(green);
    blue = held(blue);
    const float r = static_cast<float>(red / 255);
    const float g = static_cast<float>(green / 255);
    const float b = static_cast<float>(blue / 255);
    float max = r > g ? r : g;
    if (b > max) max = b;
    float min = r < g ? r : g;
    if (b < min) min = b;
    const double dmax = max, dmin = min;
    const float l = static_cast<float>((dmax + dmin) / 2);
    float s = 0;
    float h = 0;
    if (max != min) {
        const float d = static_cast<float>(dmax - dmin);
        s = static_cast<float>(l < 0.5f ? d / (dmax + dmin) : d / (2 - dmax - dmin));
        // Later tests override earlier ones when two channels share the maximum.
        if (r == max) h = static_cast<float>((static_cast<double>(g) - b) / d);
        if (g == max) h = static_cast<float>(2 + (static_cast<double>(b) - r) / d);
        if (b == max) h = static_cast<float>(4 + (static_cast<double>(r) - g) / d);
    }
    // The products are taken exactly from the single-precision values, then truncated.
    int degrees = static_cast<int>(std::trunc(static_cast<double>(h) * 60.0));
    if (degrees < 0) degrees += 360;
    if (degrees >= 360) degrees -= 360;
    Hsl out;
    out.hue = degrees;
    out.sat = static_cast<int>(std::trunc(static_cast<double>(s) * 100.0));
    out.lum = static_cast<int>(std::trunc(static_cast<double>(l) * 100.0));
    return out;
}

} // namespace hw
