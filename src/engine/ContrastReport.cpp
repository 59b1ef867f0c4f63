#include "engine/ContrastReport.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace hw {

namespace {

constexpr std::string_view header = "hwcontrast 1";
// A line of the collection holds at most 60 + 60 + 80 UTF-16 units of page text; in UTF-8 that
// stays far below these bounds, so only a forged line meets them.
constexpr std::size_t longestLine = 4000;
constexpr std::size_t longestField = 400;
constexpr std::size_t longestPath = 1200;

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

bool isDigits(std::string_view s, std::size_t most) {
    return !s.empty() && s.size() <= most && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<int> intOf(std::string_view s, int low, int high) {
    if (!isDigits(s, 6)) return std::nullopt;
    int value = 0;
    std::from_chars(s.data(), s.data() + s.size(), value);
    if (value < low || value > high) return std::nullopt;
    return value;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<TColor> colourOf(std::string_view s) {
    if (s.size() != 7 || s[0] != '#') return std::nullopt;
    int channels[3];
    for (int i = 0; i < 3; ++i) {
        const int high = hexDigit(s[1 + 2 * i]), low = hexDigit(s[2 + 2 * i]);
        if (high < 0 || low < 0) return std::nullopt;
        channels[i] = high * 16 + low;
    }
    return rgbColor(channels[0], channels[1], channels[2]);
}

bool isPath(std::string_view s) {
    if (s.empty() || s.size() > longestPath) return false;
    for (std::string_view step : split(s, '/'))
        if (!isDigits(step, 5)) return false;
    return true;
}

bool isTag(std::string_view s) {
    // Starting with a letter, which also keeps a description from reading as a spreadsheet
    // formula.
    return !s.empty() && s.size() <= 64 && s[0] >= 'a' && s[0] <= 'z' && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
    });
}

std::optional<ContrastRow> rowOf(std::string_view line) {
    if (line.size() > longestLine) return std::nullopt;
    const auto f = split(line, '\t');
    if (f.size() != 10) return std::nullopt;
    ContrastRow row;
    const auto frame = intOf(f[0], 0, 9999);
    const auto text = colourOf(f[2]);
    const auto weight = intOf(f[5], 1, 1000);
    if (!frame || !isPath(f[1]) || !text || !weight || !isTag(f[6])) return std::nullopt;
    if (f[3] != "picture") {
        row.background = colourOf(f[3]);
        if (!row.background) return std::nullopt;
    }
    double size = 0;
    const auto parsed = std::from_chars(f[4].data(), f[4].data() + f[4].size(), size);
    if (parsed.ec != std::errc() || parsed.ptr != f[4].data() + f[4].size() || !std::isfinite(size) || size <= 0 ||
        size > 10000)
        return std::nullopt;
    for (std::size_t i = 7; i < 10; ++i)
        if (f[i].size() > longestField) return std::nullopt;
    row.frame = *frame;
    row.path = std::string(f[1]);
    row.textColour = *text;
    row.fontSizePx = size;
    row.fontWeight = *weight;
    row.tag = std::string(f[6]);
    row.id = std::string(f[7]);
    row.className = std::string(f[8]);
    row.text = std::string(f[9]);
    if (row.background) row.verdict = judgeContrast(row.textColour, *row.background, row.fontSizePx, row.fontWeight);
    return row;
}

/// The first `count` characters of UTF-8 text (a broken sequence counts its bytes singly).
std::string firstCharacters(const std::string& text, std::size_t count, bool& cut) {
    std::size_t i = 0, n = 0;
    while (i < text.size() && n < count) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
        ++n;
    }
    cut = i < text.size();
    return text.substr(0, i);
}

/// `value` with at most `decimals` decimals, trailing zeros dropped; the same in every locale.
std::string number(double value, int decimals) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string s(buffer, r.ptr);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

const char* aaWord(const ContrastRow& row) {
    if (!row.background) return "check by eye";
    return row.verdict.passesAA ? "pass" : "fail";
}

const char* aaaWord(const ContrastRow& row) {
    if (!row.background) return "check by eye";
    return row.verdict.passesAAA ? "pass" : "fail";
}

std::string backgroundText(const ContrastRow& row) {
    return row.background ? hexOf(*row.background) : "over a picture";
}

std::string ratioOf(const ContrastRow& row) { return row.background ? ratioText(row.verdict.ratio) : std::string(); }

std::string lcOf(const ContrastRow& row) { return row.background ? number(row.verdict.lc, 1) : std::string(); }

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string escapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

std::string ContrastRow::key() const { return std::to_string(frame) + ":" + path; }

std::string ContrastRow::description() const {
    std::string d = tag;
    if (!id.empty()) d += "#" + id;
    for (std::string_view c : split(className, ' '))
        if (!c.empty()) d += "." + std::string(c);
    if (!text.empty()) {
        bool cut = false;
        const std::string start = firstCharacters(text, 40, cut);
        d += " \"" + start + (cut ? "...\"" : "\"");
    }
    return d;
}

ContrastStanding standingOf(const ContrastRow& row) {
    if (!row.background) return ContrastStanding::ByEye;
    if (!row.verdict.passesAA) return ContrastStanding::FailsAA;
    if (!row.verdict.passesAAA) return ContrastStanding::FailsAAA;
    return ContrastStanding::Passes;
}

ContrastCollection parseContrastCollection(std::string_view text) {
    ContrastCollection c;
    const auto lines = split(text, '\n');
    auto trimmed = [](std::string_view line) {
        return !line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line;
    };
    if (trimmed(lines.front()) != header) {
        c.rejectedLines = static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                                         [](std::string_view l) { return !l.empty(); }));
        return c;
    }
    c.understood = true;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = trimmed(lines[i]);
        if (line.empty()) continue;
        if (line == "truncated") {
            c.truncated = true;
            continue;
        }
        if (static_cast<int>(c.rows.size()) >= contrastCollectionCap) {
            c.truncated = true;
            break;
        }
        if (auto row = rowOf(line)) c.rows.push_back(std::move(*row));
        else ++c.rejectedLines;
    }
    return c;
}

void sortContrastRows(std::vector<ContrastRow>& rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const ContrastRow& a, const ContrastRow& b) {
        const ContrastStanding sa = standingOf(a), sb = standingOf(b);
        if (sa != sb) return sa < sb;
        return sa != ContrastStanding::ByEye && a.verdict.ratio < b.verdict.ratio;
    });
}

int countAAFailures(const std::vector<ContrastRow>& rows) {
    return static_cast<int>(std::count_if(rows.begin(), rows.end(), [](const ContrastRow& r) {
        return standingOf(r) == ContrastStanding::FailsAA;
    }));
}

std::string hexOf(TColor colour) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s = "#";
    for (const int channel : {redOf(colour), greenOf(colour), blueOf(colour)}) {
        s += digits[channel >> 4];
        s += digits[channel & 15];
    }
    return s;
}

std::string contrastCsv(const std::vector<ContrastRow>& rows) {
    std::string out = "Element,Frame,Path,Text colour,Background,Font size (px),Font weight,Ratio,Lc,AA,AAA\r\n";
    for (const ContrastRow& r : rows) {
        const std::string fields[] = {csvField(r.description()), std::to_string(r.frame), r.path,
                                      hexOf(r.textColour),       backgroundText(r),      number(r.fontSizePx, 2),
                                      std::to_string(r.fontWeight), ratioOf(r),          lcOf(r),
                                      aaWord(r),                 aaaWord(r)};
        for (std::size_t i = 0; i < std::size(fields); ++i) out += (i ? "," : "") + fields[i];
        out += "\r\n";
    }
    return out;
}

std::string contrastHtml(const std::vector<ContrastRow>& rows, const std::string& pageName) {
    const std::string title = "Contrast report: " + escapeHtml(pageName);
    std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + title +
                      "</title>\n<style>\n"
                      "body{font:14px/1.4 sans-serif;margin:2em;color:#111;background:#fff}\n"
                      "table{border-collapse:collapse}th,td{border:1px solid #bbb;padding:3px 8px;text-align:left}\n"
                      "th{background:#eee}.chip{display:inline-block;width:1.2em;height:1.2em;border:1px solid #555;"
                      "vertical-align:middle;margin-right:.4em}.fail{color:#a00;font-weight:bold}\n"
                      "</style>\n</head>\n<body>\n<h1>" +
                      title + "</h1>\n<p>" + aaFailureText(countAAFailures(rows)) + ", of " +
                      std::to_string(rows.size()) + " texts.</p>\n<table>\n<tr><th>Element</th><th>Text</th>"
                      "<th>Background</th><th>Size / weight</th><th>Ratio</th><th>Lc</th><th>AA</th><th>AAA</th></tr>\n";
    auto chip = [](TColor c) { return "<span class=\"chip\" style=\"background:" + hexOf(c) + "\"></span>" + hexOf(c); };
    auto verdictCell = [](const char* word) {
        return std::string(word) == "fail" ? std::string("<td class=\"fail\">fail</td>") : "<td>" + std::string(word) + "</td>";
    };
    for (const ContrastRow& r : rows) {
        out += "<tr><td>" + escapeHtml(r.description()) + "</td><td>" + chip(r.textColour) + "</td><td>" +
               (r.background ? chip(*r.background) : std::string("over a picture, check by eye")) + "</td><td>" +
               number(r.fontSizePx, 1) + " px / " + std::to_string(r.fontWeight) + "</td><td>" + ratioOf(r) +
               "</td><td>" + lcOf(r) + "</td>" + verdictCell(aaWord(r)) + verdictCell(aaaWord(r)) + "</tr>\n";
    }
    return out + "</table>\n</body>\n</html>\n";
}

std::string aaFailureText(int failures) {
    if (failures <= 0) return "No text fails WCAG AA contrast";
    if (failures == 1) return "1 text fails WCAG AA contrast";
    return std::to_string(failures) + " texts fail WCAG AA contrast";
}

} // namespace hw
