#include "engine/RecordMerge.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "engine/RecordTestSupport.h"
#include "engine/WebScheme.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace hw {
namespace {

using test::colour;
using test::cookie;
using test::entry;
using test::imageEntry;

std::string swatches(std::initializer_list<const char*> hexes) {
    std::string list = ":Swatch:,";
    for (const char* hex : hexes) list += "%" + colour(hex) + ",";
    return list + "%%";
}

// A page as a new scheme file stores it: every line ends in CR CR LF. It holds texts that the
// record markers use, which the merge must leave alone.
const std::string storedPage = "<html>\r\r\n<body>Hello!! 100%#A0B0C0(1),?B1b$B$ ok</body>\r\r\n</HTML>\r\r\n";

std::string singleScheme(const std::string& record) { return textModeBytes("data\n" + record + "\n\n\n") + storedPage; }

std::string mergedSingle(const std::string& stored, const std::string& fresh) {
    return mergeRecordText(singleScheme(stored), AnsiString(cookie("data", fresh)));
}

TEST(MergeRecord, ColourEntriesAndSwatches) {
    const std::string b1 = entry('B', "1b", "FFCC00"), c3 = entry('C', "3p", "336699");
    const std::string longId = entry('B', "tableCellNumber123456", "FFCC00");
    struct Row {
        const char* what;
        std::string stored, fresh, expected;
    };
    const Row rows[] = {
        {"an entry is replaced in place; a colour still used stays",
         "initialise," + b1 + "," + entry('B', "2d", "336699") + "," + c3 + "," + swatches({"FFCC00", "336699"}) + ",images:endData",
         "initialise," + entry('B', "2d", "00FF00") + "," + swatches({"00FF00"}) + ",images:endData",
         "initialise," + b1 + "," + entry('B', "2d", "00FF00") + "," + c3 + "," + swatches({"00FF00", "FFCC00", "336699"}) + ",images:endData"},
        {"a colour that is no longer used leaves the list",
         "initialise," + b1 + "," + c3 + "," + swatches({"FFCC00", "336699"}) + ",images:endData",
         "initialise," + entry('B', "1b", "00FF00") + "," + swatches({"00FF00"}) + ",images:endData",
         "initialise," + entry('B', "1b", "00FF00") + "," + c3 + "," + swatches({"00FF00", "336699"}) + ",images:endData"},
        {"a new element goes to the head of the list",
         "initialise," + b1 + "," + swatches({"FFCC00"}) + ",images:endData",
         "initialise," + entry('D', "9t", "112233") + "," + swatches({"112233"}) + ",images:endData",
         "initialise," + entry('D', "9t", "112233") + "," + b1 + "," + swatches({"112233", "FFCC00"}) + ",images:endData"},
        {"the first entry of an empty list",
         "initialise,:Swatch:,%%,images:endData",
         "initialise," + b1 + "," + swatches({"FFCC00"}) + ",images:endData",
         "initialise," + b1 + "," + swatches({"FFCC00"}) + ",images:endData"},
        {"white and black never enter the list",
         "initialise," + b1 + "," + swatches({"FFCC00"}) + ",images:endData",
         "initialise," + entry('B', "1b", "FFFFFF") + "," + entry('C', "2p", "000000") + ",:Swatch:,%%,images:endData",
         "initialise," + entry('C', "2p", "000000") + "," + entry('B', "1b", "FFFFFF") + ",:Swatch:,%%,images:endData"},
        {"ids longer than fourteen characters",
         "initialise," + longId + "," + entry('B', "2d", "336699") + "," + swatches({"FFCC00", "336699"}) + ",images:endData",
         "initialise," + entry('B', "tableCellNumber123456", "00FF00") + "," + swatches({"00FF00"}) + ",images:endData",
         "initialise," + entry('B', "tableCellNumber123456", "00FF00") + "," + entry('B', "2d", "336699") + "," +
             swatches({"00FF00", "336699"}) + ",images:endData"},
    };
    for (const auto& row : rows) EXPECT_EQ(mergedSingle(row.stored, row.fresh), singleScheme(row.expected)) << row.what;
}

TEST(MergeRecord, ImageEntries) {
    const std::string a = imageEntry("1img", "/s/a.gif", "", "(100,100,,0)", "255");
    const std::string a2 = imageEntry("1img", "/s/a.gif", "", "(80,120,,40)", "255");
    const std::string bg = imageEntry("5td", "/s/bg.jpg", "no-repeat", "(90,100,,10)", "65280");
    const std::string b1 = entry('B', "1b", "FFCC00");
    // A replaced picture stays where it was and a new one follows "images:".
    EXPECT_EQ(mergedSingle("initialise,:Swatch:,%%,images:," + a + "endData", "initialise,:Swatch:,%%,images:," + a2 + "," + bg + "endData"),
              singleScheme("initialise,:Swatch:,%%,images:," + bg + "," + a2 + "endData"));
    // A stored record from the initial snapshot has no image section: one is opened.
    EXPECT_EQ(mergedSingle("initialise," + b1 + "," + swatches({"FFCC00"}) + "endData",
                           "initialise," + b1 + "," + swatches({"FFCC00"}) + ",images:," + bg + "endData"),
              singleScheme("initialise," + b1 + "," + swatches({"FFCC00"}) + ",images:," + bg + "endData"));
}

TEST(MergeRecord, SchemeSavedWithoutRecordGetsTheNewRecord) {
    const std::string fresh = "initialise," + entry('B', "1b", "FFCC00") + "," + swatches({"FFCC00"}) + ",images:endData";
    const std::string stored = "\r\n" + storedPage;
    EXPECT_EQ(mergeRecordText(stored, AnsiString(cookie("data", fresh))), textModeBytes("data\n" + fresh + "\n\n") + stored);
    EXPECT_EQ(mergeRecordText(singleScheme(fresh), AnsiString("")), singleScheme(fresh)) << "no cookie, no change";
}

std::string frameSection(int n, const std::string& entries, std::initializer_list<const char*> hexes) {
    const std::string i = std::to_string(n);
    return "frameC[" + i + "]\ninitialise," + entries + swatches(hexes) + ",images:frameE[" + i + "]";
}

// Frame pages and the frameset page of a stored frameset scheme, as LF text.
const std::string framesRest = "frame[0]\n<html><body>\r\nLeft</body></html>\nendFrame[0]\n\n[indexString]\n<frameset></frameset>\n[endIndexString]";

TEST(MergeFrameRecords, SectionsAreMergedByFrameIndex) {
    const std::string f0 = frameSection(0, entry('B', "1b", "FFCC00") + ",", {"FFCC00"});
    const std::string f1 = frameSection(1, entry('C', "3p", "336699") + ",", {"336699"});
    const std::string stored = textModeBytes(f0 + "\n\n" + f1 + "\n\n\n" + framesRest);

    const std::string newF1 = frameSection(1, entry('C', "3p", "00FF00") + "," + entry('D', "4t", "112233") + ",", {"00FF00", "112233"});
    const std::string newF2 = frameSection(2, entry('B', "1b", "445566") + ",", {"445566"});
    const std::string cookies = cookie("frameC[1]", newF1.substr(10)) + cookie("frameC[2]", newF2.substr(10));

    // Frame 1 takes the new text colour (its border entry is not merged and adds no swatch);
    // frame 2 had no section and gets one at the start; every CR before a LF is reduced.
    const std::string merged1 = frameSection(1, entry('C', "3p", "00FF00") + ",", {"00FF00"});
    std::string rest = framesRest;
    rest.replace(rest.find("\r\n"), 2, "\n");
    EXPECT_EQ(mergeFrameRecordsText(stored, AnsiString(cookies)), textModeBytes(newF2 + "\n\n" + f0 + "\n\n" + merged1 + "\n\n\n" + rest));
}

TEST(MergeFrameRecords, FrameIndexesOfTenAndMore) {
    const std::string f1 = frameSection(1, entry('B', "1b", "FFCC00") + ",", {"FFCC00"});
    const std::string f10 = frameSection(10, entry('B', "1b", "336699") + ",", {"336699"});
    const std::string stored = textModeBytes(f10 + "\n\n" + f1 + "\n\n\n" + framesRest);
    const std::string new10 = frameSection(10, entry('B', "1b", "00FF00") + ",", {"00FF00"});
    std::string rest = framesRest;
    rest.replace(rest.find("\r\n"), 2, "\n");
    EXPECT_EQ(mergeFrameRecordsText(stored, AnsiString(cookie("frameC[10]", new10.substr(11)))),
              textModeBytes(new10 + "\n\n" + f1 + "\n\n\n" + rest));
}

TEST(MergeFiles, RewritesTheSchemeFileAndReportsFailures) {
    ASSERT_TRUE(ensureFolders());
    const std::string path = tempFolder() + "/merge-test.wsm";
    const std::string stored = "initialise," + entry('B', "1b", "FFCC00") + "," + swatches({"FFCC00"}) + ",images:endData";
    const std::string fresh = "initialise," + entry('B', "1b", "336699") + "," + swatches({"336699"}) + ",images:endData";
    ASSERT_TRUE(writeFileBytes(path, singleScheme(stored)));
    WebScheme scheme;
    scheme.changeRecord = cookie("data", fresh);
    const Status result = MergeRecord(scheme, path);
    EXPECT_TRUE(result.ok()) << result.error();
    EXPECT_EQ(test::readAll(path), singleScheme(fresh));

    const std::string missing = tempFolder() + "/no-such-scheme.wsm";
    std::filesystem::remove(missing);
    EXPECT_EQ(MergeRecord(scheme, missing).error(), "The scheme file " + missing + " cannot be read.");
    EXPECT_FALSE(MergeFrameRecords(scheme, missing).ok());
    EXPECT_FALSE(std::filesystem::exists(missing)) << "a failed merge makes no file";
}

} // namespace
} // namespace hw

TEST(Merge, AHundredThousandEntriesMergeWholeAndQuickly) {
    // A stored record of the even ids and a newer one of every id, all in one colour but the
    // stored one in another: every entry ends up once, in the newer colour, with one swatch.
    std::string stored = "initialise,", fresh = "initialise,";
    for (int i = 0; i < 100000; ++i) {
        const std::string id = "e" + std::to_string(i);
        if (i % 2 == 0) stored += "?B" + id + "$B$:B#112233(3351057)b,";
        fresh += "?B" + id + "$B$:B#00FF00(65280)b,";
    }
    stored += ":Swatch:,%#112233(3351057),%%,images:endData";
    fresh += ":Swatch:,%#00FF00(65280),%%,images:endData";
    const std::string merged = hw::mergeRecordText("data\n" + stored + "\n\n<html></html>",
                                                   hw::AnsiString("data\n" + fresh + "\n*\n"));
    std::size_t entries = 0;
    for (auto at = merged.find("?B"); at != std::string::npos; at = merged.find("?B", at + 1)) ++entries;
    EXPECT_EQ(entries, 100000u);
    EXPECT_EQ(merged.find("112233"), std::string::npos);
    EXPECT_NE(merged.find(":Swatch:,%#00FF00(65280),%%"), std::string::npos);
}
