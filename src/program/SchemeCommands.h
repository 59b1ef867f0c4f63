#pragma once

#include "engine/SchemeView.h"
#include "program/CommandStates.h"
#include "program/ImageBlenderCommands.h"
#include "program/ProgramState.h"
#include "program/Screen.h"

#include <string>

namespace hw {

/// The recoloured pictures of the scheme view, made by the image blender.
class BlenderPictures : public PictureMaker {
public:
    std::string recreate(const std::string& sourcePath, const std::string& modulation,
                         const std::string& oldColour) override;
};

/// The commands that keep painted work as web schemes and move between them: Save Web Scheme
/// As, Save Web Scheme, Open Web Scheme, the question before painted work is left (with the
/// automatic save of a painted scheme), stepping through the schemes and their cards, the
/// browser's command-state event by which painting is noticed, and the scheme view itself.
///
/// Every scheme file, backup and restore is written to a temporary name beside its target and
/// renamed over it; a failed write is told and leaves the old file whole.
class SchemeCommands {
public:
    SchemeCommands(ProgramState& state, CommandStates& states, Screen& screen, ImageBlenderCommands& blender);

    /// Whether the page or scheme on show has a change record in the cookie store.
    bool hasChangeRecord() const;

    /// Before painted work is left. In the page view it asks "Save changes to Untitled.wsm?";
    /// in the scheme view the painting is saved into the scheme file without asking, after a
    /// backup of the last explicit save. Returns whether the work may be left: Cancel, a
    /// cancelled save dialog and a failed save keep it. When it may be left, the record is
    /// purged from the cookie store.
    bool CheckUnsavedChanges();

    /// File > Save Web Scheme As, from the page view or the scheme view. Returns whether a
    /// scheme file was written and shown.
    bool mnuSaveWebSchemeAsClick();
    /// File > Save Web Scheme (Ctrl+S): merges the painting into the scheme file, shows it
    /// again and drops the backup. Returns whether it was saved.
    bool mnuSaveWebSchemeClick();
    /// File > Open Web Scheme and its tool button.
    void mnuOpenWebSchemeClick();
    /// Open Web Scheme with the file already chosen (a scheme dropped on the window).
    void openWebScheme(const std::string& path);
    /// File > Create HTML File: the scheme on show written out as a finished page, its pictures
    /// and stylesheet beside it.
    void mnuCreateHtmlFileClick();
    /// File > Export Scheme Colours: the swatch cards of the scheme on show, read from its
    /// scheme file, as a GIMP, ASE, CSS or design-token palette named after the scheme.
    void exportSchemeColours();
    /// File > Export Scheme as Stylesheet: the scheme on show as a stylesheet for its page (one
    /// per frame of a frameset), written where the user chooses.
    void mnuExportStylesheetClick();
    /// A scheme named on the command line: opened without a dialog or a question.
    bool OpenSchemeFromCommandLine(const std::string& path);

    /// The browser area's scheme buttons: first to the edge of the scheme's cards, then a step.
    void tbnPreviousSchemeClick();
    void tbnNextSchemeClick();
    /// The book panel's scheme buttons: card by card, a step when the neighbour is another
    /// scheme's card.
    void SBtbnPreviousSchemeClick();
    void SBtbnNextSchemeClick();
    void PreviousScheme();
    void NextScheme();

    /// The browser's signal that the page may have changed (a paint, an undo, a picture pick).
    void WebBrowser1CommandStateChange();

    /// The close questions: the painting on show, then every scheme changed since its last
    /// explicit save (Yes saves, No restores the backup). Returns whether the program may close.
    bool closeQuery();
    /// Deletes the schemes' working files.
    void cleanUp();

    /// Builds the current scheme's working copy, shows it and makes or renews its cards.
    /// A scheme that cannot be shown is told; returns whether it is on show.
    bool LoadScheme(const std::string& schemeFile);
    /// Builds the current scheme's working copy again, without showing it.
    bool RebuildSchemePage(const std::string& schemeFile);

private:
    enum class Step { Previous, Next };
    /// "Save changes to Untitled.wsm?" about painting on a page: whether it may be left (Yes
    /// saved it, No lets it go); Cancel, a cancelled dialog and a failed save keep it.
    bool mayLeavePaintedPage();
    void stepScheme(Step step);
    /// Moves to the neighbouring scheme card when it belongs to the same scheme.
    bool stepInsideScheme(int step);
    PageScheme& currentSlot() { return m_state.schemes[static_cast<std::size_t>(m_state.currentScheme)]; }
    /// Merges the cookie's record into a scheme file, by frame for a frameset scheme.
    bool mergeInto(const std::string& schemeFile);
    /// Adds an open scheme and makes it current.
    void addSlot(const std::string& schemeFile, bool tableBorders);
    void showSchemeCaption();
    void showCurrentSchemeCard();

    ProgramState& m_state;
    CommandStates& m_states;
    Screen& m_screen;
    ImageBlenderCommands& m_blender;
    BlenderPictures m_pictures;
};

} // namespace hw
