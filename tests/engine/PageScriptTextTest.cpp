// The page script as instrumentation inserts it, and the scripts the program runs in the page:
// what the build step made of the sources in src/engine/script.

#include "base/Files.h"
#include "base/Folders.h"
#include "base/PageUrl.h"
#include "embedded/pageScript.h"
#include "engine/HostScripts.h"
#include "engine/WebPage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string headOpening = "<head><script id='script' type='text/javascript'>\n";
const std::string headClosing = "\n</script>";

std::string lower(std::string text) {
    for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

struct Marker {
    std::string text;
    bool exactCase;
};

// The list as the build step reads it: "#" lines and blank lines skipped, "=" for exact case.
std::vector<Marker> forbiddenMarkers() {
    std::ifstream in(HW_PAGE_SCRIPT_MARKERS);
    std::vector<Marker> markers;
    for (std::string line; std::getline(in, line);) {
        line.erase(0, line.find_first_not_of(" \t\r"));
        line.erase(line.find_last_not_of(" \t\r") + 1);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '=') markers.push_back({line.substr(1), true});
        else markers.push_back({line, false});
    }
    return markers;
}

std::string producedText() { return std::string(hw::embedded::pageScript); }

// The script between the head wrapper's own tags.
std::string scriptBody() {
    const std::string text = producedText();
    if (text.size() < headOpening.size() + headClosing.size()) return {};
    return text.substr(headOpening.size(), text.size() - headOpening.size() - headClosing.size());
}

bool nodeAvailable() { return std::system("node --version >/dev/null 2>&1") == 0; }

// Whether node parses the text as a script (without running it).
bool nodeAccepts(const std::string& text, const std::string& name) {
    const fs::path file = fs::temp_directory_path() / ("huewright-check-" + name + ".js");
    hw::writeFileBytes(file.string(), text);
    const int status = std::system(("node --check '" + file.string() + "' 2>&1").c_str());
    fs::remove(file);
    return status == 0;
}

} // namespace

TEST(PageScriptText, HoldsNoMarkerOfTheLaterPasses) {
    const auto markers = forbiddenMarkers();
    // The list is read as it is meant: the final instrumentation pass's own searches are in it.
    for (const std::string needed : {"<$EAD>", "</head", "<body", "endData"})
        EXPECT_TRUE(std::any_of(markers.begin(), markers.end(), [&](const Marker& m) { return m.text == needed; }))
            << needed;

    const std::string body = scriptBody();
    ASSERT_FALSE(body.empty());
    for (const auto& marker : markers) {
        if (marker.exactCase) EXPECT_EQ(body.find(marker.text), std::string::npos) << marker.text;
        else EXPECT_EQ(lower(body).find(lower(marker.text)), std::string::npos) << marker.text;
    }
}

TEST(PageScriptText, IsWrappedForTheHeadOnce) {
    const std::string text = producedText();
    EXPECT_EQ(text.substr(0, headOpening.size()), headOpening);
    EXPECT_EQ(text.substr(text.size() - headClosing.size()), headClosing);
    EXPECT_EQ(count(lower(text), "<head"), 1u);
    EXPECT_EQ(count(lower(text), "<script"), 1u);
    EXPECT_EQ(count(lower(text), "</script"), 1u);
    EXPECT_EQ(count(text, "id='"), 1u);
    EXPECT_TRUE(std::all_of(text.begin(), text.end(), [](char c) { return c == '\n' || (c >= ' ' && c <= '~'); }));
}

TEST(PageScriptText, KeepsTheNamesOtherCodeUses) {
    const std::string body = scriptBody();
    // Called by the elements' handlers, the program and the tests.
    for (const std::string name : {"r", "sb", "stc", "sbc", "gkp", "guc", "un", "fi"})
        EXPECT_NE(body.find("function " + name + "("), std::string::npos) << name;
    // Read or set from outside: the click list, the record, the colour file's globals, the undo
    // position, the snapshot and the picture flag.
    for (const std::string name : {"si", "ec", "sd", "hexCode", "decCode", "u", "sco", "b"})
        EXPECT_NE(body.find("var " + name + " = "), std::string::npos) << name;
    // Globals that the picture file im.js defines for the swap.
    for (const std::string name : {"im", "op", "mod", "oc"})
        EXPECT_TRUE(std::regex_search(body, std::regex("[^.\\w'\"]" + name + "[^\\w'\"]"))) << name;
    // The expiry dates of the cookies, one per kind of paint.
    for (const std::string expiry : {"Fri, 31-Dec-2123 00:00:00 GMT;", "Thu, 30-Dec-2123 00:00:00 GMT;",
                                     "Wed, 29-Dec-2123 00:00:00 GMT;"})
        EXPECT_NE(body.find(";expires=" + expiry), std::string::npos) << expiry;
    EXPECT_EQ(count(body, "'@SWATCHBOOK_URL@'"), 3u);
    EXPECT_EQ(count(body, "'@IM_URL@'"), 1u);
}

TEST(PageScriptText, HasNoCommentsIndentationOrBlankLines) {
    std::istringstream lines(scriptBody());
    int n = 0;
    for (std::string line; std::getline(lines, line); ++n) {
        ASSERT_FALSE(line.empty()) << "line " << n;
        EXPECT_FALSE(std::isspace(static_cast<unsigned char>(line.front()))) << line;
        EXPECT_FALSE(std::isspace(static_cast<unsigned char>(line.back()))) << line;
        EXPECT_NE(line.substr(0, 2), "//") << line;
    }
    EXPECT_GT(n, 0);
}

TEST(PageScriptText, IsWhatInstrumentationInserts) {
    hw::WebPage page;
    page.InstrumentPage(hw::AnsiString("<html><head><title>t</title></head><body><p>x</p></body></html>"));
    std::string expected = producedText();
    const std::string folder = hw::tempFolder();
    expected = hw::replaceEvery(expected, "@SWATCHBOOK_URL@", hw::pageUrl(folder + "/swatchBook.js"));
    expected = hw::replaceEvery(expected, "@IM_URL@", hw::pageUrl(folder + "/im.js"));
    EXPECT_EQ(page.instrumentedText.str().substr(0, 6 + expected.size()), "<html>" + expected);
    EXPECT_EQ(expected.find('@'), std::string::npos);
}

TEST(PageScriptText, SourcesAndResultsAreValidJavaScript) {
    if (!nodeAvailable()) GTEST_SKIP() << "node is not installed";
    const fs::path scripts = fs::path(HW_SOURCE_DIR) / "src/engine/script";
    for (const char* source : {"head.js", "sb.js", "stc.js", "sbc.js", "host/undo.js", "host/ctrl-event.js"})
        EXPECT_EQ(std::system(("node --check '" + (scripts / source).string() + "' 2>&1").c_str()), 0) << source;
    EXPECT_TRUE(nodeAccepts(scriptBody(), "page"));
    EXPECT_TRUE(nodeAccepts(hw::hostUndoScript(), "undo"));
    EXPECT_TRUE(nodeAccepts(hw::hostCtrlEventScript(12.5, 40, "contextmenu"), "ctrl-event"));
}

TEST(HostScripts, CtrlEventCallCarriesItsArguments) {
    const std::string script = hw::hostCtrlEventScript(12.5, 40, "click");
    EXPECT_EQ(script.substr(0, 9), "(function");
    const std::string call = "})(12.5,40,'click')";
    EXPECT_EQ(script.substr(script.size() - call.size()), call);
    EXPECT_NE(hw::hostCtrlEventScript(0.1, 1e-3, "it's").find(")(0.1,0.001,'it\\'s')"), std::string::npos);
}

