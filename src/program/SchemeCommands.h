#pragma once

#include "program/CommandStates.h"
#include "program/ImageBlenderCommands.h"
#include "program/ProgramState.h"
#include "program/Screen.h"

namespace hw {

/// The commands that keep painted work as web schemes, the question before painted work is
/// left, the browser's command-state event by which the program notices painting, and the
/// stepping through the schemes' cards.
class SchemeCommands {
public:
    SchemeCommands(ProgramState& state, CommandStates& states, Screen& screen, ImageBlenderCommands& blender);

    /// Whether the page on show has a change record in the cookie store.
    bool hasChangeRecord() const;

    /// Before painted work is left: asks "Save changes to Untitled.wsm?" in the page view.
    /// Returns whether the work may be left; Cancel, a cancelled save dialog and a failed save
    /// keep it. When it may be left, the page's record is purged from the cookie store.
    bool CheckUnsavedChanges();

    /// File > Save Web Scheme As in the page view: writes the painted page as a scheme file.
    /// Returns whether a scheme file was written (false when the dialog was cancelled or the
    /// write failed, which is told).
    bool mnuSaveWebSchemeAsClick();

    /// The browser's signal that the page may have changed (a paint, an undo, a picture pick).
    void WebBrowser1CommandStateChange();

    /// The first close question: painting on show. Returns whether the program may go on
    /// closing.
    bool closeQuery();

    /// The book panel's Previous and Next Scheme: step card by card inside the scheme on show.
    void SBtbnPreviousSchemeClick();
    void SBtbnNextSchemeClick();

private:
    /// Moves to the neighbouring scheme card when it belongs to the same scheme.
    bool stepInsideScheme(int step);

    ProgramState& m_state;
    CommandStates& m_states;
    Screen& m_screen;
    ImageBlenderCommands& m_blender;
};

} // namespace hw
