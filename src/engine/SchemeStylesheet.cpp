#include "engine/SchemeStylesheet.h"

#include "base/Files.h"
#include "engine/HtmlTree.h"
#include "engine/SchemeView.h"
#include "engine/WebPage.h"

#include <algorithm>
#include <ctime>
#include <unordered_map>

namespace hw {

namespace {

using std::string_view;
constexpr auto npos = string_view::npos;

// The marker put in front of each start tag before instrumenting: "\x01" number "\x02". No
// pass of instrumentation looks for these bytes or ends a pattern just before a "<", so the
// instrumented text is the scheme view's with the markers standing where their tags went.
constexpr char markOpen = '\x01';
constexpr char markClose = '\x02';
constexpr char markStandIn = '\x03';
// How far back from a page's start a doctype is looked for.
constexpr std::size_t prologReach = 4096;
constexpr std::size_t titleLength = 80;
// The most copies of one misnested element a rule names.
constexpr std::size_t maxCopies = 100;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

std::string lowerText(string_view s) {
    std::string r(s);
    for (auto& c : r) c = lowerAscii(c);
    return r;
}

/// Text for inside a CSS comment: no "*/" can end it early, no line breaks.
std::string commentText(string_view s) {
    std::string r;
    for (const char c : s) {
        if (c == '\r' || c == '\n' || c == '\t') r += ' ';
        else if (c == '/' && !r.empty() && r.back() == '*') r += " /";
        else r += c;
    }
    return r;
}

bool isColourCode(string_view code) {
    if (code.size() != 7 || code[0] != '#') return false;
    return std::all_of(code.begin() + 1, code.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    });
}

/// The doctype that stands right in front of a page (only blanks between), or none.
std::optional<std::string> doctypeBefore(string_view prolog) {
    const std::string lower = lowerText(prolog);
    const auto at = lower.rfind("<!doctype");
    if (at == npos) return std::nullopt;
    const auto gt = lower.find('>', at);
    if (gt == npos) return std::nullopt;
    for (std::size_t i = gt + 1; i < lower.size(); ++i)
        if (!isBlank(lower[i])) return std::nullopt;
    return std::string(prolog.substr(at + 9, gt - at - 9));
}

/// The page's title: the text of its first title element, blanks run together.
std::string pageTitle(string_view page) {
    const std::string lower = lowerText(page);
    const auto open = lower.find("<title");
    if (open == npos) return {};
    const auto gt = lower.find('>', open);
    if (gt == npos) return {};
    const auto close = lower.find("</title", gt);
    std::string title;
    for (std::size_t i = gt + 1; i < (close == npos ? lower.size() : close) && title.size() < titleLength; ++i) {
        const char c = isBlank(page[i]) ? ' ' : page[i];
        if (c == ' ' && (title.empty() || title.back() == ' ')) continue;
        title += c;
    }
    while (!title.empty() && title.back() == ' ') title.pop_back();
    return title;
}

/// Where each instrumented id first stands, as the scheme view looks it up: the value of every
/// "id='" up to its closing quote, first occurrence kept.
std::unordered_map<std::string, std::size_t> idPositions(const std::string& text) {
    std::unordered_map<std::string, std::size_t> at;
    constexpr string_view opening = "id='";
    for (auto q = text.find(opening); q != npos; q = text.find(opening, q + 1)) {
        const auto valueStart = q + opening.size();
        const auto valueEnd = text.find('\'', valueStart);
        if (valueEnd == npos) break;
        at.try_emplace(text.substr(valueStart, valueEnd - valueStart), q);
    }
    return at;
}

/// The start tag whose instrumented text holds the id at `q`: the marker right in front of
/// "<name " just before it. -1 when the id stands anywhere else.
int markedTag(const std::string& text, std::size_t q) {
    if (q < 2 || text[q - 1] != ' ') return -1;
    std::size_t p = q - 1;
    while (p > 0 && text[p - 1] != '<' && text[p - 1] != markClose && text[p - 1] != '>' && q - p < 16) --p;
    if (p == 0 || text[p - 1] != '<' || p < 3 || text[p - 2] != markClose) return -1;
    const std::size_t close = p - 2;
    const auto open = text.rfind(markOpen, close);
    if (open == npos || close - open > 12) return -1;
    int tag = 0;
    for (std::size_t i = open + 1; i < close; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        tag = tag * 10 + (text[i] - '0');
    }
    return close > open + 1 ? tag : -1;
}

/// How the page names each id: lower-cased id (quirks-mode pages match ids in either case) to
/// the one start tag whose elements carry it, or -2 when elements of several tags do.
std::unordered_map<std::string, int> idOwners(const HtmlTree& tree) {
    std::unordered_map<std::string, int> owners;
    for (const auto& e : tree.elements) {
        if (!e.hasId) continue;
        auto [it, fresh] = owners.try_emplace(lowerText(e.id), e.tag);
        if (!fresh && it->second != e.tag) it->second = -2;
    }
    return owners;
}

struct Rule {
    std::size_t at = 0;   ///< where the scheme view paints it, for the order of the rules
    std::string selector; ///< empty when the element cannot be named
    std::string note;     ///< why not, or what the rule names
    std::string declarations;
};

std::string ruleText(const Rule& r) {
    std::string out;
    if (!r.note.empty()) out += "/* " + commentText(r.note) + " */\n";
    if (r.selector.empty()) {
        // The declarations stay readable for a designer who finds the element by hand.
        out += "/* ? {\n" + r.declarations + "} */\n\n";
        return out;
    }
    out += r.selector + " {\n" + r.declarations + "}\n\n";
    return out;
}

} // namespace

std::string pageStyleSheet(const AnsiString& page, const AnsiString& record, bool borders,
                           const StyleSheetHeader& header, const std::string& pageLabel,
                           const std::optional<std::string>& doctype, std::size_t sectionsBefore) {
    const std::string& text = page.str();
    const std::size_t skip = std::min(sectionsBefore, text.size());
    const string_view own = string_view(text).substr(skip);
    const HtmlTree tree = doctype ? HtmlTree::parse(own, string_view(*doctype)) : HtmlTree::parse(own);

    // The page with a marker in front of every start tag, instrumented as the scheme view does.
    std::string marked;
    marked.reserve(text.size() + tree.tagOffsets.size() * 8);
    std::size_t copied = 0;
    for (std::size_t k = 0; k < tree.tagOffsets.size(); ++k) {
        marked.append(text, copied, skip + tree.tagOffsets[k] - copied);
        copied = skip + tree.tagOffsets[k];
        marked += markOpen;
        marked += std::to_string(k);
        marked += markClose;
    }
    marked.append(text, copied, npos);
    for (std::size_t i = 0; i < marked.size(); ++i) {
        // Such bytes of the page itself are text; they must not pass for markers.
        const bool ours = (marked[i] == markOpen && i + 1 < marked.size() && marked[i + 1] >= '0' &&
                           marked[i + 1] <= '9') ||
                          (marked[i] == markClose && i + 1 < marked.size() && marked[i + 1] == '<');
        if (!ours && (marked[i] == markOpen || marked[i] == markClose)) marked[i] = markStandIn;
    }
    WebPage instrumented;
    instrumented.InstrumentPage(AnsiString(std::move(marked)));
    const std::string& working = instrumented.instrumentedText.str();
    const auto positions = idPositions(working);
    const auto owners = idOwners(tree);

    std::vector<Rule> rules;
    std::vector<std::string> missing;
    for (const PaintedColours& paint : paintedColours(record, borders)) {
        const auto found = positions.find(paint.elementId);
        if (found == positions.end()) {
            // The scheme view passes over it too.
            missing.push_back(paint.elementId);
            continue;
        }
        Rule rule;
        rule.at = found->second;
        const auto declare = [&](string_view property, const std::string& code) {
            if (code.empty()) return;
            if (isColourCode(code)) rule.declarations += "  " + std::string(property) + ": " + code + " !important;\n";
            else rule.declarations += "  /* " + std::string(property) + ": " + commentText(code) + " is no colour */\n";
        };
        declare("background-color", paint.background);
        declare("color", paint.text);
        declare("border-color", paint.border);

        const std::string label = "painted element " + paint.elementId;
        const std::string bodyOpening = "id='" + paint.elementId + "' onSelectStart=";
        if (working.compare(found->second, bodyOpening.size(), bodyOpening) == 0) {
            rule.selector = "body";
            rules.push_back(std::move(rule));
            continue;
        }
        const int tag = markedTag(working, found->second);
        const std::vector<int> elements = tree.elementsOfTag(tag);
        if (tag < 0 && !tree.complete) {
            rule.note = label + ": the page is too costly to read this far";
        } else if (tag < 0 || elements.empty()) {
            rule.note = label + ": its tag is not an element of the page as a browser reads it";
        } else if (elements.front() == tree.body) {
            rule.selector = "body";
        } else if (elements.front() == 0) {
            rule.selector = "html";
        } else {
            const HtmlElement& first = tree.elements[static_cast<std::size_t>(elements.front())];
            const auto owner = first.hasId ? owners.find(lowerText(first.id)) : owners.end();
            const bool ownId = owner != owners.end() && owner->second == tag && !first.id.empty();
            if (ownId) {
                rule.selector = "#" + cssIdentifier(first.id);
            } else {
                const std::size_t named = std::min(elements.size(), maxCopies);
                for (std::size_t k = 0; k < named; ++k) {
                    const std::string path = tree.childPath(elements[k]);
                    if (path.empty()) {
                        rule.selector.clear();
                        break;
                    }
                    if (!rule.selector.empty()) rule.selector += ",\n";
                    rule.selector += path;
                }
                // The browser opened copies of a misnested formatting element; the scheme view
                // paints them all, as they carry the same attributes.
                if (elements.size() > 1) rule.note = label + " and the copies the browser made of it";
                if (named < elements.size())
                    rule.note += " (the first " + std::to_string(named) + " of " + std::to_string(elements.size()) + ")";
                if (rule.selector.empty()) rule.note = label + ": it cannot be named by its place (nested too deeply, or inside a template)";
            }
        }
        rules.push_back(std::move(rule));
    }
    std::stable_sort(rules.begin(), rules.end(), [](const Rule& a, const Rule& b) { return a.at < b.at; });

    std::string title = pageLabel.empty() ? pageTitle(own) : pageLabel;
    std::string out = "/* Colours of the web scheme " + commentText(header.schemeName);
    out += title.empty() ? std::string(" for its page") : " for the page \"" + commentText(title) + "\"";
    out += ", exported by Huewright";
    if (!header.date.empty()) out += " on " + commentText(header.date);
    out += ".\n   Link it after the page's own stylesheets. Each rule names one painted element by the\n"
           "   page's own id or by its child positions from the body; \"!important\" lets the colours\n"
           "   win over the page's stylesheets and inline styles, as they do in the scheme view. */\n\n";
    for (const Rule& r : rules) out += ruleText(r);
    if (!missing.empty()) {
        out += "/* Painted in the scheme but not found on its page (the scheme view shows them nowhere):";
        for (const auto& id : missing) out += " " + commentText(id);
        out += " */\n";
    }
    return out;
}

std::vector<SchemeStyleSheet> schemeStyleSheets(const AnsiString& schemeText, const StyleSheetHeader& header) {
    std::vector<SchemeStyleSheet> sheets;
    const auto prologOf = [](string_view before) {
        return doctypeBefore(before.substr(before.size() - std::min(before.size(), prologReach)));
    };
    if (isFramesetSchemeText(schemeText)) {
        for (const SchemeFrameText& frame : framesOfScheme(schemeText)) {
            // Frames show no border colours in the scheme view.
            sheets.push_back(
                {frame.index, pageStyleSheet(frame.page, frame.record, false, header, {}, prologOf(frame.prolog))});
        }
        return sheets;
    }
    const SchemePageText single = singlePageOfScheme(schemeText);
    sheets.push_back({-1, pageStyleSheet(single.page, single.record, true, header, {}, prologOf(single.prolog),
                                         single.sectionsBefore)});
    return sheets;
}

std::string frameStyleSheetPath(const std::string& target, int frame) {
    const std::string folder = folderOf(target);
    std::string name = fileNameOf(target);
    const auto dot = name.rfind('.');
    const std::string extension = dot == std::string::npos || dot == 0 ? ".css" : name.substr(dot);
    if (dot != std::string::npos && dot != 0) name.resize(dot);
    return joinPath(folder, name + "-frame" + std::to_string(frame) + extension);
}

std::string todayText() {
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &utc);
    return text;
}

Result<std::vector<std::string>> exportSchemeStyleSheet(const std::string& schemeFile, const std::string& target,
                                                        const std::string& date) {
    auto bytes = readFileBytes(schemeFile);
    if (!bytes) return Error{"The file " + schemeFile + " cannot be read."};
    // Read as the scheme view reads it: up to a first zero byte.
    if (const auto zero = bytes->find('\0'); zero != std::string::npos) bytes->resize(zero);
    const AnsiString text(std::move(*bytes));
    if (!text.Contains("initialise,") && !text.Contains("frame[") && !text.Contains("frameC[") &&
        !text.Contains("<html") && !text.Contains("<HTML"))
        return Error{"The file " + schemeFile + " is not a web scheme."};

    const auto sheets = schemeStyleSheets(text, {fileNameOf(schemeFile), date});
    std::vector<std::string> written;
    for (const auto& sheet : sheets) {
        const std::string path = sheet.frame < 0 ? target : frameStyleSheetPath(target, sheet.frame);
        if (const Status s = writeFileAtomic(path, sheet.text); !s)
            return Error{"The stylesheet " + path + " cannot be written."};
        written.push_back(path);
    }
    return written;
}

} // namespace hw
