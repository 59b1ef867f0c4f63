#pragma once

#include "base/Result.h"
#include "blender/Modulation.h"

#include <string>

namespace hw {

/// Starts the wand library for the life of the object; the program and the tool make one at
/// start. Nested objects share the first one's start. Operations that find the library not
/// started start it for the rest of the process.
class MagickLibrary {
public:
    MagickLibrary();
    ~MagickLibrary();
    MagickLibrary(const MagickLibrary&) = delete;
    MagickLibrary& operator=(const MagickLibrary&) = delete;
};

/// Reads `sourcePath`, applies `m` to every frame and writes the result to `targetPath` in the
/// picture's own format (whatever the target's extension). A failure leaves no file at
/// `targetPath`.
Status modulatePicture(const std::string& sourcePath, const std::string& targetPath, const LibraryModulation& m);

} // namespace hw
