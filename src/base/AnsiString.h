#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hw {

/// An 8-bit string with the 1-based operations the text algorithms are written in.
///
/// Positions count from 1; position 0 means "not found". Following the conventions the
/// algorithms rely on, a deletion at position 0 (a missing marker) does nothing, and an
/// insertion at position 0 or below goes to the start of the text.
class AnsiString {
public:
    AnsiString() = default;
    AnsiString(const char* text) : m_text(text ? text : "") {}
    AnsiString(std::string text) : m_text(std::move(text)) {}
    AnsiString(std::string_view text) : m_text(text) {}

    int Length() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }

    /// 1-based position of the first occurrence of `sub`, or 0.
    int Pos(std::string_view sub) const { return PosFrom(sub, 1); }
    /// 1-based position of the first occurrence of `sub` at or after `from`, or 0.
    int PosFrom(std::string_view sub, int from) const;
    bool Contains(std::string_view sub) const { return Pos(sub) != 0; }

    /// `count` characters from 1-based `start`. A start below 1 is taken as 1; a count of 0 or
    /// less gives an empty text and a count past the end stops at the end.
    AnsiString SubString(int start, int count) const;

    /// Inserts `text` so that it begins at position `index`; an index below 1 inserts at the
    /// start and one past the end appends.
    void Insert(std::string_view text, int index);
    /// Deletes `count` characters from `index`. An index below 1 or past the end, or a count
    /// of 0 or less, deletes nothing; a count past the end stops at the end.
    void Delete(int index, int count);

    /// Replaces the first occurrence of `from` by `to`; returns whether there was one.
    bool ReplaceFirst(std::string_view from, std::string_view to);
    /// Replaces the first occurrence of `from` by `to` and searches again from the start until
    /// `from` no longer occurs. Gives exactly that text, in linear time; `to` must not contain
    /// `from` (the repeated procedure would never end).
    void ReplaceEvery(std::string_view from, std::string_view to);
    /// Deletes every occurrence of `sub`, searching again from the start after each deletion.
    void DeleteEvery(std::string_view sub) { ReplaceEvery(sub, {}); }

    AnsiString UpperCase() const;
    AnsiString LowerCase() const;

    /// 1-based character access.
    char operator[](int index) const { return m_text[static_cast<std::size_t>(index - 1)]; }

    const std::string& str() const { return m_text; }
    std::string& str() { return m_text; }
    const char* c_str() const { return m_text.c_str(); }
    operator std::string_view() const { return m_text; }

    AnsiString& operator+=(std::string_view more) {
        m_text.append(more);
        return *this;
    }
    AnsiString& operator+=(char c) {
        m_text.push_back(c);
        return *this;
    }

    friend AnsiString operator+(const AnsiString& a, std::string_view b) {
        AnsiString r(a);
        r += b;
        return r;
    }
    friend AnsiString operator+(std::string_view a, const AnsiString& b) {
        AnsiString r(a);
        r += b.m_text;
        return r;
    }
    friend AnsiString operator+(const AnsiString& a, const AnsiString& b) {
        AnsiString r(a);
        r += b.m_text;
        return r;
    }
    friend AnsiString operator+(const AnsiString& a, const char* b) { return a + std::string_view(b); }
    friend AnsiString operator+(const char* a, const AnsiString& b) { return std::string_view(a) + b; }
    friend bool operator==(const AnsiString& a, const AnsiString& b) { return a.m_text == b.m_text; }
    friend bool operator==(const AnsiString& a, const char* b) { return a.m_text == b; }
    friend bool operator==(const AnsiString& a, std::string_view b) { return a.m_text == b; }
    friend bool operator<(const AnsiString& a, const AnsiString& b) { return a.m_text < b.m_text; }

private:
    std::string m_text;
};

/// Replaces every occurrence of `from` by `to` in the repeated find-first-and-replace manner,
/// in linear time. `to` must not contain `from`.
std::string replaceEvery(std::string_view text, std::string_view from, std::string_view to);

} // namespace hw
