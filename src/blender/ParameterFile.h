#pragma once

#include "blender/Modulation.h"
#include "colour/TColor.h"

#include <optional>
#include <string>
#include <string_view>

namespace hw {

/// What the parameter file beside a recoloured copy keeps: the source picture, the colour that
/// was picked in it first and the modulation applied so far.
struct RecolourParameters {
    std::string sourcePath;
    TColor oldColour = 0;
    Modulation modulation;
};

/// The parameter file's name for a recoloured copy: its ".tmp" replaced by ".dat"; empty when
/// the name does not end in ".tmp" (in either letter case).
std::string parameterFilePath(const std::string& copyPath);

/// Five lines, CR LF between them and none after the last: source path, old colour (decimal),
/// hue shift, saturation and brightness percentages (six significant digits).
std::string parameterFileText(const RecolourParameters& p);
/// Reads what parameterFileText writes; LF or CR LF line ends, blanks before the path and
/// between the numbers are allowed. nullopt when a field is missing or not a number.
std::optional<RecolourParameters> parseParameterFile(std::string_view text);

/// The swap script: "var", "im='copy';", "var", "op='source';", "var", "mod='...';", "var",
/// "oc='...';" on eight CR LF lines with no line end after the last. The paths are plain
/// absolute paths; a "'" or "\" in them is escaped so the script keeps the path as it is.
std::string imJsText(const std::string& copyPath, const std::string& sourcePath, const Modulation& m,
                     TColor oldColour);

} // namespace hw
