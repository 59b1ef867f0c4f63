#include "engine/RecordMerge.h"

#include "base/Files.h"
#include "engine/ChangeRecord.h"
#include "engine/WebScheme.h"

#include <cctype>
#include <set>

namespace hw {

namespace {

constexpr std::string_view whiteSwatch = "%#FFFFFF(16777215)";
constexpr std::string_view blackSwatch = "%#000000(0)";

// Where a new colour entry goes: the head of the entry list, right after "initialise,".
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
