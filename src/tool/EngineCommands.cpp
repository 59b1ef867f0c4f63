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

int runRecordBlock(const Args&, std::ostream&, std::ostream& err) { return notYet("record-block", err); }
int runFramesetBlock(const Args&, std::ostream&, std::ostream& err) { return notYet("frameset-block", err); }
int runImageRequest(const Args&, std::ostream&, std::ostream& err) { return notYet("image-request", err); }
int runWriteScheme(const Args&, std::ostream&, std::ostream& err) { return notYet("write-scheme", err); }
int runMerge(const Args&, std::ostream&, std::ostream& err) { return notYet("merge", err); }

} // namespace hw::tool
