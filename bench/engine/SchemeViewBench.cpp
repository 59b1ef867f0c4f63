// Applying a scheme to its page: the 1 MB corpus manual with a record of 2,000 entries, against
// instrumenting that page alone and against the find-first procedure that searches the whole
// page once per entry; and Save As and Save of that scheme.

#include "base/Files.h"
#include "engine/ChangeRecord.h"
#include "engine/RecordMerge.h"
#include "engine/SchemeFile.h"
#include "engine/SchemeView.h"
#include "engine/WebPage.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

class NoPictures : public hw::PictureMaker {
public:
    std::string recreate(const std::string& source, const std::string&, const std::string&) override {
        return "/copies/" + hw::fileNameOf(source);
    }
};

struct Case {
    hw::AnsiString scheme;
    hw::AnsiString page; ///< the instrumented page without colours
    hw::AnsiString record;
};

const Case& manualCase() {
    static const Case c = [] {
        const std::string path = std::string(HW_CORPUS) + "/bash-manual/bashref.html";
        const hw::AnsiString stored = hw::singlePageSchemeText("", hw::WebPage::ReadPageFile(path), hw::folderOf(path));
        NoPictures pictures;
        const hw::AnsiString page = hw::applySchemeToPageText(stored, "", pictures).page;
        std::vector<std::string> ids;
        const std::string& t = page.str();
        for (auto q = t.find("id='"); q != std::string::npos; q = t.find("id='", q + 1)) {
            const auto end = t.find('\'', q + 4);
            const std::string id = t.substr(q + 4, end - q - 4);
            if (id.size() <= 14 && id.find_first_of("$?%#()") == std::string::npos) ids.push_back(id);
        }
        std::mt19937 random(7);
        std::string entries, images;
        for (int n = 0; n < 2000; ++n) {
            const std::string id = ids[random() % ids.size()];
            const char letter = "BCD"[n % 3];
            if (n % 10 == 9) {
                images += "?IM" + id + "$IM$:IM&&/site/p.gif$rs$repeat&im?mod(100,100,,140)$mod$^oc13395507^^";
                continue;
            }
            entries += std::string("?") + letter + id + "$" + letter + "$:" + letter + "#FFCC00(52479)" +
                       static_cast<char>(letter + 32) + ",";
        }
        const std::string record =
            "initialise," + entries + ":Swatch:,%#FFCC00(52479),%%,images:" + images + "endData";
        Case made;
        made.scheme = hw::AnsiString("data\n" + record + "\n\n") + stored;
        made.page = page;
        made.record = hw::AnsiString(record.substr(11));
        return made;
    }();
    return c;
}

void bench_apply_scheme(benchmark::State& state) {
    const Case& c = manualCase();
    NoPictures pictures;
    for (auto _ : state) {
        const hw::AppliedPage applied = hw::applySchemeToPageText(c.scheme, "ss1.tmp", pictures);
        benchmark::DoNotOptimize(applied.page.str().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * c.scheme.Length());
}

void bench_instrument_only(benchmark::State& state) {
    const Case& c = manualCase();
    const int start = c.scheme.Pos("<html");
    const hw::AnsiString page = c.scheme.SubString(start, c.scheme.Length());
    hw::WebPage web;
    for (auto _ : state) {
        web.InstrumentPage(page);
        benchmark::DoNotOptimize(web.instrumentedText.str().data());
    }
}

// One whole-page search and one insertion per entry, with the single-attribute texts.
void bench_find_first_per_entry(benchmark::State& state) {
    const Case& c = manualCase();
    for (auto _ : state) {
        hw::AnsiString page = c.page;
        hw::AnsiString record = c.record;
        hw::ColourEntry e;
        for (const char* aspect : {"BBackground-color:", "CColor:", "Dborder-color:"}) {
            while (hw::takeColourEntry(record, aspect[0], e)) {
                const std::string id = "id='" + e.elementId.str() + "'";
                const int at = page.Pos(id);
                if (at) page.Insert(" Style='" + std::string(aspect + 1) + e.hexCode.str() + "' ", at + static_cast<int>(id.size()));
            }
        }
        benchmark::DoNotOptimize(page.str().data());
    }
}

/// A folder of the benchmark's own for the files Save As and Save write.
const std::string& workFolder() {
    static const std::string folder = [] {
        const auto dir = std::filesystem::temp_directory_path() / ("hw-bench-scheme-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        return dir.string();
    }();
    return folder;
}

// Save Web Scheme As from the page view: the record block, the stylesheet and the page source
// written as a new scheme file.
void bench_save_as(benchmark::State& state) {
    const Case& c = manualCase();
    const std::string path = std::string(HW_CORPUS) + "/bash-manual/bashref.html";
    const hw::AnsiString page = hw::WebPage::ReadPageFile(path);
    const hw::AnsiString block("data\ninitialise," + c.record.str() + "\n\n");
    const std::string target = workFolder() + "/blue.wsm";
    for (auto _ : state) {
        const hw::AnsiString text = hw::singlePageSchemeText(block, page, hw::folderOf(path));
        if (!hw::writeFileAtomic(target, hw::textModeBytes(text.str()))) state.SkipWithError("write failed");
    }
}

// Save Web Scheme: a new record of 2,000 entries merged into the scheme file, then the scheme's
// working copy built again in place.
void bench_save(benchmark::State& state) {
    const Case& c = manualCase();
    const std::string scheme = workFolder() + "/green.wsm";
    const std::string bytes = hw::textModeBytes(c.scheme.str());
    const hw::AnsiString cookie("data\ninitialise," + c.record.str() + "\n~~local~~" + workFolder() + "/\n0\n*\n");
    const std::string workingCopy = workFolder() + "/psBENCH.tmp";
    NoPictures pictures;
    for (auto _ : state) {
        if (!hw::writeFileAtomic(scheme, hw::mergeRecordText(bytes, cookie))) state.SkipWithError("write failed");
        const auto view = hw::buildSchemeView(scheme, false, pictures, workingCopy);
        if (!view) state.SkipWithError(view.error().c_str());
        else hw::removeFile(view->swatchFile);
    }
}

void bench_swatch_file(benchmark::State& state) {
    std::string list;
    for (int n = 0; n < 300; ++n) list += "%#FFCC00(52479),";
    const hw::AnsiString swatches(list);
    for (auto _ : state) {
        const auto cards = hw::readSwatchFileText(hw::swatchFileText(swatches, "blue.wsm"));
        benchmark::DoNotOptimize(cards.data());
    }
}

} // namespace

BENCHMARK(bench_apply_scheme)->Unit(benchmark::kMillisecond);
BENCHMARK(bench_instrument_only)->Unit(benchmark::kMillisecond);
BENCHMARK(bench_find_first_per_entry)->Unit(benchmark::kMillisecond);
BENCHMARK(bench_swatch_file)->Unit(benchmark::kMicrosecond);
BENCHMARK(bench_save_as)->Unit(benchmark::kMillisecond);
BENCHMARK(bench_save)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
