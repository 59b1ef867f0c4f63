#include "engine/RecordMerge.h"

#include "base/Files.h"
#include "engine/ChangeRecord.h"
#include "engine/InputLimits.h"
#include "engine/SchemeView.h"
#include "engine/WebScheme.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace hw {

namespace {

constexpr auto npos = std::string_view::npos;
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

// Every start of `pattern` in `text`, overlapping ones included, in increasing order; next()
// answers "the first at or after" for any position, so searches may go back as well as forth.
class Occurrences {
public:
    Occurrences(std::string_view text, std::string_view pattern) {
        for (auto at = text.find(pattern); at != npos; at = text.find(pattern, at + 1)) m_at.push_back(at);
    }
    std::size_t next(std::size_t from) const {
        const auto it = std::lower_bound(m_at.begin(), m_at.end(), from);
        return it == m_at.end() ? npos : *it;
    }
    const std::vector<std::size_t>& all() const { return m_at; }

private:
    std::vector<std::size_t> m_at;
};

bool overlaps(std::size_t from, std::size_t to, std::size_t regionFrom, std::size_t regionTo) {
    return from < regionTo && regionFrom < to;
}

// The keyed replacement that the colour and the image entries share, done with an index instead
// of a search of the whole target per entry. An entry of `fresh` replaces the target's first
// text key0 + id + idEnd through the next `end`, or goes in at `head` (after `prefix`) when the
// target has no such text. The answer is the same as the edit-in-place loop's when the
// target's entries neither nest nor hide the text that places `head`; otherwise this returns
// false, leaves the target alone, and the caller runs the loop.
struct KeyedMerge {
    std::string_view key0, idEnd, end, headMarker, prefix;
};

bool mergeKeyedEntries(AnsiString& target, const std::vector<AnsiString>& entries, const KeyedMerge& how,
                       std::size_t head, std::size_t headMarkerAt) {
    const std::string_view t = target.str();
    for (const AnsiString& e : entries) {
        const std::string_view entry = e.str();
        if (entry.find(how.key0, 1) != npos || entry.find(how.headMarker) != npos) return false;
    }
    struct Region {
        std::size_t from, to;
        std::string_view id;
        const AnsiString* replacement = nullptr;
    };
    std::vector<Region> regions;
    const Occurrences ids(t, how.idEnd), ends(t, how.end);
    const Occurrences starts(t, how.key0);
    for (std::size_t k = 0; k < starts.all().size(); ++k) {
        const std::size_t p = starts.all()[k];
        const std::size_t i = ids.next(p + how.key0.size());
        const std::size_t e = ends.next(p);
        if (i == npos || e == npos || i + how.idEnd.size() > e + how.end.size()) return false;
        const std::size_t to = e + how.end.size();
        if (k + 1 < starts.all().size() && to > starts.all()[k + 1]) return false;
        if (head != npos && head > p && head < to) return false;
        regions.push_back({p, to, t.substr(p + how.key0.size(), i - p - how.key0.size())});
    }
    if (headMarkerAt != npos) {
        for (const Region& r : regions)
            if (overlaps(headMarkerAt, headMarkerAt + how.headMarker.size(), r.from, r.to)) return false;
    }
    // The first text of each id; entries that go in at the head come before every other.
    std::unordered_map<std::string_view, std::size_t> first;
    for (std::size_t r = 0; r < regions.size(); ++r) first.emplace(regions[r].id, r);
    std::vector<const AnsiString*> inserted;
    constexpr std::size_t insertedFlag = std::size_t(1) << (sizeof(std::size_t) * 8 - 1);
    for (const AnsiString& e : entries) {
        const std::string_view entry = e.str();
        const std::size_t keyEnd = entry.find(how.idEnd);
        if (keyEnd == npos) continue;
        const std::string_view id = entry.substr(how.key0.size(), keyEnd - how.key0.size());
        if (const auto found = first.find(id); found != first.end()) {
            if (found->second & insertedFlag) inserted[found->second & ~insertedFlag] = &e;
            else regions[found->second].replacement = &e;
        } else if (head != npos) {
            first.emplace(id, inserted.size() | insertedFlag);
            inserted.push_back(&e);
        }
    }
    std::string out;
    out.reserve(t.size() + t.size() / 4);
    std::size_t copied = 0;
    auto copyTo = [&](std::size_t to) {
        if (copied < to) out.append(t.substr(copied, to - copied));
        copied = std::max(copied, to);
    };
    bool headDone = head == npos;
    auto emitHead = [&] {
        for (auto it = inserted.rbegin(); it != inserted.rend(); ++it) out.append(how.prefix).append((*it)->str());
        headDone = true;
    };
    for (const Region& r : regions) {
        if (!headDone && head <= r.from) {
            copyTo(head);
            emitHead();
        }
        if (!r.replacement) continue;
        copyTo(r.from);
        out.append(r.replacement->str());
        copied = r.to;
    }
    if (!headDone) {
        copyTo(head);
        emitHead();
    }
    copyTo(t.size());
    target = AnsiString(std::move(out));
    return true;
}

std::vector<AnsiString> entriesOf(std::string_view fresh, std::string_view open, std::string_view close) {
    std::vector<AnsiString> entries;
    walkEntries(fresh, open, close, [&](const AnsiString& entry) {
        if (!entry.IsEmpty()) entries.push_back(entry);
    });
    return entries;
}

void mergeColourEntries(AnsiString& target, const AnsiString& fresh, char letter) {
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    const std::string key0 = std::string("?") + letter;
    const std::string idEnd = std::string("$") + letter + "$";
    const std::string entryEnd = std::string(")") + lower + ",";
    const std::vector<AnsiString> entries = entriesOf(fresh.str(), key0, entryEnd);
    if (entries.empty()) return;
    const std::size_t initial = target.str().find("initialise,");
    const std::size_t head = initial != npos ? initial + 11 : target.str().find('?');
    if (mergeKeyedEntries(target, entries, {key0, idEnd, entryEnd, "initialise,", ""}, head, initial)) return;
    for (const AnsiString& entry : entries) {
        const int keyEnd = entry.Pos(idEnd);
        if (keyEnd == 0) continue;
        const AnsiString key = entry.SubString(1, keyEnd + 2);
        const int old = target.Pos(key);
        if (old != 0) {
            // The old entry ends at its own ")b,", however long its id is.
            const int oldEnd = target.PosFrom(entryEnd, old);
            target.Delete(old, oldEnd ? oldEnd + 3 - old : key.Length());
            target.Insert(entry, old);
        } else if (const int at = entryListHead(target); at != 0) {
            target.Insert(entry, at);
        }
    }
}

void mergeImageEntries(AnsiString& target, const AnsiString& fresh, std::string_view endMarker) {
    const std::vector<AnsiString> entries = entriesOf(fresh.str(), "?IM", "^^");
    if (entries.empty()) return;
    if (const std::size_t images = target.str().find("images:"); images != npos) {
        if (mergeKeyedEntries(target, entries, {"?IM", "$IM$", "^^", "images:", ","}, images + 7, images)) return;
    }
    for (const AnsiString& entry : entries) {
        const int keyEnd = entry.Pos("$IM$");
        if (keyEnd == 0) continue;
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
}

// The swatches the edit-in-place loop over `fresh` takes, in its order: it takes the first
// "B#" through the next ")b" and deletes the "B" and the "b". When no "B#" follows a "B", no
// "b" follows a ")b" and every "B#" has its own ")b" before the next one, those deletions make
// and join nothing, and the loop takes each "B#" of the text in turn. False otherwise.
bool swatchesOf(std::string_view fresh, char letter, std::vector<std::string_view>& swatches) {
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    const std::string marker{letter, '#'}, colourEnd{')', lower};
    const Occurrences ends(fresh, colourEnd);
    if (fresh.find(std::string{letter, letter, '#'}) != npos || fresh.find(std::string{')', lower, lower}) != npos)
        return false;
    std::size_t previousEnd = 0;
    bool open = false;
    for (auto at = fresh.find(marker); at != npos; at = fresh.find(marker, at + 1)) {
        if (open && previousEnd > at) return false;
        const std::size_t end = ends.next(at);
        if (end == npos) break;
        swatches.push_back(fresh.substr(at + 1, end - at));
        previousEnd = end;
        open = true;
    }
    return true;
}

// Whether every swatch can be told present with an index: "#...)" with one "#", one ")" at its
// end, and no "%" or ":". Such a text occurs in the target only as a whole "%#...)" item
// after its "%", before and after the new items go in at the head of the list.
bool indexable(std::string_view colour) {
    return colour.size() >= 2 && colour.front() == '#' && colour.back() == ')' &&
           colour.find_first_of("%:") == npos && colour.find(')') == colour.size() - 1 &&
           colour.find('#', 1) == npos;
}

void addSwatchesLiterally(AnsiString& target, AnsiString fresh, char letter) {
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

void addSwatches(AnsiString& target, const AnsiString& fresh, char letter) {
    std::vector<std::string_view> colours;
    if (!swatchesOf(fresh.str(), letter, colours) || !std::all_of(colours.begin(), colours.end(), indexable)) {
        addSwatchesLiterally(target, fresh, letter);
        return;
    }
    const std::string_view t = target.str();
    const std::size_t list = t.find(":Swatch:");
    const std::size_t head = t.find('%', list == npos ? 0 : list);
    if (head == npos) return;
    // Every "%#...)" of the target that holds no other "%": a swatch that is there is one of them.
    std::unordered_set<std::string_view> present;
    const Occurrences percents(t, "%");
    for (std::size_t k = 0; k < percents.all().size(); ++k) {
        const std::size_t q = percents.all()[k];
        const std::size_t next = k + 1 < percents.all().size() ? percents.all()[k + 1] : t.size();
        const std::size_t close = t.substr(0, next).find(')', q);
        if (close != npos) present.insert(t.substr(q + 1, close - q));
    }
    std::vector<std::string_view> added;
    for (const std::string_view colour : colours) {
        if (colour == whiteSwatch.substr(1) || colour == blackSwatch.substr(1)) continue;
        if (present.insert(colour).second) added.push_back(colour);
    }
    if (added.empty()) return;
    std::string out(t.substr(0, head));
    for (auto it = added.rbegin(); it != added.rend(); ++it) out.append("%").append(*it).append(",");
    out.append(t.substr(head));
    target = AnsiString(std::move(out));
}

// Drops every swatch item whose colour no entry and no other item uses. Items already looked
// at are spoiled with "!!" (which no record holds) and cleaned up at the end.
void pruneSwatchesLiterally(AnsiString& target) {
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

// The same in one pass and an index, for a target whose items neither nest nor follow anything
// but a "," and whose colours are indexable and hold no "!": an item is then kept exactly when
// its colour stands outside the items or in a later item (earlier ones are spoiled by then).
// The loop's "!!"s then stand between other characters and go again whole, so of the final
// cleaning only what it does to the target's own "!!"s is left to do.
void pruneSwatches(AnsiString& target) {
    const std::string_view t = target.str();
    const Occurrences items(t, "%#"), closes(t, "),");
    struct Item {
        std::size_t from, to;
        std::string_view colour;
    };
    std::vector<Item> found;
    for (std::size_t k = 0; k < items.all().size(); ++k) {
        const std::size_t at = items.all()[k];
        const std::size_t end = closes.next(at);
        if (end == npos) break; // this one and every later one stay as they are
        if (k + 1 < items.all().size() && items.all()[k + 1] <= end) return pruneSwatchesLiterally(target);
        if (at == 0 || t[at - 1] != ',') return pruneSwatchesLiterally(target);
        const std::string_view colour = t.substr(at + 1, end - at);
        if (!indexable(colour) || colour.find_first_of(",!") != npos) return pruneSwatchesLiterally(target);
        found.push_back({at, end + 2, colour});
    }
    // Every "#...)" outside the items: a colour text stands there only whole.
    std::unordered_set<std::string_view> outside;
    std::size_t from = 0;
    auto collect = [&](std::size_t to) {
        const std::string_view gap = t.substr(0, to);
        for (auto hash = gap.find('#', from); hash != npos;) {
            const std::size_t close = gap.find(')', hash);
            const std::size_t nextHash = gap.find('#', hash + 1);
            if (close == npos) break;
            if (nextHash == npos || nextHash > close) outside.insert(gap.substr(hash, close + 1 - hash));
            hash = nextHash;
        }
    };
    for (const Item& item : found) {
        collect(item.from);
        from = item.to;
    }
    collect(t.size());
    std::vector<bool> keep(found.size());
    std::unordered_set<std::string_view> later;
    for (std::size_t k = found.size(); k-- > 0;) {
        keep[k] = outside.count(found[k].colour) || later.count(found[k].colour);
        later.insert(found[k].colour);
    }
    std::string out;
    out.reserve(t.size());
    std::size_t copied = 0;
    for (std::size_t k = 0; k < found.size(); ++k) {
        if (keep[k]) continue;
        out.append(t.substr(copied, found[k].from - copied));
        copied = found[k].to;
    }
    out.append(t.substr(copied));
    target = AnsiString(std::move(out));
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

using MergeText = std::string (*)(const std::string&, const AnsiString&);

// `merge` null: the merge that the file's kind asks for.
Status mergeFile(const std::string& schemeFile, const AnsiString& cookieText, MergeText merge) {
    if (Status fits = checkSchemeFile(schemeFile); !fits) return fits;
    const auto bytes = readFileBytes(schemeFile);
    if (!bytes) return Error{"The scheme file " + schemeFile + " cannot be read."};
    if (!merge) merge = isFramesetSchemeText(AnsiString(*bytes)) ? mergeFrameRecordsText : mergeRecordText;
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

Status MergeSchemeRecords(WebScheme& scheme, const std::string& schemeFile) {
    return mergeFile(schemeFile, scheme.changeRecord, nullptr);
}

} // namespace hw
