#include "engine/SchemeView.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "engine/ChangeRecord.h"
#include "engine/InputLimits.h"
#include "engine/SchemeFile.h"
#include "engine/WebPage.h"
#include "engine/WebScheme.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <optional>
#include <unordered_map>
#include <unordered_set>

namespace hw {

namespace {

using std::string_view;
constexpr auto npos = string_view::npos;

constexpr string_view idOpening = "id='";
// How far a painted element's tag is read for its own style and source attributes. A tag whose
// ">" lies further away (or whose quotes never close) keeps them; its colours still go in.
constexpr std::size_t tagReach = 4096;
constexpr std::size_t titleLength = 48;
constexpr const char* whiteText = "16777215";

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

bool sameNoCase(string_view a, string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// ---- the record's entries --------------------------------------------------------------------

// A reader takes the first entry of an aspect and spoils its markers, all of which stand at or
// after the entry's key; in a well-formed record that visits the keys in the order they stand,
// so walking them directly gives the same entries without rescanning the record for each one.

// Every start of a marker in the record, so that each search for "the next one at or after"
// costs a binary search instead of a read to the end of the record (a record of entries that
// lack their markers would otherwise be read once per entry).
class Occurrences {
public:
    Occurrences(string_view text, string_view pattern) : m_size(pattern.size()) {
        for (auto at = text.find(pattern); at != npos; at = text.find(pattern, at + 1)) m_at.push_back(at);
    }
    std::size_t next(std::size_t from) const {
        const auto it = std::lower_bound(m_at.begin(), m_at.end(), from);
        return it == m_at.end() ? npos : *it;
    }
    std::size_t size() const { return m_size; }

private:
    std::vector<std::size_t> m_at;
    std::size_t m_size;
};

AnsiString between(string_view text, const Occurrences& open, const Occurrences& close, std::size_t& from) {
    const auto a = open.next(from);
    if (a == npos) return {};
    const auto start = a + open.size();
    const auto b = close.next(start);
    if (b == npos) {
        from = start;
        return {};
    }
    from = b;
    return AnsiString(text.substr(start, b - start));
}

std::vector<ColourEntry> colourEntries(string_view record, char letter) {
    const std::string key{'?', letter}, idEnd{'$', letter, '$'}, mark{letter, '#'};
    const Occurrences keys(record, key), idEnds(record, idEnd), marks(record, mark);
    std::vector<ColourEntry> entries;
    for (auto p = keys.next(0); p != npos; p = keys.next(p + key.size())) {
        ColourEntry e;
        std::size_t from = p;
        e.elementId = between(record, keys, idEnds, from);
        const auto hash = marks.next(p);
        if (hash != npos) e.hexCode = AnsiString(record.substr(hash + 1, 7));
        entries.push_back(std::move(e));
    }
    return entries;
}

std::vector<ImageEntry> imageEntries(string_view record) {
    const Occurrences key(record, "?IM"), idEnd(record, "$IM$"), source(record, "IM&&"), repeat(record, "$rs$"),
        repeatEnd(record, "&im"), modulation(record, "?mod"), modulationEnd(record, "$mod$"), colour(record, "^oc"),
        end(record, "^^");
    std::vector<ImageEntry> entries;
    for (auto p = key.next(0); p != npos; p = key.next(p + 3)) {
        ImageEntry e;
        std::size_t from = p;
        e.elementId = between(record, key, idEnd, from);
        e.sourcePath = between(record, source, repeat, from);
        e.repeatValue = between(record, repeat, repeatEnd, from);
        e.modulation = between(record, modulation, modulationEnd, from);
        e.oldColour = between(record, colour, end, from);
        entries.push_back(std::move(e));
    }
    return entries;
}

// ---- one element's tag ---------------------------------------------------------------------

struct Span {
    std::size_t from;
    std::size_t to;
};

/// What a painted element's tag holds after its id attribute.
struct TagScan {
    bool closed = false;
    std::size_t end = 0;      ///< the position of the tag's ">" when closed
    std::vector<Span> styles; ///< every style attribute, each with the blanks before it
    string_view ownStyle;     ///< the first one's value
    std::optional<Span> source;
};

// Reads the attributes from `from` (just after "id='<id>'") to the tag's ">", honouring quotes,
// so that a "style" or ">" inside another attribute's value is not taken for the tag's own.
TagScan scanTag(string_view text, std::size_t from) {
    TagScan scan;
    const std::size_t limit = std::min(text.size(), from + tagReach);
    std::size_t i = from;
    while (i < limit) {
        const std::size_t start = i;
        while (i < limit && isSpace(text[i])) ++i;
        if (i >= limit) break;
        if (text[i] == '>') {
            scan.closed = true;
            scan.end = i;
            return scan;
        }
        if (text[i] == '<') return scan;
        const std::size_t nameStart = i;
        while (i < limit && !isSpace(text[i]) && text[i] != '=' && text[i] != '>' && text[i] != '<') ++i;
        const string_view name = text.substr(nameStart, i - nameStart);
        string_view value;
        std::size_t j = i;
        while (j < limit && isSpace(text[j])) ++j;
        if (j < limit && text[j] == '=') {
            ++j;
            while (j < limit && isSpace(text[j])) ++j;
            if (j < limit && (text[j] == '"' || text[j] == '\'')) {
                const auto close = text.substr(0, limit).find(text[j], j + 1);
                if (close == npos) return scan;
                value = text.substr(j + 1, close - j - 1);
                i = close + 1;
            } else {
                std::size_t k = j;
                while (k < limit && !isSpace(text[k]) && text[k] != '>') ++k;
                value = text.substr(j, k - j);
                i = k;
            }
        }
        if (sameNoCase(name, "style")) {
            if (scan.styles.empty()) scan.ownStyle = value;
            scan.styles.push_back({start, i});
        } else if (sameNoCase(name, "src") && !scan.source) {
            scan.source = Span{start, i};
        }
        if (i == start) ++i;
    }
    return scan;
}

// ---- what the record gives each element ------------------------------------------------------

/// The colours and pictures of one element; the last entry of an aspect wins, as the last
/// of several inserted style attributes stood first in the tag.
struct ElementPaint {
    std::string background;  ///< "#RRGGBB" or empty, and so the next two
    std::string text;
    std::string border;
    std::string picture;     ///< "Background:url(N) <repeat>" or empty
    std::string source;      ///< the recoloured copy of an image element, or empty
    std::size_t at = npos;   ///< just after the element's first "id='<id>'"

    bool styled() const { return !background.empty() || !text.empty() || !border.empty() || !picture.empty(); }
};

std::string trimDeclarations(string_view own) {
    while (!own.empty() && (isSpace(own.front()) || own.front() == ';')) own.remove_prefix(1);
    while (!own.empty() && (isSpace(own.back()) || own.back() == ';')) own.remove_suffix(1);
    return std::string(own);
}

/// " Style='...' " with the element's own declarations first and the scheme's after them, so
/// that the scheme's colours win while the element's other declarations keep working.
std::string schemeStyleAttribute(string_view ownDeclarations, string_view picture, string_view background,
                                 string_view text, string_view border) {
    std::string declarations = trimDeclarations(ownDeclarations);
    auto add = [&](string_view name, string_view value) {
        if (value.empty()) return;
        if (!declarations.empty()) declarations += ';';
        declarations += name;
        declarations += value;
    };
    // The picture goes before the colour: the shorthand would reset a background colour after it.
    add("", picture);
    add("Background-color:", background);
    add("Color:", text);
    add("border-color:", border);
    // An own declaration may quote a font name; the attribute then takes the other quote.
    char quote = '\'';
    if (declarations.find('\'') != npos) {
        quote = '"';
        std::string escaped;
        for (const char c : declarations) {
            if (c == '"') escaped += "&quot;";
            else escaped += c;
        }
        declarations = std::move(escaped);
    }
    return std::string(" Style=") + quote + declarations + quote + " ";
}

/// Puts the record's colours and pictures into an instrumented page in one pass: the positions
/// of "id='" are indexed once, and every painted element's tag is rewritten where it stands.
void paintPage(AnsiString& page, string_view record, bool borders, PictureMaker& pictures) {
    const auto backgrounds = colourEntries(record, 'B');
    const auto texts = colourEntries(record, 'C');
    const auto bordersOf = borders ? colourEntries(record, 'D') : std::vector<ColourEntry>();
    const auto images = imageEntries(record);

    std::unordered_map<std::string, ElementPaint> paints;
    // An id holding a quote could never be the whole value of an id attribute.
    auto want = [&](const AnsiString& id) {
        if (id.str().find('\'') == std::string::npos) paints.try_emplace(id.str());
    };
    for (const auto* list : {&backgrounds, &texts, &bordersOf})
        for (const auto& e : *list) want(e.elementId);
    for (const auto& e : images) want(e.elementId);
    if (paints.empty()) return;

    const std::string& text = page.str();
    for (auto q = text.find(idOpening); q != npos; q = text.find(idOpening, q + 1)) {
        const auto valueStart = q + idOpening.size();
        const auto valueEnd = text.find('\'', valueStart);
        if (valueEnd == npos) break;
        const auto it = paints.find(text.substr(valueStart, valueEnd - valueStart));
        if (it != paints.end() && it->second.at == npos) it->second.at = valueEnd + 1;
    }

    auto placed = [&](const AnsiString& id) -> ElementPaint* {
        const auto it = paints.find(id.str());
        return it == paints.end() || it->second.at == npos ? nullptr : &it->second;
    };
    for (const auto& e : backgrounds)
        if (auto* p = placed(e.elementId)) p->background = e.hexCode.str();
    for (const auto& e : texts)
        if (auto* p = placed(e.elementId)) p->text = e.hexCode.str();
    for (const auto& e : bordersOf)
        if (auto* p = placed(e.elementId)) p->border = e.hexCode.str();
    for (const auto& e : images) {
        auto* p = placed(e.elementId);
        if (!p) continue;
        const std::string copy = pictures.recreate(e.sourcePath.str(), e.modulation.str(), e.oldColour.str());
        if (copy.empty()) continue;
        // An element instrumentation numbered as an image has "img" in its id; any other
        // element with a picture has it as its background.
        if (e.elementId.Contains("img")) p->source = copy;
        else p->picture = "Background:url(" + copy + ") " + e.repeatValue.str();
    }

    std::vector<const ElementPaint*> order;
    for (const auto& [id, paint] : paints)
        if (paint.at != npos && (paint.styled() || !paint.source.empty())) order.push_back(&paint);
    if (order.empty()) return;
    std::sort(order.begin(), order.end(), [](const auto* a, const auto* b) { return a->at < b->at; });

    std::string out;
    out.reserve(text.size() + order.size() * 96);
    std::size_t copied = 0;
    for (std::size_t n = 0; n < order.size(); ++n) {
        const ElementPaint& paint = *order[n];
        const std::size_t next = n + 1 < order.size() ? order[n + 1]->at : text.size();
        out.append(text, copied, paint.at - copied);
        copied = paint.at;
        const TagScan tag = scanTag(text, paint.at);
        // Attributes are taken out only from a tag known to end before the next painted id.
        const bool whole = tag.closed && tag.end <= next;
        std::vector<Span> cuts;
        if (paint.styled()) {
            const string_view own = whole ? tag.ownStyle : string_view();
            out += schemeStyleAttribute(own, paint.picture, paint.background, paint.text, paint.border);
            if (whole) cuts = tag.styles;
        }
        if (!paint.source.empty()) {
            out += " src='" + paint.source + "' ";
            if (whole && tag.source) cuts.push_back(*tag.source);
        }
        std::sort(cuts.begin(), cuts.end(), [](const Span& a, const Span& b) { return a.from < b.from; });
        for (const Span& cut : cuts) {
            out.append(text, copied, cut.from - copied);
            copied = cut.to;
        }
    }
    out.append(text, copied, npos);
    page = AnsiString(std::move(out));
}

AnsiString textBetween(const AnsiString& text, string_view open, string_view close) {
    const int a = text.Pos(open);
    if (a == 0) return {};
    const int start = a + static_cast<int>(open.size());
    const int b = text.PosFrom(close, start);
    return b == 0 ? AnsiString() : text.SubString(start, b - start);
}

} // namespace

namespace {

/// The record of a single-page scheme: from the first "initialise,?" through "endData", without
/// its "initialise,"; with no record marker it starts at the beginning of the file.
AnsiString singlePageRecord(const AnsiString& schemeText) {
    const int recordStart = schemeText.Pos("initialise,?");
    AnsiString record = schemeText.SubString(recordStart, schemeText.Pos("endData") + 7 - recordStart);
    record.Delete(record.Pos("initialise,"), 11);
    return record;
}

} // namespace

AppliedPage applySchemeToPageText(const AnsiString& schemeText, const std::string& styleSheetName,
                                  PictureMaker& pictures) {
    AppliedPage applied;
    AnsiString record = singlePageRecord(schemeText);

    AnsiString text = schemeText;
    text.ReplaceEvery("<HTML", "<html");
    text.ReplaceEvery("</HTML>", "</html>");
    const int pageStart = text.Pos("<html");
    WebPage page;
    page.InstrumentPage(text.SubString(pageStart, text.Pos("</html>") + 7 - pageStart));
    applied.page = std::move(page.instrumentedText);

    const int css = text.Pos("beginCssData");
    if (css != 0) {
        applied.hasStyleSheet = true;
        applied.page.ReplaceFirst(styleSheetPlaceholder, styleSheetName);
        const int from = css + 12;
        applied.styleSheetText = text.SubString(from, text.Pos("<html") - from);
    }

    paintPage(applied.page, record, true, pictures);
    applied.swatchList = swatchListOf(record);
    return applied;
}

namespace {

// The text in front of 1-based `at`, as far back as a doctype and some blanks can reach.
std::string prologBefore(const std::string& text, int at) {
    constexpr std::size_t reach = 4096;
    const std::size_t end = at > 1 ? static_cast<std::size_t>(at - 1) : 0;
    const std::size_t start = end > reach ? end - reach : 0;
    return text.substr(start, end - start);
}

} // namespace

std::vector<PaintedColours> paintedColours(const AnsiString& record, bool borders) {
    std::vector<PaintedColours> painted;
    std::unordered_map<std::string, std::size_t> at;
    const auto take = [&](char letter, std::string PaintedColours::*aspect) {
        for (const auto& e : colourEntries(record, letter)) {
            if (e.elementId.str().find('\'') != std::string::npos) continue;
            auto [it, fresh] = at.try_emplace(e.elementId.str(), painted.size());
            if (fresh) painted.push_back({e.elementId.str(), {}, {}, {}});
            painted[it->second].*aspect = e.hexCode.str();
        }
    };
    take('B', &PaintedColours::background);
    take('C', &PaintedColours::text);
    if (borders) take('D', &PaintedColours::border);
    return painted;
}

SchemePageText singlePageOfScheme(const AnsiString& schemeText) {
    // The same pieces applySchemeToPageText takes.
    SchemePageText piece;
    const int recordStart = schemeText.Pos("initialise,?");
    piece.record = schemeText.SubString(recordStart, schemeText.Pos("endData") + 7 - recordStart);
    piece.record.Delete(piece.record.Pos("initialise,"), 11);
    AnsiString text = schemeText;
    text.ReplaceEvery("<HTML", "<html");
    text.ReplaceEvery("</HTML>", "</html>");
    const int pageStart = text.Pos("<html");
    piece.page = text.SubString(pageStart, text.Pos("</html>") + 7 - pageStart);
    piece.prolog = prologBefore(text.str(), pageStart);
    if (pageStart == 0) {
        // The page follows the record, or the stylesheet section after it; the stylesheet's end
        // is not marked, so the page is taken to start at its first tag.
        const std::string& page = piece.page.str();
        std::size_t from = page.find("endData");
        from = from == std::string::npos ? 0 : from + 7;
        const auto css = page.find("beginCssData", from);
        if (css != std::string::npos) {
            from = css + 12;
            for (auto lt = page.find('<', from); lt != std::string::npos; lt = page.find('<', lt + 1)) {
                const char c = lt + 1 < page.size() ? page[lt + 1] : '\0';
                if (std::isalpha(static_cast<unsigned char>(c)) || c == '!') {
                    from = lt;
                    break;
                }
            }
        }
        while (from < page.size() && isSpace(page[from])) ++from;
        piece.sectionsBefore = std::min(from, page.size());
    }
    return piece;
}

std::string swatchFileText(const AnsiString& swatchList, const std::string& schemeFileName) {
    // One item per "%": "%#RRGGBB(decimal),". A card takes three items; the last card is filled
    // up with white and captions "space".
    const string_view list = swatchList;
    struct Swatch {
        std::string colour = whiteText;
        std::string caption = "space";
    };
    std::vector<Swatch> swatches;
    for (auto p = list.find('%'); p != npos; p = list.find('%', p + 1)) {
        const auto next = list.find('%', p + 1);
        const string_view item = list.substr(p, next == npos ? npos : next - p);
        Swatch s;
        const auto open = item.find('(');
        const auto close = open == npos ? npos : item.find(')', open);
        // An item is taken only with a decimal colour and a six-digit caption: anything else (a
        // damaged list) would break the file's lines and shift every card after it, so it stays
        // a white swatch without caption.
        const auto allOf = [](string_view t, auto test) {
            return std::all_of(t.begin(), t.end(), [&](char c) { return test(static_cast<unsigned char>(c)); });
        };
        if (close != npos && item.size() > 1 && item[1] == '#') {
            const string_view colour = item.substr(open + 1, close - open - 1);
            const string_view caption = item.substr(2, open - 2);
            if (!colour.empty() && colour.size() <= 10 && allOf(colour, ::isdigit) && caption.size() == 6 &&
                allOf(caption, ::isxdigit)) {
                s.colour = std::string(colour);
                s.caption = std::string(caption);
            }
        }
        swatches.push_back(std::move(s));
    }
    const std::size_t cards = (swatches.size() + 2) / 3;
    swatches.resize(cards * 3);

    // A line end in a file name would end the title early.
    std::string title = schemeFileName;
    std::replace(title.begin(), title.end(), '\r', ' ');
    std::replace(title.begin(), title.end(), '\n', ' ');
    std::string out = std::to_string(static_cast<long long>(cards) - 1) + "\r\n";
    for (std::size_t c = 0; c < cards; ++c) {
        for (int j = 0; j < 3; ++j) out += swatches[c * 3 + j].colour + "\r\n";
        for (int j = 0; j < 3; ++j) out += swatches[c * 3 + j].caption + "\r\n";
        out += title + "\r\n";
    }
    return out;
}

std::vector<SwatchBook> readSwatchFileText(const std::string& text) {
    std::size_t at = 0;
    auto skipBlanks = [&] {
        while (at < text.size() && isSpace(text[at])) ++at;
    };
    auto word = [&]() -> string_view {
        skipBlanks();
        const std::size_t start = at;
        while (at < text.size() && !isSpace(text[at])) ++at;
        return string_view(text).substr(start, at - start);
    };
    auto number = [&](long long& value) {
        const string_view w = word();
        const auto r = std::from_chars(w.data(), w.data() + w.size(), value);
        return !w.empty() && r.ec == std::errc() && r.ptr == w.data() + w.size();
    };

    std::vector<SwatchBook> cards;
    long long last = -1;
    if (!number(last)) return cards;
    for (long long n = 0; n <= last; ++n) {
        SwatchBook card;
        for (int slot = 1; slot <= 3; ++slot) {
            long long colour = 0;
            if (!number(colour)) return cards;
            card.SetColor(slot, static_cast<TColor>(colour));
        }
        for (int slot = 1; slot <= 3; ++slot) {
            const string_view caption = word();
            if (caption.empty()) return cards;
            card.SetCaption(slot, caption == "space" ? AnsiString() : AnsiString(caption));
        }
        skipBlanks();
        const std::size_t start = at;
        while (at < text.size() && text[at] != '\r' && text[at] != '\n') ++at;
        AnsiString title(string_view(text).substr(start, std::min(at - start, titleLength)));
        title.Delete(title.Pos("."), 4);
        card.SetTitle(title);
        cards.push_back(std::move(card));
    }
    return cards;
}

int placeSchemeCards(std::vector<SwatchBook>& cards, int current, const std::vector<SwatchBook>& fresh, bool reload,
                     int lastScheme) {
    const int added = static_cast<int>(fresh.size());
    if (!reload || cards.empty() || lastScheme <= 0) {
        if (reload || cards.empty()) cards = fresh;
        else cards.insert(cards.end(), fresh.begin(), fresh.end());
        return static_cast<int>(cards.size()) - 1;
    }
    // A reload replaces the group of consecutive cards that share the current card's title.
    int first = std::clamp(current, 0, static_cast<int>(cards.size()) - 1);
    while (first > 0 && cards[first - 1].GetTitle() == cards[first].GetTitle()) --first;
    int count = 1;
    while (first + count < static_cast<int>(cards.size()) && cards[first + count].GetTitle() == cards[first].GetTitle())
        ++count;
    cards.erase(cards.begin() + first, cards.begin() + first + count);
    cards.insert(cards.begin() + first, fresh.begin(), fresh.end());
    if (added > 0) return first + added - 1;
    return cards.empty() ? -1 : std::clamp(first - 1, 0, static_cast<int>(cards.size()) - 1);
}

namespace {

/// The working files one build makes. Unless kept, every file made is removed again, so a
/// build that fails leaves nothing behind.
class WorkingFiles {
public:
    explicit WorkingFiles(std::string folder) : m_folder(std::move(folder)) {}
    WorkingFiles(const WorkingFiles&) = delete;
    WorkingFiles& operator=(const WorkingFiles&) = delete;
    ~WorkingFiles() {
        if (!m_kept)
            for (const auto& path : m_made) removeFile(path);
    }

    Result<std::string> make(const std::string& prefix) {
        std::string path = uniqueTempFile(m_folder, prefix);
        if (path.empty())
            return Error{"No working file can be made in the folder " + (m_folder.empty() ? "." : m_folder) + "."};
        m_made.push_back(path);
        return path;
    }
    static Status write(const std::string& path, string_view bytes) {
        if (writeFileBytes(path, bytes)) return {};
        return Error{"The file " + path + " cannot be written."};
    }
    void keep() { m_kept = true; }

private:
    std::string m_folder;
    std::vector<std::string> m_made;
    bool m_kept = false;
};

// Every scheme file has a record, frame sections or a page; a file with none of them is
// something else that happens to be named like a scheme.
bool isSchemeText(const AnsiString& text) {
    return text.Contains("initialise,") || text.Contains("frame[") || text.Contains("frameC[") ||
           text.Contains("<html") || text.Contains("<HTML");
}

void tableBordersOn(AnsiString& page) {
    page.ReplaceEvery("<table", "<TABLE");
    page.ReplaceEvery("<TABLE", "<table border='1'");
}

/// The n of the frame marker "frame[" n "]" that starts at 1-based `at`, or `fallback` when the
/// marker holds no number; `length` gets the marker's whole length (6 without a number), since
/// "frame[10]" and later are longer than the first ten.
int frameMarkerIndex(const AnsiString& text, int at, int fallback, int& length) {
    const string_view rest = string_view(text).substr(static_cast<std::size_t>(at - 1));
    const auto close = rest.find(']');
    length = 6;
    // Four digits are more frames than any frameset has; a longer number is no index.
    if (close == npos || close <= 6 || close > 6 + 4) return fallback;
    int n = 0;
    const auto r = std::from_chars(rest.data() + 6, rest.data() + close, n);
    if (r.ec != std::errc() || r.ptr != rest.data() + close || n < 0) return fallback;
    length = static_cast<int>(close) + 1;
    return n;
}

// A marker is made unrecognisable by "1!" after its second character, so the next search finds
// the next one.
void spoilMarker(AnsiString& text, int at) {
    if (at != 0) text.Insert("1!", at + 2);
}

/// The scheme's swatches are the frames' swatches, each colour once, in frame order.
AnsiString framesetSwatchList(const std::vector<AnsiString>& frameSwatches) {
    AnsiString swatchList;
    std::unordered_set<std::string> seen;
    for (const auto& list : frameSwatches) {
        const string_view text = list;
        for (auto p = text.find('%'); p != npos;) {
            const auto comma = text.find(',', p);
            const std::string item(text.substr(p, comma == npos ? npos : comma - p + 1));
            if (seen.insert(item).second) swatchList += item;
            p = comma == npos ? npos : text.find('%', comma);
        }
    }
    return swatchList;
}

/// The frames' records in the order buildFrameset visits them, each frame marker's number
/// naming its record.
std::vector<AnsiString> frameRecords(AnsiString schemeText) {
    std::vector<AnsiString> records;
    for (int i = 0;; ++i) {
        const int marker = schemeText.Pos("frame[");
        if (marker == 0) break;
        int length = 0;
        const std::string number = "[" + std::to_string(frameMarkerIndex(schemeText, marker, i, length)) + "]";
        spoilMarker(schemeText, marker);
        spoilMarker(schemeText, schemeText.Pos("endFrame["));
        const int recordAt = schemeText.Pos("frameC" + number);
        if (recordAt == 0) continue;
        records.push_back(swatchListOf(textBetween(schemeText, "frameC" + number, "frameE" + number)));
        spoilMarker(schemeText, recordAt);
        spoilMarker(schemeText, schemeText.Pos("frameE" + number));
    }
    return records;
}

Status buildSinglePage(const AnsiString& schemeText, const std::string& schemeFile, bool tableBorders,
                       PictureMaker& pictures, const std::string& workingCopy, WorkingFiles& files,
                       SchemeViewFiles& view) {
    std::string styleSheet = noStyleMarker;
    if (schemeText.Contains("beginCssData")) {
        auto made = files.make("ss");
        if (!made) return Error{made.error()};
        styleSheet = *made;
    }
    std::string page = workingCopy;
    if (page.empty()) {
        auto made = files.make("ps");
        if (!made) return Error{made.error()};
        page = *made;
    }

    AppliedPage applied = applySchemeToPageText(schemeText, fileNameOf(styleSheet), pictures);
    if (tableBorders) tableBordersOn(applied.page);
    if (applied.hasStyleSheet) {
        // The stored stylesheet went through the text stream once more than its page did.
        applied.styleSheetText.ReplaceEvery("\r\r", "\r");
        if (auto s = WorkingFiles::write(styleSheet, applied.styleSheetText.str()); !s) return s;
    }
    auto swatches = files.make("sb");
    if (!swatches) return Error{swatches.error()};
    const std::string swatchText = swatchFileText(applied.swatchList, fileNameOf(schemeFile));
    if (auto s = WorkingFiles::write(*swatches, swatchText); !s) return s;

    if (workingCopy.empty()) {
        if (auto s = WorkingFiles::write(page, applied.page.str()); !s) return s;
    } else {
        if (const Status written = writeFileAtomic(page, applied.page.str()); !written) return Error{written.error()};
    }
    view.frameset = false;
    view.workingCopy = page;
    view.styleSheetCopy = styleSheet;
    view.swatchFile = *swatches;
    view.cards = readSwatchFileText(swatchText);
    return {};
}

} // namespace

std::vector<SchemeFrameText> framesOfScheme(AnsiString schemeText) {
    // Each frame's markers are spoilt once read, so the next search finds the next frame's.
    std::vector<SchemeFrameText> frames;
    for (int i = 0;; ++i) {
        const int marker = schemeText.Pos("frame[");
        if (marker == 0) break;
        int length = 0;
        const int n = frameMarkerIndex(schemeText, marker, i, length);
        const std::string number = "[" + std::to_string(n) + "]";
        const int pageStart = marker + length;
        const int pageEnd = schemeText.Pos("endFrame[");
        SchemeFrameText frame;
        frame.index = n;
        frame.page = schemeText.SubString(pageStart, pageEnd - pageStart);
        frame.prolog = prologBefore(schemeText.str(), marker);
        spoilMarker(schemeText, marker);
        spoilMarker(schemeText, schemeText.Pos("endFrame["));
        const int recordAt = schemeText.Pos("frameC" + number);
        if (recordAt != 0) {
            frame.painted = true;
            frame.record = textBetween(schemeText, "frameC" + number, "frameE" + number);
            spoilMarker(schemeText, recordAt);
            spoilMarker(schemeText, schemeText.Pos("frameE" + number));
        }
        // Only a page that names the stored stylesheet has one (instrumentation adds no name).
        if (frame.page.Contains(styleSheetPlaceholder))
            frame.css = textBetween(schemeText, "beginCssData" + number, "endCssData" + number);
        frames.push_back(std::move(frame));
    }
    return frames;
}

namespace {

Status buildFrameset(AnsiString schemeText, const std::string& schemeFile, PictureMaker& pictures,
                     WorkingFiles& files, SchemeViewFiles& view) {
    AnsiString frameset = textBetween(schemeText, "[indexString]", "[endIndexString]");
    std::vector<AnsiString> frameSwatches;
    for (const SchemeFrameText& text : framesOfScheme(std::move(schemeText))) {
        const int n = text.index;
        const std::string number = "[" + std::to_string(n) + "]";
        WebPage frame;
        frame.InstrumentPage(text.page);
        AnsiString& page = frame.instrumentedText;
        if (text.painted) {
            // Frames show background, text and picture entries; their border entries stay in
            // the record only.
            paintPage(page, text.record, false, pictures);
            frameSwatches.push_back(swatchListOf(text.record));
        }

        if (page.Contains(styleSheetPlaceholder)) {
            auto styleSheet = files.make("ss");
            if (!styleSheet) return Error{styleSheet.error()};
            page.ReplaceFirst(styleSheetPlaceholder, fileNameOf(*styleSheet));
            AnsiString css = text.css;
            css.ReplaceEvery("\r\n", "\n");
            if (auto s = WorkingFiles::write(*styleSheet, css.str()); !s) return s;
        }

        auto copy = files.make("fps");
        if (!copy) return Error{copy.error()};
        frameset.ReplaceFirst("frameS" + number, fileNameOf(*copy));
        if (view.frameCopies.size() <= static_cast<std::size_t>(n)) view.frameCopies.resize(n + 1);
        view.frameCopies[n] = *copy;
        page.ReplaceEvery("\r\n", "\n");
        if (auto s = WorkingFiles::write(*copy, page.str()); !s) return s;
    }

    const AnsiString swatchList = framesetSwatchList(frameSwatches);
    auto swatches = files.make("sb");
    if (!swatches) return Error{swatches.error()};
    const std::string swatchText = swatchFileText(swatchList, fileNameOf(schemeFile));
    if (auto s = WorkingFiles::write(*swatches, swatchText); !s) return s;

    auto copy = files.make("ps");
    if (!copy) return Error{copy.error()};
    frameset.ReplaceEvery("\r\n", "\n");
    if (auto s = WorkingFiles::write(*copy, frameset.str()); !s) return s;

    view.frameset = true;
    view.workingCopy = *copy;
    view.styleSheetCopy = noStyleMarker;
    view.swatchFile = *swatches;
    view.cards = readSwatchFileText(swatchText);
    return {};
}

} // namespace

Result<SchemeViewFiles> buildSchemeView(const std::string& schemeFile, bool tableBorders, PictureMaker& pictures,
                                        const std::string& workingCopy) {
    if (Status fits = checkSchemeFile(schemeFile); !fits) return Error{fits.error()};
    auto bytes = readFileBytes(schemeFile);
    if (!bytes) return Error{"The file " + schemeFile + " cannot be read."};
    // Read as every page is read: up to a first zero byte.
    if (const auto zero = bytes->find('\0'); zero != std::string::npos) bytes->resize(zero);
    const AnsiString text(std::move(*bytes));
    if (!isSchemeText(text)) return Error{"The file " + schemeFile + " is not a web scheme."};
    if (Status fits = checkPageTags("The scheme file " + schemeFile, text.str()); !fits) return Error{fits.error()};

    // The working files are named by full path: the browser and the shutdown sweep find them so.
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(schemeFile, ec);
    WorkingFiles files(folderOf(ec ? schemeFile : absolute.lexically_normal().string()));
    SchemeViewFiles view;
    const Status built = isFramesetSchemeText(text)
                             ? buildFrameset(text, schemeFile, pictures, files, view)
                             : buildSinglePage(text, schemeFile, tableBorders, pictures, workingCopy, files, view);
    if (!built) return Error{built.error()};
    files.keep();
    return view;
}

bool isFramesetSchemeText(const AnsiString& schemeText) { return schemeText.Contains("[indexString]"); }

Result<std::vector<SwatchBook>> readSchemeCards(const std::string& schemeFile) {
    auto bytes = readFileBytes(schemeFile);
    if (!bytes) return Error{"The file " + schemeFile + " cannot be read."};
    if (const auto zero = bytes->find('\0'); zero != std::string::npos) bytes->resize(zero);
    const AnsiString text(std::move(*bytes));
    if (!isSchemeText(text)) return Error{"The file " + schemeFile + " is not a web scheme."};
    const AnsiString swatchList = isFramesetSchemeText(text) ? framesetSwatchList(frameRecords(text))
                                                             : swatchListOf(singlePageRecord(text));
    return readSwatchFileText(swatchFileText(swatchList, fileNameOf(schemeFile)));
}

} // namespace hw
