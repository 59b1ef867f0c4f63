// InstrumentPage on generated pages with every tag family, existing ids, links to pages and
// stylesheets, forms, inputs, scripts and styles.

#include "engine/WebPage.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

std::string generatedPage(std::size_t size) {
    std::string page = "<html><head><title>Bench</title><link rel=\"stylesheet\" href=\"site.css\">"
                       "<style>p { color: red; } td.k { width: 5px; }</style>"
                       "<script type=\"text/javascript\">function go() { return 1; }</script></head>"
                       "<body onLoad=\"go()\" bgcolor=\"white\">\n";
    int n = 0;
    while (page.size() < size) {
        const std::string k = std::to_string(n++);
        page += "<div class=\"section\" id=\"s" + k + "\"><h2>Heading " + k + "</h2><hr>\n"
                "<p width=\"80%\" class=\"valid hidden\">Some text with <a href=\"page" + k +
                ".html\" onclick=\"go()\">a link</a>, <a href='other.htm#x'>another</a>, <a href=\"#top\">top</a>, "
                "<font color=\"#FF0000\">red words</font> and <span id='w" + k + "'>a span</span>.</p>\n"
                "<table width=\"100%\" border=1><tr><td id=\"c" + k + "\">cell</td><td>cell</td>"
                "<td><img src=\"pic.gif\" width=10 height=10></td></tr></table>\n"
                "<ul><li>one</li><li id = \"li" + k + "\">two</li></ul>\n"
                "<form action=\"search.cgi\" method=\"post\"><input type=\"text\" name=\"q\">"
                "<input type=\"image\" src=\"go.gif\"></form>\n"
                "<script>document.write('x');</script><iframe src=\"ad.html\">no frames</iframe>\n"
                "<link rel=\"alternate\" href=\"print.css\"><a href=\"copy.tmp\">copy</a></div>\n";
    }
    return page + "</body></html>\n";
}

void bench_instrument(benchmark::State& state) {
    const hw::AnsiString text(generatedPage(static_cast<std::size_t>(state.range(0))));
    hw::WebPage page;
    for (auto _ : state) {
        page.InstrumentPage(text);
        benchmark::DoNotOptimize(page.instrumentedText.str().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * text.Length());
}

} // namespace

BENCHMARK(bench_instrument)->Arg(100 << 10)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
