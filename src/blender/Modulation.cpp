#include "blender/Modulation.h"

#include "blender/Hsv.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace hw {

namespace {

/// part / whole in percent, 100 when the whole is zero (a grey or black pick has no
/// saturation to scale, black no value).
double percentOf(int part, int whole) { return whole == 0 ? 100.0 : static_cast<double>(part) / whole * 100.0; }

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string numberText(double x, int digits) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, digits);
    return std::string(buffer, r.ptr);
}

} // namespace

NegatedPercentages negateParameters(TColor oldColour, double brightness, double saturation,
                                    double hueShift) {
    const Hsv old = hsvOfColour(oldColour);
    const Rgb target = rgbOfHsv(brightness * old.value / 100.0, saturation * old.saturation / 100.0,
                                old.hue + hueShift);
    const Hsv oldInverted = hsvOfInverted(oldColour);
    // The target may lie outside 0..255; its inversion is taken as it is.
    const Hsv targetInverted = hsvOf(255 - target.blue, 255 - target.green, 255 - target.red);
    return {percentOf(targetInverted.saturation, oldInverted.saturation),
            percentOf(targetInverted.value, oldInverted.value)};
}

float hueShiftBetween(TColor oldColour, TColor newColour) {
    const int ho = hsvOfColour(oldColour).hue;
    const int hn = hsvOfColour(newColour).hue;
    return static_cast<float>(ho > hn ? 360 - (ho - hn) : hn - ho);
}

Modulation modulationBetween(TColor oldColour, TColor newColour) {
    const Hsv o = hsvOfColour(oldColour);
    const Hsv n = hsvOfColour(newColour);
    return {hueShiftBetween(oldColour, newColour), static_cast<float>(percentOf(n.saturation, o.saturation)),
            static_cast<float>(percentOf(n.value, o.value))};
}

Modulation composeModulation(const Modulation& stored, TColor oldColour, TColor newColour) {
    const Modulation change = modulationBetween(oldColour, newColour);
    Modulation m;
    m.hueShift = stored.hueShift + change.hueShift;
    m.brightness = stored.brightness * (change.brightness / 100.0f);
    m.saturation = stored.saturation * (change.saturation / 100.0f);
    return m;
}

double libraryHue(double hueShift) {
    if (hueShift > 360) hueShift -= 360;
    const double h = hueShift / 360.0 * 200.0;
    double hue = h > 100 ? h - 100 : h + 100;
    // The library turns by (hue - 100) x 1.8 degrees modulo a full turn; it works the turn down
    // step by step, so a huge value from a hand-edited record would stall it. 200 is one turn.
    if (!std::isfinite(hue)) return 100;
    if (hue < 0 || hue > 200) {
        hue = std::fmod(hue, 200.0);
        if (hue < 0) hue += 200.0;
    }
    return hue;
}

LibraryModulation libraryModulationBetween(TColor oldColour, TColor newColour) {
    const Modulation m = modulationBetween(oldColour, newColour);
    LibraryModulation lib;
    lib.hue = libraryHue(m.hueShift);
    lib.negate = hsvOfColour(newColour).value < hsvOfColour(oldColour).value;
    if (lib.negate) {
        const Hsv oi = hsvOfInverted(oldColour);
        const Hsv ni = hsvOfInverted(newColour);
        lib.saturation = percentOf(ni.saturation, oi.saturation);
        lib.brightness = percentOf(ni.value, oi.value);
    } else {
        lib.saturation = m.saturation;
        lib.brightness = m.brightness;
    }
    return lib;
}

LibraryModulation libraryModulationFor(const Modulation& m, TColor oldColour) {
    LibraryModulation lib;
    lib.hue = libraryHue(m.hueShift);
    lib.negate = m.brightness < 100;
    if (lib.negate) {
        const NegatedPercentages n = negateParameters(oldColour, m.brightness, m.saturation, m.hueShift);
        lib.saturation = n.saturation;
        lib.brightness = n.brightness;
    } else {
        lib.saturation = m.saturation;
        lib.brightness = m.brightness;
    }
    return lib;
}

std::string storedNumberText(float x) { return numberText(x, 6); }

std::string generalNumberText(double x) { return numberText(x, 15); }

std::string modulationText(const Modulation& m) {
    return "?mod(" + generalNumberText(m.brightness) + "," + generalNumberText(m.saturation) + ",," +
           generalNumberText(m.hueShift) + ")$mod$";
}

std::string oldColourText(TColor oldColour) { return "^oc" + std::to_string(oldColour) + "^^"; }

std::optional<double> parseNumber(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    double x = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), x, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(x)) return std::nullopt;
    return x;
}

std::optional<float> parseFloatNumber(std::string_view text) {
    const auto x = parseNumber(text);
    if (!x || std::fabs(*x) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(*x);
}

std::optional<TColor> parseColourNumber(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    TColor c = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), c);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return c;
}

std::optional<Modulation> parseModulationText(std::string_view text) {
    const auto open = text.find('(');
    const auto comma = text.find(',');
    const auto doubleComma = text.find(",,");
    const auto close = text.find(')');
    constexpr auto npos = std::string_view::npos;
    if (open == npos || comma == npos || doubleComma == npos || close == npos) return std::nullopt;
    if (!(open < comma && comma < doubleComma && doubleComma < close)) return std::nullopt;
    const auto brightness = parseFloatNumber(text.substr(open + 1, comma - open - 1));
    const auto saturation = parseFloatNumber(text.substr(comma + 1, doubleComma - comma - 1));
    const auto hueShift = parseFloatNumber(text.substr(doubleComma + 2, close - doubleComma - 2));
    if (!brightness || !saturation || !hueShift) return std::nullopt;
    return Modulation{*hueShift, *saturation, *brightness};
}

} // namespace hw
