#include "blender/ImageBlender.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "blender/MagickLibrary.h"
#include "blender/Modulation.h"
#include "blender/ParameterFile.h"

#include <cmath>

#include <algorithm>

namespace hw {

namespace {

std::string withoutLineEnds(std::string path) {
    path.erase(std::remove_if(path.begin(), path.end(), [](char c) { return c == '\n' || c == '\r'; }), path.end());
    return path;
}

std::string imJsPath() { return tempFolder() + "/im.js"; }

bool looksLikeCopy(const std::string& path) { return path.find(".tmp") != std::string::npos; }

/// A new empty "im" file in the Temp folder.
Result<std::string> newCopyName() {
    std::string path = uniqueTempFile(tempFolder(), "im");
    if (path.empty()) return Error{"No recoloured picture can be made in the folder " + tempFolder() + "."};
    return path;
}

/// Makes a new copy of `params.sourcePath` with `lib` and writes its parameter file; on failure
/// nothing of the copy is left.
Result<std::string> makeCopy(const RecolourParameters& params, const LibraryModulation& lib) {
    const Result<std::string> copy = newCopyName();
    if (!copy) return copy;
    if (Status made = modulatePicture(params.sourcePath, *copy, lib); !made) return Error{made.error()};
    const std::string dat = parameterFilePath(*copy);
    if (!writeFileBytes(dat, parameterFileText(params))) {
        removeFile(*copy);
        removeFile(dat);
        return Error{"The file " + dat + " could not be written."};
    }
    return copy;
}

Result<std::string> withSwapScript(Result<std::string> copy, const RecolourParameters& params) {
    if (!copy) return copy;
    // The page script runs the swap script: its numbers must read as numbers.
    const Modulation& m = params.modulation;
    if (!std::isfinite(m.hueShift) || !std::isfinite(m.saturation) || !std::isfinite(m.brightness))
        return Error{"The modulation of " + *copy + " is not a number."};
    const Status written =
        writeFileAtomic(imJsPath(), imJsText(*copy, params.sourcePath, params.modulation, params.oldColour));
    if (!written) return Error{written.error()};
    return copy;
}

Result<std::string> recolourCopy(const std::string& copy, const std::string& dat, TColor oldColour, TColor newColour) {
    const auto text = readFileBytes(dat);
    if (!text) return Error{"The file " + dat + " cannot be read."};
    auto params = parseParameterFile(*text);
    if (!params) return Error{"The file " + dat + " does not hold the parameters of a recoloured picture."};
    params->sourcePath = withoutLineEnds(params->sourcePath);
    params->modulation = composeModulation(params->modulation, oldColour, newColour);
    const LibraryModulation lib = libraryModulationFor(params->modulation, params->oldColour);

    // The copy is rebuilt beside itself and renamed over it, so a failure leaves the earlier
    // copy and its parameters as they were.
    const Result<std::string> fresh = newCopyName();
    if (!fresh) return fresh;
    if (Status made = modulatePicture(params->sourcePath, *fresh, lib); !made) return Error{made.error()};
    if (Status written = writeFileAtomic(dat, parameterFileText(*params)); !written) {
        removeFile(*fresh);
        return Error{written.error()};
    }
    if (!moveFile(*fresh, copy)) {
        removeFile(*fresh);
        return Error{"The recoloured picture " + copy + " could not be replaced."};
    }
    return withSwapScript(copy, *params);
}

} // namespace

Result<std::string> recolourSourcePicture(const std::string& sourcePath, TColor oldColour, TColor newColour) {
    RecolourParameters params;
    params.sourcePath = withoutLineEnds(sourcePath);
    params.oldColour = oldColour;
    params.modulation = modulationBetween(oldColour, newColour);
    return withSwapScript(makeCopy(params, libraryModulationBetween(oldColour, newColour)), params);
}

Result<std::string> recolourImage(const std::string& picturePath, TColor oldColour, TColor newColour) {
    const std::string path = withoutLineEnds(picturePath);
    if (looksLikeCopy(path)) {
        // Only a name with a parameter file beside it is one of our copies; a picture that merely
        // has ".tmp" in its path is recoloured like any other.
        const std::string dat = parameterFilePath(path);
        if (!dat.empty() && fileExists(dat)) return recolourCopy(path, dat, oldColour, newColour);
    }
    return recolourSourcePicture(path, oldColour, newColour);
}

Result<std::string> recreateImage(const std::string& sourcePath, const std::string& modulationText,
                                  const std::string& oldColourText) {
    const auto m = parseModulationText(modulationText);
    if (!m) return Error{"The modulation '" + modulationText + "' is not of the form (brightness,saturation,,hue)."};
    const auto oldColour = parseColourNumber(oldColourText);
    if (!oldColour) return Error{"'" + oldColourText + "' is not a valid integer value"};
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
