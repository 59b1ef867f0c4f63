#include "blender/ParameterFile.h"

#include <cctype>

namespace hw {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

/// The next whitespace-separated word of `text` from `pos`, moving `pos` past it.
std::string_view nextWord(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    const std::size_t start = pos;
    while (pos < text.size() && !isBlank(text[pos])) ++pos;
    return text.substr(start, pos - start);
}

std::string scriptQuoted(const std::string& path) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (c == '\'' || c == '\\') {
            out.push_back('\\');
            out.push_back(path[i]);
        } else if (c < 0x20 || c == 0x7F) {
            // A line break ends a string literal; every control character goes as an escape.
            out += "\\x";
            out.push_back(digits[c >> 4]);
            out.push_back(digits[c & 15]);
        } else if (c == 0xE2 && i + 2 < path.size() && path[i + 1] == '\x80' &&
                   (path[i + 2] == '\xA8' || path[i + 2] == '\xA9')) {
            // U+2028 and U+2029 in UTF-8, which also end a line in a script.
            out += path[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
            i += 2;
        } else {
            out.push_back(path[i]);
        }
    }
    return out;
}

} // namespace

std::string parameterFilePath(const std::string& copyPath) {
    if (copyPath.size() < 4) return {};
    std::string ext = copyPath.substr(copyPath.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext != ".tmp") return {};
    return copyPath.substr(0, copyPath.size() - 4) + ".dat";
}

std::string parameterFileText(const RecolourParameters& p) {
    return p.sourcePath + "\r\n" + std::to_string(p.oldColour) + "\r\n" + storedNumberText(p.modulation.hueShift) +
           "\r\n" + storedNumberText(p.modulation.saturation) + "\r\n" + storedNumberText(p.modulation.brightness);
}

std::optional<RecolourParameters> parseParameterFile(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    std::size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) return std::nullopt;
    std::size_t pathEnd = end;
    if (pathEnd > pos && text[pathEnd - 1] == '\r') --pathEnd;
    RecolourParameters p;
    p.sourcePath.assign(text.substr(pos, pathEnd - pos));
    if (p.sourcePath.empty()) return std::nullopt;
    pos = end + 1;
    const auto colour = parseColourNumber(nextWord(text, pos));
    const auto hueShift = parseFloatNumber(nextWord(text, pos));
    const auto saturation = parseFloatNumber(nextWord(text, pos));
    const auto brightness = parseFloatNumber(nextWord(text, pos));
    if (!colour || !hueShift || !saturation || !brightness) return std::nullopt;
    p.oldColour = *colour;
    p.modulation = {*hueShift, *saturation, *brightness};
    return p;
}

std::string imJsText(const std::string& copyPath, const std::string& sourcePath, const Modulation& m,
                     TColor oldColour) {
    return "var\r\nim='" + scriptQuoted(copyPath) + "';\r\nvar\r\nop='" + scriptQuoted(sourcePath) +
           "';\r\nvar\r\nmod='" + modulationText(m) + "';\r\nvar\r\noc='" + oldColourText(oldColour) + "';";
}

} // namespace hw
