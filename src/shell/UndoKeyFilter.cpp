#include "shell/UndoKeyFilter.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>

namespace hw {

namespace {

bool windowTakesKey(const QWidget* window, const QKeySequence& key) {
    const auto actions = window->findChildren<QAction*>();
    for (const QAction* action : actions)
        if (action->isEnabled() && action->shortcuts().contains(key)) return true;
    return false;
}

} // namespace

bool UndoKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!key->matches(QKeySequence::Undo)) return false;
    if (!windowTakesKey(static_cast<QWidget*>(watched)->window(), QKeySequence(key->keyCombination()))) return false;
    // Left unaccepted, the event tells the shortcut map that no widget overrides the key, so
    // the window's action takes it.
    event->ignore();
    return true;
}

} // namespace hw
