#pragma once

#include "colour/Pallet.h"
#include "widgets/PanelControls.h"

#include <QFrame>

#include <functional>

namespace hw {

class Magnifier;

/// The screen picker: a magnified view around the pointer while the book panel's eyedropper is
/// dragged, the colour of the pixel under it and its hex code. A click on the colour or the code
/// makes it the current colour.
class ScreenPickerPanel : public QFrame {
public:
    ScreenPickerPanel(QWidget* parent, Pallet& pallet);

    /// Shows the swatch card panel (a pick).
    std::function<void()> showSwatchCard;

    Magnifier* SPimgMagnifier = nullptr;
    PanelLabel* SPlblPickerCaption = nullptr;
    PanelBox* SPpnlPickerColor = nullptr;

    /// Reads the screen pixel at `globalPos` (screen coordinates) into the colour, magnifies its
    /// surroundings and, on a move (not on the press), shows its hex code.
    void sample(QPoint globalPos, bool showCode);

    void SPpnlPickerColorClick();
    void SPlblPickerCaptionClick() { SPpnlPickerColorClick(); }
    void SPpnlPickerColorMouseMove();
    void SPlblPickerCaptionMouseMove() { SPpnlPickerColorMouseMove(); }

private:
    Pallet& m_pallet;
};

} // namespace hw
