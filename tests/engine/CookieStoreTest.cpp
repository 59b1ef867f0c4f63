#include "engine/CookieStore.h"

#include "base/Files.h"
#include "base/Folders.h"

#include "support/TestHome.h"

#include <gtest/gtest.h>

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

TEST(CookieStore, LineEndsInAValueCannotBreakTheLayout) {
    hw::test::isolateHome("lineends");
    ASSERT_TRUE(CookieStore::setCookie("/x/p.tmp", "data=a\nb\r\nc;"));
    EXPECT_EQ(CookieStore::cookiesFor("/x/p.tmp"), "data=a b  c");
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
}
