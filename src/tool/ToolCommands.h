#pragma once

#include "engine/SchemeView.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace hw::tool {

using Args = std::vector<std::string>;

/// Each subcommand gets the words after its name, writes its result to `out` and its
/// complaints to `err`, and returns the exit status (0, or 2 for bad input).
int runInstrument(const Args& args, std::ostream& out, std::ostream& err);
int runColour(const Args& args, std::ostream& out, std::ostream& err);
/// Contrast of text on a background: the WCAG ratio, APCA Lc and the AA/AAA verdicts.
int runContrast(const Args& args, std::ostream& out, std::ostream& err);
/// A colour as a colour-vision deficiency shows it.
int runSimulate(const Args& args, std::ostream& out, std::ostream& err);
int runBook(const Args& args, std::ostream& out, std::ostream& err);
int runSuggest(const Args& args, std::ostream& out, std::ostream& err);
int runRecordBlock(const Args& args, std::ostream& out, std::ostream& err);
int runFramesetBlock(const Args& args, std::ostream& out, std::ostream& err);
int runImageRequest(const Args& args, std::ostream& out, std::ostream& err);
int runWriteScheme(const Args& args, std::ostream& out, std::ostream& err);
int runMerge(const Args& args, std::ostream& out, std::ostream& err);
int runHsv(const Args& args, std::ostream& out, std::ostream& err);
int runModulation(const Args& args, std::ostream& out, std::ostream& err);
int runRecolour(const Args& args, std::ostream& out, std::ostream& err);
int runRecreate(const Args& args, std::ostream& out, std::ostream& err);
int runSchemeView(const Args& args, std::ostream& out, std::ostream& err);
/// A scheme's working files as the scheme view builds them, pictures recoloured by the image
/// blender; nullopt when the scheme cannot be shown, which is told on `err`.
std::optional<SchemeViewFiles> showScheme(const std::string& scheme, std::ostream& err);
int runExportPalette(const Args& args, std::ostream& out, std::ostream& err);
int runImportPalette(const Args& args, std::ostream& out, std::ostream& err);
int runCreateHtml(const Args& args, std::ostream& out, std::ostream& err);
int runExportStylesheet(const Args& args, std::ostream& out, std::ostream& err);

} // namespace hw::tool
