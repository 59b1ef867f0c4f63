// Replays every input in tests/data/fuzz through the core function its name points at. Each must
// come back (ctest's time limit catches a hang) without crashing; what each must produce is
// checked by the tests of its module.

#include "base/Files.h"
#include "engine/ChangeRecord.h"
#include "engine/CookieStore.h"
#include "engine/RecordMerge.h"
#include "engine/SchemeFile.h"
#include "engine/WebPage.h"
#include "swatches/SwatchBookFile.h"

#include "support/TestHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace hw {
namespace {

const std::string fuzz = std::string(HW_TEST_DATA) + "/fuzz";


std::vector<std::string> inputsStartingWith(const std::string& prefix, const std::string& ending) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(fuzz)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with(prefix) && name.ends_with(ending)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string input(const std::string& name) { return readFileOrEmpty(fuzz + "/" + name); }
std::string stem(const std::string& name) { return name.substr(0, name.rfind('.')); }

} // namespace

TEST(FuzzReplay, EveryInputHasAnEntryPoint) {
    const std::vector<std::string> prefixes = {"frameset-", "page-", "scheme-", "merge-", "book-", "cookie-store-"};
    for (const auto& entry : std::filesystem::directory_iterator(fuzz)) {
        const std::string name = entry.path().filename().string();
        if (name == "README.md") continue;
        EXPECT_TRUE(std::any_of(prefixes.begin(), prefixes.end(), [&](const std::string& p) { return name.starts_with(p); }))
            << name << " names no entry point this replay knows";
    }
}

TEST(FuzzReplay, PagesAndFramesetsAreInstrumented) {
    const std::string home = test::isolateHome("replay-instrument");
    for (const std::string& name : inputsStartingWith("page-", ".html")) {
        WebPage page;
        page.InstrumentPage(input(name));
        EXPECT_FALSE(page.instrumentedText.IsEmpty()) << name;
    }
    for (const std::string& name : inputsStartingWith("frameset-", ".html")) {
        // The frame copies go beside the frameset, so it is replayed from a folder of its own.
        const std::string folder = home + "/" + stem(name);
        std::filesystem::create_directories(folder);
        WebPage page;
        // Either instrumented, or refused with a message (absurd frame counts).
        const Status done = page.InstrumentFrameset(input(name), folder + "/" + name);
        EXPECT_TRUE(done ? !page.framesetText.IsEmpty() : !done.error().empty()) << name;
        std::filesystem::remove_all(folder);
    }
}

TEST(FuzzReplay, SchemeWritersTakeEveryPage) {
    for (const std::string& name : inputsStartingWith("scheme-", ".html")) {
        const AnsiString page = WebPage::ReadPageFile(fuzz + "/" + name);
        const AnsiString cookie(input(stem(name) + ".cookie"));
        const AnsiString text = isFramesetText(page) ? framesetSchemeText(framesetRecordBlockOf(cookie), page, fuzz)
                                                     : singlePageSchemeText(pageRecordBlockOf(cookie), page, fuzz);
        EXPECT_FALSE(text.IsEmpty()) << name;
    }
}

TEST(FuzzReplay, BothMergesTakeEveryRecord) {
    for (const std::string& name : inputsStartingWith("merge-", ".scheme")) {
        const std::string scheme = input(name);
        const AnsiString cookie(input(stem(name) + ".cookie"));
        // Either merge may meet either kind of scheme file.
        const std::string single = mergeRecordText(scheme, cookie);
        const std::string frames = mergeFrameRecordsText(scheme, cookie);
        EXPECT_TRUE(!single.empty() || scheme.empty()) << name;
        EXPECT_TRUE(!frames.empty() || scheme.empty() || cookie.IsEmpty()) << name;
    }
}

TEST(FuzzReplay, SwatchBooksAreReadOrRefused) {
    for (const std::string& name : inputsStartingWith("book-", ".sbk")) {
        const Result<BookContents> book = parseBookText(input(name));
        if (book) EXPECT_LE(book->lastCard, maxCards - 1) << name;
        else EXPECT_FALSE(book.error().empty()) << name;
    }
}

TEST(FuzzReplay, CookieStoreTakesEveryWrite) {
    for (const std::string& name : inputsStartingWith("cookie-store-", ".file")) {
        test::isolateHome("replay-" + stem(name));
        const std::string file = CookieStore::fileFor("/replay");
        ASSERT_TRUE(writeFileAtomic(file, input(name)));
        for (int n = 1; std::filesystem::exists(fuzz + "/" + stem(name) + ".write" + std::to_string(n)); ++n)
            EXPECT_TRUE(CookieStore::setCookie("/replay/p.tmp", input(stem(name) + ".write" + std::to_string(n)))) << name;
        EXPECT_FALSE(CookieStore::cookiesFor("/replay/p.tmp").empty()) << name;
    }
}

} // namespace hw
