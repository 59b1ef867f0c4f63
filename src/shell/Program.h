#pragma once

#include "engine/WebPage.h"
#include "engine/WebScheme.h"
#include "swatches/WindowCaption.h"
#include "shell/Screen.h"

#include <functional>
#include <string>
#include <vector>

namespace hw {

/// The pages opened since start-up, by page index. Indexes are never reused; the history grows
/// with every opening (there is no limit of ten).
struct PageHistory {
    std::vector<std::string> workingCopies; ///< full path of each working copy
    std::vector<std::string> pageFiles;     ///< the opened page (the editor and the caption read it)
    std::vector<std::string> pagePaths;     ///< the opened page (the scheme commands read it)
    std::vector<bool> pageBorders;          ///< table borders shown for that page
    int currentPage = 0;
    int lastPage = -1;

    void add(const std::string& workingCopy, const std::string& page);
};

/// What a command line asks for.
struct CommandLineRequest {
    enum class Kind { Nothing, Scheme, Page, Book } kind = Kind::Nothing;
    std::string path; ///< the file to open
};

/// Recognises the one file named on the command line by the extension of the whole command
/// line (from its last "." to the end, provided no "/" or ":" follows it), compared exactly:
/// ".wsm", ".htm", ".html" and ".sbk". A scheme or book is taken from the current folder and the
/// command line's file name; a page from the command line's path.
CommandLineRequest recogniseCommandLine(const std::string& commandLine, const std::string& currentFolder);

/// The program-wide objects and the command logic of opening pages and of shutting down. The
/// screen is reached only through `Screen`; what later subsystems add is reached through the
/// hooks.
class Program {
public:
    explicit Program(Screen& screen);

    // Program-wide objects.
    WebPage webPage;
    std::string currentPagePath;
    PageHistory history;
    bool showingPage = false;
    bool showingScheme = false;
    bool colourScanPending = false;
    bool navigationCancelled = false;
    bool skipUndoEnable = false;
    int lastScheme = -1;
    WebScheme webScheme; ///< pageFile, cookieAnchor and the scheme work

    /// The window caption's two texts, shared with the swatch book commands.
    WindowCaption windowCaption;

    /// Hooks for what other subsystems own; each has a harmless default.
    struct Hooks {
        std::function<std::string()> bookFileName = [] { return std::string(); };
        std::function<void()> showCurrentBookCard = [] {};
        /// Leaving a painted page or scheme; may set navigationCancelled.
        std::function<void()> checkUnsavedChanges = [] {};
        /// Save Web Scheme As from the close question.
        std::function<void()> saveWebSchemeAs = [] {};
        /// The swatch book's close question; false keeps the program open.
        std::function<bool()> bookCloseQuery = [] { return true; };
        /// The image blender's recolouring, due after a repaint drag ended on the page.
        std::function<bool()> repaintArmed = [] { return false; };
        std::function<void()> recolourImage = [] {};
        /// Removes the working files of the schemes and of the image blender.
        std::function<void()> extraCleanUp = [] {};
    } hooks;

    /// File > Open Web Page and its tool button.
    void mnuOpenWebPageClick();
    /// Opens a page named on the command line. Returns false (and tells the user) when the page
    /// cannot be read or its working copy cannot be written.
    bool OpenWebPageFromPath(const std::string& path);

    /// The browser's signal that the page may have changed (a paint, an undo, a picture pick).
    void WebBrowser1CommandStateChange();

    /// Whether the page on show has a change record in the cookie store.
    bool hasChangeRecord() const;

    /// The close question and, when the program may close, the clean-up of every working file.
    /// Returns whether the program may close.
    bool FormCloseQuery();
    /// Deletes the working copies, frame copies, the working scripts of the Temp folder and the
    /// local cookies.
    void cleanUp();

private:
    enum class From { Menu, Path };
    bool openPage(const std::string& path, From from);
    void recomposeCaption();

    Screen& m_screen;
};

} // namespace hw
