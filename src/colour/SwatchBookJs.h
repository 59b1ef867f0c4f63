#pragma once

#include "colour/Pallet.h"
#include "colour/TColor.h"
#include "base/Result.h"

#include <string>
#include <string_view>

namespace hw {

/// The two byte layouts of the painting colour file. Both define the globals hexCode
/// ("#RRGGBB") and decCode (the TColor in decimal) for the page script; which one a writer
/// uses is fixed per writer (swatch card chips and suggested schemes A, book colours B).
enum class SwatchBookJsLayout { A, B };

/// The file's bytes: CR LF line ends, none after the last statement (47 bytes in layout A and
/// 49 in layout B for white).
std::string swatchBookJsText(SwatchBookJsLayout layout, std::string_view hexCode, TColor decCode);

/// The painting colour file, tempFolder() + "/swatchBook.js"; the page script loads it by
/// this name before every paint.
std::string swatchBookJsPath();

/// Whether `text` is exactly six hexadecimal digits (either letter case).
bool isHexCode(std::string_view text);

/// Makes a colour the painting colour by replacing the whole file. Every writer calls this.
/// Fails, with nothing written, when `hexCode` is not six hexadecimal digits (the page script
/// runs the file, so nothing else may reach it) or when the file cannot be created (the Temp
/// folder is missing); the caller still sets the current colour.
Result<void> writeSwatchBookJs(SwatchBookJsLayout layout, std::string_view hexCode, TColor decCode);

/// A click on a swatch card chip or on a colour of the book card shown: when the slot's
/// caption is non-empty the file is written with the caption as hex code and the slot colour
/// as decimal code; in every case the clicked colour becomes the current colour. A caption that
/// is not a colour code is refused with an error and leaves the file as it was.
Result<void> paintWithSlotColour(Pallet& pallet, SwatchBookJsLayout layout, std::string_view caption,
                                 TColor slotColor, TColor clickedColor);

/// A click on a suggested colour: it becomes the current colour and, unconditionally, the
/// painting colour (layout A, hex code from the Pallet).
void paintWithSuggestedColour(Pallet& pallet, TColor color);

} // namespace hw
