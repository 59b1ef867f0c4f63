#include "engine/RecordMerge.h"

#include "base/Files.h"
#include "engine/ChangeRecord.h"
#include "engine/WebScheme.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <vector>

namespace hw {

namespace {

constexpr std::string_view whiteSwatch = "%#FFFFFF(16777215)";
constexpr std::string_view blackSwatch = "%#000000(0)";

// Where a new colour entry goes: the head of the entry list, right after "initialise,".
int entryListHead(const AnsiString& target) {
    const int initial = target.Pos("initialise,");
    return initial ? initial + 11 : target.Pos("?");
}

// Walks the entries of `fresh` the way "take the first entry from `open` through the next
// `close`, spoil both markers with a "!" after their first character, search again" does, but
// without editing `fresh`: the loop reads it about once however the entries nest or lack their
// ends. `act` gets each entry as that loop would have cut it (with the "!"s of earlier entries'
// ends inside it), or an empty text when no end follows.
template <class Act>
void walkEntries(std::string_view fresh, std::string_view open, std::string_view close, Act&& act) {
    // The spoiled ends, in increasing order. Every end between the current start and the last
    // spoiled one is spoiled, so the next end is looked for after both.
    std::vector<std::size_t> spoiled;
    std::size_t firstInside = 0;
    std::size_t searchedFrom = 0;
    std::size_t found = std::string_view::npos;
    bool searched = false;
    for (std::size_t at = fresh.find(open); at != std::string_view::npos; at = fresh.find(open, at + 1)) {
        const std::size_t from = spoiled.empty() ? at : std::max(at, spoiled.back() + 1);
        if (!searched || from < searchedFrom || (found != std::string_view::npos && from > found)) {
            searchedFrom = from;
            found = fresh.find(close, from);
            searched = true;
        }
        const std::size_t end = found;
        if (end == std::string_view::npos) {
            act(AnsiString());
            continue;
        }
        while (firstInside < spoiled.size() && spoiled[firstInside] < at) ++firstInside;
        std::string entry;
        std::size_t copied = at;
        for (std::size_t i = firstInside; i < spoiled.size(); ++i) {
            entry.append(fresh.substr(copied, spoiled[i] + 1 - copied)).push_back('!');
            copied = spoiled[i] + 1;
        }
        entry.append(fresh.substr(copied, end + close.size() - copied));
        spoiled.push_back(end);
        act(AnsiString(std::move(entry)));
    }
}

void mergeColourEntries(AnsiString& target, const AnsiString& fresh, char letter) {
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    const std::string key0 = std::string("?") + letter;
    const std::string idEnd = std::string("$") + letter + "$";
    const std::string entryEnd = std::string(")") + lower + ",";
    walkEntries(fresh.str(), key0, entryEnd, [&](const AnsiString& entry) {
        const int keyEnd = entry.Pos(idEnd);
        if (keyEnd == 0) return;
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
    });
}

void mergeImageEntries(AnsiString& target, const AnsiString& fresh, std::string_view endMarker) {
    walkEntries(fresh.str(), "?IM", "^^", [&](const AnsiString& entry) {
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
    });
}

void addSwatches(AnsiString& target, AnsiString fresh, char letter) {
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    const std::string marker = std::string(1, letter) + "#";
    const std::string colourEnd = std::string(")") + lower;
    // Every pass deletes one character of `fresh`, so the loop ends. No marker lies before the
    // one taken, and a deletion can make a new one only from the character before it on, so
    // the search goes on from there.
    for (int at = fresh.Pos(marker); at != 0; at = fresh.PosFrom(marker, std::max(1, at - 1))) {
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
    // Every item before the one taken is spoiled, and a deletion can join only the character
    // before it into a new "%#", so the search goes on from there.
    for (int at = target.Pos("%#"); at != 0; at = target.PosFrom("%#", std::max(1, at - 1))) {
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

Status mergeFile(const std::string& schemeFile, const AnsiString& cookieText,
                 std::string (*merge)(const std::string&, const AnsiString&)) {
    const auto bytes = readFileBytes(schemeFile);
    if (!bytes) return Error{"The scheme file " + schemeFile + " cannot be read."};
    return writeFileAtomic(schemeFile, merge(*bytes, cookieText));
}

} // namespace

void mergeRecordInto(AnsiString& target, const AnsiString& fresh, std::string_view letters, std::string_view endMarker) {
    for (char letter : letters) mergeColourEntries(target, fresh, letter);
    mergeImageEntries(target, fresh, endMarker);
    for (char letter : letters) addSwatches(target, fresh, letter);
    pruneSwatches(target);
}

std::string mergeRecordText(const std::string& schemeBytes, const AnsiString& cookieText) {
    const CookieRecord* data = nullptr;
    const auto records = parseCookieFile(cookieText);
    for (const auto& record : records) {
        if (record.name == "data") {
            data = &record;
            break;
        }
    }
    if (!data) return schemeBytes;

    const AnsiString scheme(schemeBytes);
    if (scheme.Pos("data") != 1) {
        // Saved while nothing was painted: the scheme has no record, so the newer one becomes
        // its block, as a new save would have written it.
        return textModeBytes(pageRecordBlockOf(cookieText).str()) + schemeBytes;
    }
    // Only the stored record is merged into; the page after it keeps every byte (a page may
    // well hold "!!" or a "?" of its own).
    const int endData = scheme.Pos("endData");
    int recordLength = endData ? endData + 6 : scheme.Length();
    if (endData == 0) {
        const int lf = scheme.PosFrom("\n", scheme.PosFrom("\n", 1) + 1);
        if (lf != 0) recordLength = lf;
    }
    AnsiString record = scheme.SubString(1, recordLength);
    mergeRecordInto(record, data->value, "BCD", "endData");
    return record.str() + schemeBytes.substr(static_cast<std::size_t>(recordLength));
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
                // No later section of this frame is closed either: each would be spoiled in
                // turn, and nothing else done, so they are all spoiled at once.
                fresh = AnsiString(fresh.str().substr(0, static_cast<std::size_t>(at - 1)) +
                                   replaceEvery(std::string_view(fresh.str()).substr(static_cast<std::size_t>(at - 1)),
                                                section, "frame!" + section.substr(5)));
                break;
            }
            const AnsiString newSection = fresh.SubString(at, close + endLength - at);
            const int old = scheme.Pos(section);
            const int oldClose = old ? scheme.PosFrom(end, old) : 0;
            if (oldClose == 0) {
                scheme.Insert((newSection + "\n\n").str(), 1);
                continue;
            }
            AnsiString merged = scheme.SubString(old, oldClose + endLength - old);
            mergeRecordInto(merged, newSection, "BC", end);
            scheme.Delete(old, oldClose + endLength - old);
            scheme.Insert(merged, old);
            fresh.Insert("!", at + 5);
        }
    }
    scheme.ReplaceEvery("\r\n", "\n");
    return textModeBytes(scheme.str());
}

Status MergeRecord(WebScheme& scheme, const std::string& schemeFile) {
    return mergeFile(schemeFile, scheme.changeRecord, mergeRecordText);
}

Status MergeFrameRecords(WebScheme& scheme, const std::string& schemeFile) {
    return mergeFile(schemeFile, scheme.changeRecord, mergeFrameRecordsText);
}

} // namespace hw
