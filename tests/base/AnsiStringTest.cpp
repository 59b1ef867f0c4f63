#include "base/AnsiString.h"

#include <gtest/gtest.h>

#include <random>

using hw::AnsiString;

namespace {

// The procedure the text algorithms are written in: replace the first occurrence, search again
// from the start.
std::string naiveReplaceEvery(std::string text, const std::string& from, const std::string& to) {
    for (auto p = text.find(from); p != std::string::npos; p = text.find(from)) text.replace(p, from.size(), to);
    return text;
}

} // namespace

TEST(AnsiString, PositionsAreOneBasedAndZeroMeansAbsent) {
    AnsiString s("abcabc");
    EXPECT_EQ(s.Pos("a"), 1);
    EXPECT_EQ(s.Pos("cab"), 3);
    EXPECT_EQ(s.Pos("x"), 0);
    EXPECT_EQ(s.Pos(""), 0);
    EXPECT_EQ(s.PosFrom("a", 2), 4);
    EXPECT_EQ(s.PosFrom("a", 7), 0);
}

TEST(AnsiString, MissingMarkerDeletesNothingAndInsertsAtStart) {
    AnsiString s("hello");
    s.Delete(s.Pos("x"), 3);
    EXPECT_EQ(s, "hello");
    s.Insert("<", s.Pos("x"));
    EXPECT_EQ(s, "<hello");
    s.Delete(2, -4);
    EXPECT_EQ(s, "<hello");
    s.Delete(5, 100);
    EXPECT_EQ(s, "<hel");
    s.Insert(">", 99);
    EXPECT_EQ(s, "<hel>");
}

TEST(AnsiString, SubStringClampsToTheText) {
    AnsiString s("abcdef");
    EXPECT_EQ(s.SubString(2, 3), "bcd");
    EXPECT_EQ(s.SubString(0, 2), "ab");
    EXPECT_EQ(s.SubString(5, 10), "ef");
    EXPECT_EQ(s.SubString(7, 1), "");
    EXPECT_EQ(s.SubString(3, -1), "");
}

TEST(AnsiString, ReplaceEveryEqualsTheRepeatedProcedure) {
    struct Row {
        const char* text;
        const char* from;
        const char* to;
    } rows[] = {
        {"<a href><a>", "<a", "<A"},
        {"aaab", "ab", "b"},          // each replacement makes a new occurrence to its left
        {"xHRHREFEF", "HREF", ""},     // a deletion joins the neighbours into a new occurrence
        {"abab", "ab", "a"},
        {"", "x", "y"},
        {"no match", "zz", "y"},
        {"<td><td><TD>", "<td", "<TD"},
    };
    for (const auto& r : rows) {
        AnsiString s(r.text);
        s.ReplaceEvery(r.from, r.to);
        EXPECT_EQ(s.str(), naiveReplaceEvery(r.text, r.from, r.to)) << r.text << " / " << r.from;
    }
}

TEST(AnsiString, ReplaceEveryMatchesTheProcedureOnRandomTexts) {
    std::mt19937 gen(7);
    const std::string alphabet = "ab<";
    auto word = [&](int maxLen) {
        std::string w;
        const int n = std::uniform_int_distribution<int>(0, maxLen)(gen);
        for (int i = 0; i < n; ++i) w += alphabet[std::uniform_int_distribution<int>(0, 2)(gen)];
        return w;
    };
    for (int i = 0; i < 3000; ++i) {
        const std::string text = word(30), to = word(3);
        std::string from = word(3);
        if (from.empty() || to.find(from) != std::string::npos) continue;
        EXPECT_EQ(hw::replaceEvery(text, from, to), naiveReplaceEvery(text, from, to))
            << "text=" << text << " from=" << from << " to=" << to;
    }
}

TEST(AnsiString, ReplaceEveryWhoseReplacementHoldsTheMarkerStillEnds) {
    AnsiString s("a-a");
    s.ReplaceEvery("a", "aa");
    EXPECT_EQ(s, "aa-aa");
}
