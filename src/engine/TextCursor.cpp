#include "engine/TextCursor.h"

#include <algorithm>
#include <cstring>

namespace hw {

namespace {
constexpr std::size_t minimumGap = 4096;
}

TextCursor::TextCursor(std::string text) : m_buffer(std::move(text)) { m_out.reserve(m_buffer.size() + m_buffer.size() / 4); }

bool TextCursor::startsWith(std::string_view text, std::size_t at) const {
    const auto r = rest();
    return at <= r.size() && r.substr(at).starts_with(text);
}

void TextCursor::advance(std::size_t count) {
    count = std::min(count, m_buffer.size() - m_start);
    m_out.append(m_buffer, m_start, count);
    m_start += count;
}

void TextCursor::back(std::size_t count) {
    count = std::min(count, m_out.size());
    if (count == 0) return;
    const std::string tail = m_out.substr(m_out.size() - count);
    m_out.resize(m_out.size() - count);
    replaceFront(0, tail);
}

void TextCursor::replace(std::size_t at, std::size_t count, std::string_view with) {
    const auto r = rest();
    at = std::min(at, r.size());
    count = std::min(count, r.size() - at);
    if (at == 0) {
        replaceFront(count, std::string(with));
        return;
    }
    std::string front(r.substr(0, at));
    front.append(with);
    replaceFront(at + count, front);
}

// `with` never aliases the buffer: callers pass their own copies.
void TextCursor::replaceFront(std::size_t count, std::string_view with) {
    count = std::min(count, m_buffer.size() - m_start);
    if (with.size() <= count + m_start) {
        m_start = m_start + count - with.size();
        if (!with.empty()) std::memcpy(m_buffer.data() + m_start, with.data(), with.size());
        return;
    }
    // Not enough gap: rebuild with a gap at least as large as the rest, so the next rebuild
    // comes only after that much text has been inserted.
    const std::size_t restSize = m_buffer.size() - m_start - count;
    const std::size_t gap = std::max(minimumGap, restSize);
    std::string buffer;
    buffer.reserve(gap + with.size() + restSize);
    buffer.append(gap, '\0');
    buffer.append(with);
    buffer.append(m_buffer, m_start + count, restSize);
    m_buffer = std::move(buffer);
    m_start = gap;
}

std::string TextCursor::finish() {
    m_out.append(m_buffer, m_start, std::string::npos);
    m_buffer.clear();
    m_start = 0;
    return std::move(m_out);
}

} // namespace hw
