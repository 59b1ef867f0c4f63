#pragma once

#include "colour/TColor.h"

#include <QLabel>

#include <optional>

namespace hw {

/// The magnifier of the screen picker and the image blender: a patch of the screen around the
/// pointer, a sixth of the magnifier each way (18 x 13 screen pixels), stretched over all of
/// it (113 x 81), under a fixed mark whose centre is the pixel under the pointer.
class Magnifier : public QLabel {
public:
    static constexpr int viewWidth = 113;
    static constexpr int viewHeight = 81;

    /// `mark` is drawn by a transparent child label named `markName`, so a panel can name it.
    Magnifier(QWidget* parent, const QString& name, const QPixmap& mark, const QString& markName = QString());

    /// Shows the patch around `globalPos` (screen pixels). Near a screen's edge the patch
    /// reaches past it; that part stays black and the rest keeps its place.
    void magnify(QPoint globalPos);

    /// An eyedropper whose tip is the magnified pixel, drawn towards the upper right.
    static QPixmap eyedropperMark();
    /// A small square at the centre with cross hairs to the edges.
    static QPixmap targetMark();
};

/// The colour of the screen pixel at `globalPos`; none when no screen can be read there.
std::optional<TColor> screenPixelAt(QPoint globalPos);

} // namespace hw
