#pragma once

// The change record: the cookie that the page script writes on every paint, read back from the
// cookie store. A record reads
//   initialise,?B<id>$B$:B#RRGGBB(<decimal>)b,...,:Swatch:,%#RRGGBB(<decimal>),...,%%,images:...endData
// (frameC[n] ... frameE[n] for frame n). Entries are found by their markers, never by commas.

#include "base/AnsiString.h"

#include <string>
#include <vector>

namespace hw {

class WebScheme;

/// One cookie of a cookie file: its name line, its value line and the lines after them.
struct CookieRecord {
    AnsiString name;
    AnsiString value;
    /// The lines after the value up to and with the closing "*", each with its LF; the store
    /// writes them back unchanged when it rewrites the file.
    std::string rest;
};

/// The cookies of a cookie file in file order, for the store and the record readers alike.
/// Each record is a name line, a value line, and further lines up to a line "*"; a truncated
/// last record ends with the text and is kept, so a rewrite loses nothing. A CR before the LF
/// of a name or a value is dropped (the file went through a CRLF editor).
std::vector<CookieRecord> parseCookieFile(const AnsiString& text);

/// The folder of the browser's cookie files.
std::string CookiesFolder();
/// How the cookie store spells a folder in a cookie file name: "/home/u/site" gives
/// "__home_u_site" and "/" gives "__". Empty for a relative or empty folder.
std::string cookieFolderText(const std::string& folder);
/// The name the store gives the cookie file of a folder: "huewright@" + its text + "_[1].txt".
std::string cookieStoreFileName(const std::string& folder);
/// The name (without folder) of the cookie file of a folder inside `cookiesFolder`, or empty.
std::string cookieFileNameIn(const std::string& cookiesFolder, const std::string& folder);

/// The cookie file (no folder) of the `cookieAnchor` folder, or empty when nothing was painted.
AnsiString CookieFileName(const WebScheme& scheme);
/// The whole cookie file of the `cookieAnchor` folder; empty when there is none.
AnsiString ReadCookieFile(const WebScheme& scheme);
/// The record block of a new single-page scheme file, read from the cookie file; the block is
/// also left in `changeRecord`.
AnsiString PageRecordBlock(WebScheme& scheme);
/// The same for a frameset scheme file.
AnsiString FramesetRecordBlock(WebScheme& scheme);
/// The local path of the picture last Ctrl+right-clicked, without line feeds; empty when no
/// picture was asked for.
AnsiString ImageRequestPath(const WebScheme& scheme);

/// "data" LF record LF LF, or empty when the cookie text holds no "data" cookie. Cookies ahead
/// of it (the picture request) and after it are left out.
AnsiString pageRecordBlockOf(const AnsiString& cookieText);
/// "frameC[n]" LF record LF LF for every frame cookie, in file order; nothing else.
AnsiString framesetRecordBlockOf(const AnsiString& cookieText);
/// The path of the last picture request of a cookie text ("file:///..." made local and
/// percent-decoded), or empty.
AnsiString imageRequestPathOf(const AnsiString& cookieText);

// Taking entries apart. A reader walks the entries of one aspect in a working copy of a record:
// it takes the first entry that begins with the aspect's key and then spoils that entry's
// markers so the next search finds the next entry.

/// Aspect letters: 'B' background, 'C' text colour, 'D' border colour.
struct ColourEntry {
    AnsiString elementId;
    /// "#" and six upper-case hexadecimal digits.
    AnsiString hexCode;
};

struct ImageEntry {
    AnsiString elementId;
    /// The picture before recolouring, with "/" separators.
    AnsiString sourcePath;
    /// The background-repeat value; empty for an image element.
    AnsiString repeatValue;
    /// "(" brightness "," saturation ",," hue ")", as the image recolouring takes it.
    AnsiString modulation;
    /// Decimal colour value.
    AnsiString oldColour;
};

/// Whether the record still holds an entry of the aspect ("?B", "?C", "?D").
bool hasColourEntry(const AnsiString& record, char letter);
bool hasImageEntry(const AnsiString& record);
/// The id and hex code of the first entry of an aspect; false when there is none.
bool firstColourEntry(const AnsiString& record, char letter, ColourEntry& entry);
bool firstImageEntry(const AnsiString& record, ImageEntry& entry);
/// Spoils the markers of the first entry of an aspect so it is no longer found. Always removes
/// at least one character while an entry is left, so walking loops end.
void spoilColourEntry(AnsiString& record, char letter);
void spoilImageEntry(AnsiString& record);
/// firstColourEntry followed by spoilColourEntry; false when no entry is left.
bool takeColourEntry(AnsiString& record, char letter, ColourEntry& entry);
bool takeImageEntry(AnsiString& record, ImageEntry& entry);
/// Every swatch item with its trailing comma: the text from the first "%" up to the first
/// "%%"; empty when the list is empty or missing.
AnsiString swatchListOf(const AnsiString& record);

} // namespace hw
