#include "blender/MagickLibrary.h"

#include "base/Files.h"

#include <wand/MagickWand.h>

#include <cfenv>
#include <memory>

namespace hw {

namespace {

int startCount = 0;

/// The library's arithmetic may raise floating-point exceptions that must not reach a program
/// that traps them: hold them for the duration, then drop the flags and restore the caller's
/// environment.
class FloatingPointHold {
public:
    FloatingPointHold() { std::feholdexcept(&m_saved); }
    ~FloatingPointHold() {
        std::feclearexcept(FE_ALL_EXCEPT);
        std::fesetenv(&m_saved);
    }
    FloatingPointHold(const FloatingPointHold&) = delete;
    FloatingPointHold& operator=(const FloatingPointHold&) = delete;

private:
    std::fenv_t m_saved;
};

struct WandDeleter {
    void operator()(MagickWand* w) const { DestroyMagickWand(w); }
};
using Wand = std::unique_ptr<MagickWand, WandDeleter>;

std::string wandError(MagickWand* wand) {
    ExceptionType severity = UndefinedException;
    char* text = MagickGetException(wand, &severity);
    std::string out = text && *text ? std::string(text) : std::string("unknown error");
    if (text) MagickRelinquishMemory(text);
    return out;
}

void ensureStarted() {
    if (IsMagickWandInstantiated() == MagickFalse) {
        // No owner made a MagickLibrary: keep the library up until the process ends.
        static MagickLibrary fallback;
    }
}

bool modulateCurrent(MagickWand* wand, const LibraryModulation& m) {
    if (m.negate && MagickNegateImage(wand, MagickFalse) == MagickFalse) return false;
    if (MagickModulateImage(wand, m.brightness, m.saturation, m.hue) == MagickFalse) return false;
    if (m.negate && MagickNegateImage(wand, MagickFalse) == MagickFalse) return false;
    return true;
}

} // namespace

MagickLibrary::MagickLibrary() {
    if (startCount++ == 0 && IsMagickWandInstantiated() == MagickFalse) {
        FloatingPointHold hold;
        MagickWandGenesis();
    }
}

MagickLibrary::~MagickLibrary() {
    if (--startCount == 0 && IsMagickWandInstantiated() != MagickFalse) {
        FloatingPointHold hold;
        MagickWandTerminus();
    }
}

namespace {

Status modulateInto(const std::string& sourcePath, const std::string& targetPath, const LibraryModulation& m) {
    ensureStarted();
    FloatingPointHold hold;
    Wand wand(NewMagickWand());
    if (!wand) return Error{"The picture library could not start."};
    if (!fileExists(sourcePath) || MagickReadImage(wand.get(), sourcePath.c_str()) == MagickFalse ||
        MagickGetNumberImages(wand.get()) == 0) {
        return Error{"The picture " + sourcePath + " cannot be read" +
                     (fileExists(sourcePath) ? ": " + wandError(wand.get()) : std::string()) + "."};
    }
    // Every frame of an animation gets the modulation, and all of them are written, so an
    // animated picture stays whole.
    const std::size_t frames = MagickGetNumberImages(wand.get());
    bool modulated = true;
    if (frames == 1) {
        modulated = modulateCurrent(wand.get(), m);
    } else {
        MagickResetIterator(wand.get());
        while (modulated && MagickNextImage(wand.get()) != MagickFalse) modulated = modulateCurrent(wand.get(), m);
    }
    if (!modulated)
        return Error{"The picture " + sourcePath + " could not be recoloured: " + wandError(wand.get()) + "."};
    const MagickBooleanType written = frames == 1 ? MagickWriteImage(wand.get(), targetPath.c_str())
                                                  : MagickWriteImages(wand.get(), targetPath.c_str(), MagickTrue);
    if (written == MagickFalse)
        return Error{"The recoloured picture " + targetPath + " could not be written: " + wandError(wand.get()) + "."};
    return {};
}

} // namespace

Status modulatePicture(const std::string& sourcePath, const std::string& targetPath, const LibraryModulation& m) {
    Status done = modulateInto(sourcePath, targetPath, m);
    if (!done) removeFile(targetPath);
    return done;
}

} // namespace hw
