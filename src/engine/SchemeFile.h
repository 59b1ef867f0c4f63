#pragma once

// The web scheme file (".wsm"): the change record block, the stylesheet and the page source.
// Every part goes through a text stream that turns LF into CR LF, so a CR LF already in a part
// is stored as CR CR LF; readers rely only on the markers.

#include "base/AnsiString.h"
#include "base/Result.h"

#include <functional>
#include <string>

namespace hw {

class WebScheme;

/// The placeholder that a stored page carries instead of its stylesheet's name.
inline constexpr const char* styleSheetPlaceholder = "style#SheetFile";

/// The link tags of a page with its tag names upper-cased: a tag naming a ".CSS" file stays,
/// its "<LINK" written "<link", and every other goes. A deletion that joins a "<" with a
/// following "LINK" makes a tag of its own. A tag with no ">" runs to the end of the text.
std::string keepStyleSheetLinks(std::string_view page);

/// The frame tags of a frameset whose tag names are upper-cased and whose sources are marked:
/// each "<FRAME" (one inside another's tag too) becomes "<frame", and the first source of its
/// tag becomes src='frameS[n]', n counting the tags from 0. `onFrame` gets n and the source's
/// name without quotes (empty for a frame without one), in tag order.
std::string numberFrameSources(std::string frameset, const std::function<void(int, const std::string&)>& onFrame);

/// The logical text of a single-page scheme file (LF line ends before the text stream):
/// `block` from the record, `page` the page source, stylesheets read from `pageFolder`.
AnsiString singlePageSchemeText(const AnsiString& block, AnsiString page, const std::string& pageFolder);
/// The same for a frameset page; frame pages and their stylesheets are read from `pageFolder`.
AnsiString framesetSchemeText(const AnsiString& block, AnsiString frameset, const std::string& pageFolder);

/// Writes a new single-page scheme file from `pageFile` and the cookie's record (whose block is
/// left in `changeRecord`). The file is replaced only when the whole text was written.
Status WriteSchemeFile(WebScheme& scheme, const std::string& schemeFile);
/// Writes a new frameset scheme file from the frameset `pageFile` and its frame cookies.
Status WriteFramesetSchemeFile(WebScheme& scheme, const std::string& schemeFile);

} // namespace hw
