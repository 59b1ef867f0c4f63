// The scheme writers' texts. Input: the cookie text, the page (a frameset when it says so), the
// stylesheet "s.css" and the frame page "f1.htm" beside it.

#include "FuzzSupport.h"

#include "engine/ChangeRecord.h"
#include "engine/SchemeFile.h"
#include "engine/WebPage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hw;
    const std::string& site = fuzz::clearSite();
    auto texts = fuzz::parts(data, size, 4);
    texts[1].resize(std::min(texts[1].size(), texts[1].find('\0')));
    fuzz::put(site + "/s.css", texts[2]);
    fuzz::put(site + "/f1.htm", texts[3]);

    const AnsiString cookie(texts[0]);
    const AnsiString page(texts[1]);
    const AnsiString scheme = isFramesetText(page) ? framesetSchemeText(framesetRecordBlockOf(cookie), page, site)
                                                   : singlePageSchemeText(pageRecordBlockOf(cookie), page, site);
    HW_FUZZ_CHECK(!scheme.IsEmpty());

    keepStyleSheetLinks(texts[1]);
    int last = -1;
    numberFrameSources(texts[1], [&](int n, const std::string&) {
        // Frames are numbered in tag order from 0.
        HW_FUZZ_CHECK(n == last + 1);
        last = n;
    });
    return 0;
}
