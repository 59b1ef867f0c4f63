#pragma once

#include "base/Result.h"
#include "colour/TColor.h"

#include <string>

namespace hw {

/// Recolours the picture the user dropped the repaint tool on, so that `oldColour` in it
/// becomes `newColour`. A path holding ".tmp" with a parameter file beside it is a recoloured
/// copy: it is rebuilt in place from its source picture with the change composed onto the
/// earlier ones. Any other picture gets a new copy in the Temp folder. Either way the copy's
/// parameter file and im.js are written. Line ends in the path are dropped. Gives the copy the
/// page is to show; on failure the page keeps its picture.
Result<std::string> recolourImage(const std::string& picturePath, TColor oldColour, TColor newColour);
/// Recolours `sourcePath` into a new copy, whatever its name.
Result<std::string> recolourSourcePicture(const std::string& sourcePath, TColor oldColour, TColor newColour);

/// Rebuilds a recoloured copy from a change record entry: `modulationText` is
/// "(" brightness "," saturation ",," hue shift ")", `oldColourText` the decimal colour.
/// Writes a new copy and its parameter file (not im.js).
Result<std::string> recreateImage(const std::string& sourcePath, const std::string& modulationText,
                                  const std::string& oldColourText);

/// Deletes im.js and every recoloured copy and parameter file in the Temp folder.
void sweepRecolouredCopies();

} // namespace hw
