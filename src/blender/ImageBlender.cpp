#include "blender/ImageBlender.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "blender/MagickLibrary.h"
#include "blender/Modulation.h"
#include "blender/ParameterFile.h"

#include <algorithm>

namespace hw {

namespace {

std::string withoutLineEnds(std::string path) {
    path.erase(std::remove_if(path.begin(), path.end(), [](char c) { return c == '\n' || c == '\r'; }), path.end());
    return path;
}

RecolourResult failure(std::string error) {
    RecolourResult r;
    r.error = std::move(error);
    return r;
}

std::string imJsPath() { return tempFolder() + "/im.js"; }

bool looksLikeCopy(const std::string& path) { return path.find(".tmp") != std::string::npos; }

/// A new empty "im" file in the Temp folder, or empty with `error` set.
std::string newCopyName(std::string& error) {
    std::string path = uniqueTempFile(tempFolder(), "im");
    if (path.empty()) error = "No recoloured picture can be made in the folder " + tempFolder() + ".";
    return path;
}

/// Makes a new copy of `params.sourcePath` with `lib` and writes its parameter file; on failure
/// nothing of the copy is left.
RecolourResult makeCopy(const RecolourParameters& params, const LibraryModulation& lib) {
    std::string error;
    const std::string copy = newCopyName(error);
    if (copy.empty()) return failure(error);
    if (!modulatePicture(params.sourcePath, copy, lib, error)) return failure(error);
    const std::string dat = parameterFilePath(copy);
    if (!writeFileBytes(dat, parameterFileText(params))) {
        removeFile(copy);
        removeFile(dat);
        return failure("The file " + dat + " could not be written.");
    }
    RecolourResult r;
    r.ok = true;
    r.copyPath = copy;
    return r;
}

RecolourResult withSwapScript(RecolourResult r, const RecolourParameters& params) {
    if (!r.ok) return r;
    std::string error;
    if (!writeFileAtomic(imJsPath(), imJsText(r.copyPath, params.sourcePath, params.modulation, params.oldColour),
                         &error))
        return failure(error);
    return r;
}

RecolourResult recolourCopy(const std::string& copy, const std::string& dat, TColor oldColour, TColor newColour) {
    const auto text = readFileBytes(dat);
    if (!text) return failure("The file " + dat + " cannot be read.");
    auto params = parseParameterFile(*text);
    if (!params) return failure("The file " + dat + " does not hold the parameters of a recoloured picture.");
    params->sourcePath = withoutLineEnds(params->sourcePath);
    params->modulation = composeModulation(params->modulation, oldColour, newColour);
    const LibraryModulation lib = libraryModulationFor(params->modulation, params->oldColour);

    // The copy is rebuilt beside itself and renamed over it, so a failure leaves the earlier
    // copy and its parameters as they were.
    std::string error;
    const std::string fresh = newCopyName(error);
    if (fresh.empty()) return failure(error);
    if (!modulatePicture(params->sourcePath, fresh, lib, error)) return failure(error);
    if (!writeFileAtomic(dat, parameterFileText(*params), &error)) {
        removeFile(fresh);
        return failure(error);
    }
    if (!moveFile(fresh, copy)) {
        removeFile(fresh);
        return failure("The recoloured picture " + copy + " could not be replaced.");
    }
    RecolourResult r;
    r.ok = true;
    r.copyPath = copy;
    return withSwapScript(r, *params);
}

} // namespace

RecolourResult recolourSourcePicture(const std::string& sourcePath, TColor oldColour, TColor newColour) {
    RecolourParameters params;
    params.sourcePath = withoutLineEnds(sourcePath);
    params.oldColour = oldColour;
    params.modulation = modulationBetween(oldColour, newColour);
    return withSwapScript(makeCopy(params, libraryModulationBetween(oldColour, newColour)), params);
}

RecolourResult recolourImage(const std::string& picturePath, TColor oldColour, TColor newColour) {
    const std::string path = withoutLineEnds(picturePath);
    if (looksLikeCopy(path)) {
        // Only a name with a parameter file beside it is one of our copies; a picture that merely
        // has ".tmp" in its path is recoloured like any other.
        const std::string dat = parameterFilePath(path);
        if (!dat.empty() && fileExists(dat)) return recolourCopy(path, dat, oldColour, newColour);
    }
    return recolourSourcePicture(path, oldColour, newColour);
}

RecolourResult recreateImage(const std::string& sourcePath, const std::string& modulationText,
                             const std::string& oldColourText) {
    const auto m = parseModulationText(modulationText);
    if (!m) return failure("The modulation '" + modulationText + "' is not of the form (brightness,saturation,,hue).");
    const auto oldColour = parseColourNumber(oldColourText);
    if (!oldColour) return failure("'" + oldColourText + "' is not a valid integer value");
    RecolourParameters params;
    params.sourcePath = withoutLineEnds(sourcePath);
    params.oldColour = *oldColour;
    params.modulation = *m;
    return makeCopy(params, libraryModulationFor(*m, *oldColour));
}

void sweepRecolouredCopies() {
    const std::string temp = tempFolder();
    removeFile(imJsPath());
    sweepFiles(temp, "im*.tmp");
    sweepFiles(temp, "im*.dat");
}

} // namespace hw
