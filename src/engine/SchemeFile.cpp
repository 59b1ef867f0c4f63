#include "engine/SchemeFile.h"

#include "base/Files.h"
#include "engine/ChangeRecord.h"
#include "engine/InputLimits.h"
#include "engine/TextCursor.h"
#include "engine/WebPage.h"
#include "engine/WebScheme.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <unordered_map>

namespace hw {

namespace {

constexpr std::string_view placeholderLink = "<link rel=\"stylesheet\" type=\"text/css\" href=\"style#SheetFile\">";

int posNoCase(const AnsiString& text, std::string_view sub) {
    const std::string& t = text.str();
    const auto it = std::search(t.begin(), t.end(), sub.begin(), sub.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
    return it == t.end() ? 0 : static_cast<int>(it - t.begin()) + 1;
}

// The stored link always names its stylesheet with a lower-case ".css", while the file on a
// case-sensitive disk may be "MAIN.CSS"; a name that is not there exactly is matched without
// regard to case, as the pages' home systems did.
AnsiString readStyleSheet(const std::string& folder, const std::string& name) {
    const std::string path = joinPath(folder, name);
    if (fileExists(path)) return WebPage::ReadPageFile(path);
    const std::string match = findFirstFile(folderOf(path), fileNameOf(path));
    return match.empty() ? AnsiString() : WebPage::ReadPageFile(joinPath(folderOf(path), match));
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The text of a tag from `start` through its first ">": looked for within `window` characters
// first, then anywhere after; a tag that is never closed runs to the end of the text.
int tagLength(const AnsiString& text, int start, int window) {
    const int gt = text.SubString(start, window).Pos(">");
    if (gt != 0) return gt;
    const int later = text.PosFrom(">", start);
    return later ? later - start + 1 : text.Length() - start + 1;
}

struct StyleBlock {
    bool found = false;
    int start = 0;
    int length = 0;
    AnsiString rules;
};

// The first "<STYLE" through its "</STYLE>". A block that is never closed is not taken: it
// stays in the page rather than swallowing the rest of it.
StyleBlock firstStyleBlock(const AnsiString& text) {
    StyleBlock block;
    const int start = text.Pos("<STYLE");
    if (start == 0) return block;
    const int close = text.PosFrom("</STYLE>", start);
    if (close == 0) return block;
    block.found = true;
    block.start = start;
    block.length = close + 8 - start;
    const AnsiString whole = text.SubString(start, block.length);
    const int gt = whole.Pos(">");
    block.rules = whole.SubString(gt + 1, whole.Length() - 8 - gt);
    return block;
}

// Puts "style#SheetFile" in place of the stylesheet's name in the page's first stylesheet link
// and reads that stylesheet from `folder` into `css`. False when the link names no ".css"
// file; the page is then left as it is.
bool takeLinkedStyleSheet(AnsiString& page, const std::string& folder, AnsiString& css) {
    const int linkPos = page.Pos("<link");
    if (linkPos == 0) return false;
    AnsiString window = page.SubString(linkPos, 400);
    int dot = window.Pos(".css");
    if (dot == 0) {
        // A long link tag: its stylesheet lies past the usual window, so look at the tag itself.
        const int length = tagLength(page, linkPos, 600);
        AnsiString tag = page.SubString(linkPos, length);
        tag.ReplaceFirst(".CSS", ".css");
        tag.ReplaceFirst("HREF", "href");
        page.Delete(linkPos, length);
        page.Insert(tag, linkPos);
        window = tag;
        dot = window.Pos(".css");
        if (dot == 0) return false;
    }
    int href = 0;
    for (int at = window.Pos("href"); at != 0 && at < dot; at = window.PosFrom("href", at + 1)) href = at;
    if (href == 0) return false;
    const std::string& w = window.str();
    std::size_t i = static_cast<std::size_t>(href - 1) + 4;
    while (i < w.size() && isBlank(w[i])) ++i;
    if (i >= w.size() || w[i] != '=') return false;
    ++i;
    while (i < w.size() && isBlank(w[i])) ++i;
    if (i < w.size() && (w[i] == '"' || w[i] == '\'')) ++i;
    const int nameStart = static_cast<int>(i) + 1;
    const int nameLength = dot + 4 - nameStart;
    if (nameLength <= 4) return false;
    const AnsiString name = window.SubString(nameStart, nameLength);
    const int at = linkPos + nameStart - 1;
    page.Delete(at, nameLength);
    page.Insert(styleSheetPlaceholder, at);
    css = readStyleSheet(folder, name.str());
    return true;
}

// The text a scheme keeps as its stylesheet: the first style block's rules (the block leaves
// the page) ahead of the linked stylesheet's text. False when no stylesheet is linked.
bool takeStyleSheetText(AnsiString& page, const std::string& folder, AnsiString& css) {
    if (!takeLinkedStyleSheet(page, folder, css)) return false;
    const StyleBlock style = firstStyleBlock(page);
    if (style.found) {
        page.Delete(style.start, style.length);
        css = style.rules + css;
    }
    return true;
}

AnsiString frameMarker(std::string_view name, int n) { return AnsiString(std::string(name) + "[" + std::to_string(n) + "]"); }

AnsiString wrapRules(const AnsiString& rules, int n) {
    return "\n" + frameMarker("beginCssData", n) + "\n" + rules + "\n" + frameMarker("endCssData", n);
}

// The scheme text of frame `n`: optional stylesheet section, then the frame page between its
// "frame[n]" and "endFrame[n]" markers.
AnsiString frameSection(AnsiString page, int n, const std::string& folder) {
    // The markers go round the html element whatever the case of its tags.
    page.Insert((frameMarker("frame", n) + "\n").str(), posNoCase(page, "<html"));
    const int close = posNoCase(page, "</html>");
    const AnsiString end = "\n" + frameMarker("endFrame", n);
    if (close != 0) page.Insert(end.str(), close + 7);
    else page += end.str();

    if (page.Contains("<link") || page.Contains("<LINK")) {
        page.ReplaceFirst("<LINK", "<link");
        page.ReplaceFirst(".CSS", ".css");
        page.ReplaceFirst("HREF", "href");
        AnsiString css;
        if (takeStyleSheetText(page, folder, css)) {
            return wrapRules(css, n) + "\n" + page + "\n";
        }
    }
    const StyleBlock block = firstStyleBlock(page);
    if (!block.found) {
        page.ReplaceEvery("\r\n", "\n");
        return page + "\n";
    }
    page.Insert(placeholderLink, block.start);
    page.Delete(block.start + static_cast<int>(placeholderLink.size()), block.length);
    return wrapRules(block.rules, n) + "\n" + page;
}

Status writeDocument(const std::string& path, const AnsiString& text) {
    return writeFileAtomic(path, textModeBytes(text.str()));
}

// The first occurrence of a fixed text at or after a position of a text that never changes,
// for searches whose starting points never move back: a search that ends past the next starting
// point answers that one too, so all the searches together read the text about once.
class ForwardFinder {
public:
    ForwardFinder(std::string_view text, std::string_view pattern) : m_text(text), m_pattern(pattern) {}

    std::size_t find(std::size_t from) {
        if (!m_searched || from < m_from || (m_found != std::string_view::npos && from > m_found)) {
            m_from = from;
            m_found = m_text.find(m_pattern, from);
            m_searched = true;
        }
        return m_found;
    }

private:
    std::string_view m_text;
    std::string_view m_pattern;
    std::size_t m_from = 0;
    std::size_t m_found = std::string_view::npos;
    bool m_searched = false;
};

} // namespace

std::string keepStyleSheetLinks(std::string_view page) {
    constexpr std::string_view open = "<LINK";
    // The text being edited is always `out` + page[t..]. `out` is final and holds no "<LINK";
    // only a deletion can join its last four characters with page[t..] into a new one. The rest
    // of the page is never edited, so the tag ends and ".CSS" are looked up in the page itself.
    std::string out;
    out.reserve(page.size());
    std::size_t t = 0;
    ForwardFinder closing(page, ">");
    ForwardFinder styleSheet(page, ".CSS");
    auto joinedOpening = [&]() -> std::size_t {
        for (std::size_t k = std::min<std::size_t>(open.size() - 1, out.size()); k >= 1; --k) {
            bool match = t + (open.size() - k) <= page.size();
            for (std::size_t i = 0; match && i < open.size(); ++i)
                match = (i < k ? out[out.size() - k + i] : page[t + i - k]) == open[i];
            if (match) return k;
        }
        return 0;
    };
    for (;;) {
        // How many characters of the occurrence lie in `out`.
        std::size_t k = joinedOpening();
        if (k == 0) {
            const std::size_t j = page.find(open, t);
            if (j == std::string_view::npos) break;
            out.append(page.substr(t, j - t));
            t = j;
        }
        // Neither ">" nor ".CSS" can begin inside "<LINK", so both are looked for after it.
        const std::size_t body = t + open.size() - k;
        const std::size_t gt = closing.find(body);
        const std::size_t tagEnd = gt == std::string_view::npos ? page.size() : gt + 1;
        const std::size_t css = styleSheet.find(body);
        out.resize(out.size() - k);
        if (css != std::string_view::npos && css + 4 <= tagEnd) {
            out += "<link";
            t = body;
        } else {
            t = tagEnd;
        }
    }
    out.append(page.substr(t));
    return out;
}

AnsiString singlePageSchemeText(const AnsiString& block, AnsiString page, const std::string& pageFolder) {
    page.ReplaceEvery("<style", "<STYLE");
    page.ReplaceEvery("</style>", "</STYLE>");
    page.ReplaceEvery("<link", "<LINK");
    page.ReplaceEvery(".css", ".CSS");
    page.ReplaceFirst("</html>", "</HTML>");
    if (!page.Contains("</HTML>")) page += "</HTML>";

    page = AnsiString(keepStyleSheetLinks(page.str()));

    if (page.Contains("<link")) {
        page.ReplaceFirst(".CSS", ".css");
        page.ReplaceFirst("HREF", "href");
        AnsiString css;
        if (takeStyleSheetText(page, pageFolder, css)) {
            return block + "\n" + "beginCssData\n" + css + "\n" + page;
        }
        // A link whose stylesheet cannot be named: the page is stored without that stylesheet
        // rather than not at all.
    }

    const StyleBlock style = firstStyleBlock(page);
    if (!style.found) {
        page.ReplaceEvery("\r\n", "\n");
        return block + "\n" + page;
    }
    // Only the first block moves to the stylesheet section; later blocks stay whole.
    page.Insert(placeholderLink, style.start);
    page.Delete(style.start + static_cast<int>(placeholderLink.size()), style.length);
    return block + "\n" + "beginCssData\n" + style.rules + "\n" + page;
}

std::string numberFrameSources(std::string frameset, const std::function<void(int, const std::string&)>& onFrame) {
    // Each pass turns its "<FRAME" into "<frame" and edits only after it, so the search goes on
    // from there; frames are numbered in the order of their tags, as the browser lists them.
    // The text before the current tag is committed; positions below are offsets in the rest.
    TextCursor text(std::move(frameset));
    // The first ">" and the first source mark at or after the current tag. Edits happen only
    // inside the tag, before its ">", and leave no mark behind, so each is looked for again only
    // once the tags have gone past it.
    std::size_t gt = 0, mark = 0;
    bool gtKnown = false, markKnown = false;
    constexpr auto none = std::string_view::npos;
    for (int n = 0;; ++n) {
        const std::size_t at = text.find("<FRAME");
        if (at == none) break;
        text.advance(at);
        // Neither ">" nor the mark can begin inside "<FRAME": one found before it is behind us.
        if (!gtKnown || (gt != none && gt < at)) {
            gt = text.find(">", 6);
            gtKnown = true;
        } else if (gt != none) {
            gt -= at;
        }
        if (!markKnown || (mark != none && mark < at)) {
            mark = text.find(framesetSourceMark, 6);
            markKnown = true;
        } else if (mark != none) {
            mark -= at;
        }
        const std::size_t length = gt == none ? text.rest().size() : gt + 1;
        std::string name;
        if (mark != none && mark + framesetSourceMark.size() <= length) {
            const std::string_view t = text.rest().substr(0, length);
            const std::size_t valueStart = mark + framesetSourceMark.size();
            std::size_t end = valueStart;
            const auto quote = end < t.size() && (t[end] == '"' || t[end] == '\'') ? t.find(t[end], end + 1) : none;
            if (quote != none) {
                // A quoted name may hold blanks; what follows the closing quote is not part of it.
                end = quote + 1;
            } else {
                while (end < t.size() && !isBlank(t[end]) && t[end] != '>') ++end;
            }
            name = t.substr(valueStart, end - valueStart);
            std::erase(name, '"');
            std::erase(name, '\'');
            const std::string attribute = ("src='" + frameMarker("frameS", n) + "'").str();
            text.replace(mark, end - mark, attribute);
            if (gt != none) gt = gt - (end - mark) + attribute.size();
            mark = text.find(framesetSourceMark, mark + attribute.size());
        }
        onFrame(n, name);
        text.replace(0, 6, "<frame");
        text.advance(1);
        if (gt != none) --gt;
        if (mark != none) --mark;
    }
    return text.finish();
}

AnsiString framesetSchemeText(const AnsiString& block, AnsiString frameset, const std::string& pageFolder) {
    frameset.ReplaceEvery("<frameset", "<FRAMESET");
    frameset.ReplaceEvery("<FRAMESET", hiddenFrameset);
    frameset.ReplaceEvery("<frame", "<FRAME");
    markFramesetSources(frameset);

    AnsiString out = block + "\n";
    // Many frames may name one source: it is read once, and the sources are held to the budget
    // they were shown with. Each frame still has a section of its own, so once the text has
    // passed the largest scheme that opens (it is refused as a whole then) the sections are left
    // empty, which keeps the memory a frameset can take bounded.
    std::unordered_map<std::string, AnsiString> sources;
    FrameBudget budget;
    frameset = AnsiString(numberFrameSources(std::move(frameset.str()), [&](int n, const std::string& name) {
        AnsiString page;
        if (!name.empty() && out.str().size() <= maxSchemeBytes) {
            const std::string file = frameSourcePath(pageFolder, name);
            if (!file.empty()) {
                auto known = sources.find(file);
                if (known == sources.end()) {
                    AnsiString source = WebPage::ReadPageFile(file);
                    if (!budget.take(source.str())) source = AnsiString();
                    known = sources.emplace(file, std::move(source)).first;
                }
                page = known->second;
            }
        }
        // A frame without a source still gets its (empty) section, so the sections keep the
        // frames' numbering.
        out += frameSection(std::move(page), n, pageFolder).str();
    }));

    frameset.ReplaceEvery(hiddenFrameset, "<FRAMESET");
    frameset.ReplaceEvery("<FRAMESET", "<frameset");
    frameset = "\n[indexString]\n" + frameset + "\n[endIndexString]";
    frameset.ReplaceEvery("\r\n", "\n");
    out += frameset.str();
    return out;
}

Status WriteSchemeFile(WebScheme& scheme, const std::string& schemeFile) {
    const AnsiString block = PageRecordBlock(scheme);
    const std::string page = scheme.pageFile.str();
    // The page is read again here; it may have changed on disk since it was opened.
    if (Status fits = checkPageFile(page); !fits) return fits;
    const AnsiString text = singlePageSchemeText(block, WebPage::ReadPageFile(page), folderOf(page));
    if (Status fits = checkSchemeText(page, text.str().size()); !fits) return fits;
    return writeDocument(schemeFile, text);
}

Status WriteFramesetSchemeFile(WebScheme& scheme, const std::string& schemeFile) {
    const AnsiString block = FramesetRecordBlock(scheme);
    const std::string page = scheme.pageFile.str();
    if (Status fits = checkPageFile(page); !fits) return fits;
    const AnsiString text = framesetSchemeText(block, WebPage::ReadPageFile(page), folderOf(page));
    if (Status fits = checkSchemeText(page, text.str().size()); !fits) return fits;
    return writeDocument(schemeFile, text);
}

} // namespace hw
