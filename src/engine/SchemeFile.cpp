#include "engine/SchemeFile.h"

#include "base/Files.h"
#include "engine/ChangeRecord.h"
#include "engine/WebPage.h"
#include "engine/WebScheme.h"

#include <algorithm>
#include <cctype>

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

} // namespace

AnsiString singlePageSchemeText(const AnsiString& block, AnsiString page, const std::string& pageFolder) {
    page.ReplaceEvery("<style", "<STYLE");
    page.ReplaceEvery("</style>", "</STYLE>");
    page.ReplaceEvery("<link", "<LINK");
    page.ReplaceEvery(".css", ".CSS");
    page.ReplaceFirst("</html>", "</HTML>");
    if (!page.Contains("</HTML>")) page += "</HTML>";

    // Only stylesheet links stay, written "<link"; every other link tag goes. A deletion can
    // join a "<" with a following "LINK", so the search steps back a little each time.
    for (int at = page.Pos("<LINK"); at != 0; at = page.PosFrom("<LINK", std::max(1, at - 5))) {
        const int length = tagLength(page, at, 600);
        if (page.SubString(at, length).Contains(".CSS")) {
            page.Delete(at, 5);
            page.Insert("<link", at);
        } else {
            page.Delete(at, length);
        }
    }

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

AnsiString framesetSchemeText(const AnsiString& block, AnsiString frameset, const std::string& pageFolder) {
    frameset.ReplaceEvery("<frameset", "<FRAMESET");
    frameset.ReplaceEvery("<FRAMESET", hiddenFrameset);
    frameset.ReplaceEvery("<frame", "<FRAME");
    markFramesetSources(frameset);

    AnsiString out = block + "\n";
    int n = 0;
    // Each pass turns its "<FRAME" into "<frame" and edits only after it, so the search can go
    // on from there; frames are numbered in the order of their tags, as the browser lists them.
    for (int at = frameset.Pos("<FRAME"); at != 0; at = frameset.PosFrom("<FRAME", at + 1), ++n) {
        const int length = tagLength(frameset, at, 200);
        const AnsiString tag = frameset.SubString(at, length);
        AnsiString page;
        const int mark = tag.Pos(framesetSourceMark);
        if (mark != 0) {
            const std::string& t = tag.str();
            const std::size_t valueStart = static_cast<std::size_t>(mark - 1) + framesetSourceMark.size();
            std::size_t end = valueStart;
            const auto quote = end < t.size() && (t[end] == '"' || t[end] == '\'') ? t.find(t[end], end + 1) : std::string::npos;
            if (quote != std::string::npos) {
                // A quoted name may hold blanks; what follows the closing quote is not part of it.
                end = quote + 1;
            } else {
                while (end < t.size() && !isBlank(t[end]) && t[end] != '>') ++end;
            }
            std::string name = t.substr(valueStart, end - valueStart);
            std::erase(name, '"');
            std::erase(name, '\'');
            const int attribute = at + mark - 1;
            frameset.Delete(attribute, static_cast<int>(end - static_cast<std::size_t>(mark - 1)));
            frameset.Insert(("src='" + frameMarker("frameS", n) + "'").str(), attribute);
            if (!name.empty()) page = WebPage::ReadFrameSource(pageFolder, name);
        }
        // A frame without a source still gets its (empty) section, so the sections keep the
        // frames' numbering.
        out += frameSection(page, n, pageFolder).str();
        frameset.Delete(at, 6);
        frameset.Insert("<frame", at);
    }

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
    return writeDocument(schemeFile, singlePageSchemeText(block, WebPage::ReadPageFile(page), folderOf(page)));
}

Status WriteFramesetSchemeFile(WebScheme& scheme, const std::string& schemeFile) {
    const AnsiString block = FramesetRecordBlock(scheme);
    const std::string page = scheme.pageFile.str();
    return writeDocument(schemeFile, framesetSchemeText(block, WebPage::ReadPageFile(page), folderOf(page)));
}

} // namespace hw
