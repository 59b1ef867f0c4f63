// A scheme file shown again: its text applied to its page, its swatch list made into cards,
// and its working files built. Input: the scheme file, then a swatch file's text.

#include "FuzzSupport.h"

#include "engine/SchemeView.h"

namespace {

/// Makes no pictures: the elements keep their own.
class NoPictures : public hw::PictureMaker {
public:
    std::string recreate(const std::string&, const std::string&, const std::string&) override { return {}; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hw;
    const std::string& site = fuzz::clearSite();
    const auto texts = fuzz::parts(data, size, 2);
    NoPictures pictures;

    const AnsiString scheme(texts[0]);
    const AppliedPage applied = applySchemeToPageText(scheme, "ss1.tmp", pictures);
    // Three colours to a card; a card is made for every started group of three.
    const auto cards = readSwatchFileText(swatchFileText(applied.swatchList, "blue.wsm"));
    for (const auto& card : cards) HW_FUZZ_CHECK(card.GetTitle().str() == "blue");
    readSwatchFileText(texts[1]);
    isFramesetSchemeText(scheme);

    fuzz::put(site + "/s.wsm", texts[0]);
    (void)buildSchemeView(site + "/s.wsm", size % 2 == 1, pictures);
    return 0;
}
