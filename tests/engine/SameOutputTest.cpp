// The edit-in-place algorithms that the linear ones replaced, kept word for word as the
// reference their output is held to: the new ones must give the same bytes on any input.

#include "base/AnsiString.h"
#include "base/Files.h"
#include "engine/ChangeRecord.h"
#include "engine/RecordMerge.h"
#include "engine/SchemeFile.h"
#include "engine/WebPage.h"

#include "support/FuzzSeeds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace hw {
namespace reference {

constexpr std::string_view whiteSwatch = "%#FFFFFF(16777215)";
constexpr std::string_view blackSwatch = "%#000000(0)";

int tagLength(const AnsiString& text, int start, int window) {
    const int gt = text.SubString(start, window).Pos(">");
    if (gt != 0) return gt;
    const int later = text.PosFrom(">", start);
    return later ? later - start + 1 : text.Length() - start + 1;
}

std::string keepStyleSheetLinks(const std::string& text) {
    AnsiString page(text);
    for (int at = page.Pos("<LINK"); at != 0; at = page.PosFrom("<LINK", std::max(1, at - 5))) {
        const int length = tagLength(page, at, 600);
        if (page.SubString(at, length).Contains(".CSS")) {
            page.Delete(at, 5);
            page.Insert("<link", at);
        } else {
            page.Delete(at, length);
        }
    }
    return page.str();
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The frame loop of the frameset scheme writer, with the frame sections left to `onFrame`.
std::string numberFrameSources(const std::string& text, const std::function<void(int, const std::string&)>& onFrame) {
    AnsiString frameset(text);
    int n = 0;
    for (int at = frameset.Pos("<FRAME"); at != 0; at = frameset.PosFrom("<FRAME", at + 1), ++n) {
        const int length = tagLength(frameset, at, 200);
        const AnsiString tag = frameset.SubString(at, length);
        std::string name;
        const int mark = tag.Pos(framesetSourceMark);
        if (mark != 0) {
            const std::string& t = tag.str();
            const std::size_t valueStart = static_cast<std::size_t>(mark - 1) + framesetSourceMark.size();
            std::size_t end = valueStart;
            const auto quote = end < t.size() && (t[end] == '"' || t[end] == '\'') ? t.find(t[end], end + 1) : std::string::npos;
            if (quote != std::string::npos) {
                end = quote + 1;
            } else {
                while (end < t.size() && !isBlank(t[end]) && t[end] != '>') ++end;
            }
            name = t.substr(valueStart, end - valueStart);
            std::erase(name, '"');
            std::erase(name, '\'');
            const int attribute = at + mark - 1;
            frameset.Delete(attribute, static_cast<int>(end - static_cast<std::size_t>(mark - 1)));
            frameset.Insert("src='frameS[" + std::to_string(n) + "]'", attribute);
        }
        onFrame(n, name);
        frameset.Delete(at, 6);
        frameset.Insert("<frame", at);
    }
    return frameset.str();
}

int entryListHead(const AnsiString& target) {
    const int initial = target.Pos("initialise,");
    return initial ? initial + 11 : target.Pos("?");
}

void mergeColourEntries(AnsiString& target, AnsiString fresh, char letter) {
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    const std::string key0 = std::string("?") + letter;
    const std::string idEnd = std::string("$") + letter + "$";
    const std::string entryEnd = std::string(")") + lower + ",";
    // Every pass turns one "?B" of `fresh` into "?!B", so the loop ends.
    for (int at = fresh.Pos(key0); at != 0; at = fresh.Pos(key0)) {
        const int end = fresh.PosFrom(entryEnd, at);
        const AnsiString entry = end ? fresh.SubString(at, end + 3 - at) : AnsiString();
        const int keyEnd = entry.Pos(idEnd);
        if (keyEnd != 0) {
            const AnsiString key = entry.SubString(1, keyEnd + 2);
            const int old = target.Pos(key);
            if (old != 0) {
                // The old entry ends at its own ")b,", however long its id is.
                const int oldEnd = target.PosFrom(entryEnd, old);
                target.Delete(old, oldEnd ? oldEnd + 3 - old : key.Length());
                target.Insert(entry, old);
            } else if (const int head = entryListHead(target); head != 0) {
                target.Insert(entry, head);
            }
        }
        fresh.Insert("!", at + 1);
        if (end != 0) fresh.Insert("!", end + 2);
    }
}

void mergeImageEntries(AnsiString& target, AnsiString fresh, std::string_view endMarker) {
    for (int at = fresh.Pos("?IM"); at != 0; at = fresh.Pos("?IM")) {
        const int end = fresh.PosFrom("^^", at);
        const AnsiString entry = end ? fresh.SubString(at, end + 2 - at) : AnsiString();
        const int keyEnd = entry.Pos("$IM$");
        if (keyEnd != 0) {
            const AnsiString key = entry.SubString(1, keyEnd + 3);
            const int old = target.Pos(key);
            if (old != 0) {
                const int oldEnd = target.PosFrom("^^", old);
                target.Delete(old, oldEnd ? oldEnd + 2 - old : key.Length());
                target.Insert(entry, old);
            } else {
                int images = target.Pos("images:");
                if (images == 0) {
                    // A record restored from the initial snapshot has no image section; open
                    // one where readers look for it, just before the end marker.
                    const int close = target.Pos(endMarker);
                    if (close != 0) {
                        target.Insert(",images:", close);
                        images = close + 1;
                    }
                }
                if (images != 0) target.Insert("," + entry, images + 7);
            }
        }
        fresh.Insert("!", at + 1);
        if (end != 0) fresh.Insert("!", end + 2);
    }
}

void addSwatches(AnsiString& target, AnsiString fresh, char letter) {
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    const std::string marker = std::string(1, letter) + "#";
    const std::string colourEnd = std::string(")") + lower;
    // Every pass deletes one character of `fresh`, so the loop ends.
    for (int at = fresh.Pos(marker); at != 0; at = fresh.Pos(marker)) {
        const int end = fresh.PosFrom(colourEnd, at);
        if (end != 0) {
            const AnsiString swatch = "%" + fresh.SubString(at + 1, end - at);
            if (!target.Contains(swatch) && swatch != whiteSwatch && swatch != blackSwatch) {
                const int list = target.Pos(":Swatch:");
                const int head = target.PosFrom("%", list ? list : 1);
                if (head != 0) target.Insert(swatch + ",", head);
            }
        }
        fresh.Delete(at, 1);
        if (end != 0) fresh.Delete(end, 1);
    }
}

// Drops every swatch item whose colour no entry and no other item uses. Items already looked
// at are spoiled with "!!" (which no record holds) and cleaned up at the end.
void pruneSwatches(AnsiString& target) {
    for (int at = target.Pos("%#"); at != 0; at = target.Pos("%#")) {
        const int end = target.PosFrom("),", at);
        if (end == 0) {
            target.Insert("!!", at + 1);
            continue;
        }
        const AnsiString item = target.SubString(at, end + 1 - at);
        const AnsiString colour = item.SubString(2, item.Length() - 1);
        target.Insert("!!", at + 2);
        target.Insert("!!", end + 3);
        if (!target.Contains(colour)) target.Delete(at, item.Length() + 5);
        else target.Insert("!!", at + 1);
    }
    target.DeleteEvery("!!");
}


void mergeRecordInto(AnsiString& target, const AnsiString& fresh, std::string_view letters, std::string_view endMarker) {
    for (char letter : letters) mergeColourEntries(target, fresh, letter);
    mergeImageEntries(target, fresh, endMarker);
    for (char letter : letters) addSwatches(target, fresh, letter);
    pruneSwatches(target);
}

bool parseFrameIndex(std::string_view name, int& index) {
    // "frameC[" digits "]"
    if (name.size() < 9 || name.size() > 16 || name.substr(0, 7) != "frameC[" || name.back() != ']') return false;
    index = 0;
    for (char c : name.substr(7, name.size() - 8)) {
        if (c < '0' || c > '9') return false;
        index = index * 10 + (c - '0');
    }
    return true;
}

std::string mergeFrameRecordsText(const std::string& schemeBytes, const AnsiString& cookieText) {
    AnsiString fresh = framesetRecordBlockOf(cookieText);
    std::set<int> frames;
    for (const auto& record : parseCookieFile(cookieText)) {
        int index = 0;
        if (parseFrameIndex(record.name.str(), index)) frames.insert(index);
    }
    AnsiString scheme(schemeBytes);
    for (int n : frames) {
        const std::string section = "frameC[" + std::to_string(n) + "]";
        const std::string end = "frameE[" + std::to_string(n) + "]";
        const int endLength = static_cast<int>(end.size());
        // A pass either merges and spoils one "frameC[n]" of `fresh` or gives the scheme the
        // section it lacks (merged on the next pass), so the loop ends.
        for (int at = fresh.Pos(section); at != 0; at = fresh.Pos(section)) {
            const int close = fresh.PosFrom(end, at);
            if (close == 0) {
                fresh.Insert("!", at + 5);
                continue;
            }
            const AnsiString newSection = fresh.SubString(at, close + endLength - at);
            const int old = scheme.Pos(section);
            const int oldClose = old ? scheme.PosFrom(end, old) : 0;
            if (oldClose == 0) {
                scheme.Insert((newSection + "\n\n").str(), 1);
                continue;
            }
            AnsiString merged = scheme.SubString(old, oldClose + endLength - old);
            reference::mergeRecordInto(merged, newSection, "BC", end);
            scheme.Delete(old, oldClose + endLength - old);
            scheme.Insert(merged, old);
            fresh.Insert("!", at + 5);
        }
    }
    scheme.ReplaceEvery("\r\n", "\n");
    return textModeBytes(scheme.str());
}


} // namespace reference

namespace {

// Texts made of the markers an algorithm looks for and a little else, in any order and count:
// they hit nesting, missing ends and joins far more often than real pages do.
std::string shuffled(std::mt19937& random, const std::vector<std::string>& pieces, int count) {
    std::string out;
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    for (int i = 0; i < count; ++i) out += pieces[pick(random)];
    return out;
}

std::string repeated(const std::string& seed, std::size_t size) {
    // The page of a scheme writer's seed.
    const std::string shape = test::fuzzSeed("scheme_writer", seed, 1);
    std::string out;
    while (!shape.empty() && out.size() < size) out += shape;
    return out;
}

} // namespace

TEST(SameOutput, StyleSheetLinksAsTheEditInPlaceLoop) {
    const char* const cases[] = {
        "", "<LINK", "<LINK>", "<LINK.CSS>", "<LINK href=a.CSS>x<LINK rel=icon>y", "<<LINKLINK>",
        "<LIN<LINK>K>", "<<LINK>LINK.CSS>", "<LINK.CS>S", "<LINK .CSS", "a<LINK b<LINK c.CSS> d<LINK e>",
        "<LINK<LINK<LINK.CSS>", "<L<LINK>INK x>",
    };
    for (const char* text : cases) EXPECT_EQ(keepStyleSheetLinks(text), reference::keepStyleSheetLinks(text)) << text;
    std::mt19937 random(7);
    const std::vector<std::string> pieces = {"<LINK", "<", "LINK", "L", "INK", ">", ".CSS", ".C", "SS", "x", " "};
    for (int i = 0; i < 3000; ++i) {
        const std::string text = shuffled(random, pieces, 1 + i % 40);
        ASSERT_EQ(keepStyleSheetLinks(text), reference::keepStyleSheetLinks(text)) << text;
    }
    std::string unclosed = repeated("scheme-links-unclosed", 20000);
    for (auto& c : unclosed) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(keepStyleSheetLinks(unclosed), reference::keepStyleSheetLinks(unclosed));
}

TEST(SameOutput, FrameSourcesAsTheEditInPlaceLoop) {
    auto both = [](const std::string& text) {
        std::string newFrames, oldFrames;
        auto record = [](std::string& into) {
            return [&into](int n, const std::string& name) { into += std::to_string(n) + ":" + name + ";"; };
        };
        const std::string newText = numberFrameSources(text, record(newFrames));
        const std::string oldText = reference::numberFrameSources(text, record(oldFrames));
        return std::pair{newText + "\n" + newFrames, oldText + "\n" + oldFrames};
    };
    const std::string mark(framesetSourceMark);
    const char* const cases[] = {"", "<FRAME", "<FRAME>", "<FRAME <FRAME>", "<FRAME x><FRAME y"};
    for (const char* text : cases) {
        const auto [now, before] = both(text);
        EXPECT_EQ(now, before) << text;
    }
    std::mt19937 random(5);
    const std::vector<std::string> pieces = {"<FRAME", "<FRAME ", ">", mark + "a.htm", mark + "'b c.htm'", mark + "\"d",
                                             mark, "'", "\"", " ", "x", "<", "FRAME"};
    for (int i = 0; i < 3000; ++i) {
        const std::string text = shuffled(random, pieces, 1 + i % 40);
        const auto [now, before] = both(text);
        ASSERT_EQ(now, before) << text;
    }
    std::string unclosed = repeated("scheme-frames-unclosed", 20000);
    for (auto& c : unclosed) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto [now, before] = both(unclosed);
    EXPECT_EQ(now, before);
}

TEST(SameOutput, RecordMergeAsTheEditInPlaceLoop) {
    std::mt19937 random(11);
    const std::vector<std::string> pieces = {
        "?B", "e1", "e2", "$B$", ":B#00FF00(65280)", "B#", ")b,", "?C", "$C$", "C#", ")c,", "?IM", "$IM$",
        "^^", "^", "initialise,", ":Swatch:,", "%#00FF00(65280),", "%#", "),", "%%", "images:", "endData", "!",
    };
    for (int i = 0; i < 3000; ++i) {
        const AnsiString fresh(shuffled(random, pieces, 1 + i % 30));
        const AnsiString start(shuffled(random, pieces, 1 + i % 25));
        AnsiString merged = start, expected = start;
        mergeRecordInto(merged, fresh, "BCD", "endData");
        reference::mergeRecordInto(expected, fresh, "BCD", "endData");
        ASSERT_EQ(merged.str(), expected.str()) << start.str() << "\n" << fresh.str();
    }
    for (const char* shape : {"merge-same-id", "merge-entries-no-end"}) {
        const std::string scheme = test::fuzzSeed("merge", shape, 0);
        const std::string cookie = test::fuzzSeed("merge", shape, 1);
        AnsiString merged(scheme), expected(scheme);
        const AnsiString fresh = pageRecordBlockOf(cookie);
        mergeRecordInto(merged, fresh, "BCD", "endData");
        reference::mergeRecordInto(expected, fresh, "BCD", "endData");
        EXPECT_EQ(merged.str(), expected.str()) << shape;
    }
}

// Records as the page script writes them, drawn from small pools of ids and colours so that
// the fresh record and the stored one share ids, swatches repeat and some go unused.
std::string generatedRecord(std::mt19937& random, bool withEntries = true) {
    static const char* const ids[] = {"e1", "e2", "e10", "x!", "nav", "a b", "e1x", ""};
    static const char* const colours[] = {"#FFFFFF(16777215)", "#000000(0)", "#00FF00(65280)", "#0000FF(16711680)",
                                          "#112233(3351057)", "#ABCDEF(15715755)"};
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::string entries, images, swatches;
    for (int n = withEntries ? pick(12) : 0; n > 0; --n) {
        const char letter = "BCD"[pick(3)];
        const char lower = static_cast<char>(letter + 32);
        entries += std::string("?") + letter + ids[pick(8)] + "$" + letter + "$:" + letter + colours[pick(6)] + lower + ",";
    }
    for (int n = pick(4); n > 0; --n)
        images += std::string("?IM") + ids[pick(8)] + "$IM$:IM&&/site/p" + std::to_string(pick(3)) +
                  ".gif$rs$repeat&im?mod(100,100,,140)$mod$^oc13395507^^";
    for (int n = pick(6); n > 0; --n) swatches += std::string("%") + colours[pick(6)] + ",";
    const bool initial = pick(8) != 0, list = pick(8) != 0, imageList = pick(8) != 0;
    return std::string(initial ? "initialise," : "") + entries + (list ? ":Swatch:," : "") + swatches + "%%," +
           (imageList ? "images:" : "") + images + "endData";
}

TEST(SameOutput, WellFormedRecordsMergeAsTheEditInPlaceLoop) {
    // Whole records, then the same with one stray marker put anywhere: either way the indexed
    // merge must give the loop's bytes (or leave the work to the loop).
    const std::vector<std::string> strays = {"!", "!!", "!!!", "?B", "?Bq$B$", ")b,", "B#", "BB#", ")bb", "%#", "%%#", "),",
                                             "#", ")", "%", ":", "?IM", "^^", "$IM$", "initialise,", "images:",
                                             ":Swatch:", ",", "%#00FF00(65280),", ":B#000000(0)b,"};
    std::mt19937 random(17);
    for (int i = 0; i < 4000; ++i) {
        std::string start = generatedRecord(random, i % 5 != 0), fresh = generatedRecord(random);
        if (i % 2 == 1) {
            std::string& into = i % 4 == 1 ? start : fresh;
            into.insert(random() % (into.size() + 1), strays[random() % strays.size()]);
        }
        for (const char* letters : {"BCD", "BC"}) {
            AnsiString merged(start), expected(start);
            mergeRecordInto(merged, AnsiString(fresh), letters, "endData");
            reference::mergeRecordInto(expected, AnsiString(fresh), letters, "endData");
            ASSERT_EQ(merged.str(), expected.str()) << start << "\n" << fresh;
        }
    }
    std::mt19937 frames(19);
    for (int i = 0; i < 300; ++i) {
        const std::string cookie = "frameC[1]\n" + generatedRecord(frames) + "frameE[1]\n*\nframeC[2]\n" +
                                   generatedRecord(frames) + "frameE[2]\n*\n";
        const std::string scheme = "frameC[1]\n" + generatedRecord(frames) + "frameE[1]\n\nframeC[2]\n" +
                                   generatedRecord(frames) + "frameE[2]\n\n[indexString]\n";
        ASSERT_EQ(mergeFrameRecordsText(scheme, cookie), reference::mergeFrameRecordsText(scheme, cookie))
            << scheme << "\n" << cookie;
    }
}

TEST(SameOutput, FrameMergeAsTheEditInPlaceLoop) {
    std::mt19937 random(13);
    const std::vector<std::string> pieces = {"frameC[1]", "frameE[1]", "frameC[2]", "frameE[2]", "?B", "e1$B$",
                                             ":B#00FF00(65280)b,", "\n", "x"};
    for (int i = 0; i < 500; ++i) {
        const std::string cookie = "frameC[1]\n" + shuffled(random, pieces, 1 + i % 20) + "\n*\nframeC[2]\n" +
                                   shuffled(random, pieces, 1 + i % 20) + "\n*\n";
        const std::string scheme = shuffled(random, pieces, i % 20);
        ASSERT_EQ(mergeFrameRecordsText(scheme, cookie), reference::mergeFrameRecordsText(scheme, cookie))
            << scheme << "\n" << cookie;
    }
    const std::string unclosed = test::fuzzSeed("merge", "merge-frame-unclosed", 1);
    EXPECT_EQ(mergeFrameRecordsText("", unclosed), reference::mergeFrameRecordsText("", unclosed));
}

} // namespace hw
