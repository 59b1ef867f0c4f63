#pragma once

#include "colour/Ucolorschemer.h"
#include "widgets/PanelControls.h"

#include <QWidget>

#include <functional>

namespace hw {

/// The saturation and luminance popup of a swatch card slot: two strips at the slot colour's
/// hue with a slide beside each. Dragging a slide recolours the target slot at once; the
/// current colour is not touched. Frameless and on top; it hides when it loses activation.
class TfrmSlider : public QWidget {
public:
    explicit TfrmSlider(PaletteState& state, QWidget* parent = nullptr);

    /// Opens the popup for `target` with its top-left corner at `screenPos`.
    void open(PanelBox* target, QPoint screenPos);

    PanelBox* targetPanel() const { return m_targetPanel; }
    /// Tells the owner of the target (the swatch card) that the target took a new colour.
    std::function<void(PanelBox* target, TColor color)> onTargetRecoloured;

    PanelBox* pbxSatSlide = nullptr;
    PanelBox* pbxSatPalette = nullptr;
    PanelBox* pbxLumPalette = nullptr;
    PanelBox* pbxLumSlide = nullptr;

    int prevSlideSatMarker = 0;
    int prevSlideLumMarker = 0;

    void pbxSatPalettePaint(QPainter& p);
    void pbxLumPalettePaint(QPainter& p);
    void pbxSatSlidePaint(QPainter& p);
    void pbxLumSlidePaint(QPainter& p);
    void pbxSatSlideMouseMove(QMouseEvent* e);
    void pbxLumSlideMouseMove(QMouseEvent* e);
    void pbxSatSlideMouseUp(QMouseEvent*) {}
    void pbxLumSlideMouseUp(QMouseEvent*) {}
    void FormDeactivate() { hide(); }

protected:
    bool event(QEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void sliderFromTarget();
    /// Sets saturation or luminance from a press or drag at `e` on a strip or its slide.
    void adjust(PanelBox* box, QMouseEvent* e, bool saturation);

    PaletteState& m_state;
    PanelBox* m_targetPanel = nullptr;
};

} // namespace hw
