#include "engine/HtmlTree.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <initializer_list>

namespace hw {

namespace {

using std::string_view;
constexpr auto npos = string_view::npos;

// A browser attaches an element beside its parent once this many elements are open.
constexpr std::size_t maxDomDepth = 512;
// Misnested formatting elements can still nest deeper; no path names an element below this.
constexpr std::size_t maxPathDepth = 1024;
// Walking the open elements may cost this many steps per byte of the page (plus a floor).
constexpr std::size_t workPerByte = 64;
constexpr std::size_t workFloor = 1u << 20;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool startsNoCase(string_view text, std::size_t at, string_view word) {
    if (text.size() - at < word.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (lower(text[at + k]) != word[k]) return false;
    return true;
}

bool isOneOf(string_view name, std::initializer_list<string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool isHeading(string_view n) { return n.size() == 2 && n[0] == 'h' && n[1] >= '1' && n[1] <= '6'; }

bool isSpecial(string_view n) {
    return isHeading(n) ||
           isOneOf(n, {"address", "applet", "area", "article", "aside", "base", "basefont", "bgsound", "blockquote",
                       "body", "br", "button", "caption", "center", "col", "colgroup", "dd", "details", "dir", "div",
                       "dl", "dt", "embed", "fieldset", "figcaption", "figure", "footer", "form", "frame", "frameset",
                       "head", "header", "hgroup", "hr", "html", "iframe", "img", "input", "keygen", "li", "link",
                       "listing", "main", "marquee", "menu", "meta", "nav", "noembed", "noframes", "noscript",
                       "object", "ol", "p", "param", "plaintext", "pre", "script", "section", "select", "source",
                       "style", "summary", "table", "tbody", "td", "template", "textarea", "tfoot", "th", "thead",
                       "title", "tr", "track", "ul", "wbr", "xmp"});
}

bool isFormatting(string_view n) {
    return isOneOf(n, {"a", "b", "big", "code", "em", "font", "i", "nobr", "s", "small", "strike", "strong", "tt",
                       "u"});
}

bool isVoid(string_view n) {
    return isOneOf(n, {"area", "base", "basefont", "bgsound", "br", "col", "embed", "frame", "hr", "img", "input",
                       "keygen", "link", "meta", "param", "source", "track", "wbr"});
}

// Start tags that close an open p first.
bool closesParagraph(string_view n) {
    return isHeading(n) ||
           isOneOf(n, {"address", "article", "aside", "blockquote", "center", "details", "dialog", "dir", "div", "dl",
                       "fieldset", "figcaption", "figure", "footer", "header", "hgroup", "main", "menu", "nav", "ol",
                       "p", "search", "section", "summary", "ul", "pre", "listing", "form", "plaintext", "li", "dd",
                       "dt", "hr", "xmp"});
}

// End tags that close the element of their name when it is in scope.
bool closesBlock(string_view n) {
    return isOneOf(n, {"address", "article", "aside", "blockquote", "button", "center", "details", "dialog", "dir",
                       "div", "dl", "fieldset", "figcaption", "figure", "footer", "header", "hgroup", "listing",
                       "main", "menu", "nav", "ol", "pre", "search", "section", "summary", "ul"});
}

bool impliesEnd(string_view n) {
    return isOneOf(n, {"dd", "dt", "li", "optgroup", "option", "p", "rb", "rp", "rt", "rtc"});
}

bool isRawText(string_view n) {
    return isOneOf(n, {"script", "style", "xmp", "iframe", "noembed", "noframes", "noscript", "textarea", "title"});
}

bool isHeadElement(string_view n) {
    return isOneOf(n, {"base", "basefont", "bgsound", "link", "meta", "title", "noscript", "noframes", "style",
                       "script", "template"});
}

bool isTablePart(string_view n) { return isOneOf(n, {"table", "tbody", "tfoot", "thead", "tr"}); }

// Start tags that leave svg or math content for HTML.
bool breaksOutOfForeign(string_view n) {
    return isHeading(n) ||
           isOneOf(n, {"b", "big", "blockquote", "body", "br", "center", "code", "dd", "div", "dl", "dt", "em",
                       "embed", "head", "hr", "i", "img", "li", "listing", "menu", "meta", "nobr", "ol", "p", "pre",
                       "ruby", "s", "small", "span", "strong", "strike", "sub", "sup", "table", "tt", "u", "ul",
                       "var"});
}

// Old doctypes that a browser shows in quirks mode (the common ones; the public identifier's
// start, lower case).
bool quirksDoctype(string_view doctype) {
    std::string d;
    for (char c : doctype) d += lower(c);
    std::size_t p = 0;
    while (p < d.size() && isBlank(d[p])) ++p;
    if (d.compare(p, 4, "html") != 0 || (p + 4 < d.size() && !isBlank(d[p + 4]))) return true;
    const auto publicAt = d.find("public");
    if (publicAt == npos) return d.find("system") != npos && d.find("about:legacy-compat") == npos;
    const auto quote = d.find_first_of("\"'", publicAt);
    if (quote == npos) return true;
    const auto close = d.find(d[quote], quote + 1);
    const std::string id = d.substr(quote + 1, close == npos ? npos : close - quote - 1);
    const bool systemId = close != npos && d.find_first_of("\"'", close + 1) != npos;
    for (string_view old : {"-//w3c//dtd html 3", "-//w3c//dtd html 2", "-//ietf//dtd html", "-//w3c//dtd w3 html",
                            "-//w3o//dtd w3 html", "-//netscape comm. corp.//", "-//microsoft//",
                            "-//w3c//dtd html 4.0 transitional//", "-//w3c//dtd html 4.0 frameset//",
                            "-//w3c//dtd html experimental", "-//softquad", "-//spyglass//", "-//webtechs//",
                            "-//sun microsystems corp.//", "-//sq//", "-//o'reilly and associates//",
                            "-//metrius//", "-//as//dtd html 3.0", "+//silmaril//", "-//advasoft ltd//"})
        if (id.starts_with(old)) return true;
    if (!systemId && (id.starts_with("-//w3c//dtd html 4.01 transitional//") ||
                      id.starts_with("-//w3c//dtd html 4.01 frameset//")))
        return true;
    return false;
}

/// Reads a value's character references that can matter in an id: the numeric ones and the
/// few named ones every page uses. Any other "&" stays as written.
std::string readReferences(string_view value) {
    if (value.find('&') == npos) return std::string(value);
    std::string out;
    for (std::size_t i = 0; i < value.size();) {
        if (value[i] != '&') {
            out += value[i++];
            continue;
        }
        static constexpr std::pair<string_view, char> named[] = {
            {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
        bool done = false;
        for (const auto& [word, c] : named)
            if (startsNoCase(value, i, word)) {
                out += c;
                i += word.size();
                done = true;
                break;
            }
        if (done) continue;
        if (i + 2 < value.size() && value[i + 1] == '#') {
            std::size_t p = i + 2;
            const bool hex = lower(value[p]) == 'x';
            if (hex) ++p;
            unsigned long code = 0;
            std::size_t digits = 0;
            for (; p < value.size() && digits < 8; ++p, ++digits) {
                const char c = lower(value[p]);
                if (c >= '0' && c <= '9') code = code * (hex ? 16 : 10) + static_cast<unsigned long>(c - '0');
                else if (hex && c >= 'a' && c <= 'f') code = code * 16 + static_cast<unsigned long>(c - 'a' + 10);
                else break;
            }
            if (digits > 0 && code > 0 && code < 0x110000) {
                if (p < value.size() && value[p] == ';') ++p;
                // As UTF-8: the form a page of any other encoding cannot hold as a plain id
                // anyway; such an id is rare enough to be named in that form.
                if (code < 0x80) {
                    out += static_cast<char>(code);
                } else if (code < 0x800) {
                    out += static_cast<char>(0xC0 | (code >> 6));
                    out += static_cast<char>(0x80 | (code & 0x3F));
                } else if (code < 0x10000) {
                    out += static_cast<char>(0xE0 | (code >> 12));
                    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                    out += static_cast<char>(0x80 | (code & 0x3F));
                } else {
                    out += static_cast<char>(0xF0 | (code >> 18));
                    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
                    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                    out += static_cast<char>(0x80 | (code & 0x3F));
                }
                i = p;
                continue;
            }
        }
        out += value[i++];
    }
    return out;
}

// What the parser asks of an open element while it walks the stack, worked out once per element
// so that a walk costs a few instructions a step.
enum Flag : unsigned {
    Special = 1u << 0,
    ScopeBoundary = 1u << 1, ///< ends every scope
    ButtonBoundary = 1u << 2,
    ListBoundary = 1u << 3,
    TableBoundary = 1u << 4, ///< ends table scope
    Heading = 1u << 5,
};

unsigned flagsOf(string_view n, bool foreign) {
    unsigned f = 0;
    if (foreign) {
        if (isOneOf(n, {"mi", "mo", "mn", "ms", "mtext", "annotation-xml", "foreignobject", "desc", "title"}))
            f |= Special | ScopeBoundary;
        return f;
    }
    if (isSpecial(n)) f |= Special;
    if (isOneOf(n, {"applet", "caption", "html", "table", "td", "th", "marquee", "object", "template"}))
        f |= ScopeBoundary;
    if (n == "button") f |= ButtonBoundary;
    if (n == "ol" || n == "ul") f |= ListBoundary;
    if (n == "html" || n == "table" || n == "template") f |= TableBoundary;
    if (isHeading(n)) f |= Heading;
    return f;
}

// ---- tokens ----------------------------------------------------------------------------------

struct Token {
    enum class Kind { Start, End, Text, Doctype, End_of_file } kind = Kind::Text;
    std::string name;
    std::string id;
    bool hasId = false;
    std::string type; ///< an input's type, lower case
    bool selfClosing = false;
    bool blankText = true; ///< for text: only blanks
    int tag = -1;          ///< for a start tag: its index
    string_view doctype;
};

} // namespace

class HtmlTreeBuilder {
public:
    HtmlTreeBuilder(string_view text, HtmlTree& tree)
        : m_text(text), m_tree(tree), m_budget(text.size() * workPerByte + workFloor),
          m_elementLimit(text.size() / 2 + 1024) {}

    void run();
    void setDoctype(string_view doctype) {
        m_tree.quirks = quirksDoctype(doctype);
        m_sawDoctype = true;
    }

private:
    enum class Mode {
        BeforeHead, InHead, AfterHead, InBody, InTable, InCaption, InColumnGroup, InTableBody, InRow, InCell,
        InSelect, InSelectInTable, InFrameset
    };

    // ---- the text ----
    bool nextToken(Token& t);
    void readTag(Token& t, std::size_t lt, bool end);
    void skipRawText(const std::string& name);

    // ---- the tree ----
    int makeElement(const std::string& name, const std::string& id, bool hasId, int tag, bool foreign);
    void append(int parent, int child);
    void detach(int child);
    void insertBefore(int parent, int child, int before);
    int insertElement(const Token& t, bool foreign = false);
    int insertImplied(const std::string& name);
    void insertAt(int element);
    int current() const { return m_stack.empty() ? -1 : m_stack.back(); }
    const std::string& nameOf(int e) const { return m_tree.elements[static_cast<std::size_t>(e)].name; }
    bool currentIs(string_view n) const { return current() >= 0 && nameOf(current()) == n; }
    void pop();
    void popUntil(string_view name);
    void popUntilHeading();
    bool spend(std::size_t steps);

    // ---- scopes ----
    enum class Scope { Default, Button, ListItem, Table, Select };
    bool inScope(string_view name, Scope scope);
    bool headingInScope();
    void closeParagraph();
    void generateImpliedEnds(string_view except = {});

    // ---- formatting elements ----
    void pushFormatting(int element, const Token& t);
    void reconstructFormatting();
    void clearFormattingToMarker();
    bool adoption(const std::string& subject);
    int stackIndex(int element);
    int formattingIndex(int element);

    // ---- the modes ----
    void process(Token& t);
    void inBody(Token& t);
    void anyOtherEndTag(const std::string& name);
    void inTable(Token& t);
    void resetMode();
    void closeCell();
    void clearStackBackTo(std::initializer_list<string_view> names);
    bool processForeign(Token& t);

    struct Formatting {
        int element = -1; ///< -1 for a marker
        std::string name;
        std::string id;
        bool hasId = false;
        int tag = -1;
    };

    string_view m_text;
    std::size_t m_at = 0;
    HtmlTree& m_tree;
    std::vector<int> m_stack;
    std::vector<char> m_onStack;
    std::vector<unsigned> m_flags; ///< Flag bits of each element
    unsigned flags(int e) const { return m_flags[static_cast<std::size_t>(e)]; }
    /// Every change of an element's place on the stack goes through here, which keeps the counts
    /// of open paragraphs (with none open, closing one needs no walk) and templates.
    void setOnStack(int e, int on) {
        char& mark = m_onStack[static_cast<std::size_t>(e)];
        const HtmlElement& el = m_tree.elements[static_cast<std::size_t>(e)];
        if (mark != on && !el.foreign && el.name == "p") m_openParagraphs += on ? 1 : -1;
        if (mark != on && !el.foreign && el.name == "template") m_openTemplates += on ? 1 : -1;
        mark = static_cast<char>(on);
    }
    long m_openParagraphs = 0;
    long m_openTemplates = 0;
    std::vector<Formatting> m_formatting;
    std::vector<int> m_lastOfTag; ///< the last element made from each tag
    std::vector<int> m_fragmentOf; ///< a template's content, by the template's index
    Mode m_mode = Mode::BeforeHead;
    bool m_sawDoctype = false;
    bool m_tableContext = false; ///< body rules applied from a table mode
    int m_form = -1;
    bool m_fosterParenting = false;
    bool m_stopped = false;
    std::size_t m_budget;
    std::size_t m_elementLimit;
    int m_html = -1;
};

// ---- the text ----------------------------------------------------------------------------------

bool HtmlTreeBuilder::nextToken(Token& t) {
    const string_view s = m_text;
    // Comments and dropped markup give no token: the loop goes on after them.
    for (;;) {
        t = Token();
        if (m_at >= s.size()) {
            t.kind = Token::Kind::End_of_file;
            return false;
        }
        const std::size_t start = m_at;
        std::size_t lt = start;
        for (;;) {
            lt = s.find('<', lt);
            if (lt == npos) {
                lt = s.size();
                break;
            }
            const char c = lt + 1 < s.size() ? s[lt + 1] : '\0';
            if (isLetter(c) || c == '/' || c == '!' || c == '?') break;
            ++lt; // a "<" that starts no tag is text
        }
        if (lt > start) {
            m_at = lt;
            t.kind = Token::Kind::Text;
            for (std::size_t i = start; i < lt; ++i)
                if (!isBlank(s[i])) {
                    t.blankText = false;
                    break;
                }
            return true;
        }
        const char c = s[lt + 1];
        if (isLetter(c)) {
            readTag(t, lt, false);
            if (t.kind == Token::Kind::Start) return true;
            continue;
        }
        if (c == '/') {
            const char d = lt + 2 < s.size() ? s[lt + 2] : '\0';
            if (isLetter(d)) {
                readTag(t, lt, true);
                if (t.kind == Token::Kind::End) return true;
                continue;
            }
            // "</>" is dropped; "</" and anything else is a comment up to ">".
            const auto gt = s.find('>', lt + 2);
            m_at = gt == npos ? s.size() : gt + 1;
            continue;
        }
        if (c == '!' && s.compare(lt, 4, "<!--") == 0) {
            const std::size_t p = lt + 4;
            if (s.compare(p, 1, ">") == 0) {
                m_at = p + 1;
            } else if (s.compare(p, 2, "->") == 0) {
                m_at = p + 2;
            } else {
                // Ends at "-->" (any number of dashes before ">") or "--!>".
                std::size_t end = npos;
                for (auto q = s.find("--", p); q != npos; q = s.find("--", q + 1)) {
                    std::size_t r = q + 2;
                    while (r < s.size() && s[r] == '-') ++r;
                    if (r < s.size() && s[r] == '>') {
                        end = r + 1;
                        break;
                    }
                    if (r + 1 < s.size() && s[r] == '!' && s[r + 1] == '>') {
                        end = r + 2;
                        break;
                    }
                    q = r - 1;
                }
                m_at = end == npos ? s.size() : end;
            }
            continue;
        }
        if (c == '!' && startsNoCase(s, lt + 2, "doctype")) {
            const auto gt = s.find('>', lt);
            const std::size_t end = gt == npos ? s.size() : gt;
            m_at = gt == npos ? s.size() : gt + 1;
            t.kind = Token::Kind::Doctype;
            t.doctype = s.substr(std::min(end, lt + 9), end - std::min(end, lt + 9));
            return true;
        }
        if (c == '!' && s.compare(lt, 9, "<![CDATA[") == 0 && current() >= 0 &&
            m_tree.elements[static_cast<std::size_t>(current())].foreign) {
            const auto close = s.find("]]>", lt + 9);
            m_at = close == npos ? s.size() : close + 3;
            t.kind = Token::Kind::Text;
            t.blankText = false;
            return true;
        }
        // "<!" and "<?": a comment up to the next ">".
        const auto gt = s.find('>', lt + 2);
        m_at = gt == npos ? s.size() : gt + 1;
    }
}

void HtmlTreeBuilder::readTag(Token& t, std::size_t lt, bool end) {
    const string_view s = m_text;
    std::size_t p = lt + (end ? 2 : 1);
    const std::size_t nameStart = p;
    while (p < s.size() && !isBlank(s[p]) && s[p] != '/' && s[p] != '>') ++p;
    std::string name;
    name.reserve(p - nameStart);
    for (std::size_t i = nameStart; i < p; ++i) name += lower(s[i]);
    bool gotId = false, gotType = false;
    for (;;) {
        while (p < s.size() && (isBlank(s[p]) || s[p] == '/')) {
            if (s[p] == '/' && p + 1 < s.size() && s[p + 1] == '>') {
                t.selfClosing = true;
                ++p;
                break;
            }
            ++p;
        }
        if (p >= s.size()) {
            // A tag the text ends inside is no tag.
            m_at = s.size();
            t.kind = Token::Kind::Text;
            return;
        }
        if (s[p] == '>') {
            ++p;
            break;
        }
        const std::size_t attrStart = p;
        ++p; // the first character may be "="
        while (p < s.size() && !isBlank(s[p]) && s[p] != '/' && s[p] != '>' && s[p] != '=') ++p;
        const string_view attr = s.substr(attrStart, p - attrStart);
        while (p < s.size() && isBlank(s[p])) ++p;
        string_view value;
        if (p < s.size() && s[p] == '=') {
            ++p;
            while (p < s.size() && isBlank(s[p])) ++p;
            if (p < s.size() && (s[p] == '"' || s[p] == '\'')) {
                const auto close = s.find(s[p], p + 1);
                if (close == npos) {
                    m_at = s.size();
                    t.kind = Token::Kind::Text;
                    return;
                }
                value = s.substr(p + 1, close - p - 1);
                p = close + 1;
            } else {
                const std::size_t v = p;
                while (p < s.size() && !isBlank(s[p]) && s[p] != '>') ++p;
                value = s.substr(v, p - v);
            }
        }
        if (!end && !gotId && attr.size() == 2 && lower(attr[0]) == 'i' && lower(attr[1]) == 'd') {
            gotId = true;
            t.hasId = true;
            t.id = readReferences(value);
        } else if (!end && !gotType && attr.size() == 4 && startsNoCase(attr, 0, "type")) {
            gotType = true;
            for (char c : value) t.type += lower(c);
        }
    }
    m_at = p;
    t.kind = end ? Token::Kind::End : Token::Kind::Start;
    t.name = std::move(name);
    if (!end) {
        t.tag = static_cast<int>(m_tree.tagOffsets.size());
        m_tree.tagOffsets.push_back(lt);
        m_tree.m_tagElement.push_back(-1);
    }
}

void HtmlTreeBuilder::skipRawText(const std::string& name) {
    if (name == "plaintext") {
        m_at = m_text.size();
        return;
    }
    // The element ends at the first "</name" followed by a blank, "/" or ">".
    for (auto p = m_text.find("</", m_at); p != npos; p = m_text.find("</", p + 2)) {
        const std::size_t after = p + 2 + name.size();
        if (after <= m_text.size() && startsNoCase(m_text, p + 2, name) &&
            (after == m_text.size() || isBlank(m_text[after]) || m_text[after] == '/' || m_text[after] == '>')) {
            m_at = p;
            return;
        }
    }
    m_at = m_text.size();
}

// ---- the tree ----------------------------------------------------------------------------------

bool HtmlTreeBuilder::spend(std::size_t steps) {
    if (steps > m_budget) {
        m_budget = 0;
        m_stopped = true;
        return false;
    }
    m_budget -= steps;
    return true;
}

int HtmlTreeBuilder::makeElement(const std::string& name, const std::string& id, bool hasId, int tag, bool foreign) {
    HtmlElement e;
    e.name = name;
    e.id = id;
    e.hasId = hasId;
    e.tag = tag;
    e.foreign = foreign;
    const int index = static_cast<int>(m_tree.elements.size());
    // Copies of formatting elements could outgrow the page; a real page has no more elements
    // than it has pairs of bytes.
    if (m_tree.elements.size() >= m_elementLimit) m_stopped = true;
    m_tree.elements.push_back(std::move(e));
    m_tree.m_nextOfSameTag.push_back(-1);
    m_onStack.push_back(0);
    m_flags.push_back(flagsOf(name, foreign));
    if (tag >= 0) {
        int& first = m_tree.m_tagElement[static_cast<std::size_t>(tag)];
        if (m_lastOfTag.size() <= static_cast<std::size_t>(tag)) m_lastOfTag.resize(m_tree.m_tagElement.size(), -1);
        if (first < 0) first = index;
        else m_tree.m_nextOfSameTag[static_cast<std::size_t>(m_lastOfTag[static_cast<std::size_t>(tag)])] = index;
        m_lastOfTag[static_cast<std::size_t>(tag)] = index;
    }
    return index;
}

void HtmlTreeBuilder::detach(int child) {
    auto& els = m_tree.elements;
    auto& c = els[static_cast<std::size_t>(child)];
    if (c.parent < 0) return;
    auto& p = els[static_cast<std::size_t>(c.parent)];
    if (c.previous >= 0) els[static_cast<std::size_t>(c.previous)].next = c.next;
    else p.firstChild = c.next;
    if (c.next >= 0) els[static_cast<std::size_t>(c.next)].previous = c.previous;
    else p.lastChild = c.previous;
    c.parent = c.previous = c.next = -1;
}

void HtmlTreeBuilder::insertBefore(int parent, int child, int before) {
    detach(child);
    auto& els = m_tree.elements;
    auto& c = els[static_cast<std::size_t>(child)];
    auto& p = els[static_cast<std::size_t>(parent)];
    c.parent = parent;
    if (before < 0) {
        c.previous = p.lastChild;
        if (p.lastChild >= 0) els[static_cast<std::size_t>(p.lastChild)].next = child;
        else p.firstChild = child;
        p.lastChild = child;
        return;
    }
    auto& b = els[static_cast<std::size_t>(before)];
    c.previous = b.previous;
    c.next = before;
    if (b.previous >= 0) els[static_cast<std::size_t>(b.previous)].next = child;
    else p.firstChild = child;
    b.previous = child;
}

void HtmlTreeBuilder::append(int parent, int child) { insertBefore(parent, child, -1); }

// Puts a new element where the next node goes: at the end of the current node, or, while table
// content is moved out, just before the table.
void HtmlTreeBuilder::insertAt(int element) {
    int target = current();
    if (m_fosterParenting && target >= 0 && isTablePart(nameOf(target))) {
        int table = -1;
        for (std::size_t k = m_stack.size(); k-- > 0;) {
            if (!spend(1)) break;
            if (nameOf(m_stack[k]) == "table") {
                table = static_cast<int>(k);
                break;
            }
        }
        if (table > 0) {
            const int t = m_stack[static_cast<std::size_t>(table)];
            const int parent = m_tree.elements[static_cast<std::size_t>(t)].parent;
            if (parent >= 0) insertBefore(parent, element, t);
            else append(m_stack[static_cast<std::size_t>(table - 1)], element);
            return;
        }
    }
    if (target < 0) target = m_html;
    // A template's content is a fragment of its own, outside the document.
    if (nameOf(target) == "template" && !m_tree.elements[static_cast<std::size_t>(target)].foreign) {
        if (m_fragmentOf.size() <= static_cast<std::size_t>(target)) m_fragmentOf.resize(m_tree.elements.size(), -1);
        int& fragment = m_fragmentOf[static_cast<std::size_t>(target)];
        if (fragment < 0) {
            const int made = makeElement("#document-fragment", {}, false, -1, false);
            m_fragmentOf[static_cast<std::size_t>(target)] = made;
        }
        append(m_fragmentOf[static_cast<std::size_t>(target)], element);
        return;
    }
    // Past the browser's depth limit a new element goes beside its parent.
    if (m_stack.size() > maxDomDepth) {
        const int up = m_tree.elements[static_cast<std::size_t>(target)].parent;
        if (up >= 0) target = up;
    }
    append(target, element);
}

int HtmlTreeBuilder::insertElement(const Token& t, bool foreign) {
    const int e = makeElement(t.name, t.id, t.hasId, t.tag, foreign);
    insertAt(e);
    m_stack.push_back(e);
    setOnStack(e, 1);
    return e;
}

int HtmlTreeBuilder::insertImplied(const std::string& name) {
    Token t;
    t.name = name;
    return insertElement(t);
}

void HtmlTreeBuilder::pop() {
    if (m_stack.size() <= 1) return; // the html element stays
    setOnStack(m_stack.back(), 0);
    m_stack.pop_back();
}

void HtmlTreeBuilder::popUntil(string_view name) {
    while (m_stack.size() > 1) {
        const bool found = nameOf(current()) == name;
        pop();
        if (found) return;
    }
}

void HtmlTreeBuilder::popUntilHeading() {
    while (m_stack.size() > 1) {
        const bool found = isHeading(nameOf(current()));
        pop();
        if (found) return;
    }
}

// ---- scopes ------------------------------------------------------------------------------------

bool HtmlTreeBuilder::inScope(string_view name, Scope scope) {
    unsigned boundary = ScopeBoundary;
    if (scope == Scope::Button) boundary |= ButtonBoundary;
    if (scope == Scope::ListItem) boundary |= ListBoundary;
    if (scope == Scope::Table) boundary = TableBoundary;
    for (std::size_t k = m_stack.size(); k-- > 0;) {
        if (!spend(1)) return false;
        const int e = m_stack[k];
        const HtmlElement& el = m_tree.elements[static_cast<std::size_t>(e)];
        if (!el.foreign && el.name == name) return true;
        if (scope == Scope::Select) {
            if (el.name != "optgroup" && el.name != "option") return false;
            continue;
        }
        if (flags(e) & boundary) return false;
    }
    return false;
}

bool HtmlTreeBuilder::headingInScope() {
    for (std::size_t k = m_stack.size(); k-- > 0;) {
        if (!spend(1)) return false;
        const unsigned f = flags(m_stack[k]);
        if (f & Heading) return true;
        if (f & ScopeBoundary) return false;
    }
    return false;
}

void HtmlTreeBuilder::generateImpliedEnds(string_view except) {
    while (current() >= 0 && impliesEnd(nameOf(current())) && nameOf(current()) != except) pop();
}

void HtmlTreeBuilder::closeParagraph() {
    if (m_openParagraphs <= 0 || !inScope("p", Scope::Button)) return;
    generateImpliedEnds("p");
    popUntil("p");
}

// ---- formatting elements -----------------------------------------------------------------------

int HtmlTreeBuilder::stackIndex(int element) {
    for (std::size_t k = m_stack.size(); k-- > 0;) {
        if (!spend(1)) return -1;
        if (m_stack[k] == element) return static_cast<int>(k);
    }
    return -1;
}

int HtmlTreeBuilder::formattingIndex(int element) {
    for (std::size_t k = m_formatting.size(); k-- > 0;) {
        if (!spend(1)) return -1;
        if (m_formatting[k].element == element) return static_cast<int>(k);
    }
    return -1;
}

void HtmlTreeBuilder::pushFormatting(int element, const Token& t) {
    // At most three entries of the same element after the last marker.
    int same = 0, earliest = -1;
    for (std::size_t k = m_formatting.size(); k-- > 0;) {
        if (!spend(1)) return;
        const auto& f = m_formatting[k];
        if (f.element < 0) break;
        if (f.name == t.name && f.id == t.id && f.hasId == t.hasId) {
            ++same;
            earliest = static_cast<int>(k);
        }
    }
    if (same >= 3) m_formatting.erase(m_formatting.begin() + earliest);
    m_formatting.push_back({element, t.name, t.id, t.hasId, t.tag});
}

void HtmlTreeBuilder::reconstructFormatting() {
    if (m_formatting.empty()) return;
    const auto open = [&](const Formatting& f) {
        return f.element < 0 || m_onStack[static_cast<std::size_t>(f.element)];
    };
    if (open(m_formatting.back())) return;
    std::size_t k = m_formatting.size() - 1;
    while (k > 0 && !open(m_formatting[k - 1])) {
        if (!spend(1)) return;
        --k;
    }
    for (; k < m_formatting.size() && !m_stopped; ++k) {
        Formatting& f = m_formatting[k];
        const int e = makeElement(f.name, f.id, f.hasId, f.tag, false);
        insertAt(e);
        m_stack.push_back(e);
        setOnStack(e, 1);
        f.element = e;
    }
}

void HtmlTreeBuilder::clearFormattingToMarker() {
    while (!m_formatting.empty()) {
        const bool marker = m_formatting.back().element < 0;
        m_formatting.pop_back();
        if (marker) return;
    }
}

// The adoption agency: closes a misnested formatting element and opens a copy of it where its
// content goes on. False when the end tag is to be taken as any other end tag.
bool HtmlTreeBuilder::adoption(const std::string& subject) {
    if (currentIs(subject) && formattingIndex(current()) < 0) {
        pop();
        return true;
    }
    for (int outer = 0; outer < 8; ++outer) {
        int fi = -1;
        for (std::size_t k = m_formatting.size(); k-- > 0;) {
            if (!spend(1)) return true;
            if (m_formatting[k].element < 0) break;
            if (m_formatting[k].name == subject) {
                fi = static_cast<int>(k);
                break;
            }
        }
        if (fi < 0) return false;
        const int fe = m_formatting[static_cast<std::size_t>(fi)].element;
        const int feStack = stackIndex(fe);
        if (feStack < 0) {
            m_formatting.erase(m_formatting.begin() + fi);
            return true;
        }
        if (!inScope(subject, Scope::Default)) return true;
        int furthest = -1;
        for (std::size_t k = static_cast<std::size_t>(feStack) + 1; k < m_stack.size(); ++k) {
            if (!spend(1)) return true;
            if (flags(m_stack[k]) & Special) {
                furthest = static_cast<int>(k);
                break;
            }
        }
        if (furthest < 0) {
            while (m_stack.size() > static_cast<std::size_t>(feStack)) pop();
            m_formatting.erase(m_formatting.begin() + fi);
            return true;
        }
        const int commonAncestor = m_stack[static_cast<std::size_t>(feStack) - 1];
        const int furthestBlock = m_stack[static_cast<std::size_t>(furthest)];
        int bookmark = fi;
        int node = furthestBlock;
        int lastNode = furthestBlock;
        int nodeIndex = furthest;
        for (int inner = 1;; ++inner) {
            --nodeIndex;
            node = m_stack[static_cast<std::size_t>(nodeIndex)];
            if (node == fe) break;
            int nodeFormatting = formattingIndex(node);
            if (inner > 3 && nodeFormatting >= 0) {
                m_formatting.erase(m_formatting.begin() + nodeFormatting);
                if (nodeFormatting < bookmark) --bookmark;
                nodeFormatting = -1;
            }
            if (nodeFormatting < 0) {
                setOnStack(node, 0);
                m_stack.erase(m_stack.begin() + nodeIndex);
                if (!spend(m_stack.size() - static_cast<std::size_t>(nodeIndex) + 1)) return true;
                continue;
            }
            Formatting& f = m_formatting[static_cast<std::size_t>(nodeFormatting)];
            const int copy = makeElement(f.name, f.id, f.hasId, f.tag, false);
            f.element = copy;
            setOnStack(node, 0);
            setOnStack(copy, 1);
            m_stack[static_cast<std::size_t>(nodeIndex)] = copy;
            node = copy;
            if (lastNode == furthestBlock) bookmark = nodeFormatting + 1;
            append(node, lastNode);
            lastNode = node;
        }
        // The last node goes into the common ancestor, or in front of its table.
        if (isTablePart(nameOf(commonAncestor))) {
            const bool saved = m_fosterParenting;
            std::vector<int> saveStack;
            // insertAt works from the current node: stand on the common ancestor for it.
            if (!spend(m_stack.size())) return true;
            const auto fosterTarget = std::find(m_stack.begin(), m_stack.end(), commonAncestor);
            if (fosterTarget != m_stack.end()) {
                saveStack.assign(fosterTarget + 1, m_stack.end());
                m_stack.erase(fosterTarget + 1, m_stack.end());
                m_fosterParenting = true;
                detach(lastNode);
                insertAt(lastNode);
                m_stack.insert(m_stack.end(), saveStack.begin(), saveStack.end());
                m_fosterParenting = saved;
            } else {
                append(commonAncestor, lastNode);
            }
        } else {
            append(commonAncestor, lastNode);
        }
        const Formatting feEntry = m_formatting[static_cast<std::size_t>(fi)];
        const int fresh = makeElement(feEntry.name, feEntry.id, feEntry.hasId, feEntry.tag, false);
        auto& els = m_tree.elements;
        while (els[static_cast<std::size_t>(furthestBlock)].firstChild >= 0) {
            if (!spend(1)) return true;
            append(fresh, els[static_cast<std::size_t>(furthestBlock)].firstChild);
        }
        append(furthestBlock, fresh);
        m_formatting.erase(m_formatting.begin() + fi);
        if (fi < bookmark) --bookmark;
        bookmark = std::clamp(bookmark, 0, static_cast<int>(m_formatting.size()));
        m_formatting.insert(m_formatting.begin() + bookmark, {fresh, feEntry.name, feEntry.id, feEntry.hasId, feEntry.tag});
        const int feAt = stackIndex(fe);
        if (feAt >= 0) {
            setOnStack(fe, 0);
            m_stack.erase(m_stack.begin() + feAt);
        }
        const int fbAt = stackIndex(furthestBlock);
        m_stack.insert(m_stack.begin() + (fbAt < 0 ? static_cast<int>(m_stack.size()) : fbAt + 1), fresh);
        setOnStack(fresh, 1);
        if (!spend(m_stack.size())) return true;
    }
    return true;
}

// ---- the modes ---------------------------------------------------------------------------------

void HtmlTreeBuilder::run() {
    m_html = makeElement("html", {}, false, -1, false);
    m_stack.push_back(m_html);
    setOnStack(m_html, 1);
    bool sawDoctype = m_sawDoctype;
    bool sawContent = false;
    Token t;
    while (!m_stopped && nextToken(t)) {
        if (t.kind == Token::Kind::Doctype) {
            if (!sawDoctype && !sawContent) m_tree.quirks = quirksDoctype(t.doctype);
            sawDoctype = true;
            continue;
        }
        if (t.kind != Token::Kind::Text || !t.blankText) sawContent = true;
        process(t);
        if (t.kind == Token::Kind::Start && current() >= 0 && m_tree.elements[static_cast<std::size_t>(current())].tag == t.tag &&
            !m_tree.elements[static_cast<std::size_t>(current())].foreign && isRawText(t.name)) {
            skipRawText(t.name);
        } else if (t.kind == Token::Kind::Start && t.name == "plaintext" && currentIs("plaintext")) {
            skipRawText(t.name);
        }
    }
    if (m_tree.head < 0) {
        m_tree.head = makeElement("head", {}, false, -1, false);
        insertBefore(m_html, m_tree.head, m_tree.elements[static_cast<std::size_t>(m_html)].firstChild);
    }
    if (m_tree.body < 0 && m_mode != Mode::InFrameset) {
        m_tree.body = makeElement("body", {}, false, -1, false);
        append(m_html, m_tree.body);
    }
    m_tree.complete = !m_stopped;
}

bool HtmlTreeBuilder::processForeign(Token& t) {
    const int cur = current();
    if (cur < 0 || !m_tree.elements[static_cast<std::size_t>(cur)].foreign) return false;
    const std::string& curName = nameOf(cur);
    // Inside an integration point the content is HTML.
    if (isOneOf(curName, {"foreignobject", "desc", "title", "mi", "mo", "mn", "ms", "mtext"})) return false;
    if (t.kind == Token::Kind::Text) return true;
    if (t.kind == Token::Kind::Start) {
        if (breaksOutOfForeign(t.name) || t.name == "font") {
            while (current() >= 0 && m_tree.elements[static_cast<std::size_t>(current())].foreign) pop();
            return false;
        }
        insertElement(t, true);
        if (t.selfClosing) pop();
        return true;
    }
    if (t.kind == Token::Kind::End) {
        for (std::size_t k = m_stack.size(); k-- > 1;) {
            if (!spend(1)) return true;
            const auto& el = m_tree.elements[static_cast<std::size_t>(m_stack[k])];
            if (!el.foreign) return false;
            if (el.name == t.name) {
                while (m_stack.size() > k) pop();
                return true;
            }
        }
        return true;
    }
    return false;
}

void HtmlTreeBuilder::process(Token& t) {
    if (processForeign(t)) return;
    const bool start = t.kind == Token::Kind::Start;
    const bool end = t.kind == Token::Kind::End;
    switch (m_mode) {
    case Mode::BeforeHead:
    case Mode::InHead:
    case Mode::AfterHead:
        if (t.kind == Token::Kind::Text && t.blankText) return;
        if (m_openTemplates > 0) {
            // A template in the head holds what follows until its end tag, as a body would.
            if (end && t.name == "template") popUntil("template");
            else inBody(t);
            return;
        }
        if (start && t.name == "html") {
            if (m_tree.m_tagElement[static_cast<std::size_t>(t.tag)] < 0)
                m_tree.m_tagElement[static_cast<std::size_t>(t.tag)] = m_html;
            return;
        }
        if (m_mode == Mode::BeforeHead) {
            if (end && !isOneOf(t.name, {"head", "body", "html", "br"})) return;
            if (start && t.name == "head") {
                m_tree.head = insertElement(t);
                m_mode = Mode::InHead;
                return;
            }
            m_tree.head = insertImplied("head");
            m_mode = Mode::InHead;
        }
        if (start && isHeadElement(t.name)) {
            if (m_mode == Mode::AfterHead) {
                // Back into the head for it, as the browser does.
                m_stack.push_back(m_tree.head);
                setOnStack(m_tree.head, 1);
                const int e = insertElement(t);
                if (isVoid(t.name)) pop();
                if (!isRawText(t.name)) {
                    setOnStack(m_tree.head, 0);
                    m_stack.erase(std::find(m_stack.begin(), m_stack.end(), m_tree.head));
                } else {
                    // The raw text element is closed by its end tag; the head leaves after it.
                    m_stack.erase(std::find(m_stack.begin(), m_stack.end(), m_tree.head));
                    setOnStack(m_tree.head, 0);
                    (void)e;
                }
                return;
            }
            insertElement(t);
            if (isVoid(t.name)) pop();
            return;
        }
        if (m_mode == Mode::InHead) {
            if (end && isRawText(t.name)) {
                if (currentIs(t.name)) pop();
                return;
            }
            if (end && t.name == "head") {
                popUntil("head");
                m_mode = Mode::AfterHead;
                return;
            }
            if (start && t.name == "head") return;
            if (end && !isOneOf(t.name, {"body", "html", "br"})) return;
            popUntil("head");
            m_mode = Mode::AfterHead;
        }
        // After the head.
        if (end && isRawText(t.name) && currentIs(t.name)) {
            pop();
            return;
        }
        if (start && t.name == "body") {
            m_tree.body = insertElement(t);
            m_mode = Mode::InBody;
            return;
        }
        if (start && t.name == "frameset") {
            insertElement(t);
            m_mode = Mode::InFrameset;
            return;
        }
        if (start && t.name == "head") return;
        if (end && !isOneOf(t.name, {"body", "html", "br"})) return;
        m_tree.body = insertImplied("body");
        m_mode = Mode::InBody;
        process(t);
        return;
    case Mode::InFrameset:
        if (t.kind == Token::Kind::Text) return;
        if (start && t.name == "noframes") insertElement(t);
        else if (end && t.name == "noframes" && currentIs("noframes")) pop();
        else if (start && t.name == "frameset") insertElement(t);
        else if (start && t.name == "frame") {
            insertElement(t);
            pop();
        } else if (end && t.name == "frameset" && m_stack.size() > 1) {
            pop();
        }
        return;
    case Mode::InBody:
        inBody(t);
        return;
    case Mode::InTable:
    case Mode::InCaption:
    case Mode::InColumnGroup:
    case Mode::InTableBody:
    case Mode::InRow:
    case Mode::InCell:
        inTable(t);
        return;
    case Mode::InSelect:
    case Mode::InSelectInTable:
        if (m_mode == Mode::InSelectInTable &&
            isOneOf(t.name, {"caption", "table", "tbody", "tfoot", "thead", "tr", "td", "th"})) {
            if (end && !inScope(t.name, Scope::Table)) return;
            popUntil("select");
            resetMode();
            process(t);
            return;
        }
        if (start && t.name == "option") {
            if (currentIs("option")) pop();
            insertElement(t);
        } else if (start && t.name == "optgroup") {
            if (currentIs("option")) pop();
            if (currentIs("optgroup")) pop();
            insertElement(t);
        } else if (end && t.name == "optgroup") {
            const int n = static_cast<int>(m_stack.size());
            if (currentIs("option") && n >= 2 && nameOf(m_stack[static_cast<std::size_t>(n - 2)]) == "optgroup") pop();
            if (currentIs("optgroup")) pop();
        } else if (end && t.name == "option") {
            if (currentIs("option")) pop();
        } else if ((end || start) && t.name == "select") {
            if (!inScope("select", Scope::Select)) return;
            popUntil("select");
            resetMode();
        } else if (start && isOneOf(t.name, {"input", "keygen", "textarea"})) {
            if (!inScope("select", Scope::Select)) return;
            popUntil("select");
            resetMode();
            process(t);
        } else if (start && isOneOf(t.name, {"script", "template"})) {
            insertElement(t);
        } else if (end && isOneOf(t.name, {"script", "template"})) {
            if (currentIs(t.name)) pop();
        }
        return;
    }
}

void HtmlTreeBuilder::inBody(Token& t) {
    const std::string& n = t.name;
    if (t.kind == Token::Kind::Text) {
        reconstructFormatting();
        return;
    }
    if (t.kind == Token::Kind::Start) {
        if (n == "html") {
            if (m_tree.m_tagElement[static_cast<std::size_t>(t.tag)] < 0)
                m_tree.m_tagElement[static_cast<std::size_t>(t.tag)] = m_html;
            return;
        }
        if (n == "body") {
            if (m_tree.body >= 0 && m_tree.m_tagElement[static_cast<std::size_t>(t.tag)] < 0)
                m_tree.m_tagElement[static_cast<std::size_t>(t.tag)] = m_tree.body;
            return;
        }
        if (isOneOf(n, {"caption", "col", "colgroup", "frame", "head", "tbody", "td", "tfoot", "th", "thead", "tr",
                        "frameset"}))
            return;
        if (isHeadElement(n)) {
            insertElement(t);
            if (isVoid(n)) pop();
            return;
        }
        if (n == "form") {
            if (m_form >= 0) return;
            closeParagraph();
            m_form = insertElement(t);
            return;
        }
        if (n == "li" || n == "dd" || n == "dt") {
            for (std::size_t k = m_stack.size(); k-- > 0;) {
                if (!spend(1)) return;
                const std::string& node = nameOf(m_stack[k]);
                const bool match = n == "li" ? node == "li" : (node == "dd" || node == "dt");
                if (match) {
                    generateImpliedEnds(node);
                    popUntil(std::string(node));
                    break;
                }
                if ((flags(m_stack[k]) & Special) && !isOneOf(node, {"address", "div", "p"})) break;
            }
            closeParagraph();
            insertElement(t);
            return;
        }
        if (isHeading(n)) {
            closeParagraph();
            if (current() >= 0 && isHeading(nameOf(current()))) pop();
            insertElement(t);
            return;
        }
        if (n == "hr") {
            closeParagraph();
            insertElement(t);
            pop();
            return;
        }
        if (closesParagraph(n)) {
            closeParagraph();
            insertElement(t);
            return;
        }
        if (n == "button") {
            if (inScope("button", Scope::Default)) {
                generateImpliedEnds();
                popUntil("button");
            }
            reconstructFormatting();
            insertElement(t);
            return;
        }
        if (n == "a") {
            for (std::size_t k = m_formatting.size(); k-- > 0;) {
                if (!spend(1)) return;
                if (m_formatting[k].element < 0) break;
                if (m_formatting[k].name == "a") {
                    const int a = m_formatting[k].element;
                    adoption("a");
                    const int fi = formattingIndex(a);
                    if (fi >= 0) m_formatting.erase(m_formatting.begin() + fi);
                    const int si = stackIndex(a);
                    if (si >= 0) {
                        setOnStack(a, 0);
                        m_stack.erase(m_stack.begin() + si);
                    }
                    break;
                }
            }
            reconstructFormatting();
            pushFormatting(insertElement(t), t);
            return;
        }
        if (n == "nobr") {
            reconstructFormatting();
            if (inScope("nobr", Scope::Default)) {
                adoption("nobr");
                reconstructFormatting();
            }
            pushFormatting(insertElement(t), t);
            return;
        }
        if (isFormatting(n)) {
            reconstructFormatting();
            pushFormatting(insertElement(t), t);
            return;
        }
        if (isOneOf(n, {"applet", "marquee", "object"})) {
            reconstructFormatting();
            insertElement(t);
            m_formatting.push_back({});
            return;
        }
        if (n == "table") {
            if (!m_tree.quirks) closeParagraph();
            insertElement(t);
            m_mode = Mode::InTable;
            return;
        }
        if (isOneOf(n, {"area", "br", "embed", "img", "keygen", "wbr", "input"})) {
            reconstructFormatting();
            insertElement(t);
            pop();
            return;
        }
        if (n == "image") {
            t.name = "img";
            inBody(t);
            return;
        }
        if (isOneOf(n, {"param", "source", "track"})) {
            insertElement(t);
            pop();
            return;
        }
        if (n == "textarea" || n == "iframe" || n == "noembed" || n == "noscript" || n == "xmp") {
            if (n == "xmp") closeParagraph();
            reconstructFormatting();
            insertElement(t);
            return;
        }
        if (n == "select") {
            reconstructFormatting();
            insertElement(t);
            m_mode = m_tableContext ? Mode::InSelectInTable : Mode::InSelect;
            return;
        }
        if (n == "optgroup" || n == "option") {
            if (currentIs("option")) pop();
            reconstructFormatting();
            insertElement(t);
            return;
        }
        if (isOneOf(n, {"rb", "rtc"})) {
            if (inScope("ruby", Scope::Default)) generateImpliedEnds();
            insertElement(t);
            return;
        }
        if (isOneOf(n, {"rp", "rt"})) {
            if (inScope("ruby", Scope::Default)) generateImpliedEnds("rtc");
            insertElement(t);
            return;
        }
        if (n == "svg" || n == "math") {
            reconstructFormatting();
            insertElement(t, true);
            if (t.selfClosing) pop();
            return;
        }
        reconstructFormatting();
        insertElement(t);
        return;
    }
    if (t.kind != Token::Kind::End) return;
    if (n == "body" || n == "html") return;
    if (n == "br") {
        Token br;
        br.kind = Token::Kind::Start;
        br.name = "br";
        inBody(br);
        return;
    }
    if (n == "p") {
        if (m_openParagraphs <= 0 || !inScope("p", Scope::Button)) {
            insertImplied("p");
        }
        closeParagraph();
        return;
    }
    if (n == "form") {
        const int form = m_form;
        m_form = -1;
        if (form < 0 || !m_onStack[static_cast<std::size_t>(form)]) return;
        if (!inScope("form", Scope::Default)) return;
        generateImpliedEnds();
        const int at = stackIndex(form);
        if (at >= 0) {
            setOnStack(form, 0);
            m_stack.erase(m_stack.begin() + at);
        }
        return;
    }
    if (n == "li" || n == "dd" || n == "dt") {
        if (!inScope(n, n == "li" ? Scope::ListItem : Scope::Default)) return;
        generateImpliedEnds(n);
        popUntil(n);
        return;
    }
    if (isHeading(n)) {
        if (!headingInScope()) return;
        generateImpliedEnds();
        popUntilHeading();
        return;
    }
    if (closesBlock(n)) {
        if (!inScope(n, Scope::Default)) return;
        generateImpliedEnds();
        popUntil(n);
        return;
    }
    if (isFormatting(n)) {
        if (!adoption(n)) anyOtherEndTag(n);
        return;
    }
    if (isOneOf(n, {"applet", "marquee", "object"})) {
        if (!inScope(n, Scope::Default)) return;
        generateImpliedEnds();
        popUntil(n);
        clearFormattingToMarker();
        return;
    }
    anyOtherEndTag(n);
}

void HtmlTreeBuilder::anyOtherEndTag(const std::string& name) {
    for (std::size_t k = m_stack.size(); k-- > 1;) {
        if (!spend(1)) return;
        const auto& el = m_tree.elements[static_cast<std::size_t>(m_stack[k])];
        if (el.name == name) {
            generateImpliedEnds(name);
            while (m_stack.size() > k) pop();
            return;
        }
        if (flags(m_stack[k]) & Special) return;
    }
}

void HtmlTreeBuilder::clearStackBackTo(std::initializer_list<string_view> names) {
    while (m_stack.size() > 1 && !isOneOf(nameOf(current()), names)) pop();
}

void HtmlTreeBuilder::closeCell() {
    generateImpliedEnds();
    while (m_stack.size() > 1) {
        const bool cell = currentIs("td") || currentIs("th");
        pop();
        if (cell) break;
    }
    clearFormattingToMarker();
    m_mode = Mode::InRow;
}

void HtmlTreeBuilder::resetMode() {
    for (std::size_t k = m_stack.size(); k-- > 0;) {
        if (!spend(1)) return;
        const std::string& n = nameOf(m_stack[k]);
        const bool last = k == 0;
        if (n == "select") {
            m_mode = Mode::InSelect;
            for (std::size_t j = k; j-- > 0;) {
                if (!spend(1)) return;
                if (nameOf(m_stack[j]) == "table") {
                    m_mode = Mode::InSelectInTable;
                    break;
                }
            }
            return;
        }
        if ((n == "td" || n == "th") && !last) m_mode = Mode::InCell;
        else if (n == "tr") m_mode = Mode::InRow;
        else if (n == "tbody" || n == "thead" || n == "tfoot") m_mode = Mode::InTableBody;
        else if (n == "caption") m_mode = Mode::InCaption;
        else if (n == "colgroup") m_mode = Mode::InColumnGroup;
        else if (n == "table") m_mode = Mode::InTable;
        else if (n == "body") m_mode = Mode::InBody;
        else if (n == "frameset") m_mode = Mode::InFrameset;
        else if (n == "html") m_mode = m_tree.body >= 0 ? Mode::InBody : Mode::AfterHead;
        else if (!last) continue;
        else m_mode = Mode::InBody;
        return;
    }
    m_mode = Mode::InBody;
}

// The table modes. Content that has no place in a table is handled as in the body, but placed
// in front of the table.
void HtmlTreeBuilder::inTable(Token& t) {
    const std::string& n = t.name;
    const bool start = t.kind == Token::Kind::Start;
    const bool end = t.kind == Token::Kind::End;
    const auto asInBody = [&] {
        const Mode mode = m_mode;
        m_mode = Mode::InBody;
        m_fosterParenting = true;
        m_tableContext = true;
        inBody(t);
        m_tableContext = false;
        m_fosterParenting = false;
        // A select opened here, or a mode set by the body rules, stays; otherwise back.
        if (m_mode == Mode::InBody) m_mode = mode;
    };

    switch (m_mode) {
    case Mode::InCell:
        if (end && (n == "td" || n == "th")) {
            if (!inScope(n, Scope::Table)) return;
            closeCell();
            return;
        }
        if ((start && isOneOf(n, {"caption", "col", "colgroup", "tbody", "td", "tfoot", "th", "thead", "tr"})) ||
            (end && isOneOf(n, {"table", "tbody", "tfoot", "thead", "tr"}))) {
            if (!inScope("td", Scope::Table) && !inScope("th", Scope::Table)) return;
            closeCell();
            process(t);
            return;
        }
        if (end && isOneOf(n, {"body", "caption", "col", "colgroup", "html"})) return;
        {
            m_mode = Mode::InBody;
            m_tableContext = true;
            inBody(t);
            m_tableContext = false;
            if (m_mode == Mode::InBody) m_mode = Mode::InCell;
        }
        return;
    case Mode::InCaption:
        if ((start && isOneOf(n, {"caption", "col", "colgroup", "tbody", "td", "tfoot", "th", "thead", "tr"})) ||
            (end && (n == "table" || n == "caption"))) {
            if (!inScope("caption", Scope::Table)) return;
            generateImpliedEnds();
            popUntil("caption");
            clearFormattingToMarker();
            m_mode = Mode::InTable;
            if (!(end && n == "caption")) process(t);
            return;
        }
        if (end && isOneOf(n, {"body", "col", "colgroup", "html", "tbody", "td", "tfoot", "th", "thead", "tr"})) return;
        m_mode = Mode::InBody;
        m_tableContext = true;
        inBody(t);
        m_tableContext = false;
        if (m_mode == Mode::InBody) m_mode = Mode::InCaption;
        return;
    case Mode::InColumnGroup:
        if (start && n == "col") {
            insertElement(t);
            pop();
            return;
        }
        if (end && n == "colgroup") {
            if (currentIs("colgroup")) {
                pop();
                m_mode = Mode::InTable;
            }
            return;
        }
        if (end && n == "col") return;
        if (t.kind == Token::Kind::Text && t.blankText) return;
        if (!currentIs("colgroup")) return;
        pop();
        m_mode = Mode::InTable;
        process(t);
        return;
    case Mode::InRow:
        if (start && (n == "th" || n == "td")) {
            clearStackBackTo({"tr", "template", "html"});
            insertElement(t);
            m_mode = Mode::InCell;
            m_formatting.push_back({});
            return;
        }
        if (end && n == "tr") {
            if (!inScope("tr", Scope::Table)) return;
            clearStackBackTo({"tr", "template", "html"});
            pop();
            m_mode = Mode::InTableBody;
            return;
        }
        if ((start && isOneOf(n, {"caption", "col", "colgroup", "tbody", "tfoot", "thead", "tr"})) ||
            (end && n == "table")) {
            if (!inScope("tr", Scope::Table)) return;
            clearStackBackTo({"tr", "template", "html"});
            pop();
            m_mode = Mode::InTableBody;
            process(t);
            return;
        }
        if (end && isOneOf(n, {"tbody", "tfoot", "thead"})) {
            if (!inScope(n, Scope::Table) || !inScope("tr", Scope::Table)) return;
            clearStackBackTo({"tr", "template", "html"});
            pop();
            m_mode = Mode::InTableBody;
            process(t);
            return;
        }
        if (end && isOneOf(n, {"body", "caption", "col", "colgroup", "html", "td", "th"})) return;
        break; // as in the table
    case Mode::InTableBody:
        if (start && n == "tr") {
            clearStackBackTo({"tbody", "tfoot", "thead", "template", "html"});
            insertElement(t);
            m_mode = Mode::InRow;
            return;
        }
        if (start && (n == "th" || n == "td")) {
            clearStackBackTo({"tbody", "tfoot", "thead", "template", "html"});
            insertImplied("tr");
            m_mode = Mode::InRow;
            process(t);
            return;
        }
        if (end && isOneOf(n, {"tbody", "tfoot", "thead"})) {
            if (!inScope(n, Scope::Table)) return;
            clearStackBackTo({"tbody", "tfoot", "thead", "template", "html"});
            pop();
            m_mode = Mode::InTable;
            return;
        }
        if ((start && isOneOf(n, {"caption", "col", "colgroup", "tbody", "tfoot", "thead"})) || (end && n == "table")) {
            if (!inScope("tbody", Scope::Table) && !inScope("thead", Scope::Table) && !inScope("tfoot", Scope::Table))
                return;
            clearStackBackTo({"tbody", "tfoot", "thead", "template", "html"});
            pop();
            m_mode = Mode::InTable;
            process(t);
            return;
        }
        if (end && isOneOf(n, {"body", "caption", "col", "colgroup", "html", "td", "th", "tr"})) return;
        break; // as in the table
    default:
        break;
    }

    // In the table itself.
    if (t.kind == Token::Kind::Text) {
        if (current() >= 0 && isTablePart(nameOf(current()))) {
            // Blanks stay in the table; other text is moved in front of it, with the
            // formatting it is in.
            if (t.blankText) return;
            m_fosterParenting = true;
            reconstructFormatting();
            m_fosterParenting = false;
        } else {
            asInBody();
        }
        return;
    }
    if (start && n == "caption") {
        clearStackBackTo({"table", "template", "html"});
        m_formatting.push_back({});
        insertElement(t);
        m_mode = Mode::InCaption;
        return;
    }
    if (start && n == "colgroup") {
        clearStackBackTo({"table", "template", "html"});
        insertElement(t);
        m_mode = Mode::InColumnGroup;
        return;
    }
    if (start && n == "col") {
        clearStackBackTo({"table", "template", "html"});
        insertImplied("colgroup");
        m_mode = Mode::InColumnGroup;
        process(t);
        return;
    }
    if (start && isOneOf(n, {"tbody", "tfoot", "thead"})) {
        clearStackBackTo({"table", "template", "html"});
        insertElement(t);
        m_mode = Mode::InTableBody;
        return;
    }
    if (start && isOneOf(n, {"td", "th", "tr"})) {
        clearStackBackTo({"table", "template", "html"});
        insertImplied("tbody");
        m_mode = Mode::InTableBody;
        process(t);
        return;
    }
    if (start && n == "table") {
        if (!inScope("table", Scope::Table)) return;
        popUntil("table");
        resetMode();
        process(t);
        return;
    }
    if (end && n == "table") {
        if (!inScope("table", Scope::Table)) return;
        popUntil("table");
        resetMode();
        return;
    }
    if (end && isOneOf(n, {"body", "caption", "col", "colgroup", "html", "tbody", "td", "tfoot", "th", "thead", "tr"}))
        return;
    if ((start || end) && isOneOf(n, {"style", "script", "template"})) {
        if (start) insertElement(t);
        else if (currentIs(n)) pop();
        return;
    }
    if (start && n == "input" && t.type == "hidden") {
        insertElement(t);
        pop();
        return;
    }
    if (start && n == "form") {
        if (m_form >= 0) return;
        m_form = insertElement(t);
        pop();
        return;
    }
    asInBody();
}

// ---- the tree's answers ------------------------------------------------------------------------

bool isQuirksDoctype(std::string_view doctype) { return quirksDoctype(doctype); }

HtmlTree HtmlTree::parse(std::string_view text, std::optional<std::string_view> doctype) {
    HtmlTree tree;
    HtmlTreeBuilder builder(text, tree);
    if (doctype) builder.setDoctype(*doctype);
    builder.run();
    return tree;
}

std::vector<int> HtmlTree::elementsOfTag(int tag) const {
    std::vector<int> found;
    if (tag < 0 || static_cast<std::size_t>(tag) >= m_tagElement.size()) return found;
    for (int e = m_tagElement[static_cast<std::size_t>(tag)]; e >= 0;) {
        found.push_back(e);
        e = static_cast<std::size_t>(e) < m_nextOfSameTag.size() ? m_nextOfSameTag[static_cast<std::size_t>(e)] : -1;
    }
    return found;
}

int HtmlTree::childPosition(int element) const {
    if (m_positions.size() != elements.size()) {
        m_positions.assign(elements.size(), 0);
        for (std::size_t p = 0; p < elements.size(); ++p) {
            int n = 0;
            for (int c = elements[p].firstChild; c >= 0; c = elements[static_cast<std::size_t>(c)].next)
                m_positions[static_cast<std::size_t>(c)] = ++n;
        }
    }
    return m_positions[static_cast<std::size_t>(element)];
}

std::string HtmlTree::childPath(int element) const {
    std::vector<int> chain;
    for (int e = element; e != body && e != 0; e = elements[static_cast<std::size_t>(e)].parent) {
        // Outside the document (in a template's content), or too deep to name.
        if (e < 0 || chain.size() >= maxPathDepth) return {};
        chain.push_back(e);
    }
    bool underBody = element == body;
    if (!underBody && !chain.empty()) underBody = elements[static_cast<std::size_t>(chain.back())].parent == body;
    std::string path = underBody ? "body" : "html";
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const HtmlElement& e = elements[static_cast<std::size_t>(*it)];
        bool plain = !e.name.empty() && isLetter(e.name[0]);
        for (char c : e.name)
            if (!isLetter(c) && !(c >= '0' && c <= '9') && c != '-') plain = false;
        path += " > ";
        path += plain ? e.name : std::string("*");
        path += ":nth-child(" + std::to_string(childPosition(*it)) + ")";
    }
    return path;
}

std::string cssIdentifier(std::string_view name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const bool digit = c >= '0' && c <= '9';
        if (c < 0x20 || c == 0x7F || (digit && (i == 0 || (i == 1 && name[0] == '-')))) {
            char code[8];
            std::snprintf(code, sizeof code, "\\%x ", c);
            out += code;
        } else if (i == 0 && c == '-' && name.size() == 1) {
            out += "\\-";
        } else if (c >= 0x80 || c == '-' || c == '_' || digit || isLetter(static_cast<char>(c))) {
            out += static_cast<char>(c);
        } else {
            out += '\\';
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace hw
