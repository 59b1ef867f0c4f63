#pragma once

// The seeds of the fuzz targets (fuzz/corpus/<target>/), read by the tests that check what such
// hostile input must produce.

#include "base/Files.h"

#include <string>

namespace hw::test {

/// Text `part` (counted from 0) of the seed `name` of a fuzz target. A seed that feeds a function
/// several texts holds them cut at "|@|", as the fuzz targets split it; a missing part is empty.
inline std::string fuzzSeed(const std::string& target, const std::string& name, std::size_t part = 0) {
    const std::string seed = readFileOrEmpty(std::string(HW_SOURCE_DIR) + "/fuzz/corpus/" + target + "/" + name);
    std::size_t from = 0;
    for (std::size_t n = 0; n < part; ++n) {
        const auto at = seed.find("|@|", from);
        if (at == std::string::npos) return {};
        from = at + 3;
    }
    return seed.substr(from, seed.find("|@|", from) - from);
}

} // namespace hw::test
