// A frameset through instrumentation. Input: the frameset, then the text of the frame page
// "f1.htm" beside it.

#include "FuzzSupport.h"

#include "engine/WebPage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hw;
    const std::string& site = fuzz::clearSite();
    auto texts = fuzz::parts(data, size, 2);
    texts[0].resize(std::min(texts[0].size(), texts[0].find('\0')));
    fuzz::put(site + "/f1.htm", texts[1]);

    WebPage page;
    // Either instrumented, or refused with a message (absurd frame counts).
    const Status done = page.InstrumentFrameset(AnsiString(texts[0]), site + "/index.html");
    HW_FUZZ_CHECK(done ? texts[0].empty() || !page.framesetText.IsEmpty() : !done.error().empty());
    return 0;
}
