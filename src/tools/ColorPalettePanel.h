#pragma once

#include "colour/Pallet.h"
#include "colour/Ucolorschemer.h"
#include "program/Screen.h"
#include "widgets/PanelControls.h"

#include <QFrame>
#include <QImage>

#include <functional>

class QLineEdit;
class QToolButton;

namespace hw {

/// The colour palette: hue by saturation picture, luminance strip, three marker strips, hex and
/// channel boxes, and the swatch of the colour under edit (the shared palette state). A click on
/// the swatch makes it the current colour.
class ColorPalettePanel : public QFrame {
public:
    ColorPalettePanel(QWidget* parent, Screen& screen, Pallet& pallet, PaletteState& state);

    /// Shows the swatch card panel (a pick).
    std::function<void()> showSwatchCard;
    /// Recomputes the suggested schemes from the palette state.
    std::function<void()> suggestSchemes;
    /// Shows the suggested schemes panel when hidden, hides it when shown.
    std::function<void()> toggleSuggestedSchemes;

    /// The caption above the hue marker in the header strip.
    QLabel* CPlblCaption = nullptr;
    PanelBox* CPpbxHueSlider = nullptr;
    /// Rows of the header strip the hue marker takes, at its bottom.
    static constexpr int kHueMarkerRows = 4;
    QToolButton* CPtbnSuggestColors = nullptr;
    PanelBox* CPpbxSatSlider = nullptr;
    PanelBox* CPimgPalette = nullptr;
    PanelBox* CPpbxLumPalette = nullptr;
    PanelBox* CPpbxLumSlider = nullptr;
    PanelBox* CPpnlSwatch = nullptr;
    QLineEdit* CPeditHex = nullptr;
    QLineEdit* CPeditHue = nullptr;
    QLineEdit* CPeditSat = nullptr;
    QLineEdit* CPeditLum = nullptr;
    QLineEdit* CPeditRed = nullptr;
    QLineEdit* CPeditGreen = nullptr;
    QLineEdit* CPeditBlue = nullptr;

    // Where each marker was last drawn, and where it is to be drawn (strip pixels).
    int prevHueMarker = 0;
    int prevSatMarker = 0;
    int prevLumMarker = 0;
    int hueMarker = 0;
    int satMarker = 0;
    int lumMarker = 0;

    void CPimgPaletteClick();
    void CPimgPaletteMouseMove(QMouseEvent* e);
    void CPpbxLumPaletteClick();
    void CPpbxLumPaletteMouseMove(QMouseEvent* e);
    void CPpbxHueSliderMouseMove(QMouseEvent* e);
    void CPpbxSatSliderMouseMove(QMouseEvent* e);
    void CPpbxLumSliderMouseMove(QMouseEvent* e);
    void CPeditHexKeyUp();
    void CPeditRedKeyUp() { channelKeyUp(CPeditRed, m_state.red); }
    void CPeditGreenKeyUp() { channelKeyUp(CPeditGreen, m_state.green); }
    void CPeditBlueKeyUp() { channelKeyUp(CPeditBlue, m_state.blue); }
    void CPpnlSwatchClick();
    void CPpnlSwatchMouseMove();
    void CPtbnSuggestColorsClick();

    /// Steps 1 and 2 of a refresh: the displays and the marker positions from the state.
    void showDisplays();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Change { HueSat, Lum };
    void ShowPaletteState(Change change, bool hueChanged);
    void refreshAfterEntry();
    void channelKeyUp(QLineEdit* box, int& channel);
    void DrawHueSatMarkers();
    void DrawLumMarker();
    void PaintLumStrip(QPainter& p);
    void paintHueSlider(QPainter& p);
    void paintSatSlider(QPainter& p);
    void paintLumSlider(QPainter& p);

    Screen& m_screen;
    Pallet& m_pallet;
    PaletteState& m_state;
    QImage m_picture;
};

} // namespace hw
