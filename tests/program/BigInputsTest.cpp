// Pages and scheme files far larger than any real one, or not text at all: each is opened in
// reasonable time or refused with a message, never read without end.

#include "program/Session.h"

#include "base/Files.h"
#include "support/RecordingScreen.h"
#include "support/TestFolders.h"
#include "support/TestHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

using namespace hw;
using hw::test::RecordingScreen;

namespace {

constexpr std::size_t megabyte = 1 << 20;

std::string repeated(std::string_view unit, std::size_t size) {
    std::string out;
    out.reserve(size + unit.size());
    while (out.size() < size) out += unit;
    return out;
}

std::string randomBytes(std::size_t size) {
    std::mt19937 random(3);
    std::string out(size, '\0');
    for (auto& c : out) c = static_cast<char>(random());
    return out;
}

// The signature and header chunk start of a 16 x 16 picture (the literal holds NUL bytes, so its
// length is taken from the array, not counted by hand).
constexpr char pngBytes[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10\x08\x02\0\0\0";
const std::string pngStart(pngBytes, sizeof pngBytes - 1);

// Writes `text`, or for an empty one a page start grown (sparsely, so at once) to `hugeSize`:
// a file that large is refused by its size before any of it is read.
void writeText(const std::string& path, const std::string& text, std::size_t hugeSize) {
    ASSERT_TRUE(writeFileBytes(path, text.empty() ? "data\n<html><body><p>" : text));
    if (text.empty()) std::filesystem::resize_file(path, hugeSize);
}

// A row either opens without a word, or is refused with one notice that holds `told`.
void expectOpenedOrTold(bool opened, const RecordingScreen& screen, const char* file, const char* told) {
    if (*told == '\0') {
        EXPECT_TRUE(opened) << file;
        EXPECT_TRUE(screen.notices.empty()) << file;
        return;
    }
    EXPECT_FALSE(opened) << file;
    ASSERT_EQ(screen.notices.size(), 1u) << file;
    EXPECT_NE(screen.notices[0].find(told), std::string::npos) << screen.notices[0];
}

} // namespace

TEST(BigInputs, PagesAreOpenedOrRefusedWithAMessage) {
    hw::test::isolateHome("big-pages");
    const auto site = hw::test::freshFolder("program-big-pages");
    struct Row {
        const char* file;
        std::string text;
        const char* told; ///< part of the message, or empty when the page opens
    } rows[] = {
        {"huge.html", "", "is too large to open (50 MB"},
        {"one-line.html", "<html><body><p>" + repeated("word ", 10 * megabyte) + "</p></body></html>", ""},
        {"noise.html", randomBytes(64 * 1024), "is not a web page"},
        {"picture.html", pngStart + randomBytes(4096), "is not a web page"},
        {"bare-a.html", repeated("<a", megabyte), "has too many tags to open (524288;"},
    };
    for (const auto& row : rows) {
        const std::string path = site + "/" + row.file;
        writeText(path, row.text, 50 * megabyte);
        RecordingScreen screen;
        Session session(screen);
        const bool opened = session.pages().OpenWebPageFromPath(path);
        expectOpenedOrTold(opened, screen, row.file, row.told);
        if (!opened) {
            EXPECT_EQ(session.state().lastPage(), -1) << row.file;
        }
        removeFile(path);
    }
}

TEST(BigInputs, SchemeFilesAreOpenedOrRefusedWithAMessage) {
    hw::test::isolateHome("big-schemes");
    const auto site = hw::test::freshFolder("program-big-schemes");
    const std::string record = "data\ninitialise,?B1p$B$:B#FFCC00(52479)b,:Swatch:,%#FFCC00(52479),%%,images:endData\n\n";
    struct Row {
        const char* file;
        std::string text;
        const char* told;
    } rows[] = {
        {"huge.wsm", "", "is too large to open (40 MB"},
        {"long.wsm", record + "<html><body><p id='p'>" + repeated("word ", 20 * megabyte) + "</p></body></html>", ""},
        {"tags.wsm", record + "<html><body>" + repeated("<a", megabyte), "has too many tags"},
    };
    for (const auto& row : rows) {
        const std::string path = site + "/" + row.file;
        writeText(path, row.text, 40 * megabyte);
        RecordingScreen screen;
        Session session(screen);
        expectOpenedOrTold(session.schemes().OpenSchemeFromCommandLine(path), screen, row.file, row.told);
        removeFile(path);
    }
}
