// A change record taken apart entry by entry, as the merge and the scheme view walk it.

#include "FuzzSupport.h"

#include "engine/ChangeRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hw;
    const AnsiString record(fuzz::text(data, size));
    // Each taken entry removes at least one character, so a walk takes at most `size` entries.
    for (const char letter : {'B', 'C', 'D'}) {
        AnsiString walked = record;
        ColourEntry entry;
        std::size_t taken = 0;
        while (takeColourEntry(walked, letter, entry)) HW_FUZZ_CHECK(++taken <= size);
        HW_FUZZ_CHECK(!hasColourEntry(walked, letter));
    }
    AnsiString walked = record;
    ImageEntry image;
    std::size_t taken = 0;
    while (takeImageEntry(walked, image)) HW_FUZZ_CHECK(++taken <= size);
    HW_FUZZ_CHECK(!hasImageEntry(walked));
    swatchListOf(record);
    return 0;
}
