// Recolouring a 2-megapixel JPEG in the program against the library's own command line with
// the same numbers. Real time: the command runs in a child process.

#include "base/Files.h"
#include "blender/ImageBlender.h"
#include "blender/MagickLibrary.h"
#include "blender/Modulation.h"

#include <benchmark/benchmark.h>
#include <wand/MagickWand.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const hw::MagickLibrary library;

hw::TColor hex(unsigned rrggbb) { return hw::rgbColor((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF); }

/// A private system folder for the run, removed at the end.
const std::string folder = [] {
    const std::string f = (fs::temp_directory_path() / ("hw-bench-recolour-" + std::to_string(::getpid()))).string();
    fs::create_directories(f + "/Temp");
    ::setenv("HUEWRIGHT_HOME", f.c_str(), 1);
    return f;
}();
struct RemoveFolder {
    ~RemoveFolder() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
} removeFolder;

const std::string& workFolder() { return folder; }

/// A 1600 x 1250 JPEG: a corpus photograph stretched to size, or a gradient without the corpus.
const std::string& picture() {
    static const std::string path = [] {
        const std::string out = workFolder() + "/picture.jpg";
        MagickWand* wand = NewMagickWand();
        const std::string photo = std::string(HW_CORPUS) + "/skeleton-site/examples/landing/images/values-bg.jpg";
        if (!hw::fileExists(photo) || MagickReadImage(wand, photo.c_str()) == MagickFalse) {
            MagickSetSize(wand, 1600, 1250);
            MagickReadImage(wand, "gradient:#3366CC-#FFCC00");
        }
        MagickResizeImage(wand, 1600, 1250, LanczosFilter, 1.0);
        MagickSetImageFormat(wand, "JPEG");
        MagickWriteImage(wand, out.c_str());
        DestroyMagickWand(wand);
        return out;
    }();
    return path;
}

std::string wandNumber(double x) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", x);
    return buffer;
}

void program(benchmark::State& state, unsigned newHex) {
    const std::string& source = picture();
    for (auto _ : state) {
        const auto r = hw::recolourSourcePicture(source, hex(0x3366CC), hex(newHex));
        if (!r.ok()) {
            state.SkipWithError(r.error().c_str());
            break;
        }
        hw::sweepRecolouredCopies();
    }
}

void command(benchmark::State& state, unsigned newHex) {
    const std::string& source = picture();
    const auto lib = hw::libraryModulationBetween(hex(0x3366CC), hex(newHex));
    const std::string modulate =
        "-modulate " + wandNumber(lib.brightness) + "," + wandNumber(lib.saturation) + "," + wandNumber(lib.hue);
    const std::string line = "convert '" + source + "' " + (lib.negate ? "-negate " + modulate + " -negate" : modulate) +
                             " '" + workFolder() + "/command.jpg'";
    for (auto _ : state) {
        if (std::system(line.c_str()) != 0) {
            state.SkipWithError("convert failed");
            break;
        }
    }
}

void BM_RecolourProgram(benchmark::State& state) { program(state, 0xCC3333); }
void BM_RecolourConvert(benchmark::State& state) { command(state, 0xCC3333); }
void BM_RecolourProgramNegate(benchmark::State& state) { program(state, 0x1A3366); }
void BM_RecolourConvertNegate(benchmark::State& state) { command(state, 0x1A3366); }

} // namespace

BENCHMARK(BM_RecolourProgram)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_RecolourConvert)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_RecolourProgramNegate)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_RecolourConvertNegate)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

BENCHMARK_MAIN();
