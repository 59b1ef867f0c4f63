// huewright-tool: the program's core on the command line, one subcommand per capability.

#include "tool/ToolCommands.h"

#include <cstring>
#include <iostream>
#include <string>

namespace {

struct Subcommand {
    const char* name;
    int (*run)(const hw::tool::Args&, std::ostream&, std::ostream&);
    const char* usage;
};

const Subcommand subcommands[] = {
    {"instrument", hw::tool::runInstrument, "instrument PAGE            the instrumented working copy of PAGE"},
    {"colour", hw::tool::runColour, "colour FORM ARGS...        colour conversions (hex2color, color2hex, rgb2hex, hsl2color, rgb2hsl)"},
    {"contrast", hw::tool::runContrast, "contrast FG BG             WCAG ratio, APCA Lc and AA/AAA verdicts of FG text on BG"},
    {"simulate", hw::tool::runSimulate, "simulate KIND HEX          HEX as KIND vision shows it (normal, protanopia, deuteranopia, tritanopia, achromatopsia)"},
    {"book", hw::tool::runBook, "book FILE [--save OUT | --save-as OUT]   the cards of a swatch book"},
    {"suggest", hw::tool::runSuggest, "suggest H S L              the four suggested schemes"},
    {"record-block", hw::tool::runRecordBlock, "record-block COOKIEFILE    the record block of a single page"},
    {"frameset-block", hw::tool::runFramesetBlock, "frameset-block COOKIEFILE  the record block of a frameset"},
    {"image-request", hw::tool::runImageRequest, "image-request COOKIEFILE   the path of the picked picture"},
    {"write-scheme", hw::tool::runWriteScheme, "write-scheme PAGE COOKIEFILE OUT   write a web scheme file"},
    {"merge", hw::tool::runMerge, "merge SCHEME COOKIEFILE OUT         merge a record into a copy of SCHEME"},
    {"hsv", hw::tool::runHsv, "hsv R G B                  hue, saturation and value"},
    {"modulation", hw::tool::runModulation, "modulation OLD NEW         the recolouring numbers"},
    {"recolour", hw::tool::runRecolour, "recolour SRC OLD NEW       recolour a picture into the Temp folder"},
    {"recreate", hw::tool::runRecreate, "recreate SRC MODTEXT OLD   rebuild a recoloured copy"},
    {"scheme-view", hw::tool::runSchemeView, "scheme-view SCHEME         build a scheme's working files beside it; prints the working copy and the swatch file"},
    {"create-html", hw::tool::runCreateHtml, "create-html SCHEME OUT     write SCHEME as a finished page OUT"},
    {"export-palette", hw::tool::runExportPalette, "export-palette BOOK|SCHEME gpl|ase|css|json OUT   the cards of a book (.sbk) or scheme (.wsm) as a palette"},
    {"import-palette", hw::tool::runImportPalette, "import-palette FILE OUTBOOK  a palette (.gpl, .ase, .css, .json) as a new swatch book"},
    {"export-stylesheet", hw::tool::runExportStylesheet, "export-stylesheet SCHEME OUT   SCHEME's colours as a stylesheet OUT for its page (OUT-frameN for frames); prints the files"},
};

void printHelp(std::ostream& out) {
    out << "Usage: huewright-tool SUBCOMMAND ARGS...\n\nSubcommands:\n";
    for (const auto& s : subcommands) out << "  " << s.usage << "\n";
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h") || !std::strcmp(argv[1], "help")) {
        printHelp(argc < 2 ? std::cerr : std::cout);
        return argc < 2 ? 2 : 0;
    }
    std::ios::sync_with_stdio(false);
    hw::tool::Args args(argv + 2, argv + argc);
    for (const auto& s : subcommands) {
        if (std::strcmp(argv[1], s.name) == 0) return s.run(args, std::cout, std::cerr);
    }
    std::cerr << "huewright-tool: unknown subcommand '" << argv[1] << "'\n";
    printHelp(std::cerr);
    return 2;
}
