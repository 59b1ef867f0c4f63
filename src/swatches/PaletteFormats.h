#pragma once

// Swatch cards written to and read from the palette files of other design tools: GIMP palettes
// (.gpl), Adobe Swatch Exchange (.ase), CSS custom properties (.css) and design tokens (.json).
//
// How cards map: a card becomes a group of its filled slots (ASE group, JSON group) or, in the
// flat formats, colours named after the card and the slot ("Sea 1", "--sea-1"). Reading turns
// the colours back into cards of three: a colour whose name ends in " 1", " 2" or " 3" (or "-1"
// and so on) goes to that slot; a new card starts with each new group or name stem, when a
// card is full, or when a slot number does not move forward. Colours without such a name fill
// the next slots in order, titled with their group, else the palette's name. Cards without a
// colour are not written.

#include "base/Result.h"
#include "swatches/SwatchBook.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hw {

enum class PaletteFormat { Gimp, Ase, Css, Json };

/// The format of a word as the tool takes it or of a file extension: "gpl", "ase", "css",
/// "json" (letter case ignored); nullopt for anything else.
std::optional<PaletteFormat> paletteFormatNamed(std::string_view word);
/// The format of a path by its extension.
std::optional<PaletteFormat> paletteFormatOfPath(const std::string& path);
/// The format a file's first bytes declare: "GIMP Palette" or "ASEF"; nullopt otherwise.
std::optional<PaletteFormat> paletteFormatOfContent(std::string_view bytes);
/// The extension of a format, without the dot.
const char* paletteExtension(PaletteFormat format);

/// The bytes of a palette file of `cards`. `name` is the palette's own name where the format
/// has one (GIMP's Name line, a CSS comment).
std::string paletteFileText(PaletteFormat format, const std::vector<SwatchBook>& cards, const std::string& name);
/// Writes a palette file atomically (temporary file beside it, then renamed).
Status writePaletteFile(const std::string& path, PaletteFormat format, const std::vector<SwatchBook>& cards,
                        const std::string& name);

/// The cards of a palette file's bytes. `name` titles the colours that no group or name stem
/// titles. A malformed file is an error whose text is a clause for a sentence ("its line 3
/// holds ..."); a file without a single colour is an error too.
Result<std::vector<SwatchBook>> parsePaletteText(PaletteFormat format, std::string_view bytes,
                                                 const std::string& name);
/// Reads a palette file, its format from the extension, else from its first bytes. Every
/// failure is a whole sentence for the user that names the file.
Result<std::vector<SwatchBook>> readPaletteFile(const std::string& path);

/// How many of a card's slots hold a colour (a slot with an empty caption holds none).
int filledSlots(const SwatchBook& card);

} // namespace hw
