#include "engine/WebPage.h"

#include "base/Files.h"

namespace hw {

AnsiString WebPage::ReadPageFile(const std::string& path) {
    std::string bytes = readFileOrEmpty(path);
    const auto zero = bytes.find('\0');
    if (zero != std::string::npos) bytes.resize(zero);
    return AnsiString(std::move(bytes));
}

void WebPage::InstrumentPage(const AnsiString& text) { instrumentedText = text; }

void WebPage::InstrumentFrameset(const AnsiString& text, const std::string&) { framesetText = text; }

bool isFramesetText(const AnsiString& text) { return text.Contains("<frameset") || text.Contains("<FRAMESET"); }

} // namespace hw
