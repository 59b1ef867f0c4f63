#pragma once

#include "colour/TColor.h"

#include <optional>
#include <string>

namespace hw {

/// The commands and buttons whose enabled or checked state the program's operations set.
/// Names are those of the menu items and buttons they stand for.
enum class Command {
    // File menu
    mnuNewSwatchBook, mnuOpen, mnuSaveSwatchBook, mnuSaveSwatchBookAs, mnuExportSwatchBook, mnuImportSwatchBook,
    mnuOpenWebPage, mnuOpenWebScheme, mnuSaveWebScheme, mnuSaveWebSchemeAs, mnuCreateHtmlFile,
    mnuExportStylesheet, mnuExportSchemeColours,
    mnuPageSetUp, mnuPrintWebScheme, mnuExit,
    // Edit, View, Tools, Help (the contrast report's tool button shares its menu item's state)
    mnuUndo, mnuViewSource, mnuRefresh, mnuEditOptions, mnuViewTableBorders, mnuViewContrastReport,
    mnuViewSwatchBook,
    mnuHelpTopics,
    // tool bars of the browser area
    tbnOpenPage, tbnEditSource, tbnRefresh, tbnPreviousPage, tbnNextPage, tbnOpenScheme,
    tbnPreviousScheme, tbnNextScheme,
    // swatch book panel
    SBtbnBin, SBtbnPreviousCard, SBtbnPreviousScheme, SBtbnNextScheme, SBtbnNextCard,
    // swatch card panel
    SCtbnBin, SCtbnAddToBook,
    // the browser area itself
    pnlBrowserContainer,
    Count
};

/// The file dialogs of the main window. The palette dialogs offer the four palette formats,
/// and the path a save dialog returns ends in the extension of the format chosen.
enum class FileDialog {
    dlgSaveAs, dlgOpen, dlgOpenWebPage, dlgSaveScheme, dlgOpenWebScheme, dlgCreateHtml, dlgChooseEditor,
    dlgExportStylesheet, dlgExportBook, dlgExportScheme, dlgImportPalette
};

enum class Answer { Yes, No, Cancel };

/// A point on the screen, in pixels.
struct ScreenPoint {
    int x = 0;
    int y = 0;
};

class CommandStates;

/// What the swatch book panel shows of a card: its title, three colours and three captions.
struct CardView {
    std::string title;
    TColor colors[3] = {clWhite, clWhite, clWhite};
    std::string captions[3];
};

/// The narrow interface between the program's command logic and the screen. The main window
/// implements it; tests implement it with a recorder and scripted answers.
class Screen {
public:
    virtual ~Screen() = default;

    /// A question captioned "Huewright" with Yes, No and Cancel and the exclamation icon.
    virtual Answer askYesNoCancel(const std::string& text) = 0;
    /// A question captioned "Huewright" with Yes and No and the exclamation icon.
    virtual bool askYesNo(const std::string& text) = 0;
    /// A plain notice captioned "Huewright" (OK button).
    virtual void notify(const std::string& text) = 0;
    /// A notice captioned "Huewright" with the information icon.
    virtual void inform(const std::string& text) = 0;
    /// A failure told to the user, captioned "Huewright" with the warning icon.
    virtual void warn(const std::string& text) = 0;

    /// Runs a file dialog; the chosen path, or nullopt when the user cancels.
    virtual std::optional<std::string> chooseFile(FileDialog dialog) = 0;

    /// Shows the enabled and checked state of every command; called after each change of the
    /// store. The screen mirrors it and keeps no state of its own.
    virtual void mirrorCommandStates(const CommandStates& states) = 0;

    /// The main window's caption.
    virtual void setCaption(const std::string& caption) = 0;
    /// Shows a card on the swatch book panel.
    virtual void showCard(const CardView& card) = 0;
    /// Sets only the book panel's title label.
    virtual void setCardTitle(const std::string& title) = 0;

    /// Shows a file (a working copy) in the browser.
    virtual void navigate(const std::string& path) = 0;

    /// Sends the page a Ctrl+right-click at a screen point: the page picks the picture under it
    /// for recolouring. The screen answers later with ImageBlenderCommands::pickAnswered and
    /// `serial`.
    virtual void pickPictureAt(ScreenPoint point, unsigned serial) = 0;
    /// Sends the page a Ctrl+click at a screen point: the page shows the recoloured copy of the
    /// picture there.
    virtual void swapPictureAt(ScreenPoint point) = 0;
};

} // namespace hw
