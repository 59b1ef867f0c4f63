#include "base/AnsiString.h"

#include <algorithm>
#include <cctype>

namespace hw {

int AnsiString::PosFrom(std::string_view sub, int from) const {
    if (from < 1) from = 1;
    if (sub.empty() || static_cast<std::size_t>(from - 1) > m_text.size()) return 0;
    const auto found = std::string_view(m_text).find(sub, static_cast<std::size_t>(from - 1));
    return found == std::string_view::npos ? 0 : static_cast<int>(found) + 1;
}

AnsiString AnsiString::SubString(int start, int count) const {
    if (start < 1) start = 1;
    if (count <= 0 || static_cast<std::size_t>(start - 1) >= m_text.size()) return {};
    return AnsiString(m_text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count)));
}

void AnsiString::Insert(std::string_view text, int index) {
    if (index < 1) index = 1;
    const auto at = std::min(static_cast<std::size_t>(index - 1), m_text.size());
    m_text.insert(at, text);
}

void AnsiString::Delete(int index, int count) {
    if (index < 1 || count <= 0 || static_cast<std::size_t>(index - 1) >= m_text.size()) return;
    m_text.erase(static_cast<std::size_t>(index - 1), static_cast<std::size_t>(count));
}

bool AnsiString::ReplaceFirst(std::string_view from, std::string_view to) {
    const int p = Pos(from);
    if (p == 0) return false;
    m_text.replace(static_cast<std::size_t>(p - 1), from.size(), to);
    return true;
}

void AnsiString::ReplaceEvery(std::string_view from, std::string_view to) {
    if (from.empty() || m_text.find(from) == std::string::npos) return;
    m_text = replaceEvery(m_text, from, to);
}

AnsiString AnsiString::UpperCase() const {
    std::string r(m_text);
    for (auto& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return AnsiString(std::move(r));
}

AnsiString AnsiString::LowerCase() const {
    std::string r(m_text);
    for (auto& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return AnsiString(std::move(r));
}

std::string replaceEvery(std::string_view text, std::string_view from, std::string_view to) {
    const std::size_t lx = from.size();
    if (lx == 0) return std::string(text);
    if (to.find(from) != std::string_view::npos) {
        // The repeated procedure would not end; one pass over the original occurrences is the
        // only sound reading.
        std::string out;
        std::size_t at = 0;
        for (auto f = text.find(from); f != std::string_view::npos; f = text.find(from, at)) {
            out.append(text.substr(at, f - at)).append(to);
            at = f + lx;
        }
        return out.append(text.substr(at));
    }

    // The current text is always out + head + text[t..]. `out` is final: it holds no
    // occurrence of `from`, and none can start in it, because after every replacement its last
    // lx - 1 characters are moved back into `head`. So the first occurrence of the whole text is
    // the first one of head + text[t..], which keeps every step local and the whole linear.
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    std::string head;
    std::size_t t = 0;

    auto matchesAt = [&](std::size_t i) {
        for (std::size_t k = 0; k < lx; ++k) {
            const std::size_t at = i + k;
            char c;
            if (at < head.size()) c = head[at];
            else if (t + (at - head.size()) < text.size()) c = text[t + (at - head.size())];
            else return false;
            if (c != from[k]) return false;
        }
        return true;
    };
    auto replaceWith = [&](std::string remainder) {
        const std::size_t keep = out.size() > lx - 1 ? out.size() - (lx - 1) : 0;
        std::string carry = out.substr(keep);
        out.resize(keep);
        head = std::move(carry);
        head.append(to).append(remainder);
    };

    for (;;) {
        std::size_t inHead = std::string::npos;
        for (std::size_t i = 0; i < head.size(); ++i) {
            if (matchesAt(i)) {
                inHead = i;
                break;
            }
        }
        if (inHead != std::string::npos) {
            out.append(head, 0, inHead);
            std::string remainder;
            if (inHead + lx <= head.size()) remainder = head.substr(inHead + lx);
            else t += inHead + lx - head.size();
            replaceWith(std::move(remainder));
            continue;
        }
        const auto j = text.find(from, t);
        out.append(head);
        if (j == std::string_view::npos) {
            out.append(text.substr(t));
            return out;
        }
        out.append(text.substr(t, j - t));
        t = j + lx;
        replaceWith({});
    }
}

} // namespace hw
