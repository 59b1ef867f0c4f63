#include "tool/ToolCommands.h"

#include "base/Files.h"
#include "engine/WebPage.h"

#include <ostream>

namespace hw::tool {

int runInstrument(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "usage: huewright-tool instrument PAGE\n";
        return 2;
    }
    // ReadPageFile reads an unreadable file as empty text; here that must be told apart from a
    // page that is really empty.
    if (!readFileBytes(args[0])) {
        err << "huewright-tool: cannot read '" << args[0] << "'\n";
        return 2;
    }
    WebPage page;
    page.InstrumentPage(WebPage::ReadPageFile(args[0]));
    const std::string& text = page.instrumentedText.str();
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    return out ? 0 : 2;
}

} // namespace hw::tool
