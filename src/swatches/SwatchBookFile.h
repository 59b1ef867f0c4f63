#pragma once

#include "base/Result.h"
#include "swatches/SwatchBook.h"

#include <string>
#include <string_view>

namespace hw {

/// A piece of a file for a message: quoted, at most 40 bytes (then "..."), control characters
/// as "?".
std::string quotedForMessage(std::string_view text);

/// A book as its file holds it: cards 0..lastCard (-1 for an empty book).
struct BookContents {
    SwatchBookCards cards;
    int lastCard = -1;
};

/// Parses the bytes of a swatch book file (.sbk).
///
/// Line 1 holds lastCard (-1..9), the index of the last card, not the count. Each card follows
/// as seven lines: color1, color2, color3 in decimal, caption1..3 (the word "space" for an empty
/// caption, read back as an empty caption with a white colour whatever the file says), and the
/// title. Numbers and captions are read as blank- or line-delimited words; the title is the rest
/// of its line with leading blanks dropped, kept whole, and an empty title line is an empty
/// title, so no title can shift the cards after it. LF and CR LF line ends are both accepted.
/// A missing line, a word where a number belongs or a card count out of range rejects the whole
/// file; the error then says why, as a clause ("it is empty.") for readBookFile's sentence.
Result<BookContents> parseBookText(std::string_view text);
/// Reads and parses a book file; an unreadable file is rejected like a malformed one, with a
/// sentence for the user that names the file.
Result<BookContents> readBookFile(const std::string& path);

/// The bytes of a book file: CR LF after every line except the last title, which gets one only
/// when `finalLineEnd` is set (Save Swatch Book As). Empty captions are written as "space";
/// a line end inside a title is written as a blank so the file keeps its line structure.
std::string bookFileText(const SwatchBookCards& cards, int lastCard, bool finalLineEnd);
/// Writes the book file atomically (temporary file beside it, then renamed), so a failed write
/// leaves the old file whole.
Status writeBookFile(const std::string& path, const SwatchBookCards& cards, int lastCard, bool finalLineEnd);

} // namespace hw
