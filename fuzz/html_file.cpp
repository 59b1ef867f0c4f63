// Create HTML File from a scheme's working files. Input: the working copy, its stylesheet copy
// "ss1.tmp", and two frame copies (used when the working copy is a frameset).

#include "FuzzSupport.h"

#include "engine/HtmlFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hw;
    const std::string& site = fuzz::clearSite();
    const auto texts = fuzz::parts(data, size, 4);
    fuzz::put(site + "/ps1.tmp", texts[0]);
    fuzz::put(site + "/ss1.tmp", texts[1]);
    fuzz::put(site + "/fps1.tmp", texts[2]);
    fuzz::put(site + "/fps2.tmp", texts[3]);

    const auto created = createHtmlFile(site + "/ps1.tmp", {site + "/fps1.tmp", site + "/fps2.tmp"}, site + "/out.html");
    HW_FUZZ_CHECK(created ? created->page == site + "/out.html" : !created.error().empty());
    return 0;
}
