#include "engine/InputLimits.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace hw {

namespace {

constexpr std::uintmax_t megabyte = 1024 * 1024;
// Binary files (pictures, archives, random bytes) hold a zero byte within their first few
// kilobytes; a page's text never does.
constexpr std::size_t sniffedBytes = 4096;

std::string megabytes(std::uintmax_t bytes) { return std::to_string((bytes + megabyte - 1) / megabyte) + " MB"; }

// The size of a regular file, or 0 when it is not one or cannot be looked at.
std::uintmax_t regularFileSize(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec) || ec) return 0;
    const auto size = std::filesystem::file_size(path, ec);
    return ec ? 0 : size;
}

} // namespace

Status checkPageFile(const std::string& path) {
    if (const auto size = regularFileSize(path); size > maxPageBytes)
        return Error{"The page " + path + " is too large to open (" + megabytes(size) + "; the limit is " +
                     megabytes(maxPageBytes) + ")."};
    std::ifstream in(path, std::ios::binary);
    char head[sniffedBytes];
    in.read(head, sizeof head);
    const auto read = static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount()));
    if (std::find(head, head + read, '\0') != head + read)
        return Error{"The file " + path + " is not a web page: it holds binary data, not text."};
    return {};
}

Status checkPageTags(const std::string& what, std::string_view text) {
    const auto tags = static_cast<std::size_t>(std::count(text.begin(), text.end(), '<'));
    if (tags > maxPageTags)
        return Error{what + " has too many tags to open (" + std::to_string(tags) + "; the limit is " +
                     std::to_string(maxPageTags) + ")."};
    return {};
}

Status checkSchemeFile(const std::string& path) {
    if (const auto size = regularFileSize(path); size > maxSchemeBytes)
        return Error{"The scheme file " + path + " is too large to open (" + megabytes(size) + "; the limit is " +
                     megabytes(maxSchemeBytes) + ")."};
    return {};
}

Status checkSchemeText(const std::string& page, std::uintmax_t bytes) {
    if (bytes > maxSchemeBytes)
        return Error{"The scheme of " + page + " would be larger than " + megabytes(maxSchemeBytes) +
                     ", the largest scheme file Huewright opens; it was not saved."};
    return {};
}

} // namespace hw
