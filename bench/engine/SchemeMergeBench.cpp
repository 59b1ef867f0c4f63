// The scheme writers and the merge on the 1 MB shapes that once took seconds: a page of unclosed
// "<link" tags, a frameset of unclosed "<frame" tags, a record of 10,000 entries merged into one
// holding the same ids, entries that never end, and a frame section that is never closed.

#include "base/AnsiString.h"
#include "engine/RecordMerge.h"
#include "engine/SchemeFile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

constexpr std::size_t megabyte = 1 << 20;
const std::string cookieTail = "~~local~~/home/u/site/\n2147483647\n13393021540000000\n*\n";

std::string repeat(const std::string& shape, std::size_t size) {
    std::string out;
    out.reserve(size + shape.size());
    while (out.size() < size) out += shape;
    return out;
}

std::string colour(unsigned value) {
    char text[32];
    std::snprintf(text, sizeof text, "#%06X(%u)", value, value);
    return text;
}

// A record of `count` background entries e0, e1, ... with their swatches; `shift` changes
// every colour.
std::string record(int count, unsigned shift) {
    std::string entries = "initialise,", swatches = ":Swatch:,";
    for (int i = 0; i < count; ++i) {
        const std::string c = colour((static_cast<unsigned>(i) * 3635633u + shift) & 0xFFFFFF);
        entries += "?Be" + std::to_string(i) + "$B$:B" + c + "b,";
        swatches += "%" + c + ",";
    }
    return entries + swatches + "%%,images:endData";
}

void UnclosedLinks(benchmark::State& state) {
    const hw::AnsiString page(repeat("<link", megabyte) + ".css>");
    for (auto _ : state) benchmark::DoNotOptimize(hw::singlePageSchemeText("", page, "/nowhere"));
}

void UnclosedFrames(benchmark::State& state) {
    const hw::AnsiString frameset("<frameset>" + repeat("<frame", megabyte) + ">");
    for (auto _ : state) benchmark::DoNotOptimize(hw::framesetSchemeText("", frameset, "/nowhere"));
}

void MergeSameIds(benchmark::State& state) {
    const std::string scheme = "data\n" + record(10000, 1) + "\n\n<html></html>";
    const hw::AnsiString cookie("data\n" + record(10000, 99) + "\n" + cookieTail);
    for (auto _ : state) benchmark::DoNotOptimize(hw::mergeRecordText(scheme, cookie));
}

void MergeEntriesWithoutEnd(benchmark::State& state) {
    const std::string entries = repeat("?B$B$", megabyte);
    const std::string scheme = "data\ninitialise," + entries + "endData\n\n";
    const hw::AnsiString cookie("data\n" + entries + "\n" + cookieTail);
    for (auto _ : state) benchmark::DoNotOptimize(hw::mergeRecordText(scheme, cookie));
}

void MergeUnclosedFrame(benchmark::State& state) {
    const hw::AnsiString cookie("frameC[1]\n" + repeat("frameC[1]", megabyte) + "\n" + cookieTail);
    for (auto _ : state) benchmark::DoNotOptimize(hw::mergeFrameRecordsText("", cookie));
}

} // namespace

BENCHMARK(UnclosedLinks)->Unit(benchmark::kMillisecond);
BENCHMARK(UnclosedFrames)->Unit(benchmark::kMillisecond);
BENCHMARK(MergeSameIds)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(MergeEntriesWithoutEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(MergeUnclosedFrame)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
