#pragma once

#include "colour/TColor.h"

#include <string>

namespace hw {

struct RecolourResult {
    bool ok = false;
    std::string copyPath; ///< the recoloured copy the page is to show
    std::string error;    ///< why nothing was recoloured; the page keeps its picture
};

/// Recolours the picture the user dropped the repaint tool on, so that `oldColour` in it
/// becomes `newColour`. A path holding ".tmp" with a parameter file beside it is a recoloured
/// copy: it is rebuilt in place from its source picture with the change composed onto the
/// earlier ones. Any other picture gets a new copy in the Temp folder. Either way the copy's
/// parameter file and im.js are written. Line ends in the path are dropped.
RecolourResult recolourImage(const std::string& picturePath, TColor oldColour, TColor newColour);
/// Recolours `sourcePath` into a new copy, whatever its name.
RecolourResult recolourSourcePicture(const std::string& sourcePath, TColor oldColour, TColor newColour);

/// Rebuilds a recoloured copy from a change record entry: `modulationText` is
/// "(" brightness "," saturation ",," hue shift ")", `oldColourText` the decimal colour.
/// Writes a new copy and its parameter file (not im.js).
RecolourResult recreateImage(const std::string& sourcePath, const std::string& modulationText,
                             const std::string& oldColourText);

/// Deletes im.js and every recoloured copy and parameter file in the Temp folder.
void sweepRecolouredCopies();

} // namespace hw
