#include "colour/SwatchBookJs.h"

#include "base/Files.h"
#include "base/Folders.h"

#include <cctype>

namespace hw {

std::string swatchBookJsText(SwatchBookJsLayout layout, std::string_view hexCode, TColor decCode) {
    std::string out = "var\r\nhexCode='#";
    out += hexCode;
    out += layout == SwatchBookJsLayout::A ? "';var\r\n" : "';\r\nvar\r\n";
    out += "decCode='";
    out += std::to_string(decCode);
    out += "';";
    return out;
}

std::string swatchBookJsPath() { return tempFolder() + "/swatchBook.js"; }

bool isHexCode(std::string_view text) {
    if (text.size() != 6) return false;
    for (const char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

Result<void> writeSwatchBookJs(SwatchBookJsLayout layout, std::string_view hexCode, TColor decCode) {
    // The page script evaluates this file, so nothing but a colour may ever reach it.
    if (!isHexCode(hexCode))
        return Error{"'" + std::string(hexCode) + "' is not a colour code of six hexadecimal digits."};
    if (!writeFileBytes(swatchBookJsPath(), swatchBookJsText(layout, hexCode, decCode)))
        return Error{"The file " + swatchBookJsPath() + " could not be written."};
    return {};
}

Result<void> paintWithSlotColour(Pallet& pallet, SwatchBookJsLayout layout, std::string_view caption,
                                 TColor slotColor, TColor clickedColor) {
    Result<void> written;
    if (!caption.empty()) written = writeSwatchBookJs(layout, caption, slotColor);
    pallet.pick(clickedColor);
    return written;
}

void paintWithSuggestedColour(Pallet& pallet, TColor color) {
    pallet.pick(color);
    static_cast<void>(writeSwatchBookJs(SwatchBookJsLayout::A, pallet.GetHexCode().str(), color));
}

} // namespace hw
