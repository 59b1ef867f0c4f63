// Subcommands of the image blender: the colour maths and recolouring pictures.

#include "tool/ToolCommands.h"

#include "base/Folders.h"
#include "blender/Hsv.h"
#include "blender/ImageBlender.h"
#include "blender/MagickLibrary.h"
#include "blender/Modulation.h"

#include <charconv>
#include <optional>
#include <ostream>

namespace hw::tool {

namespace {

int bad(std::ostream& err, const std::string& message) {
    err << "huewright-tool: " << message << "\n";
    return 2;
}

std::optional<int> wholeNumber(const std::string& text) {
    int value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

std::optional<TColor> colourArgument(const std::string& text) {
    const auto value = wholeNumber(text);
    if (!value || *value < 0 || *value > clWhite) return std::nullopt;
    return *value;
}

int printResult(const Result<std::string>& copy, std::ostream& out, std::ostream& err) {
    if (!copy) return bad(err, copy.error());
    out << *copy << "\n";
    return 0;
}

} // namespace

int runHsv(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) return bad(err, "usage: hsv R G B");
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        const auto v = wholeNumber(args[i]);
        if (!v || *v < 0 || *v > 255) return bad(err, "'" + args[i] + "' is not a channel value 0..255");
        rgb[i] = *v;
    }
    const Hsv hsv = hsvOf(rgb[2], rgb[1], rgb[0]);
    out << hsv.hue << " " << hsv.saturation << " " << hsv.value << "\n";
    return 0;
}

int runModulation(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) return bad(err, "usage: modulation OLD NEW");
    const auto oldColour = colourArgument(args[0]);
    const auto newColour = colourArgument(args[1]);
    if (!oldColour || !newColour) return bad(err, "colours are decimal values 0..16777215");
    const Modulation m = modulationBetween(*oldColour, *newColour);
    const LibraryModulation lib = libraryModulationBetween(*oldColour, *newColour);
    out << storedNumberText(m.hueShift) << "\n"
        << storedNumberText(m.saturation) << "\n"
        << storedNumberText(m.brightness) << "\n"
        << (lib.negate ? 1 : 0) << "\n"
        << generalNumberText(lib.saturation) << "\n"
        << generalNumberText(lib.brightness) << "\n"
        << generalNumberText(lib.hue) << "\n";
    return 0;
}

int runRecolour(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) return bad(err, "usage: recolour SRC OLD NEW");
    const auto oldColour = colourArgument(args[1]);
    const auto newColour = colourArgument(args[2]);
    if (!oldColour || !newColour) return bad(err, "colours are decimal values 0..16777215");
    if (!ensureFolders()) return bad(err, "the folder " + tempFolder() + " cannot be made");
    MagickLibrary library;
    return printResult(recolourSourcePicture(args[0], *oldColour, *newColour), out, err);
}

int runRecreate(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) return bad(err, "usage: recreate SRC MODTEXT OLD");
    if (!ensureFolders()) return bad(err, "the folder " + tempFolder() + " cannot be made");
    MagickLibrary library;
    return printResult(recreateImage(args[0], args[1], args[2]), out, err);
}

} // namespace hw::tool
