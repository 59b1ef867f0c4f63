#include "engine/HtmlFile.h"

#include "base/AnsiString.h"
#include "base/Files.h"
#include "base/PageUrl.h"
#include "embedded/bannerPicture.h"
#include "engine/TextCursor.h"
#include "engine/WebPage.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string_view>
#include <system_error>

namespace hw {

namespace {

using std::string_view;
constexpr auto npos = string_view::npos;

constexpr string_view homePage = "https://huewright.org/";
// Reserved before any picture is named, so a page picture of this name is given another one.
constexpr string_view bannerName = "huewright-banner.png";
// How far from its opening a link or image tag is searched for its ">" and the ".tmp" of a
// working file; a tag whose ">" lies further is taken up to the end of this window.
constexpr std::size_t tagWindow = 400;
constexpr std::size_t urlWindow = 600;
// A parameter file's first line is the source picture's path, at most this long.
constexpr std::size_t sourcePathLimit = 259;

std::string lower(string_view text) {
    std::string r(text);
    for (auto& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

bool endsWithTmp(string_view path) { return path.size() >= 4 && lower(path.substr(path.size() - 4)) == ".tmp"; }

/// A file name as it stands in a link: every byte but letters, digits and "-._~" is
/// percent-escaped, so no blank, quote or bracket of a picture's name can end the attribute or
/// the url() it stands in.
std::string linkName(string_view name) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string r;
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            r += ch;
        } else {
            r += '%';
            r += hex[c >> 4];
            r += hex[c & 15];
        }
    }
    return r;
}

/// `name`, or when a name of `taken` already stands for it (letter case not counting, as on the
/// file systems a site is published to) the first free "stem-2.ext", "stem-3.ext", ...; the
/// name given is added to `taken`.
std::string uniqueName(std::set<std::string>& taken, const std::string& name) {
    const auto dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > 0;
    const std::string stem = hasExtension ? name.substr(0, dot) : name;
    const std::string extension = hasExtension ? name.substr(dot) : std::string();
    std::string candidate = name;
    for (int n = 2; taken.count(lower(candidate)); ++n) candidate = stem + "-" + std::to_string(n) + extension;
    taken.insert(lower(candidate));
    return candidate;
}

/// The local file an address in a working copy names: a page URL of the program's browser, or
/// a path taken against the working copy's folder.
std::string localPath(string_view address, const std::string& folder) {
    if (address.starts_with("huewright:") || address.starts_with("file:")) {
        std::string path = pathOfUrl(address);
        if (!path.empty()) return path;
    }
    return joinPath(folder, std::string(address));
}

/// The file an address of the page names when the created page can reach it only through the
/// scheme's folder: a relative or local address of an existing file. Addresses of the web
/// ("http:", "data:", ...) stay as they are.
std::optional<std::string> localFile(string_view address, const std::string& folder) {
    address = address.substr(0, std::min(address.find_first_of("?#"), address.size()));
    if (address.empty()) return std::nullopt;
    const auto colon = address.find(':');
    const auto slash = address.find('/');
    const bool hasScheme = colon != npos && (slash == npos || colon < slash);
    if (hasScheme && !address.starts_with("huewright:") && !address.starts_with("file:")) return std::nullopt;
    std::string path = localPath(address, folder);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    return path;
}

/// The path of the source picture of a recoloured copy: the first line of the parameter file
/// beside it (".dat" for ".tmp"), leading white space skipped. Nullopt when the copy has no
/// parameter file, so it is no recoloured copy.
std::optional<std::string> sourceOfCopy(const std::string& copy) {
    if (!endsWithTmp(copy)) return std::nullopt;
    const auto text = readFileBytes(copy.substr(0, copy.size() - 4) + ".dat");
    if (!text) return std::nullopt;
    const auto start = std::min(text->find_first_not_of(" \t\r\n"), text->size());
    const auto end = std::min(text->find_first_of("\r\n", start), text->size());
    return text->substr(start, std::min(end - start, sourcePathLimit));
}

/// A text rebuilt in one pass from its pieces: edits come in ascending order and the text
/// between them is copied once, so any number of edits stays linear.
class Splicer {
public:
    explicit Splicer(const std::string& text) : m_text(text) {}
    void replace(std::size_t at, std::size_t count, string_view with) {
        m_out.append(m_text, m_done, at - m_done);
        m_out.append(with);
        m_done = at + count;
    }
    std::string finish() {
        m_out.append(m_text, m_done, std::string::npos);
        return std::move(m_out);
    }

private:
    const std::string& m_text;
    std::string m_out;
    std::size_t m_done = 0;
};

/// The text of an attribute's value after its name: past a blank, the "=", a blank and one
/// quote, as far as they come. Returns the offset where the value starts.
std::size_t valueStart(string_view tag, std::size_t afterName) {
    std::size_t a = afterName;
    if (a < tag.size() && tag[a] == ' ') ++a;
    if (a < tag.size() && tag[a] == '=') ++a;
    if (a < tag.size() && tag[a] == ' ') ++a;
    if (a < tag.size() && (tag[a] == '"' || tag[a] == '\'')) ++a;
    return a;
}

/// A tag from its opening at `at` through its ">", or through the window when its ">" is
/// further away.
string_view tagAt(const std::string& text, std::size_t at) {
    const string_view window = string_view(text).substr(at, tagWindow);
    const auto close = window.find('>');
    return close == npos ? window : window.substr(0, close + 1);
}

/// Removes an attribute the program wrote, whose value is quoted with `quote` and never holds
/// it: from the name through the closing quote. An attribute without its value (not in any text
/// the program wrote) loses only `nameSize` characters, so every removal ends.
std::string removeAttributes(std::string text, string_view opening, std::size_t nameSize, char quote) {
    return whileOccurs(std::move(text), opening, [&](TextCursor& c) {
        const auto end = c.rest().find_first_of(std::string{quote, '>'}, opening.size());
        if (end != npos && c.rest()[end] == quote) c.replace(0, end + 1, "");
        else c.replace(0, nameSize, "");
    });
}

/// Every run of `ch` becomes one `ch`.
std::string squeeze(const std::string& text, char ch) {
    std::string r;
    r.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] != ch || i == 0 || text[i - 1] != ch) r += text[i];
    return r;
}

class Creation;
Result<std::string> relinkBackgrounds(const std::string& text, const std::string& copyFolder, Creation& creation,
                                      string_view prefix);

/// One Create HTML File: the names beside the created page and the files written so far.
class Creation {
public:
    explicit Creation(const std::string& target) {
        std::error_code ec;
        m_files.page = std::filesystem::absolute(target, ec).lexically_normal().string();
        m_folder = folderOf(m_files.page);
        const std::string name = fileNameOf(m_files.page);
        const auto dot = name.rfind('.');
        m_base = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
        m_companion = joinPath(m_folder, m_base + "_files");
        m_pictureNames.insert(std::string(bannerName));
    }

    const std::string& companion() const { return m_companion; }
    /// The companion folder as the created page links it.
    std::string companionLink() const { return linkName(m_base + "_files") + "/"; }

    Status makeCompanion() {
        if (fileNameOf(m_files.page).empty()) return Error{"The name " + m_files.page + " is not a file name."};
        std::error_code ec;
        std::filesystem::create_directory(m_companion, ec);
        if (!std::filesystem::is_directory(m_companion, ec))
            return Error{"The folder " + m_companion + " could not be made."};
        return {};
    }

    void reserveName(const std::string& name) { m_pictureNames.insert(lower(name)); }

    Status write(const std::string& path, string_view bytes) {
        Status written = writeFileAtomic(path, bytes);
        if (written) m_files.written.push_back(path);
        return written;
    }

    /// The banner's link from the created page, after writing the banner picture.
    Result<std::string> banner() {
        if (auto s = write(joinPath(m_companion, std::string(bannerName)), embedded::bannerPicture); !s)
            return Error{s.error()};
        return companionLink() + std::string(bannerName);
    }

    /// The name in the companion folder of a recoloured copy, after copying it there once:
    /// the name of its source picture, or another one when that is taken.
    Result<std::string> picture(const std::string& copy, const std::string& source) {
        if (const auto known = m_pictures.find(copy); known != m_pictures.end()) return known->second;
        // The parameter file may hold a Windows path.
        const auto slash = source.find_last_of("/\\");
        std::string wanted = slash == std::string::npos ? source : source.substr(slash + 1);
        if (wanted.empty()) wanted = fileNameOf(copy);
        const std::string name = uniqueName(m_pictureNames, wanted);
        const auto bytes = readFileBytes(copy);
        if (!bytes) return Error{"The recoloured picture " + copy + " cannot be read."};
        if (auto s = write(joinPath(m_companion, name), *bytes); !s) return Error{s.error()};
        m_pictures.emplace(copy, name);
        return name;
    }

    /// The name beside the created page of a stylesheet copy, after copying it there once:
    /// base + ".css" for the first stylesheet, and the same name for every frame whose
    /// stylesheet has the same text; a frame with another stylesheet gets a name of its own.
    Result<std::string> styleSheet(const std::string& source) {
        const auto text = readFileBytes(source);
        if (!text) return Error{"The stylesheet " + source + " of the scheme cannot be read."};
        if (const auto known = m_styleSheets.find(*text); known != m_styleSheets.end()) return known->second;
        const std::string name = uniqueName(m_styleSheetNames, m_base + ".css");
        if (lower(name) == lower(fileNameOf(m_files.page)))
            return Error{"The page cannot be called " + name + ": its stylesheet copy takes that name."};
        // The stylesheet's pictures go into the companion folder too, linked from beside the page.
        const auto relinked = relinkBackgrounds(*text, folderOf(source), *this, companionLink());
        if (!relinked) return Error{relinked.error()};
        if (auto s = write(joinPath(m_folder, name), *relinked); !s) return Error{s.error()};
        m_styleSheets.emplace(*text, name);
        return name;
    }

    CreatedFiles& files() { return m_files; }

private:
    CreatedFiles m_files;
    std::string m_folder;
    std::string m_base;
    std::string m_companion;
    std::set<std::string> m_pictureNames;
    std::set<std::string> m_styleSheetNames;
    std::map<std::string, std::string> m_pictures;
    std::map<std::string, std::string> m_styleSheets;
};

/// Points the stylesheet links at the scheme's temporary stylesheets ("ss" files, the only
/// links with ".tmp") to their copies beside the created page.
Result<std::string> relinkStyleSheets(const std::string& text, const std::string& copyFolder, Creation& creation,
                                      string_view prefix) {
    Splicer out(text);
    for (std::size_t at = text.find("<link"); at != npos; at = text.find("<link", at + 1)) {
        const string_view tag = tagAt(text, at);
        const auto tmp = tag.find(".tmp");
        if (tmp == npos) continue;
        const auto href = tag.rfind("href", tmp);
        if (href == npos) continue;
        const auto start = valueStart(tag, href + 4);
        if (start > tmp) continue;
        const string_view address = tag.substr(start, tmp + 4 - start);
        auto name = creation.styleSheet(localPath(address, copyFolder));
        if (!name) return Error{name.error()};
        out.replace(at + start, address.size(), std::string(prefix) + linkName(*name));
    }
    return out.finish();
}

/// The name in the companion folder of the picture at `address`, after copying it there once: a
/// recoloured copy under its source picture's name, another local picture under its own. Empty
/// for an address the created page keeps (the web, a missing file, a ".tmp" that is no copy).
Result<std::string> companionPicture(string_view address, const std::string& copyFolder, Creation& creation) {
    if (endsWithTmp(address)) {
        const std::string copy = localPath(address, copyFolder);
        const auto source = sourceOfCopy(copy);
        return source ? creation.picture(copy, *source) : std::string();
    }
    const auto file = localFile(address, copyFolder);
    return file ? creation.picture(*file, *file) : std::string();
}

/// Points every image at a copy in the companion folder: a recoloured copy under its source
/// picture's name, any other local picture under its own, so the created page needs nothing from
/// the scheme's folder.
Result<std::string> relinkImages(const std::string& text, const std::string& copyFolder, Creation& creation,
                                 string_view prefix) {
    Splicer out(text);
    for (std::size_t at = text.find("<img"); at != npos; at = text.find("<img", at + 1)) {
        const string_view tag = tagAt(text, at);
        // The source attribute is the first "src" (any letter case) that an "=" follows; an id
        // value may hold the letters too.
        const std::string lowered = lower(tag);
        std::size_t start = npos;
        for (auto src = lowered.find("src"); src != npos && start == npos; src = lowered.find("src", src + 1)) {
            auto eq = src + 3;
            if (eq < lowered.size() && lowered[eq] == ' ') ++eq;
            if (eq < lowered.size() && lowered[eq] == '=') start = valueStart(tag, src + 3);
        }
        if (start == npos || start >= tag.size()) continue;
        const char quote = tag[start - 1] == '"' || tag[start - 1] == '\'' ? tag[start - 1] : '\0';
        const auto end = quote ? tag.find(quote, start) : tag.find_first_of(" >", start);
        string_view address = tag.substr(start, (end == npos ? tag.size() : end) - start);
        if (const auto tmp = lowered.find(".tmp", start); tmp != npos && tmp + 4 <= start + address.size())
            address = tag.substr(start, tmp + 4 - start);
        const auto name = companionPicture(address, copyFolder, creation);
        if (!name) return Error{name.error()};
        if (name->empty()) continue;
        out.replace(at + start, address.size(), std::string(prefix) + linkName(*name));
    }
    return out.finish();
}

/// Points every background picture ("url(" + address + ")", in an inline style or a stylesheet)
/// at a copy in the companion folder, as images are.
Result<std::string> relinkBackgrounds(const std::string& text, const std::string& copyFolder, Creation& creation,
                                      string_view prefix) {
    Splicer out(text);
    for (std::size_t at = text.find("url("); at != npos; at = text.find("url(", at + 1)) {
        const string_view window = string_view(text).substr(at + 4, urlWindow);
        const auto close = window.find(')');
        if (close == npos) continue;
        std::size_t start = window.find_first_not_of(" \"'");
        const std::size_t end = window.find_last_not_of(" \"'", close - 1);
        if (start == npos || end == npos || start > end || start >= close) continue;
        const string_view address = window.substr(start, end + 1 - start);
        const auto name = companionPicture(address, copyFolder, creation);
        if (!name) return Error{name.error()};
        if (name->empty()) continue;
        out.replace(at + 4 + start, address.size(), std::string(prefix) + linkName(*name));
    }
    return out.finish();
}

/// A working copy cleaned of what instrumentation and the scheme view put in: the page script,
/// the element ids and the click, context-menu and key handlers go, and the stylesheet and
/// the recoloured pictures are copied beside the created page and linked relatively.
/// `prefix` leads from the cleaned page to the companion folder, `styleSheetPrefix` to the
/// created page's folder.
Result<std::string> cleanPage(std::string t, const std::string& copyFolder, Creation& creation, string_view prefix,
                              string_view styleSheetPrefix) {
    // Instrumentation puts its one script first and removes every script of the page, so the
    // first script is the program's; its text holds no "</script>" before its end.
    if (const auto script = t.find("<script id='script'"); script != npos) {
        const auto end = t.find("</script>", script);
        if (end != npos) t.erase(script, end + 9 - script);
    }
    t = replaceEvery(t, ".TMP", ".tmp");

    auto linked = relinkStyleSheets(t, copyFolder, creation, styleSheetPrefix);
    if (!linked) return linked;
    t = replaceEvery(*linked, "<IMG", "<img");
    linked = relinkImages(t, copyFolder, creation, prefix);
    if (!linked) return linked;
    linked = relinkBackgrounds(*linked, copyFolder, creation, prefix);
    if (!linked) return linked;
    t = std::move(*linked);

    // Every id, click, context-menu and key attribute in lower case is the program's: the
    // page's own ids were turned into "ID" and its own handlers lost their names. The
    // program's values never hold their own quote, whatever an element id's length.
    t = removeAttributes(std::move(t), " id='", 4, '\'');
    t = removeAttributes(std::move(t), " onClick=\"", 8, '"');
    t = removeAttributes(std::move(t), " onContextMenu=\"", 14, '"');
    t = removeAttributes(std::move(t), " onKeyPress=\"", 11, '"');
    // A bare name left by a hostile page goes too, as instrumentation removes event names.
    t = replaceEvery(t, " onClick", "");
    t = replaceEvery(t, " onContextMenu", "");
    t = replaceEvery(t, " onKeyPress", "");
    return replaceEvery(t, "</BODY>", "</body>");
}

/// A working copy's text as the browser saw it: up to its first zero byte. Nullopt when the
/// file cannot be read.
std::optional<std::string> readCopy(const std::string& path) {
    auto bytes = readFileBytes(path);
    if (bytes) bytes->resize(std::min(bytes->find('\0'), bytes->size()));
    return bytes;
}

} // namespace

std::string createdNotice(const CreatedFiles& files) {
    return "The file " + fileNameOf(files.page) + " has been created and saved to\n" + folderOf(files.page);
}

Result<CreatedFiles> CreatePageFile(const std::string& workingCopy, const std::string& target) {
    Creation creation(target);
    const auto copy = readCopy(workingCopy);
    if (!copy) return Error{"The scheme's working copy " + workingCopy + " cannot be read."};
    if (auto s = creation.makeCompanion(); !s) return Error{s.error()};

    auto page = cleanPage(*copy, folderOf(workingCopy), creation, creation.companionLink(), "");
    if (!page) return Error{page.error()};
    auto banner = creation.banner();
    if (!banner) return Error{banner.error()};

    std::string& t = *page;
    const std::string bannerHtml = "<p><div align=\"center\"><a href=\"" + std::string(homePage) +
                                   "\"><img border=\"0\" alt=\"Huewright\" src=\"" + *banner + "\"></a></div></p>";
    auto at = t.find("</body>");
    if (at == npos) at = t.find("</HTML>");
    if (at == npos) at = t.find("</html>");
    t.insert(at == npos ? t.size() : at, bannerHtml);
    // The removed attributes and the scheme view's styles leave runs of blanks behind.
    t = squeeze(squeeze(t, '\r'), ' ');

    if (auto s = creation.write(creation.files().page, textModeBytes(t)); !s) return Error{s.error()};
    return creation.files();
}

Result<CreatedFiles> CreateFramesetFile(const std::string& framesetCopy, const std::vector<std::string>& frameCopies,
                                        const std::string& target) {
    Creation creation(target);
    const auto copy = readCopy(framesetCopy);
    if (!copy) return Error{"The scheme's working copy " + framesetCopy + " cannot be read."};
    AnsiString t(*copy);
    if (auto s = creation.makeCompanion(); !s) return Error{s.error()};
    for (std::size_t i = 0; i < frameCopies.size(); ++i) creation.reserveName("frame" + std::to_string(i) + ".html");

    // Only the frame copies this frameset names are its frames: a frame slot is never filled
    // from another scheme's copies.
    for (std::size_t i = 0; i < frameCopies.size(); ++i) {
        const std::string& frameCopy = frameCopies[i];
        const std::string name = fileNameOf(frameCopy);
        if (name.empty() || !t.Contains(name)) continue;
        const std::string framePage = "frame" + std::to_string(i) + ".html";
        t.ReplaceFirst(name, creation.companionLink() + framePage);

        const auto frame = readCopy(frameCopy);
        if (!frame) return Error{"The scheme's frame copy " + frameCopy + " cannot be read."};
        // The frame pages lie in the companion folder beside the pictures, one folder below the
        // stylesheet copies.
        auto cleaned = cleanPage(*frame, folderOf(frameCopy), creation, "", "../");
        if (!cleaned) return Error{cleaned.error()};
        if (auto s = creation.write(joinPath(creation.companion(), framePage), replaceEvery(*cleaned, "\r\n", "\n"));
            !s)
            return Error{s.error()};
    }
    const std::string frameset = replaceEvery(t.str(), "\r\n", "\n");
    if (auto s = creation.write(creation.files().page, textModeBytes(frameset)); !s) return Error{s.error()};
    return creation.files();
}

Result<CreatedFiles> createHtmlFile(const std::string& workingCopy, const std::vector<std::string>& frameCopies,
                                    const std::string& target) {
    if (isFramesetText(WebPage::ReadPageFile(workingCopy))) return CreateFramesetFile(workingCopy, frameCopies, target);
    return CreatePageFile(workingCopy, target);
}

} // namespace hw
