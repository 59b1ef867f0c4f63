#pragma once

// The element tree a browser builds from a page's text, for naming an element by its place in
// the page. It follows the HTML parsing rules where they decide which element is whose child:
// implied html, head and body; void elements; optional end tags (p, li, dd, dt, option, table
// parts); tables with their implied tbody and tr and the content moved in front of them;
// misnested formatting elements (b, font, a, ...) closed and opened again as copies; comments,
// the doctype and the raw text of script, style, textarea, title and their like. Text nodes are
// not kept: only elements count for a position among siblings.
//
// Deeply nested pages are attached as a browser attaches them (past 512 open elements a new
// element goes beside its parent). Every step that walks the open elements is counted, and a
// page that would need more than a fixed multiple of its length stops being read: the tree is
// then marked incomplete, so a hostile page costs linear time.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace hw {

struct HtmlElement {
    std::string name;     ///< lower case
    std::string id;       ///< the first id attribute's value, character references read
    bool hasId = false;
    bool foreign = false; ///< inside svg or math
    int parent = -1;
    int firstChild = -1;
    int lastChild = -1;
    int previous = -1;
    int next = -1;
    /// The start tag it was made from, as an index into HtmlTree::tagOffsets; a copy that the
    /// parser makes of a formatting element has its original's tag. -1 for implied elements.
    int tag = -1;
};

class HtmlTree {
public:
    /// The tree of a page's text (read as the bytes they are; only ASCII matters to structure).
    /// `doctype` is the inside of a doctype that stood in front of the text, when one did.
    static HtmlTree parse(std::string_view text, std::optional<std::string_view> doctype = std::nullopt);

    std::vector<HtmlElement> elements; ///< [0] is the html element
    /// The offset of each start tag's "<" in the text, in text order.
    std::vector<std::size_t> tagOffsets;
    int head = -1;
    int body = -1;
    /// The doctype asked for quirks mode (no doctype, or an old one).
    bool quirks = true;
    /// False when the page was too costly to read to the end; later elements are missing.
    bool complete = true;

    /// The elements made from start tag `tag` (the first made first), or none when the tag was
    /// ignored or merged into an existing element (a second body tag gives the body).
    std::vector<int> elementsOfTag(int tag) const;
    /// The 1-based position of an element among its parent's child elements.
    int childPosition(int element) const;
    /// "body > div:nth-child(2) > p:nth-child(1)": the child positions from the body (or from
    /// html for an element outside the body); empty for an element nested over 1024 deep or
    /// kept out of the document (a template's content).
    std::string childPath(int element) const;

private:
    friend class HtmlTreeBuilder;
    std::vector<int> m_tagElement;     ///< first element of each tag, or -1
    std::vector<int> m_nextOfSameTag;  ///< the next copy made from the same tag, or -1
    mutable std::vector<int> m_positions;
};

/// Whether a doctype's inside ("html PUBLIC ...") asks for quirks mode.
bool isQuirksDoctype(std::string_view doctype);

/// A CSS identifier for `name` as CSS serialises one: ASCII letters, digits, "-" and "_" and
/// bytes from 0x80 stay; anything else is escaped.
std::string cssIdentifier(std::string_view name);

} // namespace hw
