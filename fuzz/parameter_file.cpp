// The image blender's parameter file read, written back and read again, and the swap script
// made from what it holds.

#include "FuzzSupport.h"

#include "blender/ParameterFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hw;
    const std::string text = fuzz::text(data, size);
    parameterFilePath(text);
    const auto read = parseParameterFile(text);
    if (!read) return 0;
    const auto again = parseParameterFile(parameterFileText(*read));
    HW_FUZZ_CHECK(again && again->sourcePath == read->sourcePath && again->oldColour == read->oldColour);
    imJsText("/tmp/im1.tmp", read->sourcePath, read->modulation, read->oldColour);
    return 0;
}
