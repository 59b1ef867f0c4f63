// The hostile input shapes of the fuzz seeds (fuzz/corpus) grown to 1 MB and 2 MB, each timed in the function
// a page, a cookie or a file feeds it to. A linear function takes about twice as long at 2 MB;
// every shape should stay well under half a second at 1 MB.

#include "base/AnsiString.h"
#include "base/Files.h"
#include "engine/HtmlFile.h"
#include "engine/InputLimits.h"
#include "engine/RecordMerge.h"
#include "engine/SchemeFile.h"
#include "engine/SchemeView.h"
#include "engine/WebPage.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

const std::string cookieTail = "~~local~~/home/u/site/\n2147483647\n13393021540000000\n*\n";

std::size_t sizeOf(const benchmark::State& state) { return static_cast<std::size_t>(state.range(0)) << 20; }

std::string repeat(std::string_view unit, std::size_t size) {
    std::string out;
    out.reserve(size + unit.size());
    while (out.size() < size) out += unit;
    return out;
}

std::string shape(const std::string& file) { return hw::readFileOrEmpty(HW_SOURCE_DIR "/fuzz/corpus/instrument_page/" + file); }

// The shape of merge-same-id: a record of background entries e0, e1, ... with their swatches,
// grown to `size` bytes; `shift` changes every colour.
std::string sameIdRecord(std::size_t size, unsigned shift) {
    std::string entries = "initialise,", swatches = ":Swatch:,";
    for (unsigned i = 0; entries.size() + swatches.size() < size; ++i) {
        char colour[32];
        const unsigned value = (i * 3635633u + shift) & 0xFFFFFF;
        std::snprintf(colour, sizeof colour, "#%06X(%u)", value, value);
        entries += "?Be" + std::to_string(i) + "$B$:B" + colour + "b,";
        swatches += std::string("%") + colour + ",";
    }
    return entries + swatches + "%%,images:endData";
}

class NoPictures : public hw::PictureMaker {
public:
    std::string recreate(const std::string& source, const std::string&, const std::string&) override { return source; }
};

void BareA(benchmark::State& state) {
    const hw::AnsiString page(repeat("<a", sizeOf(state)));
    hw::WebPage web;
    for (auto _ : state) {
        web.InstrumentPage(page);
        benchmark::DoNotOptimize(web.instrumentedText.str().data());
    }
    state.counters["outMB"] = static_cast<double>(web.instrumentedText.Length()) / (1 << 20);
}

// What opening the same page costs now: its tags are counted and it is refused.
void BareARefused(benchmark::State& state) {
    const std::string page = repeat("<a", sizeOf(state));
    for (auto _ : state) benchmark::DoNotOptimize(hw::checkPageTags("The page", page).error().size());
}

void MixedCaseScript(benchmark::State& state) {
    const hw::AnsiString page(repeat(shape("page-mixed-case-script.html"), sizeOf(state)));
    hw::WebPage web;
    for (auto _ : state) {
        web.InstrumentPage(page);
        benchmark::DoNotOptimize(web.instrumentedText.str().data());
    }
}

void UnclosedLinks(benchmark::State& state) {
    const hw::AnsiString page(repeat("<link", sizeOf(state)) + ".css>");
    for (auto _ : state) benchmark::DoNotOptimize(hw::singlePageSchemeText("", page, "/nowhere"));
}

void UnclosedFrames(benchmark::State& state) {
    const hw::AnsiString frameset("<frameset>" + repeat("<frame", sizeOf(state)) + ">");
    for (auto _ : state) benchmark::DoNotOptimize(hw::framesetSchemeText("", frameset, "/nowhere"));
}

void MergeSameIds(benchmark::State& state) {
    const std::string scheme = "data\n" + sameIdRecord(sizeOf(state), 1) + "\n\n<html></html>";
    const hw::AnsiString cookie("data\n" + sameIdRecord(sizeOf(state), 99) + "\n" + cookieTail);
    for (auto _ : state) benchmark::DoNotOptimize(hw::mergeRecordText(scheme, cookie));
}

void MergeEntriesWithoutEnd(benchmark::State& state) {
    const std::string entries = repeat("?B$B$", sizeOf(state));
    const std::string scheme = "data\ninitialise," + entries + "endData\n\n";
    const hw::AnsiString cookie("data\n" + entries + "\n" + cookieTail);
    for (auto _ : state) benchmark::DoNotOptimize(hw::mergeRecordText(scheme, cookie));
}

void MergeUnclosedFrame(benchmark::State& state) {
    const hw::AnsiString cookie("frameC[1]\n" + repeat("frameC[1]", sizeOf(state)) + "\n" + cookieTail);
    for (auto _ : state) benchmark::DoNotOptimize(hw::mergeFrameRecordsText("", cookie));
}

// The scheme view applying the records above to a small page.
void ViewSameIds(benchmark::State& state) {
    const hw::AnsiString scheme("data\n" + sameIdRecord(sizeOf(state), 1) + "\n\n<html><body><p id='e5'>x</p></body></html>");
    NoPictures pictures;
    for (auto _ : state) benchmark::DoNotOptimize(hw::applySchemeToPageText(scheme, "ss1.tmp", pictures).page.str().data());
}

void ViewEntriesWithoutEnd(benchmark::State& state) {
    const hw::AnsiString scheme("data\ninitialise," + repeat("?B$B$", sizeOf(state)) +
                                "endData\n\n<html><body><p>x</p></body></html>");
    NoPictures pictures;
    for (auto _ : state) benchmark::DoNotOptimize(hw::applySchemeToPageText(scheme, "ss1.tmp", pictures).page.str().data());
}

// Create HTML File on a working copy made of the bare "<a" shape.
void CreateFromBareA(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / "hw-bench-hostile";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string copy = (folder / "ps1.tmp").string();
    hw::writeFileBytes(copy, "<html><body>" + repeat("<a", sizeOf(state)) + "</body></html>");
    for (auto _ : state) {
        const auto created = hw::CreatePageFile(copy, (folder / "page.html").string());
        if (!created) state.SkipWithError(created.error().c_str());
    }
    fs::remove_all(folder);
}

} // namespace

#define HW_SHAPE(name) BENCHMARK(name)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(1)
HW_SHAPE(BareA);
HW_SHAPE(BareARefused);
HW_SHAPE(MixedCaseScript);
HW_SHAPE(UnclosedLinks);
HW_SHAPE(UnclosedFrames);
HW_SHAPE(MergeSameIds);
HW_SHAPE(MergeEntriesWithoutEnd);
HW_SHAPE(MergeUnclosedFrame);
HW_SHAPE(ViewSameIds);
HW_SHAPE(ViewEntriesWithoutEnd);
HW_SHAPE(CreateFromBareA);
BENCHMARK_MAIN();
