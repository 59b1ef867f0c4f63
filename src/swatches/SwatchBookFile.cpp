#include "swatches/SwatchBookFile.h"

#include "base/Files.h"
#include "colour/ColorCodes.h"

#include <cstddef>
#include <string>

namespace hw {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
bool isSpace(char c) { return isBlank(c) || isLineEnd(c); }

/// A forward-only reader over the file's bytes. Every method moves the position forward or
/// stops at the end, so reading always ends.
class BookScanner {
public:
    explicit BookScanner(std::string_view text) : m_text(text) {}

    /// The next blank- or line-delimited word; empty at the end of the text.
    std::string_view word() {
        while (m_pos < m_text.size() && isSpace(m_text[m_pos])) ++m_pos;
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && !isSpace(m_text[m_pos])) ++m_pos;
        return m_text.substr(start, m_pos - start);
    }

    /// The title after the last caption: the rest of the caption's line when text follows it
    /// there, otherwise the whole next line; leading blanks dropped either way. False when the
    /// text ends straight after the caption, with no title line at all.
    bool title(std::string_view& out) {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos])) ++m_pos;
        if (m_pos >= m_text.size()) return false;
        if (isLineEnd(m_text[m_pos])) {
            skipLineEnd();
            while (m_pos < m_text.size() && isBlank(m_text[m_pos])) ++m_pos;
        }
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && !isLineEnd(m_text[m_pos])) ++m_pos;
        out = m_text.substr(start, m_pos - start);
        return true;
    }

    /// 1-based line of the current position, for messages.
    int line() const {
        int n = 1;
        for (std::size_t i = 0; i < m_pos && i < m_text.size(); ++i)
            if (m_text[i] == '\n' || (m_text[i] == '\r' && (i + 1 >= m_text.size() || m_text[i + 1] != '\n'))) ++n;
        return n;
    }

private:
    void skipLineEnd() {
        if (m_text[m_pos] == '\r') {
            ++m_pos;
            if (m_pos < m_text.size() && m_text[m_pos] == '\n') ++m_pos;
        } else {
            ++m_pos;
        }
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
};

Error failure(std::string why) { return Error{std::move(why)}; }

std::string cardName(int index) { return "card " + std::to_string(index + 1); }

} // namespace

std::string quotedForMessage(std::string_view text) {
    constexpr std::size_t most = 40;
    std::string s(text.substr(0, most));
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 32) c = '?';
    if (text.size() > most) s += "...";
    return "\"" + s + "\"";
}

Result<BookContents> parseBookText(std::string_view text) {
    BookScanner in(text);
    BookContents book;

    const std::string_view first = in.word();
    if (first.empty()) return failure("it is empty.");
    int lastCard = 0;
    if (!tryStrToInt(first, lastCard))
        return failure("its first line holds " + quotedForMessage(first) + " where the number of cards belongs.");
    if (lastCard < -1 || lastCard > maxCards - 1)
        return failure("it declares " + std::to_string(static_cast<long long>(lastCard) + 1) +
                       " cards, and a swatch book holds from none to ten cards.");

    for (int i = 0; i <= lastCard; ++i) {
        SwatchBook& card = book.cards[static_cast<std::size_t>(i)];
        for (int slot = 1; slot <= 3; ++slot) {
            const std::string_view w = in.word();
            if (w.empty()) return failure("it ends before " + cardName(i) + " is complete.");
            int color = 0;
            if (!tryStrToInt(w, color))
                return failure("line " + std::to_string(in.line()) + " holds " + quotedForMessage(w) +
                               " where a colour number of " + cardName(i) + " belongs.");
            card.SetColor(slot, color);
        }
        for (int slot = 1; slot <= 3; ++slot) {
            const std::string_view w = in.word();
            if (w.empty()) return failure("it ends before " + cardName(i) + " is complete.");
            if (w == "space") {
                card.SetColor(slot, clWhite);
                card.SetCaption(slot, AnsiString());
            } else {
                card.SetCaption(slot, AnsiString(w));
            }
        }
        std::string_view title;
        if (!in.title(title)) return failure("it ends before the title of " + cardName(i) + ".");
        card.SetTitle(AnsiString(title));
    }
    book.lastCard = lastCard;
    return book;
}

Result<BookContents> readBookFile(const std::string& path) {
    const auto bytes = readFileBytes(path);
    if (!bytes) return failure("The swatch book file \"" + path + "\" cannot be opened.");
    Result<BookContents> book = parseBookText(*bytes);
    if (!book) return failure("The swatch book file \"" + path + "\" cannot be read: " + book.error());
    return book;
}

std::string bookFileText(const SwatchBookCards& cards, int lastCard, bool finalLineEnd) {
    if (lastCard > maxCards - 1) lastCard = maxCards - 1;
    if (lastCard < -1) lastCard = -1;
    std::string out = std::to_string(lastCard) + "\r\n";
    for (int i = 0; i <= lastCard; ++i) {
        const SwatchBook& card = cards[static_cast<std::size_t>(i)];
        for (int slot = 1; slot <= 3; ++slot) out += std::to_string(card.GetColor(slot)) + "\r\n";
        for (int slot = 1; slot <= 3; ++slot) {
            const AnsiString& caption = card.GetCaption(slot);
            out += caption.IsEmpty() ? std::string("space") : caption.str();
            out += "\r\n";
        }
        for (char c : card.GetTitle().str()) out.push_back(isLineEnd(c) ? ' ' : c);
        if (i < lastCard || finalLineEnd) out += "\r\n";
    }
    return out;
}

Status writeBookFile(const std::string& path, const SwatchBookCards& cards, int lastCard, bool finalLineEnd) {
    return writeFileAtomic(path, bookFileText(cards, lastCard, finalLineEnd));
}

} // namespace hw
