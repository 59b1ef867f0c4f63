#include "base/Files.h"
#include "base/Folders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <thread>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string freshFolder(const std::string& name) {
    const auto dir = fs::temp_directory_path() / ("hw-files-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
}

std::vector<std::string> namesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

unsigned modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

/// A pid that no process has: a child that has been reaped.
pid_t deadPid() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
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

TEST(Files, AtomicWriteKeepsPermissionsAndWritesThroughLinks) {
    const auto dir = freshFolder("atomic-kinds");
    fs::create_directories(dir + "/real");
    struct Case {
        const char* what;
        std::function<std::string()> setUp; // returns the path to save to
        const char* changed;                // the file that must hold the new bytes
        bool refused;
    };
    const Case cases[] = {
        {"private file keeps its mode",
         [&] {
             hw::writeFileBytes(dir + "/private.wsm", "old");
             fs::permissions(dir + "/private.wsm", fs::perms(0600));
             return dir + "/private.wsm";
         },
         "private.wsm", false},
        {"absolute link",
         [&] {
             hw::writeFileBytes(dir + "/real/abs.wsm", "old");
             fs::create_symlink(dir + "/real/abs.wsm", dir + "/abs-link.wsm");
             return dir + "/abs-link.wsm";
         },
         "real/abs.wsm", false},
        {"relative link to a link",
         [&] {
             hw::writeFileBytes(dir + "/real/rel.wsm", "old");
             fs::create_symlink("rel.wsm", dir + "/real/rel-inner.wsm");
             fs::create_symlink("real/rel-inner.wsm", dir + "/rel-link.wsm");
             return dir + "/rel-link.wsm";
         },
         "real/rel.wsm", false},
        {"dangling link makes its file",
         [&] {
             fs::create_symlink("real/new.wsm", dir + "/new-link.wsm");
             return dir + "/new-link.wsm";
         },
         "real/new.wsm", false},
        {"read-only file",
         [&] {
             hw::writeFileBytes(dir + "/locked.wsm", "old");
             fs::permissions(dir + "/locked.wsm", fs::perms(0444));
             return dir + "/locked.wsm";
         },
         "locked.wsm", true},
        {"loop of links",
         [&] {
             fs::create_symlink("loop-b", dir + "/loop-a");
             fs::create_symlink("loop-a", dir + "/loop-b");
             return dir + "/loop-a";
         },
         nullptr, true},
        {"folder in the way",
         [&] {
             fs::create_directories(dir + "/taken.wsm");
             return dir + "/taken.wsm";
         },
         nullptr, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = c.setUp();
        const bool wasLink = fs::is_symlink(path);
        const std::string changed = c.changed ? dir + "/" + c.changed : std::string();
        const unsigned mode = changed.empty() ? 0 : modeOf(changed);
        const hw::Status saved = hw::writeFileAtomic(path, "new");
        EXPECT_EQ(saved.ok(), !c.refused) << saved.error();
        if (!changed.empty()) {
            EXPECT_EQ(hw::readFileOrEmpty(changed), c.refused ? "old" : "new");
            if (mode != 0) {
                EXPECT_EQ(modeOf(changed), mode);
            }
        }
        EXPECT_EQ(fs::is_symlink(path), wasLink);
    }
    for (const auto& name : namesIn(dir)) EXPECT_EQ(name.find("~hw"), std::string::npos) << name;
}

TEST(Files, AtomicWriteSweepsTemporariesOfEndedProcessesOnly) {
    const auto dir = freshFolder("atomic-sweep");
    const std::string dead = ".~hw" + std::to_string(deadPid()) + "-1.tmp";
    const std::string live = ".~hw" + std::to_string(::getppid()) + "-1.tmp";
    hw::writeFileBytes(dir + "/" + dead, "half");
    hw::writeFileBytes(dir + "/" + live, "in flight");
    ASSERT_TRUE(hw::writeFileAtomic(dir + "/book.sbk", "x"));
    EXPECT_EQ(namesIn(dir), (std::vector<std::string>{live, "book.sbk"}));
}

// A process killed at any moment of a save leaves the old file or the new one, whole, and no
// more than the one temporary it was writing.
TEST(Files, AtomicWriteSurvivesBeingKilledAtAnyMoment) {
    const auto dir = freshFolder("atomic-kill");
    const std::string target = dir + "/scheme.wsm";
    std::string first(300 * 1024, '\0'), second(200 * 1024, '\0');
    for (std::size_t i = 0; i < first.size(); ++i) first[i] = static_cast<char>('a' + i % 26);
    for (std::size_t i = 0; i < second.size(); ++i) second[i] = static_cast<char>('0' + i % 10);
    ASSERT_TRUE(hw::writeFileAtomic(target, first));

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayMs(1, 50);
    int sawSecond = 0;
    for (int round = 0; round < 100; ++round) {
        const pid_t writer = ::fork();
        ASSERT_GE(writer, 0);
        if (writer == 0) {
            for (unsigned i = 0;; ++i) (void)hw::writeFileAtomic(target, i % 2 ? first : second);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
        ::kill(writer, SIGKILL);
        ::waitpid(writer, nullptr, 0);

        const std::string now = hw::readFileOrEmpty(target);
        ASSERT_TRUE(now == first || now == second) << "round " << round << ": " << now.size() << " bytes";
        if (now == second) ++sawSecond;
        const auto names = namesIn(dir);
        ASSERT_LE(names.size(), 2u) << "round " << round;
        for (const auto& name : names) {
            if (name != "scheme.wsm") {
                EXPECT_EQ(name.rfind(".~hw", 0), 0u) << name;
            }
        }
    }
    EXPECT_GT(sawSecond, 0);
    ASSERT_TRUE(hw::writeFileAtomic(target, "done"));
    EXPECT_EQ(namesIn(dir), (std::vector<std::string>{"scheme.wsm"}));
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
