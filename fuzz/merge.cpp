// A record from the cookie store merged into a scheme file, as a single page and as a frameset.
// Input: the scheme file's bytes, then the cookie text.

#include "FuzzSupport.h"

#include "engine/RecordMerge.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hw;
    const auto texts = fuzz::parts(data, size, 2);
    const std::string& scheme = texts[0];
    const AnsiString cookie(texts[1]);
    // Either merge may meet either kind of scheme file.
    const std::string single = mergeRecordText(scheme, cookie);
    const std::string frames = mergeFrameRecordsText(scheme, cookie);
    HW_FUZZ_CHECK(!single.empty() || scheme.empty());
    HW_FUZZ_CHECK(!frames.empty() || scheme.empty() || cookie.IsEmpty());

    AnsiString target(scheme);
    mergeRecordInto(target, cookie, "BCD", "endData");
    return 0;
}
