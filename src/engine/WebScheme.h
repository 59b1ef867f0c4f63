#pragma once

#include "base/AnsiString.h"

#include <string>
#include <vector>

namespace hw {

/// Path fields hold these literals instead of a path; they are compared as text.
inline constexpr const char* emptyPathMarker = "Empty";
inline constexpr const char* noStyleMarker = "noStyle";

/// One open scheme.
struct PageScheme {
    bool tableBorders = false;
    /// Full path of the scheme file, or "Empty".
    AnsiString schemeFile = emptyPathMarker;
    /// The "~" copy taken before the first automatic save, or "Empty" while the scheme file
    /// holds only explicitly saved work.
    AnsiString backupFile = emptyPathMarker;
    /// The file the browser shows for this scheme, or "Empty".
    AnsiString workingCopy = emptyPathMarker;
    /// The scheme's temporary stylesheet ("ss" file), or "noStyle"; empty until first loaded.
    AnsiString styleSheetCopy;
    /// The swatch file ("sb") the scheme's cards were read from; empty until first loaded.
    std::string swatchFile;
    /// A frameset scheme's frame copies ("fps"), by frame index; empty for a single page.
    std::vector<std::string> frameCopies;
};

/// The scheme work of the whole program: the page painted and the texts and paths of the scheme
/// being saved or shown.
class WebScheme {
public:
    /// The page opened for painting.
    AnsiString pageFile;
    /// The text of the cookie file last read.
    AnsiString changeRecord;
    /// A file in the folder whose cookie file holds the current change record; only its folder
    /// counts.
    AnsiString cookieAnchor;
    AnsiString schemeText;
    AnsiString schemePage;
    AnsiString swatchList;
    /// Both "noStyle" when the scheme has no stylesheet.
    AnsiString styleSheetFile;
    AnsiString styleSheetText;
    AnsiString framesetCopy;
    AnsiString frameCopies[10];
};

} // namespace hw
