#include "engine/ChangeRecord.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "base/PageUrl.h"
#include "engine/WebPage.h"
#include "engine/WebScheme.h"

namespace hw {

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

// The text between `open` (searched from `from`) and the next `close`; `from` moves to where
// `close` starts, so the next field may open with it. A missing marker gives an empty text.
AnsiString between(const AnsiString& text, std::string_view open, std::string_view close, int& from) {
    const int a = text.PosFrom(open, from);
    if (a == 0) return {};
    const int start = a + static_cast<int>(open.size());
    const int b = text.PosFrom(close, start);
    if (b == 0) {
        from = start;
        return {};
    }
    from = b;
    return text.SubString(start, b - start);
}

void deleteFrom(AnsiString& text, std::string_view marker, int from) {
    const int at = text.PosFrom(marker, from);
    if (at != 0) text.Delete(at, static_cast<int>(marker.size()));
}

bool isFrameRecordName(std::string_view name) {
    return startsWith(name, "frameC[") && name.size() > 8 && name.back() == ']';
}

} // namespace

std::vector<CookieRecord> parseCookieFile(const AnsiString& text) {
    const std::string& t = text.str();
    std::vector<CookieRecord> records;
    std::size_t at = 0;
    // Every call consumes at least one character while text is left, so the loops below end.
    auto nextLine = [&](std::string& line) {
        if (at >= t.size()) return false;
        const auto lf = t.find('\n', at);
        const std::size_t end = lf == std::string::npos ? t.size() : lf;
        line.assign(t, at, end - at);
        at = lf == std::string::npos ? t.size() : lf + 1;
        return true;
    };
    while (at < t.size()) {
        std::string name, value, line, rest;
        nextLine(name);
        if (!name.empty() && name.back() == '\r') name.pop_back();
        nextLine(value);
        if (!value.empty() && value.back() == '\r') value.pop_back();
        while (nextLine(line)) {
            rest += line + "\n";
            if (line == "*" || line == "*\r") break;
        }
        records.push_back({AnsiString(std::move(name)), AnsiString(std::move(value)), std::move(rest)});
    }
    return records;
}

std::string CookiesFolder() { return cookiesFolder(); }

std::string cookieFolderText(const std::string& folder) {
    if (folder.empty() || folder[0] != '/') return {};
    std::string f = folder;
    while (f.size() > 1 && f.back() == '/') f.pop_back();
    std::string text = "__";
    for (std::size_t i = 1; i < f.size(); ++i) text += f[i] == '/' ? '_' : f[i];
    return text;
}

std::string cookieStoreFileName(const std::string& folder) {
    return "huewright@" + cookieFolderText(folder) + "_[1].txt";
}

std::string cookieFileNameIn(const std::string& cookiesFolder, const std::string& folder) {
    const std::string text = cookieFolderText(folder);
    if (text.empty()) return {};
    // The store's own name first: the wildcard search below ignores letter case and lets
    // other folders whose text ends in ours match too.
    const std::string own = cookieStoreFileName(folder);
    if (fileExists(joinPath(cookiesFolder, own))) return own;
    std::string name = findFirstFile(cookiesFolder, "*" + text + "_[1].txt");
    if (name.empty()) name = findFirstFile(cookiesFolder, "*" + text + "_[2].txt");
    return name;
}

AnsiString CookieFileName(const WebScheme& scheme) {
    const std::string anchor = scheme.cookieAnchor.str();
    if (anchor.empty()) return {};
    return AnsiString(cookieFileNameIn(CookiesFolder(), folderOf(anchor)));
}

AnsiString ReadCookieFile(const WebScheme& scheme) {
    const AnsiString name = CookieFileName(scheme);
    if (name.IsEmpty()) return {};
    return WebPage::ReadPageFile(joinPath(CookiesFolder(), name.str()));
}

AnsiString pageRecordBlockOf(const AnsiString& cookieText) {
    for (const auto& record : parseCookieFile(cookieText)) {
        if (record.name == "data") return "data\n" + record.value + "\n\n";
    }
    return {};
}

AnsiString framesetRecordBlockOf(const AnsiString& cookieText) {
    AnsiString block;
    for (const auto& record : parseCookieFile(cookieText)) {
        if (isFrameRecordName(record.name.str())) block += (record.name + "\n" + record.value + "\n\n").str();
    }
    return block;
}

AnsiString imageRequestPathOf(const AnsiString& cookieText) {
    // The store appends a request for a new picture, so the last one is the newest.
    std::string path;
    for (const auto& record : parseCookieFile(cookieText)) {
        const std::string& name = record.name.str();
        if (startsWith(name, "file:///")) path = percentDecode(std::string_view(name).substr(7));
        else if (startsWith(name, pageUrlPrefix)) path = pathOfUrl(name);
    }
    std::erase(path, '\n');
    std::erase(path, '\r');
    return AnsiString(std::move(path));
}

AnsiString PageRecordBlock(WebScheme& scheme) {
    scheme.changeRecord = pageRecordBlockOf(ReadCookieFile(scheme));
    return scheme.changeRecord;
}

AnsiString FramesetRecordBlock(WebScheme& scheme) {
    scheme.changeRecord = framesetRecordBlockOf(ReadCookieFile(scheme));
    return scheme.changeRecord;
}

AnsiString ImageRequestPath(const WebScheme& scheme) { return imageRequestPathOf(ReadCookieFile(scheme)); }

namespace {
std::string colourKey(char letter) { return std::string("?") + letter; }
std::string idEndMarker(char letter) { return std::string("$") + letter + "$"; }
std::string colourMarker(char letter) { return std::string(1, letter) + "#"; }
} // namespace

bool hasColourEntry(const AnsiString& record, char letter) { return record.Contains(colourKey(letter)); }
bool hasImageEntry(const AnsiString& record) { return record.Contains("?IM"); }

bool firstColourEntry(const AnsiString& record, char letter, ColourEntry& entry) {
    const int p = record.Pos(colourKey(letter));
    if (p == 0) return false;
    int from = p;
    entry.elementId = between(record, colourKey(letter), idEndMarker(letter), from);
    const int hash = record.PosFrom(colourMarker(letter), p);
    entry.hexCode = hash ? record.SubString(hash + 1, 7) : AnsiString();
    return true;
}

void spoilColourEntry(AnsiString& record, char letter) {
    const int p = record.Pos(colourKey(letter));
    if (p == 0) return;
    record.Delete(p, 1);
    // Only the letter of "B#" goes; the colour stays in the text.
    const int hash = record.PosFrom(colourMarker(letter), p);
    if (hash != 0) record.Delete(hash, 1);
    deleteFrom(record, idEndMarker(letter), p);
}

bool firstImageEntry(const AnsiString& record, ImageEntry& entry) {
    const int p = record.Pos("?IM");
    if (p == 0) return false;
    int from = p;
    entry.elementId = between(record, "?IM", "$IM$", from);
    entry.sourcePath = between(record, "IM&&", "$rs$", from);
    entry.repeatValue = between(record, "$rs$", "&im", from);
    entry.modulation = between(record, "?mod", "$mod$", from);
    entry.oldColour = between(record, "^oc", "^^", from);
    return true;
}

void spoilImageEntry(AnsiString& record) {
    const int p = record.Pos("?IM");
    if (p == 0) return;
    for (const char* marker : {"?IM", "$IM$", "IM&&", "$rs$", "&im", "?mod", "$mod$", "^oc", "^^"})
        deleteFrom(record, marker, p);
}

bool takeColourEntry(AnsiString& record, char letter, ColourEntry& entry) {
    if (!firstColourEntry(record, letter, entry)) return false;
    spoilColourEntry(record, letter);
    return true;
}

bool takeImageEntry(AnsiString& record, ImageEntry& entry) {
    if (!firstImageEntry(record, entry)) return false;
    spoilImageEntry(record);
    return true;
}

AnsiString swatchListOf(const AnsiString& record) {
    const int a = record.Pos("%");
    const int b = record.Pos("%%");
    if (a == 0 || b == 0) return {};
    return record.SubString(a, b - a);
}

} // namespace hw
