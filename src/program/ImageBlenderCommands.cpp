#include "program/ImageBlenderCommands.h"

#include "blender/ImageBlender.h"
#include "engine/ChangeRecord.h"

#include <algorithm>

namespace hw {

ImageBlenderCommands::ImageBlenderCommands(ProgramState& state, Screen& screen) : m_state(state), m_screen(screen) {}

void ImageBlenderCommands::IBtbnRepaintDropped(ScreenPoint point, bool onPage, TColor oldColour,
                                               std::optional<TColor> newColour) {
    const unsigned serial = ++m_serial;
    m_armed = false;
    if (!newColour) {
        m_screen.notify("Please add a new image color to the lower panel.");
        return;
    }
    if (!onPage) return;
    m_dropPoint = point;
    m_oldColour = oldColour;
    m_newColour = *newColour;
    m_armed = true;
    m_screen.pickPictureAt(point, serial);
}

void ImageBlenderCommands::pickAnswered(unsigned serial, bool picked) {
    // Without a picture there is no cookie and so no command-state change: disarm here, so a
    // later paint does not recolour.
    if (serial == m_serial && !picked) m_armed = false;
}

void ImageBlenderCommands::recolourImage() {
    if (!m_armed) return;
    m_armed = false;
    std::string path = ImageRequestPath(m_state.work).str();
    std::erase(path, '\n');
    if (path.empty()) return;
    const Result<std::string> result = hw::recolourImage(path, m_oldColour, m_newColour);
    if (!result) {
        // The page keeps its picture: a swap to an empty or stale copy would lose it.
        m_screen.warn(result.error());
        return;
    }
    m_screen.swapPictureAt(m_dropPoint);
}

} // namespace hw
