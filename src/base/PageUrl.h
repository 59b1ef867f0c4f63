#pragma once

#include <string>
#include <string_view>

namespace hw {

/// The browser shows local files through a URL scheme of the program's own, so that a ".tmp"
/// working copy is shown as HTML: huewright://page/<absolute path>.
inline constexpr std::string_view pageScheme = "huewright";
inline constexpr std::string_view pageUrlPrefix = "huewright://page";

/// The page URL of an absolute local path, with blanks, "%", "#", "?" and every byte outside
/// printable ASCII percent-escaped.
std::string pageUrl(std::string_view path);
/// The local path of a page URL (or of a "file://" URL), percent escapes decoded; empty when
/// the URL is neither.
std::string pathOfUrl(std::string_view url);
/// Decodes every percent escape of a text.
std::string percentDecode(std::string_view text);

} // namespace hw
