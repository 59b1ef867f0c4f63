#include "tool/ToolCommands.h"

#include <ostream>

namespace hw::tool {

int runInstrument(const Args&, std::ostream&, std::ostream& err) {
    err << "huewright-tool: instrument is not available yet\n";
    return 2;
}

} // namespace hw::tool
