// A swatch book file read, written back and read again.

#include "FuzzSupport.h"

#include "swatches/SwatchBookFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hw;
    const Result<BookContents> book = parseBookText(fuzz::text(data, size));
    if (!book) {
        HW_FUZZ_CHECK(!book.error().empty());
        return 0;
    }
    HW_FUZZ_CHECK(book->lastCard >= -1 && book->lastCard <= maxCards - 1);
    // What was read is written so that it reads back the same: saving a book loses nothing.
    const Result<BookContents> again = parseBookText(bookFileText(book->cards, book->lastCard, true));
    HW_FUZZ_CHECK(again && again->lastCard == book->lastCard);
    for (int i = 0; i <= book->lastCard; ++i) {
        const SwatchBook& a = book->cards[static_cast<std::size_t>(i)];
        const SwatchBook& b = again->cards[static_cast<std::size_t>(i)];
        HW_FUZZ_CHECK(a.GetColor1() == b.GetColor1() && a.GetColor2() == b.GetColor2() && a.GetColor3() == b.GetColor3());
        HW_FUZZ_CHECK(a.GetCaption1().str() == b.GetCaption1().str() && a.GetCaption2().str() == b.GetCaption2().str() &&
                      a.GetCaption3().str() == b.GetCaption3().str());
        HW_FUZZ_CHECK(a.GetTitle().str() == b.GetTitle().str());
    }
    return 0;
}
