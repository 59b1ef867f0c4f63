// Subcommands of this capability; not built yet.

#include "tool/ToolCommands.h"

#include <ostream>

namespace hw::tool {

namespace {
int notYet(const char* name, std::ostream& err) {
    err << "huewright-tool: " << name << " is not available yet\n";
    return 2;
}
} // namespace

int runColour(const Args&, std::ostream&, std::ostream& err) { return notYet("colour", err); }
int runBook(const Args&, std::ostream&, std::ostream& err) { return notYet("book", err); }
int runSuggest(const Args&, std::ostream&, std::ostream& err) { return notYet("suggest", err); }

} // namespace hw::tool
