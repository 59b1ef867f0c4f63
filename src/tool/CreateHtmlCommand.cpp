// The create-html subcommand: a scheme shown as the scheme view shows it, then written out as a
// finished page with no question asked.

#include "tool/ToolCommands.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "blender/ImageBlender.h"
#include "blender/MagickLibrary.h"
#include "engine/HtmlFile.h"
#include "engine/SchemeView.h"
#include "engine/WebScheme.h"

#include <ostream>

namespace hw::tool {

namespace {

class RecreatedPictures : public PictureMaker {
public:
    explicit RecreatedPictures(std::ostream& err) : m_err(err) {}
    std::string recreate(const std::string& sourcePath, const std::string& modulation,
                         const std::string& oldColour) override {
        auto copy = recreateImage(sourcePath, modulation, oldColour);
        // The element keeps its own picture; the user of the tool still hears why.
        if (!copy) m_err << "huewright-tool: " << copy.error() << "\n";
        return copy ? *copy : std::string();
    }

private:
    std::ostream& m_err;
};

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
    if (!ensureFolders()) {
        err << "huewright-tool: the folder " << tempFolder() << " cannot be made\n";
        return 2;
    }
    MagickLibrary library;
    RecreatedPictures pictures(err);
    const auto view = buildSchemeView(args[0], false, pictures);
    if (!view) {
        err << "huewright-tool: " << view.error() << "\n";
        return 2;
    }
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
