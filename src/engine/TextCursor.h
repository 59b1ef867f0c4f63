#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hw {

/// A text being rewritten from front to back: a committed prefix that no longer changes, and the
/// rest, which is edited only near its start.
///
/// The whole text is always committed() + rest(). The rest lives at the end of a buffer with a
/// free gap in front of it, so replacing a few characters at the start of the rest costs only
/// the characters written, and the gap is regrown (to at least the rest's size) only when an
/// edit needs more room than it has, which keeps any sequence of edits linear in the text.
class TextCursor {
public:
    explicit TextCursor(std::string text);

    std::string_view rest() const { return std::string_view(m_buffer).substr(m_start); }
    const std::string& committed() const { return m_out; }

    /// Offset in the rest of the first occurrence of `pattern` at or after `from`, or npos.
    std::size_t find(std::string_view pattern, std::size_t from = 0) const { return rest().find(pattern, from); }
    /// Whether the rest starts with `text` at offset `at`.
    bool startsWith(std::string_view text, std::size_t at = 0) const;

    /// Moves the first `count` characters of the rest (at most all of it) to the committed prefix.
    void advance(std::size_t count);
    /// Moves the last `count` characters of the committed prefix (at most all of it) back to the
    /// start of the rest, so that they are searched again.
    void back(std::size_t count);
    /// Replaces `count` characters of the rest from offset `at` by `with`. `at` should be small:
    /// the characters before it are rewritten too.
    void replace(std::size_t at, std::size_t count, std::string_view with);

    /// The whole text; the cursor is left empty.
    std::string finish();

private:
    void replaceFront(std::size_t count, std::string_view with);

    std::string m_out;
    std::string m_buffer;
    std::size_t m_start = 0;
};

/// Runs "while `pattern` occurs, act at its first occurrence" in one forward sweep. `act` gets
/// the cursor with the occurrence at the start of the rest and must change the text there so
/// that this occurrence is gone; it may read ahead as far as it likes. Because nothing before
/// the first occurrence changes, every search can start at the previous edit, less
/// pattern-length - 1 characters (an edit can join its neighbours into a new occurrence). This
/// gives exactly the text of searching again from the start after every edit.
template <class Act>
std::string whileOccurs(std::string text, std::string_view pattern, Act&& act) {
    if (pattern.empty()) return text;
    TextCursor cursor(std::move(text));
    for (;;) {
        const std::size_t at = cursor.find(pattern);
        if (at == std::string_view::npos) break;
        cursor.advance(at);
        act(cursor);
        cursor.back(pattern.size() - 1);
    }
    return cursor.finish();
}

} // namespace hw
