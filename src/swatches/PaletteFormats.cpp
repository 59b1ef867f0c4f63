#include "swatches/PaletteFormats.h"

#include "base/Files.h"
#include "colour/ColorCodes.h"
#include "swatches/SwatchBookFile.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

namespace hw {

namespace {

using std::string_view;
constexpr auto npos = string_view::npos;

/// The largest palette file read. Real palettes are a few kilobytes; the bound keeps a wrong
/// file from being read whole into memory.
constexpr std::uintmax_t mostBytes = 16u * 1024u * 1024u;
/// Imported titles are cut to this many bytes (at a character boundary): a card shows one line.
constexpr std::size_t mostTitleBytes = 80;
/// JSON nests no deeper than this; a deeper file is refused before the stack is at risk.
constexpr int mostJsonDepth = 64;

/// One colour as a palette holds it, before it is placed on a card.
struct Entry {
    std::optional<std::string> group; ///< the group it stands in (ASE group, JSON group path)
    std::string name;
    TColor color = clBlack;
};

Error failure(std::string why) { return Error{std::move(why)}; }

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

string_view trimmed(string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool startsWith(string_view s, string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

string_view withoutBom(string_view s) { return startsWith(s, "\xEF\xBB\xBF") ? s.substr(3) : s; }

std::string lineText(int line) { return "its line " + std::to_string(line); }

// ---- text encodings ---------------------------------------------------------------------------

/// The code points of UTF-8 text; a byte that starts no valid sequence becomes U+FFFD, so
/// titles typed in another encoding still make a readable name.
std::u32string decodeUtf8(string_view s) {
    std::u32string out;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out += c;
            ++i;
            continue;
        }
        const int length = c >= 0xC2 && c < 0xE0 ? 2 : c >= 0xE0 && c < 0xF0 ? 3 : c >= 0xF0 && c < 0xF5 ? 4 : 0;
        char32_t cp = length == 2 ? c & 0x1F : length == 3 ? c & 0x0F : c & 0x07;
        bool ok = length > 0 && i + static_cast<std::size_t>(length) <= s.size();
        for (int k = 1; ok && k < length; ++k) {
            const auto d = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((d & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (d & 0x3F);
        }
        if (ok && ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
                   (cp >= 0xD800 && cp <= 0xDFFF)))
            ok = false;
        if (!ok) {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        out += cp;
        i += static_cast<std::size_t>(length);
    }
    return out;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

/// Text that is valid UTF-8, with every line end and control character as a blank, so it fits
/// one line of a text format.
std::string oneLine(string_view s) {
    std::string out;
    for (char32_t cp : decodeUtf8(s)) appendUtf8(out, cp < 32 || cp == 127 ? U' ' : cp);
    return out;
}

/// An imported title: one line, at most mostTitleBytes bytes, not cut inside a character.
std::string titleText(string_view s) {
    std::string line = oneLine(s);
    if (line.size() <= mostTitleBytes) return line;
    std::size_t cut = mostTitleBytes;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    line.resize(cut);
    return line;
}

// ---- colours ------------------------------------------------------------------------------------

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

/// "#rgb", "#rrggbb", or either with an alpha digit pair ("#rgba", "#rrggbbaa", alpha dropped:
/// a card colour is opaque); nullopt for anything else.
std::optional<TColor> hexColour(string_view v) {
    if (v.size() < 4 || v[0] != '#') return std::nullopt;
    v.remove_prefix(1);
    for (char c : v)
        if (hexDigit(c) < 0) return std::nullopt;
    auto pair = [&](std::size_t i) { return hexDigit(v[i]) * 16 + hexDigit(v[i + 1]); };
    auto twice = [&](std::size_t i) { return hexDigit(v[i]) * 17; };
    if (v.size() == 3 || v.size() == 4) return rgbColor(twice(0), twice(1), twice(2));
    if (v.size() == 6 || v.size() == 8) return rgbColor(pair(0), pair(2), pair(4));
    return std::nullopt;
}

std::string cssHex(TColor c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", redOf(c), greenOf(c), blueOf(c));
    return buf;
}

int channelOf(double unit) { return static_cast<int>(std::lround(std::clamp(unit, 0.0, 1.0) * 255.0)); }

/// CIE L*a*b* under D50, as Adobe's LAB swatches hold it (L 0-100, a and b about -128..127),
/// to sRGB: to XYZ under D50, then through the D50-adapted (Bradford) sRGB matrix.
TColor labColour(double l, double a, double b) {
    constexpr double epsilon = 216.0 / 24389.0, kappa = 24389.0 / 27.0;
    const double fy = (l + 16.0) / 116.0, fx = fy + a / 500.0, fz = fy - b / 200.0;
    auto inverse = [&](double f) { return f * f * f > epsilon ? f * f * f : (116.0 * f - 16.0) / kappa; };
    const double x = inverse(fx) * 0.96422;
    const double y = (l > kappa * epsilon ? fy * fy * fy : l / kappa);
    const double z = inverse(fz) * 0.82521;
    const double linear[3] = {3.1338561 * x - 1.6168667 * y - 0.4906146 * z,
                              -0.9787684 * x + 1.9161415 * y + 0.0334540 * z,
                              0.0719453 * x - 0.2289914 * y + 1.4052427 * z};
    int channel[3];
    for (int i = 0; i < 3; ++i) {
        const double v = std::clamp(linear[i], 0.0, 1.0);
        channel[i] = channelOf(v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055);
    }
    return rgbColor(channel[0], channel[1], channel[2]);
}

// ---- cards and names ----------------------------------------------------------------------------

/// The name a slot's colour gets in the flat formats and in groups: the card's title and the
/// slot number ("Sea 2"; "2" alone for an untitled card).
std::string slotName(const std::string& title, int slot) {
    return title.empty() ? std::to_string(slot) : title + " " + std::to_string(slot);
}

/// A colour name split into its stem and the slot number it ends in (" 1".."3" or "-1".."3",
/// or the bare digit); slot 0 when it ends in none.
struct SlotName {
    std::string stem;
    int slot = 0;
};

SlotName slotNameOf(string_view name) {
    name = trimmed(name);
    if (!name.empty() && name.back() >= '1' && name.back() <= '3') {
        const int slot = name.back() - '0';
        if (name.size() == 1) return {"", slot};
        const char separator = name[name.size() - 2];
        if (separator == ' ' || separator == '-' || separator == '\t')
            return {std::string(trimmed(name.substr(0, name.size() - 2))), slot};
    }
    return {std::string(name), 0};
}

std::vector<SwatchBook> cardsOf(const std::vector<Entry>& entries, const std::string& fallbackTitle) {
    std::vector<SwatchBook> cards;
    std::optional<std::string> key;
    int last = 0;
    for (const Entry& e : entries) {
        const SlotName n = slotNameOf(e.name);
        const std::optional<std::string> k = e.group ? e.group : n.slot ? std::optional(n.stem) : std::nullopt;
        if (cards.empty() || k != key || last == 3 || (n.slot != 0 && n.slot <= last)) {
            SwatchBook card;
            card.SetTitle(AnsiString(titleText(k ? *k : fallbackTitle)));
            cards.push_back(std::move(card));
            key = k;
            last = 0;
        }
        const int slot = n.slot != 0 ? n.slot : last + 1;
        const TColor color = e.color & 0xFFFFFF;
        cards.back().SetColor(slot, color);
        cards.back().SetCaption(slot, ColorToHexCode(color));
        last = slot;
    }
    return cards;
}

bool filled(const SwatchBook& card, int slot) { return !card.GetCaption(slot).IsEmpty(); }

// ---- GIMP palette -------------------------------------------------------------------------------

std::string gimpText(const std::vector<SwatchBook>& cards, const std::string& name) {
    std::string out = "GIMP Palette\nName: " + oneLine(name) + "\nColumns: 3\n#\n";
    for (const SwatchBook& card : cards) {
        for (int slot = 1; slot <= 3; ++slot) {
            if (!filled(card, slot)) continue;
            const TColor c = card.GetColor(slot);
            char rgb[16];
            std::snprintf(rgb, sizeof rgb, "%3d %3d %3d", redOf(c), greenOf(c), blueOf(c));
            out += rgb;
            out += '\t';
            out += slotName(oneLine(card.GetTitle().str()), slot);
            out += '\n';
        }
    }
    return out;
}

/// A channel of a colour row: one to three digits, at most 255. Moves `s` past it.
bool channelWord(string_view& s, int& value) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    std::size_t n = 0;
    value = 0;
    while (n < s.size() && s[n] >= '0' && s[n] <= '9' && n < 4) value = value * 10 + (s[n++] - '0');
    if (n == 0 || n > 3 || value > 255) return false;
    s.remove_prefix(n);
    return true;
}

Result<std::vector<Entry>> readGimp(string_view text, std::string& name) {
    text = withoutBom(text);
    std::vector<Entry> entries;
    int line = 0;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        string_view row = text.substr(at, end - at);
        at = end + 1;
        ++line;
        if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
        if (line == 1) {
            if (trimmed(row) != "GIMP Palette") return failure("it does not begin with the line \"GIMP Palette\".");
            continue;
        }
        const string_view t = trimmed(row);
        if (t.empty() || t.front() == '#') continue;
        if (startsWith(t, "Name:")) {
            name = std::string(trimmed(t.substr(5)));
            continue;
        }
        if (startsWith(t, "Columns:")) {
            int columns = 0;
            if (!tryStrToInt(trimmed(t.substr(8)), columns) || columns < 0)
                return failure(lineText(line) + " holds " + quotedForMessage(t) + ", and the number of columns is no number.");
            continue;
        }
        string_view rest = t;
        int r = 0, g = 0, b = 0;
        const bool numbers = channelWord(rest, r) && channelWord(rest, g) && channelWord(rest, b);
        if (!numbers || (!rest.empty() && rest.front() != ' ' && rest.front() != '\t'))
            return failure(lineText(line) + " holds " + quotedForMessage(t) +
                           " where a colour row (red, green and blue from 0 to 255, then a name) belongs.");
        entries.push_back({std::nullopt, std::string(trimmed(rest)), rgbColor(r, g, b)});
    }
    return entries;
}

// ---- Adobe Swatch Exchange ----------------------------------------------------------------------

constexpr std::uint16_t aseGroupStart = 0xC001, aseGroupEnd = 0xC002, aseColour = 0x0001;
/// ASE names hold their length in a 16-bit count of UTF-16 units, the closing zero included.
constexpr std::size_t mostAseNameUnits = 0xFFFF;

void put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>((v >> 8) & 0xFF);
    out += static_cast<char>(v & 0xFF);
}

void put32(std::string& out, std::uint32_t v) {
    put16(out, v >> 16);
    put16(out, v & 0xFFFF);
}

void putFloat(std::string& out, float f) {
    std::uint32_t bits = 0;
    static_assert(sizeof bits == sizeof f);
    std::memcpy(&bits, &f, sizeof bits);
    put32(out, bits);
}

void putAseName(std::string& out, string_view utf8) {
    std::u16string units;
    for (char32_t cp : decodeUtf8(utf8)) {
        if (cp >= 0x10000) {
            cp -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (cp >> 10));
            units += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            units += static_cast<char16_t>(cp);
        }
    }
    if (units.size() > mostAseNameUnits - 1) units.resize(mostAseNameUnits - 1);
    // A cut must not leave the first half of a pair at the end.
    if (!units.empty() && units.back() >= 0xD800 && units.back() <= 0xDBFF) units.pop_back();
    units += u'\0';
    put16(out, static_cast<std::uint32_t>(units.size()));
    for (char16_t u : units) put16(out, u);
}

std::string aseText(const std::vector<SwatchBook>& cards) {
    std::string blocks;
    std::uint32_t count = 0;
    auto block = [&](std::uint16_t type, const std::string& body) {
        put16(blocks, type);
        put32(blocks, static_cast<std::uint32_t>(body.size()));
        blocks += body;
        ++count;
    };
    for (const SwatchBook& card : cards) {
        if (filledSlots(card) == 0) continue;
        std::string body;
        putAseName(body, card.GetTitle().str());
        block(aseGroupStart, body);
        for (int slot = 1; slot <= 3; ++slot) {
            if (!filled(card, slot)) continue;
            const TColor c = card.GetColor(slot);
            body.clear();
            putAseName(body, slotName(card.GetTitle().str(), slot));
            body += "RGB ";
            putFloat(body, static_cast<float>(redOf(c) / 255.0));
            putFloat(body, static_cast<float>(greenOf(c) / 255.0));
            putFloat(body, static_cast<float>(blueOf(c) / 255.0));
            put16(body, 2); // a normal colour, neither global nor spot
            block(aseColour, body);
        }
        block(aseGroupEnd, {});
    }
    std::string out = "ASEF";
    put16(out, 1);
    put16(out, 0);
    put32(out, count);
    return out + blocks;
}

/// A big-endian reader over a span of bytes that never reads past it.
class ByteReader {
public:
    explicit ByteReader(string_view bytes) : m_bytes(bytes) {}
    std::size_t left() const { return m_bytes.size() - m_pos; }
    bool u16(std::uint32_t& v) {
        if (left() < 2) return false;
        v = (byte(0) << 8) | byte(1);
        m_pos += 2;
        return true;
    }
    bool u32(std::uint32_t& v) {
        std::uint32_t hi = 0, lo = 0;
        if (left() < 4) return false;
        u16(hi);
        u16(lo);
        v = (hi << 16) | lo;
        return true;
    }
    bool f32(float& f) {
        std::uint32_t bits = 0;
        if (!u32(bits)) return false;
        std::memcpy(&f, &bits, sizeof f);
        return true;
    }
    bool take(std::size_t n, string_view& out) {
        if (left() < n) return false;
        out = m_bytes.substr(m_pos, n);
        m_pos += n;
        return true;
    }

private:
    std::uint32_t byte(std::size_t i) const { return static_cast<unsigned char>(m_bytes[m_pos + i]); }
    string_view m_bytes;
    std::size_t m_pos = 0;
};

/// A block's name: a unit count, that many UTF-16BE units, the last of them zero. Broken
/// surrogate pairs are refused rather than guessed at.
Result<std::string> aseName(ByteReader& in) {
    std::uint32_t units = 0;
    string_view raw;
    if (!in.u16(units) || !in.take(std::size_t{units} * 2, raw)) return failure("its name runs past the block's end");
    if (units == 0) return std::string();
    auto unit = [&](std::size_t i) {
        return static_cast<char16_t>((static_cast<unsigned char>(raw[2 * i]) << 8) | static_cast<unsigned char>(raw[2 * i + 1]));
    };
    if (unit(units - 1) != 0) return failure("its name does not end with a zero");
    std::string out;
    for (std::size_t i = 0; i + 1 < units; ++i) {
        char32_t cp = unit(i);
        if (cp == 0) break;
        if (cp >= 0xDC00 && cp <= 0xDFFF) return failure("its name holds half of a UTF-16 pair");
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            const char32_t low = i + 2 < units ? unit(i + 1) : 0;
            if (low < 0xDC00 || low > 0xDFFF) return failure("its name holds half of a UTF-16 pair");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
            ++i;
        }
        appendUtf8(out, cp);
    }
    return out;
}

Result<TColor> aseColourValue(ByteReader& in) {
    string_view model;
    if (!in.take(4, model)) return failure("it ends before its colour model");
    const int count = model == "RGB " || model == "LAB " ? 3 : model == "CMYK" ? 4 : model == "Gray" ? 1 : 0;
    if (count == 0) return failure("its colour model " + quotedForMessage(model) + " is not RGB, CMYK, Gray or LAB");
    double v[4] = {};
    for (int i = 0; i < count; ++i) {
        float f = 0;
        if (!in.f32(f)) return failure("it ends before its colour values");
        if (!std::isfinite(f)) return failure("a colour value is not a number");
        v[i] = f;
    }
    std::uint32_t type = 0;
    if (!in.u16(type)) return failure("it ends before its colour type");
    if (model == "RGB ") return rgbColor(channelOf(v[0]), channelOf(v[1]), channelOf(v[2]));
    if (model == "Gray") return rgbColor(channelOf(v[0]), channelOf(v[0]), channelOf(v[0]));
    if (model == "CMYK") {
        // No colour profile: the plain complement, each ink darkening what the black leaves.
        const double k = 1.0 - std::clamp(v[3], 0.0, 1.0);
        auto ink = [&](double c) { return channelOf((1.0 - std::clamp(c, 0.0, 1.0)) * k); };
        return rgbColor(ink(v[0]), ink(v[1]), ink(v[2]));
    }
    return labColour(std::clamp(v[0], 0.0, 1.0) * 100.0, v[1], v[2]);
}

Result<std::vector<Entry>> readAse(string_view bytes) {
    if (!startsWith(bytes, "ASEF")) return failure("it does not begin with the signature \"ASEF\".");
    ByteReader in(bytes.substr(4));
    std::uint32_t major = 0, minor = 0, count = 0;
    if (!in.u16(major) || !in.u16(minor) || !in.u32(count)) return failure("it ends inside its header.");
    if (major != 1)
        return failure("it is of version " + std::to_string(major) + "." + std::to_string(minor) +
                       ", and only version 1 is known.");
    // Every block takes at least six bytes, so a larger count is a damaged file.
    if (count > in.left() / 6)
        return failure("it declares " + std::to_string(count) + " blocks, more than its " +
                       std::to_string(bytes.size()) + " bytes can hold.");

    std::vector<Entry> entries;
    std::optional<std::string> group;
    for (std::uint32_t i = 1; i <= count; ++i) {
        const std::string which = "its block " + std::to_string(i);
        std::uint32_t type = 0, length = 0;
        if (!in.u16(type) || !in.u32(length)) return failure("it ends before " + which + " of " + std::to_string(count) + ".");
        string_view body;
        if (!in.take(length, body))
            return failure(which + " claims " + std::to_string(length) + " bytes, past the end of the file.");
        ByteReader block(body);
        if (type == aseGroupStart) {
            auto name = aseName(block);
            if (!name) return failure(which + " is damaged: " + name.error() + ".");
            group = std::move(*name);
        } else if (type == aseGroupEnd) {
            group.reset();
        } else if (type == aseColour) {
            auto name = aseName(block);
            if (!name) return failure(which + " is damaged: " + name.error() + ".");
            auto color = aseColourValue(block);
            if (!color) return failure(which + " is damaged: " + color.error() + ".");
            entries.push_back({group, std::move(*name), *color});
        }
        // Other block types carry nothing a card can hold; their length lets them be passed over.
    }
    return entries;
}

// ---- CSS custom properties ------------------------------------------------------------------------

/// A title as part of a custom property name: lower-case ASCII letters, digits and every
/// character beyond ASCII (all allowed in a CSS name as they are), every other run of
/// characters one "-".
std::string slug(string_view title) {
    std::string out;
    for (char c : oneLine(title)) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 128) out += c;
        else if (std::isalnum(u)) out += static_cast<char>(std::tolower(u));
        else if (!out.empty() && out.back() != '-') out += '-';
    }
    while (!out.empty() && out.back() == '-') out.pop_back();
    return out.empty() ? "card" : out;
}

std::string cssText(const std::vector<SwatchBook>& cards, const std::string& name) {
    std::string comment = oneLine(name);
    for (auto p = comment.find("*/"); p != std::string::npos; p = comment.find("*/")) comment.replace(p, 2, "* /");
    std::string out = "/* " + comment + " */\n:root {\n";
    std::set<std::string> used;
    for (const SwatchBook& card : cards) {
        if (filledSlots(card) == 0) continue;
        // Each card's stem is unique, and every property adds one "-digit" to its stem, so no
        // two properties share a name.
        const std::string base = slug(card.GetTitle().str());
        std::string stem = base;
        for (int n = 2; !used.insert(stem).second; ++n) stem = base + "-" + std::to_string(n);
        for (int slot = 1; slot <= 3; ++slot)
            if (filled(card, slot))
                out += "  --" + stem + "-" + std::to_string(slot) + ": " + cssHex(card.GetColor(slot)) + ";\n";
    }
    return out + "}\n";
}

void cssDeclaration(string_view declaration, std::vector<Entry>& entries) {
    declaration = trimmed(declaration);
    const auto colon = declaration.find(':');
    if (colon == npos) return;
    const string_view name = trimmed(declaration.substr(0, colon));
    string_view value = trimmed(declaration.substr(colon + 1));
    if (!startsWith(name, "--") || name.size() == 2) return;
    if (const auto bang = value.find('!'); bang != npos) value = trimmed(value.substr(0, bang));
    if (const auto color = hexColour(value)) entries.push_back({std::nullopt, std::string(name.substr(2)), *color});
}

Result<std::vector<Entry>> readCss(string_view text) {
    text = withoutBom(text);
    std::vector<Entry> entries;
    std::string declaration;
    int depth = 0, line = 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') ++line;
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            const auto close = text.find("*/", i + 2);
            if (close == npos) return failure("the comment on its line " + std::to_string(line) + " never ends.");
            line += static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(i),
                                                text.begin() + static_cast<std::ptrdiff_t>(close), '\n'));
            i = close + 1;
            continue;
        }
        if (c == '"' || c == '\'') {
            // A string is kept whole, so a brace or semicolon inside it ends nothing.
            std::size_t j = i + 1;
            while (j < text.size() && text[j] != c && text[j] != '\n') j += text[j] == '\\' ? 2 : 1;
            if (j >= text.size() || text[j] != c) return failure("the string on its line " + std::to_string(line) + " never ends.");
            declaration.append(text.substr(i, j - i + 1));
            i = j;
            continue;
        }
        if (c == '{') {
            ++depth;
            declaration.clear();
        } else if (c == '}') {
            if (depth == 0) return failure(lineText(line) + " closes a block that was never opened.");
            cssDeclaration(declaration, entries);
            declaration.clear();
            --depth;
        } else if (c == ';') {
            if (depth > 0) cssDeclaration(declaration, entries);
            declaration.clear();
        } else {
            declaration += c;
        }
    }
    if (depth > 0) return failure("it ends inside a block that was never closed.");
    return entries;
}

// ---- design tokens (JSON) -----------------------------------------------------------------------

void appendJsonString(std::string& out, string_view utf8) {
    out += '"';
    for (char32_t cp : decodeUtf8(utf8)) {
        if (cp == '"') out += "\\\"";
        else if (cp == '\\') out += "\\\\";
        else if (cp == '\n') out += "\\n";
        else if (cp == '\t') out += "\\t";
        else if (cp < 32) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(cp));
            out += buf;
        } else {
            appendUtf8(out, cp);
        }
    }
    out += '"';
}

/// A card title as a token group name: the format keeps ".", "{" and "}" for references and
/// "$" at the start for its own properties.
std::string groupName(const std::string& title) {
    std::string out = title.empty() ? std::string("Untitled") : title;
    for (char& c : out)
        if (c == '.' || c == '{' || c == '}') c = '-';
    if (out.front() == '$') out.front() = '_';
    return out;
}

std::string jsonText(const std::vector<SwatchBook>& cards) {
    std::string out = "{";
    std::set<std::string> used;
    bool firstGroup = true;
    for (const SwatchBook& card : cards) {
        if (filledSlots(card) == 0) continue;
        const std::string base = groupName(oneLine(card.GetTitle().str()));
        std::string name = base;
        for (int n = 2; !used.insert(name).second; ++n) name = base + " " + std::to_string(n);
        out += firstGroup ? "\n  " : ",\n  ";
        firstGroup = false;
        appendJsonString(out, name);
        out += ": {";
        bool firstToken = true;
        for (int slot = 1; slot <= 3; ++slot) {
            if (!filled(card, slot)) continue;
            out += firstToken ? "\n    \"" : ",\n    \"";
            firstToken = false;
            out += std::to_string(slot) + "\": { \"$type\": \"color\", \"$value\": \"" + cssHex(card.GetColor(slot)) +
                   "\" }";
        }
        out += "\n  }";
    }
    return out + (firstGroup ? "}\n" : "\n}\n");
}

struct JsonMember;

struct Json {
    enum class Kind { Null, Boolean, Number, String, Array, Object } kind = Kind::Null;
    std::string text; ///< a string's value
    std::vector<JsonMember> members; ///< an object's members, in file order
    std::vector<Json> items;

    const Json* member(string_view key) const;
};

// A named value of an object; its own type, since a pair may not hold a type still incomplete.
struct JsonMember {
    std::string key;
    Json value;
};

const Json* Json::member(string_view key) const {
    for (const auto& m : members)
        if (m.key == key) return &m.value;
    return nullptr;
}

/// A strict JSON reader (RFC 8259: no comments, no trailing commas, nothing after the value),
/// bounded in depth. Every step moves forward, so it always ends.
class JsonParser {
public:
    explicit JsonParser(string_view text) : m_text(text) {}

    Result<Json> document() {
        Json root;
        if (!value(root, 0)) return failure(m_error);
        space();
        if (m_pos < m_text.size()) return failure(where() + "more text follows the JSON value.");
        return root;
    }

private:
    bool fail(const std::string& why) {
        if (m_error.empty()) m_error = where() + why;
        return false;
    }
    std::string where() const {
        const auto upTo = m_text.substr(0, std::min(m_pos, m_text.size()));
        return "at its line " + std::to_string(std::count(upTo.begin(), upTo.end(), '\n') + 1) + ", ";
    }
    void space() {
        while (m_pos < m_text.size() &&
               (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' || m_text[m_pos] == '\n' || m_text[m_pos] == '\r'))
            ++m_pos;
    }
    bool literal(string_view word) {
        if (m_text.substr(m_pos, word.size()) != word) return fail("a value is misspelt.");
        m_pos += word.size();
        return true;
    }

    bool value(Json& out, int depth) {
        if (depth > mostJsonDepth) return fail("it nests deeper than " + std::to_string(mostJsonDepth) + " levels.");
        space();
        if (m_pos >= m_text.size()) return fail("it ends where a value belongs.");
        switch (m_text[m_pos]) {
        case '{': return object(out, depth);
        case '[': return array(out, depth);
        case '"': out.kind = Json::Kind::String; return string(out.text);
        case 't': out.kind = Json::Kind::Boolean; return literal("true");
        case 'f': out.kind = Json::Kind::Boolean; return literal("false");
        case 'n': out.kind = Json::Kind::Null; return literal("null");
        default: out.kind = Json::Kind::Number; return number();
        }
    }

    bool object(Json& out, int depth) {
        out.kind = Json::Kind::Object;
        ++m_pos;
        space();
        if (m_pos < m_text.size() && m_text[m_pos] == '}') return ++m_pos, true;
        for (;;) {
            space();
            if (m_pos >= m_text.size() || m_text[m_pos] != '"') return fail("a member name in quotes is missing.");
            std::string key;
            if (!string(key)) return false;
            space();
            if (m_pos >= m_text.size() || m_text[m_pos] != ':') return fail("a \":\" is missing after a name.");
            ++m_pos;
            Json member;
            if (!value(member, depth + 1)) return false;
            out.members.push_back(JsonMember{std::move(key), std::move(member)});
            space();
            if (m_pos < m_text.size() && m_text[m_pos] == ',') {
                ++m_pos;
                continue;
            }
            if (m_pos < m_text.size() && m_text[m_pos] == '}') return ++m_pos, true;
            return fail("an object is not closed with \"}\".");
        }
    }

    bool array(Json& out, int depth) {
        out.kind = Json::Kind::Array;
        ++m_pos;
        space();
        if (m_pos < m_text.size() && m_text[m_pos] == ']') return ++m_pos, true;
        for (;;) {
            Json item;
            if (!value(item, depth + 1)) return false;
            out.items.push_back(std::move(item));
            space();
            if (m_pos < m_text.size() && m_text[m_pos] == ',') {
                ++m_pos;
                continue;
            }
            if (m_pos < m_text.size() && m_text[m_pos] == ']') return ++m_pos, true;
            return fail("an array is not closed with \"]\".");
        }
    }

    bool hex4(std::uint32_t& v) {
        v = 0;
        for (int i = 0; i < 4; ++i) {
            const int d = m_pos < m_text.size() ? hexDigit(m_text[m_pos]) : -1;
            if (d < 0) return fail("a \\u escape lacks its four hex digits.");
            v = v * 16 + static_cast<std::uint32_t>(d);
            ++m_pos;
        }
        return true;
    }

    bool string(std::string& out) {
        ++m_pos;
        for (;;) {
            if (m_pos >= m_text.size()) return fail("a string never ends.");
            const char c = m_text[m_pos++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 32) return fail("a string holds a control character.");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_pos >= m_text.size()) return fail("a string never ends.");
            const char e = m_text[m_pos++];
            switch (e) {
            case '"': case '\\': case '/': out += e; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                std::uint32_t cp = 0;
                if (!hex4(cp)) return false;
                if (cp >= 0xDC00 && cp <= 0xDFFF) return fail("a string holds half of a UTF-16 pair.");
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    std::uint32_t low = 0;
                    if (m_text.substr(m_pos, 2) != "\\u") return fail("a string holds half of a UTF-16 pair.");
                    m_pos += 2;
                    if (!hex4(low)) return false;
                    if (low < 0xDC00 || low > 0xDFFF) return fail("a string holds half of a UTF-16 pair.");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                appendUtf8(out, cp);
                break;
            }
            default: return fail("a string holds an unknown escape.");
            }
        }
    }

    bool number() {
        const std::size_t start = m_pos;
        auto digits = [&] {
            const std::size_t from = m_pos;
            while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') ++m_pos;
            return m_pos > from;
        };
        if (m_pos < m_text.size() && m_text[m_pos] == '-') ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == '0') ++m_pos;
        else if (!digits()) return m_pos = start, fail("it holds " + quotedForMessage(m_text.substr(start, 12)) + " where a value belongs.");
        if (m_pos < m_text.size() && m_text[m_pos] == '.') {
            ++m_pos;
            if (!digits()) return fail("a number has no digits after its point.");
        }
        if (m_pos < m_text.size() && (m_text[m_pos] == 'e' || m_text[m_pos] == 'E')) {
            ++m_pos;
            if (m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-')) ++m_pos;
            if (!digits()) return fail("a number has no digits in its exponent.");
        }
        return true;
    }

    string_view m_text;
    std::size_t m_pos = 0;
    std::string m_error;
};

std::string joined(const std::vector<std::string>& path, std::size_t count) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) out += (i ? "." : "") + path[i];
    return out;
}

/// Collects the colour tokens of a group and of the groups inside it, in file order. A token
/// takes its own "$type" or the nearest group's; tokens of other types are passed over, and so
/// are references to other tokens ("{group.token}"), which name no colour of their own.
Status walkTokens(const Json& group, std::vector<std::string>& path, const std::string& inherited,
                  std::vector<Entry>& entries) {
    std::string type = inherited;
    if (const Json* t = group.member("$type"); t && t->kind == Json::Kind::String) type = t->text;
    if (const Json* v = group.member("$value")) {
        if (type != "color" || path.empty()) return {};
        const Json* hex = v->kind == Json::Kind::Object ? v->member("hex") : v;
        if (hex && hex->kind == Json::Kind::String && startsWith(hex->text, "{")) return {};
        const auto color = hex && hex->kind == Json::Kind::String ? hexColour(hex->text) : std::nullopt;
        if (!color)
            return failure("its colour token " + quotedForMessage(joined(path, path.size())) +
                           " holds no colour written as \"#rrggbb\".");
        std::optional<std::string> groupPath;
        if (path.size() > 1) groupPath = joined(path, path.size() - 1);
        entries.push_back({groupPath, path.back(), *color});
        return {};
    }
    for (const auto& [key, member] : group.members) {
        if (startsWith(key, "$") || member.kind != Json::Kind::Object) continue;
        path.push_back(key);
        const Status s = walkTokens(member, path, type, entries);
        path.pop_back();
        if (!s) return s;
    }
    return {};
}

Result<std::vector<Entry>> readJson(string_view text) {
    text = withoutBom(text);
    Result<Json> root = JsonParser(text).document();
    if (!root) return failure("its JSON is malformed " + root.error());
    if (root->kind != Json::Kind::Object) return failure("it holds no JSON object of tokens.");
    std::vector<Entry> entries;
    std::vector<std::string> path;
    if (const Status s = walkTokens(*root, path, {}, entries); !s) return failure(s.error());
    return entries;
}

std::string lowerCase(string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace

int filledSlots(const SwatchBook& card) {
    int n = 0;
    for (int slot = 1; slot <= 3; ++slot) n += filled(card, slot) ? 1 : 0;
    return n;
}

std::optional<PaletteFormat> paletteFormatNamed(string_view word) {
    const std::string w = lowerCase(word);
    if (w == "gpl") return PaletteFormat::Gimp;
    if (w == "ase") return PaletteFormat::Ase;
    if (w == "css") return PaletteFormat::Css;
    if (w == "json") return PaletteFormat::Json;
    return std::nullopt;
}

std::optional<PaletteFormat> paletteFormatOfPath(const std::string& path) {
    const std::string name = fileNameOf(path);
    const auto dot = name.rfind('.');
    if (dot == std::string::npos) return std::nullopt;
    return paletteFormatNamed(string_view(name).substr(dot + 1));
}

std::optional<PaletteFormat> paletteFormatOfContent(string_view bytes) {
    if (startsWith(bytes, "ASEF")) return PaletteFormat::Ase;
    if (startsWith(withoutBom(bytes), "GIMP Palette")) return PaletteFormat::Gimp;
    return std::nullopt;
}

const char* paletteExtension(PaletteFormat format) {
    switch (format) {
    case PaletteFormat::Gimp: return "gpl";
    case PaletteFormat::Ase: return "ase";
    case PaletteFormat::Css: return "css";
    case PaletteFormat::Json: return "json";
    }
    return "";
}

std::string paletteFileText(PaletteFormat format, const std::vector<SwatchBook>& cards, const std::string& name) {
    switch (format) {
    case PaletteFormat::Gimp: return gimpText(cards, name);
    case PaletteFormat::Ase: return aseText(cards);
    case PaletteFormat::Css: return cssText(cards, name);
    case PaletteFormat::Json: return jsonText(cards);
    }
    return {};
}

Status writePaletteFile(const std::string& path, PaletteFormat format, const std::vector<SwatchBook>& cards,
                        const std::string& name) {
    return writeFileAtomic(path, paletteFileText(format, cards, name));
}

Result<std::vector<SwatchBook>> parsePaletteText(PaletteFormat format, string_view bytes, const std::string& name) {
    std::string title = name;
    Result<std::vector<Entry>> entries = std::vector<Entry>{};
    switch (format) {
    case PaletteFormat::Gimp: entries = readGimp(bytes, title); break;
    case PaletteFormat::Ase: entries = readAse(bytes); break;
    case PaletteFormat::Css: entries = readCss(bytes); break;
    case PaletteFormat::Json: entries = readJson(bytes); break;
    }
    if (!entries) return failure(entries.error());
    if (entries->empty()) return failure("it holds no colours.");
    return cardsOf(*entries, title);
}

Result<std::vector<SwatchBook>> readPaletteFile(const std::string& path) {
    const std::string opening = "The palette file \"" + path + "\" cannot be ";
    // Only a regular file is read: a device or a pipe named like a palette could never end.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return failure(opening + "opened.");
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > mostBytes) return failure(opening + "read: it is larger than 16 MB, far more than a palette.");
    const auto bytes = readFileBytes(path);
    if (!bytes) return failure(opening + "opened.");
    // A signature is certain; an extension is only a name.
    const auto format = paletteFormatOfContent(*bytes) ? paletteFormatOfContent(*bytes) : paletteFormatOfPath(path);
    if (!format)
        return failure(opening + "read: its kind is not known. Palettes are read from GIMP palettes (.gpl), "
                                 "Adobe Swatch Exchange (.ase), CSS (.css) and design tokens (.json).");
    std::string name = fileNameOf(path);
    if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
    Result<std::vector<SwatchBook>> cards = parsePaletteText(*format, *bytes, name);
    if (!cards) return failure(opening + "read: " + cards.error());
    return cards;
}

} // namespace hw
