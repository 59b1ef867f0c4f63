// Create HTML File on the scheme of the largest corpus page: the bash manual, instrumented, with
// a background colour after each of its first 2,000 element ids, as the scheme view leaves it.

#include "base/Files.h"
#include "engine/HtmlFile.h"
#include "engine/WebPage.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string schemeWorkingCopy(int entries, int& made) {
    hw::WebPage page;
    page.InstrumentPage(hw::WebPage::ReadPageFile(HW_CORPUS "/bash-manual/bashref.html"));
    const std::string& text = page.instrumentedText.str();
    std::string copy;
    std::size_t done = 0;
    for (made = 0; made < entries; ++made) {
        const int n = made;
        const auto id = text.find("id='", done);
        if (id == std::string::npos) break;
        const auto end = text.find('\'', id + 4) + 1;
        copy.append(text, done, end - done);
        char colour[8];
        std::snprintf(colour, sizeof colour, "%06X", (n * 2654435761u) & 0xFFFFFFu);
        copy += " Style='Background-color:#" + std::string(colour) + "'";
        done = end;
    }
    return copy.append(text, done, std::string::npos);
}

void bench_create_html(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / "hw-bench-create-html";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string copy = (folder / "ps1.tmp").string();
    int entries = 0;
    hw::writeFileBytes(copy, schemeWorkingCopy(static_cast<int>(state.range(0)), entries));
    state.counters["entries"] = entries;
    const std::string target = (folder / "bashref.html").string();
    for (auto _ : state) {
        const auto created = hw::CreatePageFile(copy, target);
        if (!created) state.SkipWithError(created.error().c_str());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(fs::file_size(copy)));
    fs::remove_all(folder);
}

} // namespace

BENCHMARK(bench_create_html)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
