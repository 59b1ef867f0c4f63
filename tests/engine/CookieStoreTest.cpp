#include "engine/CookieStore.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "engine/ChangeRecord.h"
#include "engine/WebPage.h"

#include "support/FuzzSeeds.h"
#include "support/TestHome.h"

#include <gtest/gtest.h>

#include <string>

using namespace hw;

TEST(CookieStore, FileNamesFollowTheFolder) {
    EXPECT_EQ(CookieStore::folderText("/home/u/site"), "__home_u_site");
    EXPECT_EQ(CookieStore::folderText("/home/u/site/"), "__home_u_site");
    EXPECT_EQ(CookieStore::folderText("/"), "__");
    EXPECT_EQ(fileNameOf(CookieStore::fileFor("/home/u/site")), "huewright@__home_u_site_[1].txt");
}

TEST(CookieStore, RecordsAreReplacedInPlaceAndNewNamesAppended) {
    hw::test::isolateHome("records");
    const std::string page = "/srv/site/wp1.tmp";
    ASSERT_TRUE(CookieStore::setCookie(page, "data=one;expires=Fri, 31-Dec-2123 00:00:00 GMT;"));
    ASSERT_TRUE(CookieStore::setCookie(page, "file:///srv/site/a%20b.gif;expires=Fri, 31-Dec-2123 00:00:00 GMT;"));
    ASSERT_TRUE(CookieStore::setCookie(page, "data=two;expires=Fri, 30-Dec-2123 00:00:00 GMT;"));
    const std::string text = readFileOrEmpty(CookieStore::fileFor("/srv/site"));
    // name, value, the local line, numbers, "*" for each cookie, the record of "data" first.
    const auto first = text.find("data\ntwo\n~~local~~/srv/site/\n");
    ASSERT_EQ(first, 0u) << text;
    EXPECT_NE(text.find("*\nfile:///srv/site/a%20b.gif\n\n~~local~~/srv/site/\n"), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(CookieStore::cookiesFor(page), "data=two; file:///srv/site/a%20b.gif");
    EXPECT_EQ(CookieStore::cookiesFor("/srv/other/wp2.tmp"), "");

    // A second picture pick replaces the first and stands last.
    ASSERT_TRUE(CookieStore::setCookie(page, "file:///srv/site/c.png;expires=Fri, 31-Dec-2123 00:00:00 GMT;"));
    EXPECT_EQ(CookieStore::cookiesFor(page), "data=two; file:///srv/site/c.png");
    ASSERT_TRUE(CookieStore::setCookie(page, "file:///srv/site/a=b.png;expires=Fri, 31-Dec-2123 00:00:00 GMT;"));
    EXPECT_EQ(CookieStore::cookiesFor(page), "data=two; file:///srv/site/a=b.png");

    CookieStore::purgeLocalCookies();
    EXPECT_FALSE(fileExists(CookieStore::fileFor("/srv/site")));
}

TEST(CookieStore, AnyNameAndValueKeepTheLayout) {
    hw::test::isolateHome("layout");
    using namespace std::string_literals;
    // Each row is written after the ones above it; every cookie must read back as itself and
    // leave the others readable.
    const struct { std::string assignment, reads; } rows[] = {
        {"data=a\nb\r\nc;", "data=a b  c"},
        {"x\ny=1", "x y=1"},
        {"*=*", "*=*"},
        {"=", "="},
        {"e=", "e="},
        {"v=\r", "v= "},
        {"n=a\0b"s, "n=ab"},
        {"\0=z"s, "=z"},
        {"s=*\n*\n", "s=* * "},
        {"last=1", "last=1"},
    };
    std::string expected;
    for (const auto& r : rows) {
        ASSERT_TRUE(CookieStore::setCookie("/x/p.tmp", r.assignment));
        if (r.reads != "=z") expected += (expected.empty() ? "" : "; ") + r.reads;
    }
    // "=" and "\0=z" share the empty name, so the later one took the earlier one's place.
    const std::size_t empty = expected.find("; =;");
    ASSERT_NE(empty, std::string::npos);
    expected.replace(empty, 4, "; =z;");
    EXPECT_EQ(CookieStore::cookiesFor("/x/p.tmp"), expected);
    const std::string text = readFileOrEmpty(CookieStore::fileFor("/x"));
    EXPECT_EQ(text.find('\0'), std::string::npos);
    EXPECT_EQ(parseCookieFile(text).size(), 9u);
}

TEST(CookieStore, AFolderWithALineEndKeepsTheLayout) {
    hw::test::isolateHome("folderlf");
    ASSERT_TRUE(CookieStore::setCookie("/x\ny/p.tmp", "a=1"));
    ASSERT_TRUE(CookieStore::setCookie("/x\ny/p.tmp", "b=2"));
    EXPECT_EQ(CookieStore::cookiesFor("/x\ny/p.tmp"), "a=1; b=2");
}

TEST(CookieStore, OversizedWritesAreRefusedAndStoreNothing) {
    hw::test::isolateHome("sizes");
    const std::string page = "/big/p.tmp";
    ASSERT_TRUE(CookieStore::setCookie(page, "data=small"));
    const std::string before = readFileOrEmpty(CookieStore::fileFor("/big"));
    const std::string tooBig = "data=" + std::string(CookieStore::maxCookieBytes, 'x');
    EXPECT_FALSE(CookieStore::setCookie(page, tooBig));
    EXPECT_EQ(readFileOrEmpty(CookieStore::fileFor("/big")), before);

    // Cookies just under the limit fill the file up to its own limit, then no more.
    const std::string value(CookieStore::maxCookieBytes - 10, 'v');
    int stored = 0;
    while (stored < 12 && CookieStore::setCookie(page, "c" + std::to_string(stored) + "=" + value)) ++stored;
    EXPECT_EQ(stored, 7);
    EXPECT_LE(readFileOrEmpty(CookieStore::fileFor("/big")).size(), CookieStore::maxFileBytes);
    // Replacing a cookie by a smaller one still works, and the paint record is still there.
    EXPECT_TRUE(CookieStore::setCookie(page, "c0=short"));
    EXPECT_EQ(pageRecordBlockOf(WebPage::ReadPageFile(CookieStore::fileFor("/big"))).str(), "data\nsmall\n\n");
}

// The damaged files found by fuzzing: each starts the store of a folder, then the page makes two
// writes; neither the writes nor the paint record may be lost.
TEST(CookieStore, DamagedStoreFilesLoseNoWrite) {
    const struct { const char* name; const char* reads; } rows[] = {
        {"cookie-store-unterminated", "x=y; data=initialise,endData; b=2"},
        {"cookie-store-nul", "a=; data=initialise,endData"},
    };
    for (const auto& r : rows) {
        hw::test::isolateHome(r.name);
        const std::string file = CookieStore::fileFor("/f");
        ASSERT_TRUE(writeFileAtomic(file, test::fuzzSeed("cookie_store", r.name, 0)));
        for (std::size_t write : {1, 2})
            ASSERT_TRUE(CookieStore::setCookie("/f/p.tmp", test::fuzzSeed("cookie_store", r.name, write))) << r.name << write;
        EXPECT_EQ(CookieStore::cookiesFor("/f/p.tmp"), r.reads) << r.name;
        // The record readers stop at a NUL, so none may be left for them.
        EXPECT_EQ(pageRecordBlockOf(WebPage::ReadPageFile(file)).str(), "data\ninitialise,endData\n\n") << r.name;
    }
}

TEST(CookieStore, DamagedFilesKeepTheirRecordsAndTakeNewOnes) {
    hw::test::isolateHome("damaged");
    ensureFolders();
    const std::string file = CookieStore::fileFor("/d");
    // The last record is cut off before its "*"; the first went through a CRLF editor.
    ASSERT_TRUE(writeFileAtomic(file, "a\r\n1\r\n~~local~~/d/\r\n*\r\nx\nv\n~~local~~/d/\n"));
    ASSERT_TRUE(CookieStore::setCookie("/d/p.tmp", "data=two;"));
    EXPECT_EQ(CookieStore::cookiesFor("/d/p.tmp"), "a=1; x=v; data=two");
    ASSERT_TRUE(CookieStore::setCookie("/d/p.tmp", "a=2;"));
    EXPECT_EQ(CookieStore::cookiesFor("/d/p.tmp"), "a=2; x=v; data=two");
    // A last line that merely ends in "*" does not close the record.
    ASSERT_TRUE(writeFileAtomic(file, "x\ny\n~~local~~/d/\n0 GMT;*\r\n"));
    ASSERT_TRUE(CookieStore::setCookie("/d/p.tmp", "b=2"));
    EXPECT_EQ(CookieStore::cookiesFor("/d/p.tmp"), "x=y; b=2");
}
