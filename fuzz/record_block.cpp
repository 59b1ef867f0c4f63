// A cookie file's text through the readers of the record blocks and the picture request.

#include "FuzzSupport.h"

#include "engine/ChangeRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hw;
    const AnsiString cookie(fuzz::text(data, size));
    const auto records = parseCookieFile(cookie);
    // Every record has a name line; a text of n bytes holds at most n + 1 records.
    HW_FUZZ_CHECK(records.size() <= size + 1);

    const AnsiString page = pageRecordBlockOf(cookie);
    HW_FUZZ_CHECK(page.IsEmpty() || page.str().starts_with("data\n"));
    const AnsiString frames = framesetRecordBlockOf(cookie);
    HW_FUZZ_CHECK(frames.IsEmpty() || frames.str().starts_with("frameC["));
    const AnsiString picture = imageRequestPathOf(cookie);
    HW_FUZZ_CHECK(picture.str().find('\n') == std::string::npos);
    return 0;
}
