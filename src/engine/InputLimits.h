#pragma once

// How large a page or a scheme file the program takes. Instrumentation gives every tag an id and
// its handlers (some 80 bytes), so a page is held to a size and to a number of tags that keep
// its working copy a few tens of megabytes at most; files that are not text are told as such
// before any of them is read in full.

#include "base/Result.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace hw {

/// The largest page file opened, in bytes (the same as the largest frame source).
inline constexpr std::uintmax_t maxPageBytes = 16u * 1024 * 1024;
/// The most tags ("<") a page or a scheme file may hold.
inline constexpr std::size_t maxPageTags = 250'000;
/// The largest scheme file opened: a page of the largest size with its record and stylesheet.
inline constexpr std::uintmax_t maxSchemeBytes = 32u * 1024 * 1024;

/// Whether the file at `path` may be opened as a page: no larger than maxPageBytes, and text (no
/// zero byte among its first bytes, which pictures and other binary files always have). A
/// file that cannot be read passes: its reader tells that.
Status checkPageFile(const std::string& path);
/// Whether a page's text has at most maxPageTags tags; `what` names it in the message.
Status checkPageTags(const std::string& what, std::string_view text);
/// Whether the file at `path` is no larger than maxSchemeBytes.
Status checkSchemeFile(const std::string& path);
/// Whether a scheme text of `bytes` bytes, written for the page at `page`, may be saved: a scheme
/// larger than maxSchemeBytes could not be opened again, so it is never written.
Status checkSchemeText(const std::string& page, std::uintmax_t bytes);

} // namespace hw
