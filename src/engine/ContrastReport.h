#pragma once

#include "colour/Contrast.h"
#include "colour/TColor.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hw {

/// One element of the page that shows text, as the contrast report lists it.
struct ContrastRow {
    int frame = 0;           ///< 0 for the page itself, else the frame's place (breadth first)
    std::string path;        ///< child indexes from the document element, "1/0/3"
    std::string tag;         ///< lower case
    std::string id;
    std::string className;
    std::string text;        ///< the start of the element's own text, blanks collapsed
    TColor textColour = clBlack;
    /// The opaque colour behind the text; none when a background picture is behind it, which
    /// only an eye can judge.
    std::optional<TColor> background;
    double fontSizePx = 16;
    int fontWeight = 400;
    ContrastVerdict verdict{}; ///< meaningless without a background

    /// How the page finds the element again: "frame:path".
    std::string key() const;
    /// "p#intro.lead "Some text..."": tag, id, classes and the first 40 characters of its text.
    std::string description() const;
};

/// Where a row stands; the report lists them in this order.
enum class ContrastStanding { FailsAA, FailsAAA, ByEye, Passes };

ContrastStanding standingOf(const ContrastRow& row);

/// What the page's collection gave: the rows, how many lines were not understood, and whether
/// the page had more texts than the collection takes.
struct ContrastCollection {
    bool understood = false; ///< the text began with the collection's header
    std::vector<ContrastRow> rows;
    int rejectedLines = 0;
    bool truncated = false;
};

/// The most elements the page's collection reports, and the most rows this side reads.
inline constexpr int contrastCollectionCap = 3000;

/// Reads the collection script's text. The text comes from a page and is taken as hostile:
/// lines that are malformed, out of range or too long are counted and skipped, at most
/// `contrastCollectionCap` rows are read, and a text without the header gives no rows at all.
/// Each row gets its verdict.
ContrastCollection parseContrastCollection(std::string_view text);

/// Failures of AA first, then failures of AAA only, then the rows to check by eye, then the
/// passes; within a group the lowest ratio first, then page order.
void sortContrastRows(std::vector<ContrastRow>& rows);

int countAAFailures(const std::vector<ContrastRow>& rows);

/// "#RRGGBB".
std::string hexOf(TColor colour);

/// The report as CSV: a header row, then a row per element; fields are quoted where they hold a
/// comma, a quote or a line break, lines end in CR LF.
std::string contrastCsv(const std::vector<ContrastRow>& rows);

/// The report as a small standalone HTML page titled after `pageName`; all page text escaped.
std::string contrastHtml(const std::vector<ContrastRow>& rows, const std::string& pageName);

/// "3 texts fail WCAG AA contrast" (1 text fails; no text fails).
std::string aaFailureText(int failures);

} // namespace hw
