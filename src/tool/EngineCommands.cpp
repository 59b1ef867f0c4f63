// Subcommands of the change record, the scheme file and the merge: each reads its files and
// writes exactly the bytes the program would.

#include "tool/ToolCommands.h"

#include "base/Files.h"
#include "engine/ChangeRecord.h"
#include "engine/InputLimits.h"
#include "engine/RecordMerge.h"
#include "engine/SchemeFile.h"
#include "engine/WebPage.h"

#include <optional>
#include <ostream>

namespace hw::tool {

namespace {

bool wantArgs(const Args& args, std::size_t count, const char* usage, std::ostream& err) {
    if (args.size() == count) return true;
    err << "huewright-tool: usage: " << usage << "\n";
    return false;
}

std::optional<std::string> readInput(const std::string& path, std::ostream& err) {
    auto bytes = readFileBytes(path);
    if (!bytes) err << "huewright-tool: cannot read " << path << "\n";
    return bytes;
}

void writeOut(std::ostream& out, const AnsiString& text) { out.write(text.c_str(), text.Length()); }

// Cookie files are read as the program reads them: up to a first zero byte.
std::optional<AnsiString> readCookieText(const std::string& path, std::ostream& err) {
    if (!readInput(path, err)) return std::nullopt;
    return WebPage::ReadPageFile(path);
}

int writeResult(const std::string& path, const std::string& bytes, std::ostream& err) {
    const Status written = writeFileAtomic(path, bytes);
    if (written) return 0;
    err << "huewright-tool: " << written.error() << "\n";
    return 2;
}

} // namespace

int runRecordBlock(const Args& args, std::ostream& out, std::ostream& err) {
    if (!wantArgs(args, 1, "record-block COOKIEFILE", err)) return 2;
    const auto cookie = readCookieText(args[0], err);
    if (!cookie) return 2;
    writeOut(out, pageRecordBlockOf(*cookie));
    return 0;
}

int runFramesetBlock(const Args& args, std::ostream& out, std::ostream& err) {
    if (!wantArgs(args, 1, "frameset-block COOKIEFILE", err)) return 2;
    const auto cookie = readCookieText(args[0], err);
    if (!cookie) return 2;
    writeOut(out, framesetRecordBlockOf(*cookie));
    return 0;
}

int runImageRequest(const Args& args, std::ostream& out, std::ostream& err) {
    if (!wantArgs(args, 1, "image-request COOKIEFILE", err)) return 2;
    const auto cookie = readCookieText(args[0], err);
    if (!cookie) return 2;
    writeOut(out, imageRequestPathOf(*cookie));
    return 0;
}

int runWriteScheme(const Args& args, std::ostream&, std::ostream& err) {
    if (!wantArgs(args, 3, "write-scheme PAGE COOKIEFILE OUT", err)) return 2;
    if (!readInput(args[0], err)) return 2;
    const auto cookie = readCookieText(args[1], err);
    if (!cookie) return 2;
    const AnsiString page = WebPage::ReadPageFile(args[0]);
    const std::string folder = folderOf(args[0]);
    const AnsiString text = isFramesetText(page) ? framesetSchemeText(framesetRecordBlockOf(*cookie), page, folder)
                                                 : singlePageSchemeText(pageRecordBlockOf(*cookie), page, folder);
    if (const Status fits = checkSchemeText(args[0], text.str().size()); !fits) {
        err << "huewright-tool: " << fits.error() << "\n";
        return 2;
    }
    return writeResult(args[2], textModeBytes(text.str()), err);
}

int runMerge(const Args& args, std::ostream&, std::ostream& err) {
    if (!wantArgs(args, 3, "merge SCHEME COOKIEFILE OUT", err)) return 2;
    const auto scheme = readInput(args[0], err);
    if (!scheme) return 2;
    const auto cookie = readCookieText(args[1], err);
    if (!cookie) return 2;
    const bool frameset = AnsiString(*scheme).Contains("frameC");
    return writeResult(args[2], frameset ? mergeFrameRecordsText(*scheme, *cookie) : mergeRecordText(*scheme, *cookie), err);
}

} // namespace hw::tool
