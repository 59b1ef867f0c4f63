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
    // Either instrumented (a text that is all script may come out empty), or refused with a
    // message (absurd frame counts), writing no more frame copies than frames are allowed.
    const Status done = page.InstrumentFrameset(AnsiString(texts[0]), site + "/index.html");
    HW_FUZZ_CHECK(done || !done.error().empty());
    std::size_t copies = 0;
    for (const auto& entry : std::filesystem::directory_iterator(site))
        copies += entry.path().filename().string().starts_with("fwp");
    HW_FUZZ_CHECK(copies <= maxFrames);
    return 0;
}
