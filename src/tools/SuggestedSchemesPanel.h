#pragma once

#include "colour/Pallet.h"
#include "colour/Ucolorschemer.h"
#include "widgets/PanelControls.h"

#include <QFrame>

#include <array>
#include <functional>

class QScrollArea;

namespace hw {

/// Four three-colour schemes around the colour under edit; a click on one of the twelve colours
/// makes it the current colour and the painting colour at once.
class SuggestedSchemesPanel : public QFrame {
public:
    SuggestedSchemesPanel(QWidget* parent, Pallet& pallet, const PaletteState& state);

    /// Shows the swatch card panel (a pick).
    std::function<void()> showSwatchCard;

    /// Colour c (1-3) of scheme s (1-4).
    PanelBox* SSpnlColor(int c, int s) const { return m_colors[s - 1][c - 1]; }

    /// Recomputes the twelve colours from the palette state and the palette's swatch colour.
    void SuggestSchemes(TColor swatch);
    void SSpnlColorSchemeClick(int c, int s);
    void SSpnlColorSchemeMouseMove(int c, int s);

    /// The scroll box of the four schemes, one row of three colours each.
    QScrollArea* SSScrollBox1 = nullptr;
    /// From the top of one scheme row to the top of the next.
    static constexpr int kSchemeRowPitch = 36;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int m_wheelTurn = 0;
    Pallet& m_pallet;
    const PaletteState& m_state;
    std::array<std::array<PanelBox*, 3>, 4> m_colors{};
};

} // namespace hw
