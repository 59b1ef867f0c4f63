#include "base/Files.h"
#include "base/Folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

std::string freshFolder(const std::string& name) {
    const auto dir = fs::temp_directory_path() / ("hw-files-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
}

} // namespace

TEST(Files, TextModeWritesEveryLineFeedAsCrLf) {
    EXPECT_EQ(hw::textModeBytes("a\nb"), "a\r\nb");
    EXPECT_EQ(hw::textModeBytes("a\r\n"), "a\r\r\n");
    EXPECT_EQ(hw::textModeBytes(""), "");
}

TEST(Files, WildcardsIgnoreLetterCase) {
    EXPECT_TRUE(hw::wildcardMatch("fwp*.TMP", "fwp1A2.tmp"));
    EXPECT_TRUE(hw::wildcardMatch("im*.dat", "IM3F.DAT"));
    EXPECT_TRUE(hw::wildcardMatch("*__home_u_site_[1].txt", "huewright@__home_u_site_[1].txt"));
    EXPECT_FALSE(hw::wildcardMatch("wp*.TMP", "fwp1.tmp"));
    EXPECT_FALSE(hw::wildcardMatch("im*.tmp", "im3F.dat"));
    EXPECT_TRUE(hw::wildcardMatch("a?c", "abc"));
    EXPECT_FALSE(hw::wildcardMatch("a?c", "ac"));
    // Only "*" and "?" are wild: brackets and backslashes are themselves.
    EXPECT_FALSE(hw::wildcardMatch("*_[1].txt", "x_1.txt"));
    EXPECT_FALSE(hw::wildcardMatch("[ab].txt", "a.txt"));
    EXPECT_TRUE(hw::wildcardMatch("a\\*", "a\\b"));
    EXPECT_FALSE(hw::wildcardMatch("a\\*", "a*"));
    EXPECT_TRUE(hw::wildcardMatch("*", ".hidden"));
}

TEST(Files, UniqueTempNamesAreNewFilesWithThePrefix) {
    const auto dir = freshFolder("unique");
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        const auto path = hw::uniqueTempFile(dir, "wp");
        ASSERT_FALSE(path.empty());
        const auto name = hw::fileNameOf(path);
        EXPECT_EQ(name.rfind("wp", 0), 0u);
        EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
        EXPECT_TRUE(hw::fileExists(path));
        EXPECT_TRUE(seen.insert(path).second);
    }
    EXPECT_TRUE(hw::uniqueTempFile(dir + "/missing", "wp").empty());
    EXPECT_EQ(hw::folderOf(hw::uniqueTempFile(dir + "/", "wp")), dir);
}

TEST(Files, AtomicWriteReplacesTheFileAndLeavesNoTemporary) {
    const auto dir = freshFolder("atomic");
    const auto path = dir + "/book.sbk";
    ASSERT_TRUE(hw::writeFileAtomic(path, "one"));
    ASSERT_TRUE(hw::writeFileAtomic(path, "two"));
    EXPECT_EQ(hw::readFileOrEmpty(path), "two");
    int files = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir)) ++files;
    EXPECT_EQ(files, 1);
    const hw::Status failed = hw::writeFileAtomic(dir + "/no/such/folder/x", "x");
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.error(), "The folder " + dir + "/no/such/folder cannot be written to.");
}

TEST(Files, SweepDeletesOnlyMatchingFiles) {
    const auto dir = freshFolder("sweep");
    for (auto n : {"fwp1.tmp", "fwp2.TMP", "wp3.tmp", "page.html"}) hw::writeFileBytes(dir + "/" + n, "x");
    hw::sweepFiles(dir, "fwp*.TMP");
    EXPECT_FALSE(hw::fileExists(dir + "/fwp1.tmp"));
    EXPECT_FALSE(hw::fileExists(dir + "/fwp2.TMP"));
    EXPECT_TRUE(hw::fileExists(dir + "/wp3.tmp"));
    EXPECT_TRUE(hw::fileExists(dir + "/page.html"));
    EXPECT_EQ(hw::findFirstFile(dir, "*.html"), "page.html");
    EXPECT_EQ(hw::findFirstFile(dir, "*.css"), "");
}

TEST(Files, PathParts) {
    EXPECT_EQ(hw::folderOf("/home/u/site/index.html"), "/home/u/site");
    EXPECT_EQ(hw::folderOf("/index.html"), "/");
    EXPECT_EQ(hw::folderOf("index.html"), "");
    EXPECT_EQ(hw::fileNameOf("/home/u/site/index.html"), "index.html");
    EXPECT_EQ(hw::joinPath("/a", "b.css"), "/a/b.css");
    EXPECT_EQ(hw::joinPath("/", "b.css"), "/b.css");
    EXPECT_EQ(hw::joinPath("/a", "/c/b.css"), "/c/b.css");
    EXPECT_EQ(hw::folderOf("/home/u/site/"), "/home/u/site");
    EXPECT_EQ(hw::folderOf(""), "");
    EXPECT_EQ(hw::fileNameOf("/home/u/site/"), "");
    EXPECT_EQ(hw::fileNameOf("index.html"), "index.html");
    EXPECT_EQ(hw::joinPath("/a/", "b.css"), "/a/b.css");
    EXPECT_EQ(hw::joinPath("", "b.css"), "b.css");
}

TEST(Folders, SystemFolderFollowsTheEnvironment) {
    ::setenv("HUEWRIGHT_HOME", "/tmp/hw-home-test/", 1);
    EXPECT_EQ(hw::systemFolder(), "/tmp/hw-home-test");
    EXPECT_EQ(hw::tempFolder(), "/tmp/hw-home-test/Temp");
    EXPECT_EQ(hw::cookiesFolder(), "/tmp/hw-home-test/Cookies");
    EXPECT_TRUE(hw::ensureFolders());
    EXPECT_TRUE(fs::is_directory("/tmp/hw-home-test/Temp"));
}
