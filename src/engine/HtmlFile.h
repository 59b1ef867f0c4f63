#pragma once

// Create HTML File: the scheme on show, cleaned of everything instrumentation put in, written as
// a finished page that no longer needs the program. Everything the page uses besides its own
// files goes beside it and is linked relatively, so the page can be moved or published with
// its companions:
//
//   site.html          the created page (a frameset page for a frameset scheme)
//   site.css           the scheme's stylesheet, when the page links one
//   site_files/        recoloured pictures under their source pictures' names, the banner
//                      picture, and for a frameset frame0.html, frame1.html, ...

#include "base/Result.h"

#include <string>
#include <vector>

namespace hw {

/// The files one creation wrote, in the order written; the created page comes last.
struct CreatedFiles {
    std::string page;
    std::vector<std::string> written;
};

/// The closing notice: "The file site.html has been created and saved to" and, on its own
/// line, the folder of the created page.
std::string createdNotice(const CreatedFiles& files);

/// Writes the finished page of a single page's working copy (the "ps" file) to `target`. The
/// stylesheet that the working copy links (its "ss" copy, beside the working copy) becomes
/// base + ".css" beside `target`. Nothing is shown: a file that cannot be read or written is an
/// error naming it, and the page itself is then not written.
Result<CreatedFiles> CreatePageFile(const std::string& workingCopy, const std::string& target);

/// Writes the finished frameset page of a frameset copy to `target` and one finished page per
/// frame copy that the frameset shows, as frame0.html, frame1.html, ... (by index in
/// `frameCopies`) in the companion folder.
Result<CreatedFiles> CreateFramesetFile(const std::string& framesetCopy, const std::vector<std::string>& frameCopies,
                                        const std::string& target);

/// CreateFramesetFile when the working copy is a frameset, else CreatePageFile.
Result<CreatedFiles> createHtmlFile(const std::string& workingCopy, const std::vector<std::string>& frameCopies,
                                    const std::string& target);

} // namespace hw
