#include "base/Files.h"
#include "base/Folders.h"
#include "blender/ImageBlender.h"
#include "blender/MagickLibrary.h"
#include "blender/Modulation.h"
#include "blender/ParameterFile.h"

#include "support/ToolRun.h"

#include <gtest/gtest.h>
#include <wand/MagickWand.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const hw::MagickLibrary library;

hw::TColor hex(unsigned rrggbb) { return hw::rgbColor((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF); }

using hw::test::shellQuoted;

struct CommandRun {
    int status = -1;
    std::string output;
};

CommandRun run(const std::string& command) {
    CommandRun r;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return r;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) r.output.append(buffer, n);
    const int status = ::pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

bool haveConvert() { return std::system("command -v convert >/dev/null 2>&1 && command -v compare >/dev/null 2>&1") == 0; }

/// The number of differing pixels as `compare -metric AE` counts them.
std::string pixelDifference(const std::string& a, const std::string& b) {
    std::string out = run("compare -metric AE " + shellQuoted(a) + " " + shellQuoted(b) + " null:").output;
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

/// The wand's modulate call hands its numbers to the library as "%g" text (six significant
/// digits), so the command gets them in that form to be given the very same numbers.
std::string wandNumber(double x) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", x);
    return buffer;
}

/// What `convert` makes of `source` with the same numbers, written to `out`.
std::string convertReference(const std::string& source, const hw::LibraryModulation& lib, const std::string& out) {
    const std::string modulate =
        "-modulate " + wandNumber(lib.brightness) + "," + wandNumber(lib.saturation) + "," + wandNumber(lib.hue);
    const std::string ops = lib.negate ? "-negate " + modulate + " -negate" : modulate;
    const CommandRun r = run("convert " + shellQuoted(source) + " " + ops + " " + shellQuoted(out));
    return r.status == 0 ? out : "convert failed: " + r.output;
}

/// A small picture of our own: a gradient from the picked colour to a light one.
void makePicture(const std::string& path, int frames = 1) {
    MagickWand* wand = NewMagickWand();
    MagickSetSize(wand, 40, 30);
    for (int i = 0; i < frames; ++i)
        MagickReadImage(wand, i == 0 ? "gradient:#3366CC-#FFCC00" : "gradient:#CC3333-#FFFFFF");
    if (frames == 1) MagickWriteImage(wand, path.c_str());
    else MagickWriteImages(wand, path.c_str(), MagickTrue);
    DestroyMagickWand(wand);
}

std::size_t frameCount(const std::string& path) {
    MagickWand* wand = NewMagickWand();
    const std::size_t n = MagickReadImage(wand, path.c_str()) ? MagickGetNumberImages(wand) : 0;
    DestroyMagickWand(wand);
    return n;
}

std::vector<std::string> recolouredFiles() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(hw::tempFolder(), ec)) {
        const std::string name = e.path().filename().string();
        if (name.rfind("im", 0) == 0 && name != "im.js") names.push_back(name);
    }
    return names;
}

std::string imJs() { return hw::readFileOrEmpty(hw::tempFolder() + "/im.js"); }

class Recolour : public ::testing::Test {
protected:
    void SetUp() override {
        // ctest runs these tests in parallel processes; each needs a Temp folder of its own,
        // since the sweeps delete every recoloured copy there.
        static const std::string home = "/tmp/hw-blender-" + std::to_string(::getpid());
        ::setenv("HUEWRIGHT_HOME", home.c_str(), 1);
        ASSERT_TRUE(hw::ensureFolders());
        hw::sweepRecolouredCopies();
        m_pictures = hw::systemFolder() + "/pictures";
        fs::remove_all(m_pictures);
        fs::create_directories(m_pictures);
    }
    void TearDown() override { hw::sweepRecolouredCopies(); }

    std::string picture(const std::string& name, int frames = 1) {
        const std::string path = m_pictures + "/" + name;
        fs::create_directories(hw::folderOf(path));
        makePicture(path, frames);
        return path;
    }

    std::string m_pictures;
};

} // namespace

TEST_F(Recolour, CorpusPicturesMatchTheLibraryCommand) {
    if (!haveConvert()) GTEST_SKIP() << "convert and compare are not installed";
    struct Picture {
        const char* path;
        const char* magic;
    };
    const std::vector<Picture> pictures = {{"libtiff-html/images/dave.gif", "GIF8"},
                                           {"libtiff-html/images/bali.jpg", "\xff\xd8"},
                                           {"libxslt-site/epatents.png", "\x89PNG"}};
    const std::vector<std::pair<unsigned, unsigned>> changes = {
        {0x3366CC, 0xCC3333}, // equally bright: modulate alone
        {0x3366CC, 0x1A3366}, // darker: negate, modulate, negate
        {0x808080, 0x33CC33}, // grey pick, brighter
        {0xFFCC00, 0x336699}, // darker with a hue turn
    };
    int tried = 0;
    for (const auto& pic : pictures) {
        const std::string source = std::string(HW_CORPUS) + "/" + pic.path;
        if (!hw::fileExists(source)) continue;
        for (const auto& [oldHex, newHex] : changes) {
            SCOPED_TRACE(std::string(pic.path) + " " + std::to_string(oldHex) + " -> " + std::to_string(newHex));
            const auto result = hw::recolourSourcePicture(source, hex(oldHex), hex(newHex));
            ASSERT_TRUE(result.ok()) << result.error();
            EXPECT_EQ(hw::readFileOrEmpty(result.value()).rfind(pic.magic, 0), 0u) << "not in the picture's format";
            const auto lib = hw::libraryModulationBetween(hex(oldHex), hex(newHex));
            const std::string reference =
                convertReference(source, lib, m_pictures + "/reference" + fs::path(source).extension().string());
            EXPECT_EQ(pixelDifference(result.value(), reference), "0");
            ++tried;
        }
    }
    if (tried == 0) GTEST_SKIP() << "no corpus pictures in " << HW_CORPUS;
}

TEST_F(Recolour, WritesParameterFileAndSwapScript) {
    const std::string source = picture("logo.png");
    const auto result = hw::recolourImage("\n" + source + "\n", hex(0x3366CC), hex(0xCC3333));
    ASSERT_TRUE(result.ok()) << result.error();
    EXPECT_EQ(hw::folderOf(result.value()), hw::tempFolder());
    const std::string name = hw::fileNameOf(result.value());
    EXPECT_EQ(name.rfind("im", 0), 0u);
    EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
    EXPECT_EQ(hw::readFileOrEmpty(hw::parameterFilePath(result.value())),
              source + "\r\n13395507\r\n140\r\n100\r\n100");
    EXPECT_EQ(imJs(), "var\r\nim='" + result.value() + "';\r\nvar\r\nop='" + source +
                          "';\r\nvar\r\nmod='?mod(100,100,,140)$mod$';\r\nvar\r\noc='^oc13395507^^';");
}

TEST_F(Recolour, TwiceKeepsOneCopyComposedFromTheSource) {
    const std::string source = picture("banner.png");
    const auto first = hw::recolourImage(source, hex(0x3366CC), hex(0xCC3333)); // turn 140
    ASSERT_TRUE(first.ok()) << first.error();
    const auto second = hw::recolourImage(first.value(), hex(0xCC3333), hex(0x33CC33)); // turn 120
    ASSERT_TRUE(second.ok()) << second.error();
    EXPECT_EQ(second.value(), first.value());
    const auto third = hw::recolourImage(second.value(), hex(0x3366CC), hex(0xCC3333)); // turn 140
    ASSERT_TRUE(third.ok()) << third.error();
    EXPECT_EQ(third.value(), first.value());
    EXPECT_EQ(recolouredFiles().size(), 2u) << "one copy and its parameter file";

    // The combined turn of 400 degrees is kept whole and applied as 40.
    const hw::Modulation composed{400, 100, 100};
    EXPECT_EQ(hw::readFileOrEmpty(hw::parameterFilePath(first.value())),
              source + "\r\n13395507\r\n400\r\n100\r\n100");
    EXPECT_EQ(imJs(), hw::imJsText(first.value(), source, composed, 13395507));
    if (!haveConvert()) GTEST_SKIP() << "convert is not installed";
    const auto lib = hw::libraryModulationFor(composed, 13395507);
    EXPECT_DOUBLE_EQ(lib.hue, hw::libraryHue(40));
    EXPECT_EQ(pixelDifference(first.value(), convertReference(source, lib, m_pictures + "/reference.png")), "0");
}

TEST_F(Recolour, DarkeningACopyComposesThePercentages) {
    const std::string source = picture("photo.png");
    const auto first = hw::recolourImage(source, hex(0x3366CC), hex(0x1A3366)); // value 80 -> 40
    ASSERT_TRUE(first.ok()) << first.error();
    const auto second = hw::recolourImage(first.value(), hex(0x1A3366), hex(0x0D1A33)); // value 40 -> 20
    ASSERT_TRUE(second.ok()) << second.error();
    const auto params = hw::parseParameterFile(hw::readFileOrEmpty(hw::parameterFilePath(first.value())));
    ASSERT_TRUE(params);
    EXPECT_EQ(params->modulation.brightness, 25.0f);
    if (!haveConvert()) GTEST_SKIP() << "convert is not installed";
    const auto lib = hw::libraryModulationFor(params->modulation, params->oldColour);
    EXPECT_TRUE(lib.negate);
    EXPECT_EQ(pixelDifference(first.value(), convertReference(source, lib, m_pictures + "/reference.png")), "0");
}

TEST_F(Recolour, RecreateGivesTheSameCopyUnderANewName) {
    const std::string source = picture("logo.gif");
    for (const auto& [newHex, text] : std::vector<std::pair<unsigned, std::string>>{{0xCC3333, "(100,100,,140)"},
                                                                                    {0x1A3366, "(50,100,,0)"}}) {
        SCOPED_TRACE(text);
        const auto fresh = hw::recolourSourcePicture(source, hex(0x3366CC), hex(newHex));
        ASSERT_TRUE(fresh.ok()) << fresh.error();
        const auto again = hw::recreateImage(source, text, "13395507");
        ASSERT_TRUE(again.ok()) << again.error();
        EXPECT_NE(again.value(), fresh.value());
        EXPECT_EQ(hw::readFileOrEmpty(hw::parameterFilePath(again.value())),
                  hw::readFileOrEmpty(hw::parameterFilePath(fresh.value())));
        if (haveConvert()) {
            EXPECT_EQ(pixelDifference(again.value(), fresh.value()), "0");
        }
    }
}

TEST_F(Recolour, FailuresLeaveNoCopyBehind) {
    const std::string text = m_pictures + "/notes.gif";
    hw::writeFileBytes(text, "this is not a picture\n");
    fs::create_directories(m_pictures + "/folder.gif");
    hw::writeFileBytes(hw::tempFolder() + "/im.js", "earlier");
    for (const std::string& path : {m_pictures + "/missing.gif", text, m_pictures + "/folder.gif", std::string()}) {
        const auto r = hw::recolourImage(path, hex(0x3366CC), hex(0xCC3333));
        EXPECT_FALSE(r.ok()) << path;
        EXPECT_NE(r.error().find(path), std::string::npos) << r.error();
    }
    const std::string source = picture("logo.png");
    for (const auto& [mod, colour] : std::vector<std::pair<std::string, std::string>>{
             {"(100,100,140)", "13395507"}, {"", "13395507"}, {"(100,100,,140)", "blue"}, {"(100,100,,140)", ""}}) {
        const auto r = hw::recreateImage(source, mod, colour);
        EXPECT_FALSE(r.ok()) << mod << " " << colour;
        EXPECT_FALSE(r.error().empty());
    }
    EXPECT_TRUE(recolouredFiles().empty());
    EXPECT_EQ(imJs(), "earlier");
}

TEST_F(Recolour, FailedRebuildKeepsTheEarlierCopy) {
    const std::string source = picture("logo.png");
    const auto first = hw::recolourImage(source, hex(0x3366CC), hex(0xCC3333));
    ASSERT_TRUE(first.ok()) << first.error();
    const std::string dat = hw::parameterFilePath(first.value());
    const std::string copyBytes = hw::readFileOrEmpty(first.value());
    const std::string datBytes = hw::readFileOrEmpty(dat);
    const std::string script = imJs();

    hw::removeFile(source);
    const auto vanished = hw::recolourImage(first.value(), hex(0xCC3333), hex(0x33CC33));
    EXPECT_FALSE(vanished.ok());
    EXPECT_NE(vanished.error().find(source), std::string::npos) << vanished.error();

    hw::writeFileBytes(hw::tempFolder() + "/imBAD.tmp", copyBytes);
    hw::writeFileBytes(hw::tempFolder() + "/imBAD.dat", source + "\r\nnot a colour\r\n");
    EXPECT_FALSE(hw::recolourImage(hw::tempFolder() + "/imBAD.tmp", hex(0xCC3333), hex(0x33CC33)).ok());
    hw::removeFile(hw::tempFolder() + "/imBAD.tmp");
    hw::removeFile(hw::tempFolder() + "/imBAD.dat");

    EXPECT_EQ(hw::readFileOrEmpty(first.value()), copyBytes);
    EXPECT_EQ(hw::readFileOrEmpty(dat), datBytes);
    EXPECT_EQ(imJs(), script);
    EXPECT_EQ(recolouredFiles().size(), 2u);
}

TEST_F(Recolour, UnwritableTempFolderIsReported) {
    const std::string source = picture("logo.png");
    const std::string home = hw::systemFolder();
    const std::string other = m_pictures + "/broken-home";
    fs::create_directories(other);
    hw::writeFileBytes(other + "/Temp", "a file where the Temp folder should be");
    ::setenv("HUEWRIGHT_HOME", other.c_str(), 1);
    const auto fresh = hw::recolourImage(source, hex(0x3366CC), hex(0xCC3333));
    const auto rebuilt = hw::recreateImage(source, "(100,100,,140)", "13395507");
    ::setenv("HUEWRIGHT_HOME", home.c_str(), 1);
    EXPECT_FALSE(fresh.ok());
    EXPECT_NE(fresh.error().find(other + "/Temp"), std::string::npos) << fresh.error();
    EXPECT_FALSE(rebuilt.ok());
}

TEST_F(Recolour, PathsWithBlanksAndAccents) {
    const std::string source = picture("Mes images/caf\xc3\xa9 logo.png");
    const auto result = hw::recolourImage(source, hex(0x3366CC), hex(0x1A3366));
    ASSERT_TRUE(result.ok()) << result.error();
    EXPECT_NE(imJs().find("op='" + source + "';"), std::string::npos);
    EXPECT_EQ(hw::parseParameterFile(hw::readFileOrEmpty(hw::parameterFilePath(result.value())))->sourcePath, source);
    EXPECT_EQ(frameCount(result.value()), 1u);
    // A folder name with ".tmp" in it does not make a source picture a recoloured copy.
    const std::string odd = picture("site.tmp/pic.png");
    const auto oddResult = hw::recolourImage(odd, hex(0x3366CC), hex(0xCC3333));
    ASSERT_TRUE(oddResult.ok()) << oddResult.error();
    EXPECT_NE(oddResult.value(), odd);
    EXPECT_TRUE(hw::fileExists(odd));
}

TEST_F(Recolour, AnimationKeepsEveryFrame) {
    const std::string source = picture("spinner.gif", 2);
    ASSERT_EQ(frameCount(source), 2u);
    const auto result = hw::recolourImage(source, hex(0x3366CC), hex(0xCC3333));
    ASSERT_TRUE(result.ok()) << result.error();
    EXPECT_EQ(frameCount(result.value()), 2u);
}

TEST_F(Recolour, SweepRemovesOnlyRecolouringFiles) {
    const std::string source = picture("logo.png");
    for (unsigned newHex : {0xCC3333u, 0x33CC33u, 0x1A3366u}) ASSERT_TRUE(hw::recolourImage(source, hex(0x3366CC), hex(newHex)).ok());
    ASSERT_TRUE(hw::recreateImage(source, "(100,100,,140)", "13395507").ok());
    hw::writeFileBytes(hw::tempFolder() + "/swatchBook.js", "x");
    EXPECT_EQ(recolouredFiles().size(), 8u);
    hw::sweepRecolouredCopies();
    EXPECT_TRUE(recolouredFiles().empty());
    EXPECT_FALSE(hw::fileExists(hw::tempFolder() + "/im.js"));
    EXPECT_TRUE(hw::fileExists(hw::tempFolder() + "/swatchBook.js"));
}

TEST_F(Recolour, ToolSubcommands) {
    using hw::test::runTool;
    hw::test::ToolRun r = runTool("hsv 51 102 204");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "220 75 80\n");
    r = runTool("modulation 13395507 3355596");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "140\n100\n100\n0\n100\n100\n177.777777777778\n");
    const std::string source = picture("tool logo.png");
    r = runTool("recolour " + shellQuoted(source) + " 13395507 3355596");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string copy = r.out.substr(0, r.out.find('\n'));
    EXPECT_EQ(hw::folderOf(copy), hw::tempFolder());
    EXPECT_TRUE(hw::fileExists(copy));
    EXPECT_EQ(imJs(), hw::imJsText(copy, source, {140, 100, 100}, 13395507));
    r = runTool("recreate " + shellQuoted(source) + " '(100,100,,140)' 13395507");
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string again = r.out.substr(0, r.out.find('\n'));
    EXPECT_NE(again, copy);
    if (haveConvert()) {
        EXPECT_EQ(pixelDifference(again, copy), "0");
    }
    for (const std::string& bad : std::vector<std::string>{"hsv 1 2", "hsv 1 2 256", "hsv a b c", "modulation 1", "modulation x 2",
                                   "modulation 1 16777216", "recolour " + shellQuoted(m_pictures + "/none.gif") + " 1 2",
                                   "recolour " + shellQuoted(source) + " 1", "recreate " + shellQuoted(source) + " '(1,2,3)' 0",
                                   "recreate " + shellQuoted(source) + " '(100,100,,140)' x"}) {
        r = runTool(bad);
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_FALSE(r.err.empty()) << bad;
    }
}
