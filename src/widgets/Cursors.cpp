#include "widgets/Cursors.h"

#include <QHash>
#include <QPixmap>

// The resources live in a static library, so they must be registered by hand.
static void initialiseResources() { Q_INIT_RESOURCE(huewright); }

namespace hw {

namespace {
QHash<int, QCursor>& table() {
    static QHash<int, QCursor> cursors;
    return cursors;
}
} // namespace

void registerCursors() {
    initialiseResources();
    // Hot spots: the tip of the drip, the tip of the eyedropper, the globe's centre.
    table().insert(crFill, QCursor(QPixmap(QStringLiteral(":/cursors/fill.png")), 4, 28));
    table().insert(crEyedropper, QCursor(QPixmap(QStringLiteral(":/cursors/eyedropper.png")), 1, 30));
    table().insert(crBrowser, QCursor(QPixmap(QStringLiteral(":/cursors/browser.png")), 16, 16));
}

QCursor cursorFor(int number) { return table().value(number, QCursor(Qt::ArrowCursor)); }

} // namespace hw
