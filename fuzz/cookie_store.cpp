// The cookie store: a store file as it may be found, then up to three document.cookie writes.

#include "FuzzSupport.h"

#include "base/Files.h"
#include "engine/CookieStore.h"

#include <algorithm>
#include <cctype>

namespace {

bool plain(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isalnum(c); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hw;
    hw::fuzz::work();
    const auto texts = fuzz::parts(data, size, 4);
    const std::string document = "/fuzz/p.tmp";
    const std::string file = CookieStore::fileFor("/fuzz");
    fuzz::put(file, texts[0]);

    for (std::size_t i = 1; i < texts.size(); ++i) {
        const std::string& write = texts[i];
        if (write.empty()) continue;
        if (!CookieStore::setCookie(document, write)) continue;
        // No write is lost: a plain name=value reads back right after it was stored.
        const auto eq = write.find('=');
        if (eq != std::string::npos && plain(write.substr(0, eq)) && plain(write.substr(eq + 1))) {
            const std::string cookies = "; " + CookieStore::cookiesFor(document) + "; ";
            HW_FUZZ_CHECK(cookies.find("; " + write + "; ") != std::string::npos);
        }
        // The store never keeps a NUL: the record readers would stop there.
        HW_FUZZ_CHECK(readFileOrEmpty(file).find('\0') == std::string::npos);
    }
    return 0;
}
