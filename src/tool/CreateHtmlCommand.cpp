// The create-html subcommand: a scheme shown as the scheme view shows it, then written out as a
// finished page with no question asked.

#include "tool/ToolCommands.h"

#include "base/Files.h"
#include "engine/HtmlFile.h"
#include "engine/SchemeView.h"
#include "engine/WebScheme.h"

#include <ostream>

namespace hw::tool {

namespace {

/// The scheme view's working files serve only this run; the program would delete them when it
/// closes.
void removeWorkingFiles(const SchemeViewFiles& view) {
    removeFile(view.workingCopy);
    if (view.styleSheetCopy != noStyleMarker) removeFile(view.styleSheetCopy);
    for (const auto& frame : view.frameCopies) removeFile(frame);
    removeFile(view.swatchFile);
}

} // namespace

int runCreateHtml(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "huewright-tool: usage: create-html SCHEME OUT\n";
        return 2;
    }
    const auto view = showScheme(args[0], err);
    if (!view) return 2;
    const auto created = createHtmlFile(view->workingCopy, view->frameCopies, args[1]);
    removeWorkingFiles(*view);
    if (!created) {
        err << "huewright-tool: " << created.error() << "\n";
        return 2;
    }
    out << createdNotice(*created) << "\n";
    return 0;
}

} // namespace hw::tool
