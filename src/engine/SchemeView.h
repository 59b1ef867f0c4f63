#pragma once

// The scheme view: a scheme file shown again as if it had just been painted. The stored page is
// instrumented again (so it gets the same element ids), every recorded colour goes into its
// element's tag as an inline style, recoloured pictures are made again from their sources, and
// the stylesheet goes into a temporary file the page links to. A frameset scheme gets one frame
// copy per frame and a frameset copy pointing at them. The scheme's swatch list becomes cards of
// three colours, titled with the scheme file's name.

#include "base/AnsiString.h"
#include "base/Result.h"
#include "swatches/SwatchBook.h"

#include <string>
#include <vector>

namespace hw {

/// Makes the recoloured copies of pictures that a scheme's record names.
class PictureMaker {
public:
    virtual ~PictureMaker() = default;
    /// The full path of a new recoloured copy of `sourcePath`, or empty when none can be made
    /// (the element then keeps its own picture). `modulation` is "(" brightness ","
    /// saturation ",," hue ")", `oldColour` a decimal colour value, both as the record holds them.
    virtual std::string recreate(const std::string& sourcePath, const std::string& modulation,
                                 const std::string& oldColour) = 0;
};

/// A single-page scheme applied to its page, before anything is written.
struct AppliedPage {
    AnsiString page;           ///< the instrumented page with every colour of the record
    bool hasStyleSheet = false;
    AnsiString styleSheetText; ///< the stored stylesheet, when there is one
    AnsiString swatchList;     ///< every "%#RRGGBB(decimal)," item, in record order
};

/// Applies a single-page scheme file's text. `styleSheetName` (a file name without folder)
/// replaces the page's stylesheet placeholder when the scheme has a stylesheet. Each painted
/// element gets one style attribute right after its id: its own declarations, then the scheme's
/// colours (the last entry of an aspect wins); an id the page does not hold is passed over.
AppliedPage applySchemeToPageText(const AnsiString& schemeText, const std::string& styleSheetName,
                                  PictureMaker& pictures);

/// The colours a record paints on one element, as the scheme view paints them: the last entry
/// of each aspect, "#RRGGBB" as recorded or empty.
struct PaintedColours {
    std::string elementId;
    std::string background;
    std::string text;
    std::string border;
};
/// The painted elements of a record in the order of their first entry; `borders` false leaves
/// border entries out (frames show none). An id holding a quote is passed over, as the view does.
std::vector<PaintedColours> paintedColours(const AnsiString& record, bool borders);

/// A single-page scheme's record and the page text the scheme view instruments.
struct SchemePageText {
    AnsiString page;
    AnsiString record;
    std::string prolog; ///< the scheme text in front of the page (where its doctype stands)
    /// How many characters at the start of `page` are the scheme's own sections, not the page:
    /// a page without an html tag is taken from the start of the scheme text.
    std::size_t sectionsBefore = 0;
};
SchemePageText singlePageOfScheme(const AnsiString& schemeText);

/// One frame of a frameset scheme as the scheme view builds it: its index, its page text, its
/// record (empty when the frame was not painted) and its stored stylesheet's rules (read when its
/// page names that stylesheet).
struct SchemeFrameText {
    int index = 0;
    AnsiString page;
    bool painted = false; ///< the frame has a record section, empty or not
    AnsiString record;
    AnsiString css;
    std::string prolog; ///< the scheme text in front of the frame's marker
};
std::vector<SchemeFrameText> framesOfScheme(AnsiString schemeText);

/// The swatch file of a swatch list: the index of its last card, then seven lines per card (three
/// decimal colours, three captions "RRGGBB" or "space", the title `schemeFileName`), CR LF ends.
std::string swatchFileText(const AnsiString& swatchList, const std::string& schemeFileName);
/// The cards of a swatch file's text; a caption "space" becomes empty and the title loses the
/// four characters from its first "." (blue.wsm gives blue).
std::vector<SwatchBook> readSwatchFileText(const std::string& text);

/// Places a scheme's freshly read cards among the loaded schemes' cards and returns the index of
/// the card to make current. A first load adds the group after the others; a reload (`reload`
/// set, with more than one scheme open) replaces only the group that holds `current`, the cards
/// after it keeping their order; a reload with one scheme open replaces all cards.
int placeSchemeCards(std::vector<SwatchBook>& cards, int current, const std::vector<SwatchBook>& fresh, bool reload,
                     int lastScheme);

/// What building a scheme's view wrote beside the scheme file.
struct SchemeViewFiles {
    bool frameset = false;
    std::string workingCopy;               ///< the "ps" file the browser shows
    std::string styleSheetCopy;            ///< the "ss" file of a single page, or "noStyle"
    std::vector<std::string> frameCopies;  ///< the "fps" files of a frameset, by frame index
    std::string swatchFile;                ///< the "sb" file
    std::vector<SwatchBook> cards;         ///< the cards read back from the swatch file
};

/// The cards of a scheme file's swatch list, as the scheme view makes them, without building any
/// working file: for a frameset, each frame's swatches once, in frame order. A file that cannot
/// be read, or is not a scheme, is an error.
Result<std::vector<SwatchBook>> readSchemeCards(const std::string& schemeFile);

/// Whether a scheme file's text is a frameset scheme. Only the frameset writer puts the frameset
/// page between "[indexString]" markers; a record section "frameC" alone would also be found in a
/// page that merely mentions it, and an unpainted frameset scheme has none.
bool isFramesetSchemeText(const AnsiString& schemeText);

/// Builds a scheme's working files in the scheme file's folder. A single page's working copy is
/// written to `workingCopy` when it is given (a rebuild in place), else to a new "ps" file; a
/// frameset always gets new files. `tableBorders` gives every table a border. A scheme file that
/// cannot be read, or that is not a scheme file, is an error and writes nothing.
Result<SchemeViewFiles> buildSchemeView(const std::string& schemeFile, bool tableBorders, PictureMaker& pictures,
                                        const std::string& workingCopy = {});

} // namespace hw
