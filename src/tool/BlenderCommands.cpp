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

int runHsv(const Args&, std::ostream&, std::ostream& err) { return notYet("hsv", err); }
int runModulation(const Args&, std::ostream&, std::ostream& err) { return notYet("modulation", err); }
int runRecolour(const Args&, std::ostream&, std::ostream& err) { return notYet("recolour", err); }
int runRecreate(const Args&, std::ostream&, std::ostream& err) { return notYet("recreate", err); }

} // namespace hw::tool
