// The export-stylesheet subcommand: a scheme's colours as a stylesheet for its page.

#include "tool/ToolCommands.h"

#include "engine/SchemeStylesheet.h"

#include <ostream>

namespace hw::tool {

int runExportStylesheet(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "huewright-tool: usage: export-stylesheet SCHEME OUT\n";
        return 2;
    }
    const auto written = exportSchemeStyleSheet(args[0], args[1], todayText());
    if (!written) {
        err << "huewright-tool: " << written.error() << "\n";
        return 2;
    }
    for (const auto& path : *written) out << path << "\n";
    return 0;
}

} // namespace hw::tool
