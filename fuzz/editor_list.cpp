// The editor list's two files read, and the list set up from them. Input: "edit.dat", then
// "editIndex.dat".

#include "FuzzSupport.h"

#include "editor/EditorList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace hw;
    const std::string& site = fuzz::clearSite();
    const auto texts = fuzz::parts(data, size, 2);
    for (const std::string& item : parseEditorList(texts[0])) editMenuCaption(editorName(item));
    parseEditorIndex(texts[1]);

    EditorList list(site);
    fuzz::put(list.listFile(), texts[0]);
    fuzz::put(list.indexFile(), texts[1]);
    if (!list.setUp([] { return std::string("/usr/bin/xdg-open"); })) return 0;
    // Set up, the list is never empty and its selection is one of its items.
    HW_FUZZ_CHECK(!list.items().empty());
    HW_FUZZ_CHECK(list.selected() >= 0 && list.selected() < static_cast<int>(list.items().size()));
    (void)list.removeSelected();
    HW_FUZZ_CHECK(list.selected() < static_cast<int>(list.items().size()));
    return 0;
}
