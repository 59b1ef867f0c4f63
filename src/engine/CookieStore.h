#pragma once

#include "base/Result.h"

#include <cstddef>
#include <string>

namespace hw {

/// The store of the cookies that local pages write, one text file per page folder in the
/// cookies folder, in the layout the change record readers expect:
///
///   name LF value LF "~~local~~" folder "/" LF expiry LF creation LF "*" LF
///
/// The file of a folder is "huewright@" + the folder's text + "_[1].txt", the folder's text
/// being the folder without its trailing "/", its leading "/" written as "__" and every other
/// "/" as "_" (/home/u/site gives __home_u_site, the root gives __).
class CookieStore {
public:
    /// The most one cookie ("name=value") may take, and the most the file of one folder may.
    static constexpr std::size_t maxCookieBytes = 1 << 20;
    static constexpr std::size_t maxFileBytes = 8 << 20;

    /// The folder's text of the file name.
    static std::string folderText(const std::string& folder);
    /// Full path of the cookie file of `folder`.
    static std::string fileFor(const std::string& folder);

    /// Stores a `document.cookie` assignment made by the document at `documentPath`:
    /// "name=value;attributes...". Text without "=" before its first ";" (the picture request)
    /// is stored with the whole text as its name and an empty value. A cookie of an existing
    /// name replaces its record in place; a new name is appended. Line ends in the name or
    /// value are stored as blanks and NULs are dropped, so the layout holds. Fails, storing
    /// nothing, when the cookie or the folder's file would pass its size limit or the file
    /// cannot be written.
    static Status setCookie(const std::string& documentPath, const std::string& assignment);

    /// What `document.cookie` reads for the document at `documentPath`: "name=value" pairs
    /// joined by "; ".
    static std::string cookiesFor(const std::string& documentPath);

    /// Deletes every cookie of every local page (every cookie file of the store).
    static void purgeLocalCookies();
};

} // namespace hw
