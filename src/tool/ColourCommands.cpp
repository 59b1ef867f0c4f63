// Colour conversions, swatch book files and suggested schemes on the command line.

#include "tool/ToolCommands.h"

#include "colour/ColorCodes.h"
#include "colour/Contrast.h"
#include "colour/VisionSimulation.h"
#include "colour/Ucolorschemer.h"
#include "swatches/SwatchBookFile.h"
#include "tools/SuggestSchemes.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <stdexcept>
#include <string>

namespace hw::tool {

namespace {

/// Bad input that is not an integer conversion (a real number, a usage mistake).
struct BadInput : std::runtime_error {
    using std::runtime_error::runtime_error;
};

/// A real number written with "." whatever the locale.
double toReal(const std::string& text) {
    double v = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, v);
    // Not-a-number and the infinities are no colour value either.
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(v))
        throw BadInput("'" + text + "' is not a valid floating point value");
    return v;
}

void needArgs(const Args& args, std::size_t count, const char* usage) {
    if (args.size() != count) throw BadInput(std::string("usage: huewright-tool ") + usage);
}

int runGuarded(std::ostream& err, const auto& body) {
    try {
        return body();
    } catch (const IntegerConversionError& e) {
        err << e.what() << "\n";
    } catch (const BadInput& e) {
        err << e.what() << "\n";
    }
    return 2;
}

/// A colour written as six hex digits, red first, with or without a leading "#".
TColor hexArgument(const std::string& text) {
    const std::string digits = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    const bool ok = digits.size() == 6 &&
                    digits.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
    if (!ok) throw BadInput("'" + text + "' is not a colour: give six hex digits, as 777777 or #777777");
    return HexCodeToColor(digits);
}

const char* passText(bool passes) { return passes ? "pass" : "fail"; }

} // namespace

int runContrast(const Args& args, std::ostream& out, std::ostream& err) {
    return runGuarded(err, [&] {
        needArgs(args, 2, "contrast FG BG   (hex colours, as 777777 or #777777)");
        const TColor text = hexArgument(args[0]), background = hexArgument(args[1]);
        // Any size below 18.66 px is normal text and 24 px is large whatever the weight.
        const ContrastVerdict normal = judgeContrast(text, background, 16, 400);
        const ContrastVerdict large = judgeContrast(text, background, 24, 400);
        char lc[32];
        std::snprintf(lc, sizeof lc, "%.2f", normal.lc);
        out << "ratio " << ratioText(normal.ratio) << "\n"
            << "Lc " << lc << "\n"
            << "AA normal " << passText(normal.passesAA) << "\n"
            << "AAA normal " << passText(normal.passesAAA) << "\n"
            << "AA large " << passText(large.passesAA) << "\n"
            << "AAA large " << passText(large.passesAAA) << "\n";
        return 0;
    });
}

int runSimulate(const Args& args, std::ostream& out, std::ostream& err) {
    return runGuarded(err, [&] {
        const char* usage = "simulate normal|protanopia|deuteranopia|tritanopia|achromatopsia HEX";
        needArgs(args, 2, usage);
        const auto kind = visionKindFromName(args[0]);
        if (!kind) throw BadInput("huewright-tool simulate: unknown vision '" + args[0] + "'; usage: huewright-tool " + usage);
        out << ColorToHexCode(simulateVision(*kind, hexArgument(args[1]))).str() << "\n";
        return 0;
    });
}

int runColour(const Args& args, std::ostream& out, std::ostream& err) {
    return runGuarded(err, [&] {
        if (args.empty()) throw BadInput("usage: huewright-tool colour hex2color|color2hex|rgb2hex|hsl2color|rgb2hsl ARGS...");
        const std::string& form = args[0];
        if (form == "hex2color") {
            needArgs(args, 2, "colour hex2color HEX");
            out << HexCodeToColor(args[1]) << "\n";
        } else if (form == "color2hex") {
            needArgs(args, 2, "colour color2hex N");
            out << ColorToHexCode(StrToInt(args[1])).str() << "\n";
        } else if (form == "rgb2hex") {
            needArgs(args, 4, "colour rgb2hex R G B");
            out << RgbTextsToHexCode(args[1], args[2], args[3]).str() << "\n";
        } else if (form == "hsl2color") {
            needArgs(args, 4, "colour hsl2color H S L");
            const double h = toReal(args[1]), s = toReal(args[2]), l = toReal(args[3]);
            out << HslToColor(h, s, l) << "\n";
        } else if (form == "rgb2hsl") {
            needArgs(args, 4, "colour rgb2hsl R G B");
            const int r = StrToInt(args[1]), g = StrToInt(args[2]), b = StrToInt(args[3]);
            const Hsl hsl = RgbToHsl(r, g, b);
            out << hsl.hue << " " << hsl.sat << " " << hsl.lum << "\n";
        } else {
            throw BadInput("huewright-tool colour: unknown form '" + form + "'");
        }
        return 0;
    });
}

int runBook(const Args& args, std::ostream& out, std::ostream& err) {
    return runGuarded(err, [&] {
        const char* usage = "book FILE [--save OUT | --save-as OUT]";
        if (args.size() != 1 && args.size() != 3) needArgs(args, 1, usage);
        if (args.size() == 3 && args[1] != "--save" && args[1] != "--save-as") needArgs(args, 1, usage);
        const Result<BookContents> read = readBookFile(args[0]);
        if (!read) throw BadInput(read.error());
        if (args.size() == 3) {
            const Status written = writeBookFile(args[2], read->cards, read->lastCard, args[1] == "--save-as");
            if (!written) throw BadInput(written.error());
            return 0;
        }
        for (int i = 0; i <= read->lastCard; ++i) {
            const SwatchBook& card = read->cards[static_cast<std::size_t>(i)];
            out << card.GetColor1() << '\t' << card.GetColor2() << '\t' << card.GetColor3() << '\t'
                << card.GetCaption1().str() << '\t' << card.GetCaption2().str() << '\t'
                << card.GetCaption3().str() << '\t' << card.GetTitle().str() << '\n';
        }
        return 0;
    });
}

int runSuggest(const Args& args, std::ostream& out, std::ostream& err) {
    return runGuarded(err, [&] {
        needArgs(args, 3, "suggest H S L");
        PaletteState state;
        state.hue = StrToInt(args[0]);
        state.sat = StrToInt(args[1]);
        state.lum = StrToInt(args[2]);
        state.FromHsl();
        const SuggestedSchemes schemes = SuggestSchemes(state.hue, state.sat, state.lum, state.color);
        for (const auto& scheme : schemes)
            out << ColorToHexCode(scheme[0]).str() << ' ' << ColorToHexCode(scheme[1]).str() << ' '
                << ColorToHexCode(scheme[2]).str() << '\n';
        return 0;
    });
}

} // namespace hw::tool
