#pragma once

#include "base/AnsiString.h"
#include "base/Result.h"
#include "engine/InputLimits.h"

#include <cstdint>

#include <string>
#include <string_view>

namespace hw {

/// The page being opened: its instrumented text, its rewritten frameset and its path.
class WebPage {
public:
    /// The whole file as text: read as bytes, ending at the first zero byte. A file that cannot
    /// be read gives an empty text.
    static AnsiString ReadPageFile(const std::string& path);

    /// Rewrites a page's text into `instrumentedText`: every element of the tag families gets an
    /// element id and click handlers, links, scripts, forms and event attributes are made
    /// harmless and the page script goes into the head.
    void InstrumentPage(const AnsiString& text);

    /// Rewrites a frameset into `framesetText`, writing one instrumented frame copy ("fwp") per
    /// distinct frame source into the folder of `path`. A frameset of more than maxFrames frame
    /// tags is refused with a message and nothing is written.
    Status InstrumentFrameset(const AnsiString& text, const std::string& path);

    AnsiString instrumentedText;
    AnsiString framesetText;
    std::string pagePath;
    AnsiString frameTexts[10];
};

/// The largest frame source read, in bytes.
inline constexpr std::uintmax_t frameSourceLimit = 16u * 1024 * 1024;
/// The most frame tags a frameset may have.
inline constexpr std::size_t maxFrames = 500;

/// What the frame sources of one frameset may hold together: one page's number of tags and a
/// few pages' size. Opening and saving a frameset read the same sources in the same order, so a
/// source past either shows as an empty page and is stored as one.
class FrameBudget {
public:
    /// Whether `source` fits in what is left; when it does, it is counted.
    bool take(std::string_view source);

private:
    std::size_t m_tagsLeft = maxPageTags;
    std::uintmax_t m_bytesLeft = 4 * maxPageBytes;
};

/// The path of a frame source named by a frameset in `folder` that may be read, or empty: only a
/// regular file inside that folder's tree (symbolic links resolved) of at most frameSourceLimit
/// bytes is; anything else shows as an empty page.
std::string frameSourcePath(const std::string& folder, const std::string& source);

/// The element id a tag's text gives: the value of its "I$D=" attribute (up to a space or the
/// ">", quotes and "<" removed), or `fallback` when the tag has none.
std::string elementIdOf(std::string_view tag, const std::string& fallback);

/// The script that instrumentation puts at the very start of a page: the page script with the
/// page URLs of the Temp folder's swatchBook.js and im.js filled in.
std::string pageHeadScript();

/// What a frameset's source attribute reads once marked; "\xA3" is the Latin-1 pound sign the
/// pages of the time were written in, so no page text holds the mark by itself.
inline constexpr std::string_view framesetSourceMark = "S\xA3" "RC=";
/// A "<FRAMESET" hidden from the searches for "<FRAME" while the frame tags are rewritten.
inline constexpr std::string_view hiddenFrameset = "<\xA3" "FRAMESET";
/// Marks the source attributes of a frameset text (its tags already upper-cased): every
/// "src=" and "src =" becomes `framesetSourceMark` (one blank before and one after "=" are
/// dropped) and every other "src" is spoiled as "s#rc" so it is never taken for one.
void markFramesetSources(AnsiString& text);

/// Takes the page's own scripts out of its text, in whatever letter case they are written:
/// script and inline frame tags become upper case (for the block deletion that follows), the
/// first letter of every event-handler attribute's name ("on" and letters before "=") becomes
/// a character reference, and every "javascript:" address gets a word joiner before it. Both
/// read as before where the page shows them as text. Text holding none of these comes back
/// unchanged.
void disarmPageScripts(AnsiString& text);

/// Whether a page text is a frameset ("<frameset" or "<FRAMESET" occurs).
bool isFramesetText(const AnsiString& text);

} // namespace hw
