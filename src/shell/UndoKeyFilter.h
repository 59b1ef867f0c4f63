#pragma once

#include <QObject>

namespace hw {

/// Gives the undo key (Ctrl+Z) to the window's own undo action whichever of its widgets has the
/// focus: a text box of a panel claims the key for its own undo, which would leave the page's
/// paints without a key to take them back. Only a window with an enabled action for the key is
/// concerned, so the boxes of dialogs, and those of the main window while there is nothing to
/// undo, keep their own undo. Installed on the application.
class UndoKeyFilter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace hw
