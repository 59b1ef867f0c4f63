#pragma once

// Export Scheme as Stylesheet: a scheme's colours as a CSS file for the page it was painted on,
// so that the designer can link it into the real site. One rule per painted element, keyed by a
// selector that finds the element in the page as the page itself is written (not in the
// program's working copy): the page's own id where the page gives one to that element alone,
// else the element's child positions from the body. Every declaration is "!important", so that
// linked after the page's own stylesheets it wins over them and over the page's inline styles,
// as the scheme view's colours do.
//
// A painted element is found as the scheme view finds it: the stored page is instrumented again,
// with a marker put in front of every start tag, and the tag that the element's id ends up in
// is the element's own start tag in the page. An element the page's structure cannot name
// unambiguously gets a commented-out rule with the reason instead of a wrong selector.

#include "base/AnsiString.h"
#include "base/Result.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hw {

/// What the header comment names.
struct StyleSheetHeader {
    std::string schemeName; ///< the scheme file's name, without folder
    std::string date;       ///< e.g. "2026-12-09"
};

/// The stylesheet of one page: `page` the page text as the scheme holds it, `record` its change
/// record; `borders` false leaves border colours out (frames show none). `pageLabel` names the
/// page in the header (empty for the page's title); `doctype` is the inside of the doctype that
/// stood in front of the page text, when one did; the first `sectionsBefore` characters of
/// `page` are instrumented with it but are no part of the page.
std::string pageStyleSheet(const AnsiString& page, const AnsiString& record, bool borders,
                           const StyleSheetHeader& header, const std::string& pageLabel = {},
                           const std::optional<std::string>& doctype = std::nullopt, std::size_t sectionsBefore = 0);

/// One stylesheet of a scheme.
struct SchemeStyleSheet {
    int frame = -1;   ///< the frame's index, or -1 for a single page
    std::string text;
};

/// The stylesheets of a scheme file's text: one for a single page, one per frame of a frameset
/// (each frame page as its own document).
std::vector<SchemeStyleSheet> schemeStyleSheets(const AnsiString& schemeText, const StyleSheetHeader& header);

/// Where a frame's stylesheet goes: "site.css" gives "site-frame0.css", "site-frame1.css", ...
std::string frameStyleSheetPath(const std::string& target, int frame);

/// Today's date in UTC as "YYYY-MM-DD", for the header.
std::string todayText();

/// Reads a scheme file and writes its stylesheets: a single page's to `target`, a frameset's
/// beside it as frameStyleSheetPath names them. Each file is written whole or not at all.
/// Returns the files written; a scheme that cannot be read, is no scheme or a file that cannot
/// be written is an error naming it.
Result<std::vector<std::string>> exportSchemeStyleSheet(const std::string& schemeFile, const std::string& target,
                                                        const std::string& date);

} // namespace hw
