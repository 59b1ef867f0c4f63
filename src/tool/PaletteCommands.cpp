// Palette files on the command line: a swatch book's or a scheme's cards exported, a palette
// imported as a new swatch book.

#include "tool/ToolCommands.h"

#include "base/Files.h"
#include "engine/SchemeView.h"
#include "swatches/PaletteFormats.h"
#include "swatches/SwatchBookFile.h"

#include <algorithm>
#include <ostream>
#include <string>

namespace hw::tool {

namespace {

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string stemOf(const std::string& path) {
    std::string name = fileNameOf(path);
    if (const auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

} // namespace

int runExportPalette(const Args& args, std::ostream&, std::ostream& err) {
    if (args.size() != 3) {
        err << "huewright-tool: usage: export-palette BOOK|SCHEME gpl|ase|css|json OUT\n";
        return 2;
    }
    const auto format = paletteFormatNamed(args[1]);
    if (!format) {
        err << "huewright-tool: '" << args[1] << "' is no palette format; use gpl, ase, css or json\n";
        return 2;
    }
    std::vector<SwatchBook> cards;
    if (endsWith(args[0], ".sbk")) {
        const Result<BookContents> book = readBookFile(args[0]);
        if (!book) {
            err << "huewright-tool: " << book.error() << "\n";
            return 2;
        }
        cards.assign(book->cards.begin(), book->cards.begin() + (book->lastCard + 1));
    } else if (endsWith(args[0], ".wsm")) {
        Result<std::vector<SwatchBook>> scheme = readSchemeCards(args[0]);
        if (!scheme) {
            err << "huewright-tool: " << scheme.error() << "\n";
            return 2;
        }
        cards = std::move(*scheme);
    } else {
        err << "huewright-tool: " << args[0] << " is neither a swatch book (.sbk) nor a web scheme (.wsm)\n";
        return 2;
    }
    const Status written = writePaletteFile(args[2], *format, cards, stemOf(args[0]));
    if (!written) {
        err << "huewright-tool: " << written.error() << "\n";
        return 2;
    }
    return 0;
}

int runImportPalette(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        err << "huewright-tool: usage: import-palette FILE OUTBOOK\n";
        return 2;
    }
    const Result<std::vector<SwatchBook>> read = readPaletteFile(args[0]);
    if (!read) {
        err << "huewright-tool: " << read.error() << "\n";
        return 2;
    }
    SwatchBookCards cards;
    const std::size_t taken = std::min(read->size(), cards.size());
    std::copy(read->begin(), read->begin() + static_cast<std::ptrdiff_t>(taken), cards.begin());
    const Status written = writeBookFile(args[1], cards, static_cast<int>(taken) - 1, false);
    if (!written) {
        err << "huewright-tool: " << written.error() << "\n";
        return 2;
    }
    out << taken << " cards\n";
    if (taken < read->size()) {
        int colours = 0;
        for (std::size_t i = taken; i < read->size(); ++i) colours += filledSlots((*read)[i]);
        err << "huewright-tool: a swatch book holds ten cards; " << colours << " colours on "
            << read->size() - taken << " more cards were left out\n";
    }
    return 0;
}

} // namespace hw::tool
