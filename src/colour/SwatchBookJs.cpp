#include "colour/SwatchBookJs.h"

#include "base/Files.h"
#include "base/Folders.h"

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

bool writeSwatchBookJs(SwatchBookJsLayout layout, std::string_view hexCode, TColor decCode) {
    return writeFileBytes(swatchBookJsPath(), swatchBookJsText(layout, hexCode, decCode));
}

void paintWithSlotColour(Pallet& pallet, SwatchBookJsLayout layout, std::string_view caption,
                         TColor slotColor, TColor clickedColor) {
    if (!caption.empty()) writeSwatchBookJs(layout, caption, slotColor);
    pallet.pick(clickedColor);
}

void paintWithSuggestedColour(Pallet& pallet, TColor color) {
    pallet.pick(color);
    writeSwatchBookJs(SwatchBookJsLayout::A, pallet.GetHexCode().str(), color);
}

} // namespace hw
