#include "engine/WebPage.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "base/PageUrl.h"
#include "embedded/pageScript.h"
#include "engine/InputLimits.h"
#include "engine/TextCursor.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace hw {

namespace {

using std::string_view;
constexpr auto npos = string_view::npos;

// How far ahead a tag's closing ">" is looked for. A tag whose ">" lies further away is taken as
// its bare opening, so every loop still removes the occurrence it acts on.
constexpr std::size_t formWindow = 400;
constexpr std::size_t linkWindow = 600;
constexpr std::size_t tagWindow = 200;

bool contains(string_view text, string_view part) { return text.find(part) != npos; }

std::string upper(string_view text) {
    std::string r(text);
    for (auto& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

/// The length of the tag text before its first ">" within `window` characters, or npos.
std::size_t closeWithin(const TextCursor& c, std::size_t window) {
    return c.rest().substr(0, window).find('>');
}

// ---- the page's own scripts ---------------------------------------------------------------

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isHtmlBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

bool startsWithNoCase(string_view text, std::size_t at, string_view word) {
    if (text.size() - at < word.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (lowerAscii(text[at + k]) != word[k]) return false;
    return true;
}

/// The character a numeric character reference at `at` ("&#106;", "&#x6A", any number of
/// leading zeros, ";" optional) stands for, with its length; 0 when there is none.
std::pair<unsigned long, std::size_t> numericReference(string_view text, std::size_t at) {
    if (!startsWithNoCase(text, at, "&#")) return {0, 0};
    std::size_t p = at + 2;
    const bool hex = p < text.size() && lowerAscii(text[p]) == 'x';
    if (hex) ++p;
    while (p < text.size() && text[p] == '0') ++p;
    unsigned long value = 0;
    std::size_t digits = 0;
    for (; p < text.size() && digits < 8; ++p, ++digits) {
        const char c = lowerAscii(text[p]);
        if (c >= '0' && c <= '9') value = value * (hex ? 16 : 10) + static_cast<unsigned long>(c - '0');
        else if (hex && c >= 'a' && c <= 'f') value = value * 16 + static_cast<unsigned long>(c - 'a' + 10);
        else break;
    }
    if (p < text.size() && text[p] == ';') ++p;
    return {value, p - at};
}

/// The length of one character `wanted` (a lower-case letter or ":") at `at`, written as
/// itself in either case or as a character reference; 0 when something else is there.
std::size_t oneCharacter(string_view text, std::size_t at, char wanted) {
    if (at >= text.size()) return 0;
    if (lowerAscii(text[at]) == wanted) return 1;
    if (text[at] != '&') return 0;
    if (wanted == ':' && startsWithNoCase(text, at, "&colon;")) return 7;
    const auto [value, length] = numericReference(text, at);
    if (length == 0 || value > 127) return 0;
    return lowerAscii(static_cast<char>(value)) == wanted ? length : 0;
}

/// The length of the tabs and line breaks at `at` (as themselves or as references), which a
/// browser drops from an address before reading its scheme.
std::size_t droppedFromAddress(string_view text, std::size_t at) {
    std::size_t p = at;
    while (p < text.size()) {
        const char c = text[p];
        if (c == '\t' || c == '\n' || c == '\r') {
            ++p;
        } else if (startsWithNoCase(text, p, "&tab;")) {
            p += 5;
        } else if (startsWithNoCase(text, p, "&newline;")) {
            p += 9;
        } else if (c == '&') {
            const auto [value, length] = numericReference(text, p);
            if (length == 0 || (value != 9 && value != 10 && value != 13)) break;
            p += length;
        } else {
            break;
        }
    }
    return p - at;
}

/// The length of a "javascript:" address scheme at `at`, in any letter case and with any of
/// the spellings a browser still reads as one; 0 when there is none.
std::size_t scriptSchemeAt(string_view text, std::size_t at) {
    static constexpr string_view scheme = "javascript:";
    std::size_t p = at;
    for (std::size_t k = 0; k < scheme.size(); ++k) {
        if (k > 0) p += droppedFromAddress(text, p);
        const std::size_t n = oneCharacter(text, p, scheme[k]);
        if (n == 0) return 0;
        p += n;
    }
    return p - at;
}

/// The length of an event-handler attribute's name at `at` ("on" and letters, any case, with
/// "=" after optional blanks) when an attribute may start there; 0 otherwise.
std::size_t handlerNameAt(string_view text, std::size_t at) {
    if (at == 0) return 0;
    const char before = text[at - 1];
    if (!isHtmlBlank(before) && before != '/' && before != '"' && before != '\'') return 0;
    if (!startsWithNoCase(text, at, "on")) return 0;
    std::size_t p = at + 2;
    while (p < text.size() && isAsciiLetter(text[p])) ++p;
    if (p == at + 2) return 0;
    std::size_t q = p;
    while (q < text.size() && isHtmlBlank(text[q])) ++q;
    return q < text.size() && text[q] == '=' ? p - at : 0;
}

// ---- head and html tags --------------------------------------------------------------------

void headAndHtmlTags(AnsiString& t) {
    t.ReplaceFirst("<html>", "<HTML>");
    t.ReplaceFirst("</html>", "</HTML>");
    if (!t.Contains("</HTML>")) t += "</HTML>";
    t.Delete(t.Pos("<HTML>"), 6);
    t.ReplaceFirst("<head>", "<HEAD>");
    t.ReplaceFirst("</head>", "</HEAD>");
    if (!t.Contains("<HEAD>")) t.Insert("<HEAD></HEAD>", 1);
    t.ReplaceEvery("<style", "<STYLE");
    t.ReplaceEvery("</style>", "</STYLE>");
    t.ReplaceFirst("<HEAD>", "<$EAD>");
    t.ReplaceEvery("<link", "<LINK");
    t.ReplaceEvery("<LINK", "<L$INK");
}

void upperCaseOpenings(AnsiString& t) {
    static constexpr string_view pairs[][2] = {
        {"<a", "<A"},         {"<h", "<H"},     {"<table", "<TABLE"}, {"<td", "<TD"},         {"<tr", "<TR"},
        {"<p", "<P"},         {"<font", "<FONT"}, {"<div", "<DIV"},   {"<span", "<SPAN"},     {"href", "HREF"},
        {"<script", "<SCRIPT"}, {"<li", "<LI"}, {"<img", "<IMG"},
    };
    for (const auto& p : pairs) t.ReplaceEvery(p[0], p[1]);
}

void eventAttributes(AnsiString& t) {
    static constexpr string_view names[] = {
        "ONLOAD",  "onload",  "onLoad",  "ONMOUSEOVER", "onmouseover", "onMouseOver",
        "ONMOUSEOUT", "onmouseout", "onMouseOut", "ONCLICK", "onclick", "onClick",
        "ONCONTEXTMENU", "oncontextmenu", "onContextMenu", "ONBLUR", "onblur", "onBlur",
    };
    for (const auto name : names) t.DeleteEvery(name);
}

// ---- forms and inputs ----------------------------------------------------------------------

void formsAndInputs(AnsiString& t) {
    t.ReplaceEvery("<form", "<FORM");
    // Every form tag loses its attributes ("<FORM ...>" becomes "<form>").
    t = whileOccurs(std::move(t.str()), "<FORM", [](TextCursor& c) {
        const auto close = closeWithin(c, formWindow);
        c.replace(0, close == npos ? 5 : close, "<form");
    });

    t.ReplaceEvery("<input", "<INPUT");
    t = whileOccurs(std::move(t.str()), "<INPUT", [](TextCursor& c) {
        const auto close = closeWithin(c, formWindow);
        const bool image = close != npos && contains(upper(c.rest().substr(0, close)), "IMAGE");
        c.replace(0, 6, image ? "<IMG" : "<IN$PUT");
    });
    t.ReplaceEvery("<IN$PUT", "<INPUT");

    t.ReplaceEvery("</script", "</SCRIPT");
    t.ReplaceEvery("<body", "<BODY");
    if (!t.Contains("<BODY")) {
        // A head opened but never closed has no place for the body; the start is the only
        // position that cannot fall inside a tag.
        const int head = t.Pos("</HEAD>");
        t.Insert("<BODY>", head ? head + 7 : 1);
    }
}

// ---- links ---------------------------------------------------------------------------------

bool keepsLink(string_view a) {
    // The program's own copies end in ".tmp" here; pages written elsewhere may say ".TMP".
    return contains(a, ".CSS") || contains(a, ".css") || contains(a, ".TMP") || contains(a, ".tmp") ||
           contains(a, "style#SheetFile");
}

void links(AnsiString& t) {
    t = whileOccurs(std::move(t.str()), "HREF", [](TextCursor& c) {
        const auto close = closeWithin(c, linkWindow);
        const string_view a = close == npos ? c.rest().substr(0, 4) : c.rest().substr(0, close);
        if (keepsLink(a)) {
            c.replace(0, 4, "href");
            return;
        }
        std::size_t part = a.size();
        for (const string_view ext : {".html", ".HTML", ".htm", ".HTM"}) {
            const auto at = a.find(ext);
            if (at != npos) {
                // Through the extension and one more character of the text, normally the quote.
                part = std::min(at + ext.size() + 1, c.rest().size());
                break;
            }
        }
        const char last = c.rest()[part - 1];
        if (last == '>' || last == ' ') --part;
        c.replace(0, part, "");
    });
}

// ---- scripts and inline frames -------------------------------------------------------------

/// Deletes every block from `open` through the first `close` after it (a closing tag before the
/// opening is not the block's). A block that is never closed runs, as a browser reads it, to the
/// end of the page: up to the last "</HTML>" after it, which stays, else to the end of the text.
void deleteBlocks(AnsiString& t, string_view open, string_view close) {
    t = whileOccurs(std::move(t.str()), open, [&](TextCursor& c) {
        auto end = c.find(close, open.size());
        if (end != npos) {
            end += close.size();
        } else {
            end = c.rest().rfind("</HTML>");
            if (end == npos || end < open.size()) end = c.rest().size();
        }
        c.replace(0, end, "");
    });
}

void scriptsAndFrames(AnsiString& t) {
    deleteBlocks(t, "<SCRIPT", "</SCRIPT>");
    t.ReplaceEvery("<iframe", "<IFRAME");
    t.ReplaceEvery("</iframe", "</IFRAME");
    deleteBlocks(t, "<IFRAME", "</IFRAME>");
}

// ---- existing ids --------------------------------------------------------------------------

void existingIds(AnsiString& t) {
    // "id" is an attribute only where "id=" or "id =" follows; any other "id" (width, hidden)
    // becomes "i#d" until the end, so that it is never taken for one.
    t = whileOccurs(std::move(t.str()), "id", [](TextCursor& c) {
        if (c.startsWith("id=") || c.startsWith("id =")) c.replace(0, 2, "ID");
        else c.replace(1, 0, "#");
    });
    // Every id attribute, written in either case, now reads "I$D=" and its value.
    t = whileOccurs(std::move(t.str()), "ID", [](TextCursor& c) {
        if (c.startsWith("ID =")) c.replace(2, 1, "");
        if (c.startsWith("ID= ")) c.replace(3, 1, "");
        c.replace(1, 0, "$");
    });
}

// ---- tag families --------------------------------------------------------------------------

enum class Handlers { Standard, Division, Font, Input };

struct Family {
    string_view opening;
    string_view suffix;
    string_view firstPiece;
    Handlers handlers;
};

// In the order they are given ids. Headings and rules ("<H") get their id after the tag name.
constexpr Family families[] = {
    {"<A", "a", "<a id='", Handlers::Standard},
    {"<P", "p", "<p id='", Handlers::Standard},
    {"<TD", "td", "<td id='", Handlers::Standard},
    {"<TR", "tr", "<tr id='", Handlers::Standard},
    {"<TABLE", "table", "<table id='", Handlers::Standard},
    {"<H", "h", " id='", Handlers::Standard},
    {"<DIV", "div", "<div id='", Handlers::Division},
    {"<FONT", "font", "<font id='", Handlers::Font},
    {"<IMG", "img", "<img id='", Handlers::Standard},
    {"<LI", "li", "<li id='", Handlers::Standard},
    {"<INPUT", "INPUT", "<input id='", Handlers::Input},
    {"<SPAN", "span", "<span id='", Handlers::Standard},
};

// Whether a tag's text carries a style attribute of its own (any letter case).
bool hasOwnStyle(string_view tag) {
    std::string lower(tag);
    for (auto& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    for (std::size_t p = lower.find("style"); p != std::string::npos; p = lower.find("style", p + 1)) {
        if (p == 0 || !std::isspace(static_cast<unsigned char>(lower[p - 1]))) continue;
        std::size_t q = p + 5;
        while (q < lower.size() && std::isspace(static_cast<unsigned char>(lower[q]))) ++q;
        if (q < lower.size() && lower[q] == '=') return true;
    }
    return false;
}

std::string newOpening(const Family& f, const std::string& id, bool ownStyle) {
    std::string r(f.firstPiece);
    r += id;
    switch (f.handlers) {
    case Handlers::Standard:
        r += "' onClick=\"r('" + id + "');\" onContextMenu=\"r('" + id + "');return false;\"";
        break;
    case Handlers::Division:
        // A second style attribute would be ignored by the browser, so a division that has
        // its own keeps it instead of taking the layout hint.
        if (ownStyle) {
            r += "' onClick=\"r('" + id + "');\" onContextMenu=\"r('" + id + "');return false;\"";
            break;
        }
        r += "' style=\"zoom:1\" onClick=\"r('" + id + "');\" onContextMenu=\"r('" + id + "');return false;\"";
        break;
    case Handlers::Font:
        r += "' onContextMenu=\"r('" + id + "');return false;\"";
        break;
    case Handlers::Input:
        r += "' onClick=\"r('" + id + "');return false;\" onContextMenu=\"r('" + id + "');return false;\"";
        break;
    }
    return r;
}

void tagFamily(AnsiString& t, const Family& f) {
    int counter = 0;
    t = whileOccurs(std::move(t.str()), f.opening, [&](TextCursor& c) {
        ++counter;
        const auto close = closeWithin(c, tagWindow);
        const string_view tag = close == npos ? string_view() : c.rest().substr(0, close + 1);
        const std::string id = elementIdOf(tag, std::to_string(counter) + std::string(f.suffix));
        const std::string opening = newOpening(f, id, hasOwnStyle(tag));
        if (f.opening == "<H") {
            c.replace(3, 0, opening);
            c.replace(0, 2, "<h");
        } else {
            c.replace(0, f.opening.size(), opening);
        }
    });
}

void tagFamilies(AnsiString& t) {
    for (const auto& f : families) {
        tagFamily(t, f);
        if (f.opening == "<LI") t.ReplaceEvery("<L$INK", "<link");
    }
}

// ---- body, markers and script --------------------------------------------------------------

constexpr string_view bodyTemplate =
    "<body id='1b' onSelectStart=\"return false;\" onClick=\"r('1b');sb(si[0]);ec=0;\" "
    "onContextMenu=\"r('1b');stc(si[0]);ec=0;return false;\" onKeyPress=\"gkp();\"";

void bodyMarkersAndScript(AnsiString& t) {
    const int body = t.Pos("<BODY");
    t.Insert(bodyTemplate, body);
    if (body) t.Delete(body + static_cast<int>(bodyTemplate.size()), 5);
    t.ReplaceEvery("I$D", "ID");
    t.ReplaceEvery("i#d", "id");
    t.Insert(pageHeadScript(), 1);
    t.Delete(t.Pos("<$EAD>"), 6);
    t.Insert("<html>", 1);
    if (!t.Contains("</HEAD>")) t.Insert("</HEAD>", t.Pos("<body"));
}

} // namespace

void disarmPageScripts(AnsiString& text) {
    static constexpr string_view wordJoiner = "&#8288;";
    static constexpr string_view blockNames[][2] = {
        {"<script", "<SCRIPT"}, {"</script", "</SCRIPT"}, {"<iframe", "<IFRAME"}, {"</iframe", "</IFRAME"}};
    const string_view in = text.str();
    std::string out;
    out.reserve(in.size());
    // One pass; each step consumes at least one character, and a scheme match reads ahead only
    // over a run that no other match can start inside, so the pass stays linear.
    for (std::size_t i = 0; i < in.size();) {
        if (in[i] == '<') {
            bool named = false;
            for (const auto& b : blockNames) {
                if (startsWithNoCase(in, i, b[0])) {
                    out += b[1];
                    i += b[0].size();
                    named = true;
                    break;
                }
            }
            if (named) continue;
        }
        // Whether a match is an attribute or words of the page cannot be told here (later
        // passes rewrite the text without regard to tags), so each is spoiled in a way that only
        // the attribute feels. An attribute name is never decoded, so "&#111;nclick" names no
        // handler, while text and values decode it back to the very same "onclick".
        if (const auto name = handlerNameAt(in, i)) {
            out += "&#" + std::to_string(static_cast<unsigned char>(in[i])) + ';';
            out.append(in.substr(i + 1, name - 1));
            i += name;
            continue;
        }
        // A word joiner before the scheme is invisible in text, but an address that starts with
        // it has no scheme at all: it is a relative address, which runs nothing.
        if (const auto scheme = scriptSchemeAt(in, i)) {
            out += wordJoiner;
            out.append(in.substr(i, scheme));
            i += scheme;
            continue;
        }
        out += in[i++];
    }
    text = AnsiString(std::move(out));
}

std::string elementIdOf(std::string_view tag, const std::string& fallback) {
    const auto at = tag.find("I$D=");
    if (at == npos) return fallback;
    string_view part = tag.substr(at);
    const auto space = part.find(' ');
    const auto close = part.find('>');
    part = part.substr(0, space != npos && space < close ? space : close);
    std::string id;
    // Quotes go as written; "<" goes too, so an id can never hold a tag opening that the family
    // loop would find again in the text it has just written.
    for (const char ch : part.substr(4))
        if (ch != '"' && ch != '\'' && ch != '<') id += ch;
    return id;
}

std::string pageHeadScript() {
    std::string script(embedded::pageScript);
    const std::string folder = tempFolder();
    std::string colourScript = folder + "/swatchBook.js";
    std::string imageScript = folder + "/im.js";
    std::replace(colourScript.begin(), colourScript.end(), '\\', '/');
    std::replace(imageScript.begin(), imageScript.end(), '\\', '/');
    script = replaceEvery(script, "@SWATCHBOOK_URL@", pageUrl(colourScript));
    script = replaceEvery(script, "@IM_URL@", pageUrl(imageScript));
    return script;
}

AnsiString WebPage::ReadPageFile(const std::string& path) {
    std::string bytes = readFileOrEmpty(path);
    const auto zero = bytes.find('\0');
    if (zero != std::string::npos) bytes.resize(zero);
    return AnsiString(std::move(bytes));
}

void WebPage::InstrumentPage(const AnsiString& text) {
    AnsiString t = text;
    disarmPageScripts(t);
    headAndHtmlTags(t);
    upperCaseOpenings(t);
    eventAttributes(t);
    formsAndInputs(t);
    links(t);
    scriptsAndFrames(t);
    existingIds(t);
    tagFamilies(t);
    bodyMarkersAndScript(t);
    instrumentedText = std::move(t);
}

std::string frameSourcePath(const std::string& folder, const std::string& source) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path base = fs::weakly_canonical(fs::absolute(folder.empty() ? "." : folder, ec), ec);
    if (ec) return {};
    // An absolute source replaces the base here, and is then held to the same rule.
    const fs::path file = fs::weakly_canonical(base / source, ec);
    if (ec) return {};
    std::string inside = base.string();
    if (!inside.ends_with('/')) inside += '/';
    if (!file.string().starts_with(inside)) return {};
    // Devices, pipes and folders are never read: only regular files of a page's size.
    if (!fs::is_regular_file(file, ec) || ec) return {};
    const auto size = fs::file_size(file, ec);
    if (ec || size > frameSourceLimit) return {};
    return file.string();
}

bool FrameBudget::take(std::string_view source) {
    const auto tags = static_cast<std::size_t>(std::count(source.begin(), source.end(), '<'));
    const auto bytes = static_cast<std::uintmax_t>(source.size());
    if (tags > m_tagsLeft || bytes > m_bytesLeft) return false;
    m_tagsLeft -= tags;
    m_bytesLeft -= bytes;
    return true;
}

Status WebPage::InstrumentFrameset(const AnsiString& text, const std::string& path) {
    const std::string folder = folderOf(path);
    AnsiString t = text;
    // The frameset is shown too, so it loses the page's scripts as a page does.
    disarmPageScripts(t);
    scriptsAndFrames(t);
    t.ReplaceEvery("<frameset", "<FRAMESET");
    t.ReplaceEvery("<frame", "<FRAME");

    std::size_t frames = 0;
    for (auto at = t.str().find("<FRAME"); at != std::string::npos; at = t.str().find("<FRAME", at + 1))
        if (t.str().compare(at, 9, "<FRAMESET") != 0) ++frames;
    if (frames > maxFrames)
        return Error{"The frameset " + fileNameOf(path) + " has " + std::to_string(frames) +
                     " frames; Huewright opens framesets of at most " + std::to_string(maxFrames) + " frames."};

    markFramesetSources(t);

    struct Copy {
        std::string name;
        int firstFrame;
    };
    // One copy per distinct source, however many frame tags name it.
    std::unordered_map<std::string, Copy> copies;
    FrameBudget budget;
    int frame = 0;
    for (auto& f : frameTexts) f = AnsiString();
    t = whileOccurs(std::move(t.str()), "<FRAME", [&](TextCursor& c) {
        if (c.startsWith("<FRAMESET")) {
            c.replace(1, 0, "\xA3");
            return;
        }
        const auto close = closeWithin(c, tagWindow);
        const string_view tag = close == npos ? string_view() : c.rest().substr(0, close + 1);
        const auto attribute = tag.find(framesetSourceMark);
        // A frame without a source, or one whose ">" is too far to find its source, stays as
        // it is: there is nothing to instrument for it.
        if (attribute != npos) {
            string_view source = tag.substr(attribute);
            const auto space = source.find(' ');
            const auto end = source.find('>');
            source = source.substr(0, space != npos && space < end ? space : end);
            std::string value;
            for (const char ch : source.substr(framesetSourceMark.size()))
                if (ch != '"' && ch != '\'') value += ch;
            const std::size_t sourceSize = source.size();

            const std::string file = frameSourcePath(folder, value);
            // Sources that cannot be read all show the same empty page.
            const std::string key = file.empty() ? std::string() : file;
            auto known = copies.find(key);
            if (known == copies.end()) {
                const std::string copy = uniqueTempFile(folder, "fwp");
                if (!copy.empty()) {
                    AnsiString source = file.empty() ? AnsiString() : ReadPageFile(file);
                    // A source past the frames' shared budget shows as an empty page, as an
                    // unreadable one does.
                    if (!budget.take(source.str())) source = AnsiString();
                    InstrumentPage(source);
                    writeFileBytes(copy, instrumentedText.str());
                    known = copies.emplace(key, Copy{fileNameOf(copy), frame}).first;
                    if (frame < 10) frameTexts[frame] = instrumentedText;
                }
            } else if (frame < 10) {
                frameTexts[frame] = frameTexts[known->second.firstFrame];
            }
            if (known != copies.end()) {
                ++frame;
                c.replace(attribute, sourceSize, "src='" + known->second.name + "'");
            }
        }
        c.replace(0, 6, "<frame");
    });
    t.ReplaceEvery(hiddenFrameset, "<FRAMESET");
    framesetText = std::move(t);
    return {};
}

void markFramesetSources(AnsiString& text) {
    // Only "src=" and "src =" are attributes; any other "src" becomes "s#rc" for good.
    text = whileOccurs(std::move(text.str()), "src", [](TextCursor& c) {
        if (c.startsWith("src=") || c.startsWith("src =")) c.replace(0, 3, "SRC");
        else c.replace(1, 0, "#");
    });
    text = whileOccurs(std::move(text.str()), "SRC", [](TextCursor& c) {
        if (c.startsWith("SRC =")) c.replace(3, 1, "");
        if (c.startsWith("SRC= ")) c.replace(4, 1, "");
        c.replace(1, 0, "\xA3");
    });
}

bool isFramesetText(const AnsiString& text) { return text.Contains("<frameset") || text.Contains("<FRAMESET"); }

} // namespace hw
