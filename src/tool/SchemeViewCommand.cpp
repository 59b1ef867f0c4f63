// The scheme-view subcommand: a scheme file's working files, built as the scheme view builds
// them, with pictures recoloured by the image blender.

#include "tool/ToolCommands.h"

#include "base/Folders.h"
#include "blender/ImageBlender.h"
#include "blender/MagickLibrary.h"
#include "engine/SchemeView.h"

#include <ostream>

namespace hw::tool {

namespace {

class BlenderPictures : public PictureMaker {
public:
    explicit BlenderPictures(std::ostream& err) : m_err(err) {}
    std::string recreate(const std::string& sourcePath, const std::string& modulation,
                         const std::string& oldColour) override {
        const Result<std::string> r = recreateImage(sourcePath, modulation, oldColour);
        // The page keeps its own picture; the user of the tool still hears why.
        if (!r) m_err << "huewright-tool: " << r.error() << "\n";
        return r ? *r : std::string();
    }

private:
    std::ostream& m_err;
};

} // namespace

std::optional<SchemeViewFiles> showScheme(const std::string& scheme, std::ostream& err) {
    if (!ensureFolders()) {
        err << "huewright-tool: the folder " << tempFolder() << " cannot be made\n";
        return std::nullopt;
    }
    MagickLibrary library;
    BlenderPictures pictures(err);
    auto view = buildSchemeView(scheme, false, pictures);
    if (!view) {
        err << "huewright-tool: " << view.error() << "\n";
        return std::nullopt;
    }
    return std::move(*view);
}

int runSchemeView(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        err << "huewright-tool: usage: scheme-view SCHEME\n";
        return 2;
    }
    const auto view = showScheme(args[0], err);
    if (!view) return 2;
    out << view->workingCopy << "\n" << view->swatchFile << "\n";
    return 0;
}

} // namespace hw::tool
