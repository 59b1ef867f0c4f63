// A page's text through instrumentation, and the text passes it is made of.

#include "FuzzSupport.h"

#include "engine/WebPage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hw;
    fuzz::work();
    // A page is read up to its first zero byte (WebPage::ReadPageFile).
    std::string text = fuzz::text(data, size);
    text.resize(std::min(text.size(), text.find('\0')));

    WebPage page;
    page.InstrumentPage(AnsiString(text));
    // The page script always goes in, whatever the page.
    HW_FUZZ_CHECK(!page.instrumentedText.IsEmpty());

    AnsiString disarmed(text);
    disarmPageScripts(disarmed);
    AnsiString marked(text);
    markFramesetSources(marked);
    isFramesetText(marked);
    elementIdOf(text, "fallback");
    return 0;
}
