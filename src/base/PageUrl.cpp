#include "base/PageUrl.h"

namespace hw {

std::string pageUrl(std::string_view path) {
    static const char digits[] = "0123456789ABCDEF";
    std::string url(pageUrlPrefix);
    for (unsigned char c : path) {
        if (c <= 0x20 || c >= 0x7F || c == '%' || c == '#' || c == '?' || c == '"' || c == '\'' || c == '\\') {
            url += '%';
            url += digits[c >> 4];
            url += digits[c & 15];
        } else {
            url += static_cast<char>(c);
        }
    }
    return url;
}

std::string percentDecode(std::string_view text) {
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int hi = hex(text[i + 1]), lo = hex(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string pathOfUrl(std::string_view url) {
    std::string_view rest;
    if (url.substr(0, pageUrlPrefix.size()) == pageUrlPrefix) rest = url.substr(pageUrlPrefix.size());
    else if (url.substr(0, 7) == "file://") rest = url.substr(7);
    else return {};
    const auto cut = rest.find_first_of("?#");
    if (cut != std::string_view::npos) rest = rest.substr(0, cut);
    return percentDecode(rest);
}

} // namespace hw
