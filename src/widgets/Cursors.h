#pragma once

#include <QCursor>

namespace hw {

/// The program's own cursors, registered under the numbers the panels use.
enum CursorNumber { crFill = 5, crEyedropper = 6, crBrowser = 7 };

/// Loads the three cursors from the resources; call once after the application exists.
void registerCursors();
/// The registered cursor of that number (the arrow for any other number).
QCursor cursorFor(int number);

} // namespace hw
