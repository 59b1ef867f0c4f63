// Malformed cookie files, scheme files and pages: every function must end and give some text.

#include "engine/ChangeRecord.h"
#include "engine/RecordMerge.h"
#include "engine/SchemeFile.h"
#include "engine/WebPage.h"

#include "base/Files.h"
#include "engine/RecordTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace hw {
namespace {

std::vector<std::string> malformedTexts() {
    const std::string record = "initialise,?B1b$B$:B#FFCC00(52479)b,:Swatch:,%#FFCC00(52479),%%,images:endData";
    std::vector<std::string> texts = {
        "",
        "data",
        "data\n",
        "\n\n\n",
        "*\n*\n*",
        "~~local~~",
        "*\n~~local~~/x/\n",
        "data\n" + record,
        "data\n" + record.substr(0, 30),
        "data\ninitialise,?B1b$B$:B#FFCC00(52479)b?B?B?B$B$,%#,%%",
        "data\ninitialise,?B$B$)b,?C)c,?D$D$:D#)d,B#B#BB#)b)b,%#%#),%%%#)),endData",
        "data\ninitialise,)b,?B1b$B$:B#FFCC00(52479)b,:Swatch:,%#FFCC00(52479)%#x),%%endData\n",
        "data\ninitialise,?IM?IM$IM$^^,?IM1img$IM$:IM&&$rs$&im?mod$mod$^oc^^images:?IMendData",
        "data\n?IM1img$IM$:IM&&a\n*\n",
        "frameC[",
        "frameC[x]\ninitialise,frameE[x]\n*\nframeC[0]\ninitialise,?B1b$B$:B#FFCC00(52479)b,frameE[\n*\n",
        "frameC[99999999999999999999]\nv\n*\nframeC[]\nv\n*\nframeC[-1]\nv\n*\n",
        "frameC[3]\ninitialise,?B1b$B$:B#FFCC00(52479)b,frameE[3]frameC[3]\n*\n",
        "file:///\n\n*\nfile://\n*\nfile:///%\n\n*\nfile:///%zz%4\n\n*\n",
        "huewright://page\n\n*\n",
        "<html><LINK<LINK href=.CSS<link<STYLE<STYLE></STYLE></html>",
        "<link rel=stylesheet href=",
        "<link href='.css'>",
        "<link href=\"\".css>",
        "<STYLE></STYLE><STYLE>",
        "<frameset><frame<FRAME<frame src=<FRAME SRC=><FRAME src='x.htm",
        "<FRAMESET>srcsrc=src =SRC SRC= SRC =S\xA3" "RC=<\xA3" "FRAMESET<frame src=\"unterminated",
        "<frameset><frame src=../../../../../../nonexistent/x.htm></frameset>",
        std::string("data\n\0\0\0initialise,\0?B", 22),
        "\r\n\r\ndata\r\n" + record + "\r\n~~local~~/\r\n*\r\n",
    };
    // Binary noise, and noise salted with the markers the algorithms look for.
    std::mt19937 random(12345);
    const char* markers[] = {"data\n", "?B", "$B$", ":B#", ")b,", "?C", ")c,", "?IM", "$IM$", "^^", "%#", "),", "%%",
                             "images:", "endData", "frameC[1]\n", "frameE[1]", "~~local~~", "\n*\n", "file:///", "<link",
                             "<LINK", ".CSS", "href=", "<STYLE", "</STYLE>", "<frame", "src=", "<html", "</html>", ">"};
    for (int i = 0; i < 40; ++i) {
        std::string noise;
        for (int k = 0; k < 400; ++k) {
            if (random() % 3 == 0) noise += markers[random() % std::size(markers)];
            else noise += static_cast<char>(random() % 256);
        }
        texts.push_back(noise);
    }
    return texts;
}

TEST(RecordRobustness, MalformedCookiesSchemesAndPagesEnd) {
    const std::string folder = std::string(HW_TEST_DATA) + "/schemes/worked";
    const std::string goodScheme = test::readAll(folder + "/expected.wsm");
    const auto texts = malformedTexts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE("input " + std::to_string(i));
        const AnsiString text(texts[i]);
        parseCookieFile(text);
        pageRecordBlockOf(text);
        framesetRecordBlockOf(text);
        imageRequestPathOf(text);
        for (char letter : {'B', 'C', 'D'}) {
            AnsiString walk = text;
            ColourEntry e;
            int steps = 0;
            while (takeColourEntry(walk, letter, e)) ASSERT_LE(++steps, text.Length()) << "a reader must advance";
        }
        AnsiString walk = text;
        ImageEntry image;
        int steps = 0;
        while (takeImageEntry(walk, image)) ASSERT_LE(++steps, text.Length());
        swatchListOf(text);

        singlePageSchemeText(text, text, folder);
        framesetSchemeText(text, text, folder);
        // As the scheme file, as the cookie file, and both.
        mergeRecordText(texts[i], AnsiString(goodScheme));
        mergeRecordText(goodScheme, text);
        mergeRecordText(texts[i], text);
        mergeFrameRecordsText(texts[i], text);
        mergeFrameRecordsText(goodScheme, text);
    }
}

TEST(RecordRobustness, EveryCorpusPageGivesASchemeFile) {
    namespace fs = std::filesystem;
    const std::string corpus = HW_CORPUS;
    if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    const AnsiString block("data\ninitialise,:Swatch:,%%,images:endData\n\n");
    int pages = 0;
    for (const auto& item : fs::recursive_directory_iterator(corpus)) {
        const std::string ext = item.path().extension().string();
        if (!item.is_regular_file() || (ext != ".html" && ext != ".htm")) continue;
        const std::string path = item.path().string();
        const AnsiString page = WebPage::ReadPageFile(path);
        ++pages;
        if (isFramesetText(page)) {
            const std::string text = framesetSchemeText("", page, folderOf(path)).str();
            EXPECT_NE(text.find("[endIndexString]"), std::string::npos) << path;
            EXPECT_EQ(text.find("<FRAME "), std::string::npos) << path;
        } else {
            const std::string text = singlePageSchemeText(block, page, folderOf(path)).str();
            EXPECT_NE(text.find("</HTML>"), std::string::npos) << path;
            EXPECT_EQ(text.find("<LINK"), std::string::npos) << path;
        }
    }
    EXPECT_GT(pages, 0);
}

} // namespace
} // namespace hw
