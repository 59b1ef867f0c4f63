#pragma once

#include "colour/TColor.h"
#include "program/ProgramState.h"
#include "program/Screen.h"

#include <optional>

namespace hw {

/// The image blender's repaint drag: the drop on the page picks the picture under it, the
/// pick's command-state change recolours it, and the page then swaps in the copy.
///
/// The drop is answered asynchronously: the screen reports the page's pick with the drop's
/// serial number, so a late answer of an earlier drop cannot disarm or arm the current one.
class ImageBlenderCommands {
public:
    ImageBlenderCommands(ProgramState& state, Screen& screen);

    /// The repaint button was let go at `point`. `onPage` tells whether the point lies on the
    /// page itself (not on a tool panel above it or outside the browser); `newColour` is empty
    /// while the panel has none.
    void IBtbnRepaintDropped(ScreenPoint point, bool onPage, TColor oldColour, std::optional<TColor> newColour);
    /// The page has answered the pick of drop `serial`: whether a picture was found.
    void pickAnswered(unsigned serial, bool picked);

    /// A recolouring is due on the next command-state change.
    bool repaintArmed() const { return m_armed; }
    /// Recolours the picked picture and makes the page show the copy; runs once per drop.
    void recolourImage();

private:
    ProgramState& m_state;
    Screen& m_screen;
    bool m_armed = false;
    ScreenPoint m_dropPoint;
    unsigned m_serial = 0;
    TColor m_oldColour = 0;
    TColor m_newColour = 0;
};

} // namespace hw
