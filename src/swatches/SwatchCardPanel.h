#pragma once

#include "colour/Pallet.h"
#include "program/Session.h"
#include "widgets/PanelControls.h"

#include <QFrame>

#include <array>
#include <functional>

class QToolButton;

namespace hw {

class TfrmSlider;

/// Tells on the main window's status bar that a slot's caption was refused as a colour code, so
/// a click that leaves the painting colour as it was does not pass unexplained.
void reportRefusedCaption(QWidget* panel, const std::string& why);

/// The swatch card: three slots that take the current colour with a click, show it with its
/// hex code, copy the code, paint with the colour again (the swatch square) or open the slider
/// popup (right button). The card lives in the controls themselves until it is added to the
/// book. Slot numbers n are 1, 2 and 3.
class SwatchCardPanel : public QFrame {
public:
    SwatchCardPanel(QWidget* parent, Session& session, Pallet& pallet, TfrmSlider& slider);

    QToolButton* SCtbnBin = nullptr;
    QToolButton* SCtbnAddToBook = nullptr;
    PanelBox* SCpnlColor(int n) const { return m_color[n - 1]; }
    PanelLabel* SClblCaption(int n) const { return m_caption[n - 1]; }
    PanelBox* SCpnlSwatch(int n) const { return m_swatch[n - 1]; }
    QFrame* SCpnlSwatchOutline(int n) const { return m_swatchOutline[n - 1]; }
    QFrame* SCpnlCardOutline(int n) const { return m_cardOutline[n - 1]; }

    void SCpnlColorNClick(int n);
    void SCpnlColorNMouseDown(int n, QMouseEvent* e);
    void SCpnlColorNMouseMove(int n);
    void SClblCaptionNClick(int n);
    void SClblCaptionNMouseMove(int n);
    void SCpnlSwatchNClick(int n);
    void SCpnlSwatchNMouseMove(int n);
    void SCtbnBinClick();
    void SCtbnAddToBookClick();

private:
    void sliderRecoloured(PanelBox* target, TColor color);

    Session& m_session;
    Pallet& m_pallet;
    TfrmSlider& m_slider;
    std::array<QFrame*, 3> m_cardOutline{};
    std::array<PanelBox*, 3> m_color{};
    std::array<PanelLabel*, 3> m_caption{};
    std::array<QFrame*, 3> m_swatchOutline{};
    std::array<PanelBox*, 3> m_swatch{};
};

} // namespace hw
