#pragma once

#include "colour/Pallet.h"
#include "program/Screen.h"
#include "program/SchemeCommands.h"
#include "program/SwatchBookCommands.h"
#include "widgets/PanelControls.h"

#include <QFrame>

#include <array>

class QLineEdit;
class QToolButton;

namespace hw {

class ScreenPickerPanel;

/// The swatch book panel: one card (of the book or of a web scheme) with its title, three
/// colours and codes; card and scheme stepping, renaming, painting with a colour, copying; and
/// the hub of the tool panels, which stay docked around it when its title is dragged.
class SwatchBookPanel : public QFrame {
public:
    SwatchBookPanel(QWidget* parent, SwatchBookCommands& book, SchemeCommands& schemes, Pallet& pallet);

    /// The five tool panels around the book panel, in the order of their docking table.
    struct ToolPanels {
        QWidget* swatchCard = nullptr;
        ScreenPickerPanel* screenPicker = nullptr;
        QWidget* colorPalette = nullptr;
        QWidget* imageBlender = nullptr;
        QWidget* suggestedSchemes = nullptr;
    };
    void setToolPanels(const ToolPanels& panels) { m_tools = panels; }
    /// Places the five tool panels by the docking table around the book panel's place.
    void dockToolPanels();

    void showCard(const CardView& card);
    void setCardTitle(const std::string& title);
    /// The current card's whole title; the label may show it shortened.
    const QString& cardTitle() const { return m_cardTitle; }

    QFrame* SBpnlBookTitleBar = nullptr;
    PanelBox* SBimgEyedropper = nullptr;
    PanelBox* SBimgImageBlender = nullptr;
    PanelLabel* SBlblSwatchBook = nullptr;
    PanelBox* SBimgMenu = nullptr;
    PanelBox* SBimgCardsOpen = nullptr;
    PanelBox* SBimgColorPalette = nullptr;
    QToolButton* SBtbnBin = nullptr;
    QToolButton* SBtbnPreviousCard = nullptr;
    QToolButton* SBtbnPreviousScheme = nullptr;
    QToolButton* SBtbnNextScheme = nullptr;
    QToolButton* SBtbnNextCard = nullptr;
    PanelLabel* SBlblCardTitle = nullptr;
    QLineEdit* SBeditCardTitle = nullptr;
    PanelLabel* SBlblCaption(int n) const { return m_caption[n - 1]; }
    PanelBox* SBpnlColor(int n) const { return m_color[n - 1]; }

    void SBlblSwatchBookMouseDown(QMouseEvent* e);
    void SBimgEyedropperMouseDown(QMouseEvent* e);
    void SBimgEyedropperMouseMove(QMouseEvent* e);
    void SBimgImageBlenderClick();
    void SBimgColorPaletteClick();
    void SBimgMenuClick();
    void SBimgCardsOpenClick();
    void SBtbnPreviousSchemeClick();
    void SBtbnNextSchemeClick();
    void SBlblCardTitleClick();
    void SBeditCardTitleKeyPress(int key);
    void SBpnlColorNClick(int n);
    void SBpnlColorNMouseMove(int n);
    void SBlblCaptionNClick(int n);
    /// Tools > Swatch Book: hides the panel with its tool panels, or shows it.
    void viewSwatchBook(bool show);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showMenuImage(bool menuShown);
    void showCardTitle(const QString& title);
    void dragMove(QMouseEvent* e);
    void dragEnd();

    SwatchBookCommands& m_book;
    SchemeCommands& m_schemes;
    Pallet& m_pallet;
    ToolPanels m_tools;
    std::array<PanelLabel*, 3> m_caption{};
    std::array<PanelBox*, 3> m_color{};
    QString m_cardTitle;
    // The title drag: where the press was inside the panel, and the panels it hid.
    bool m_dragging = false;
    QPoint m_dragOffset;
    std::array<bool, 5> m_wasVisible{};
    /// The card whose title SBeditCardTitle is editing; -1 while the editor is closed.
    int m_editedCard = -1;
    /// Closes the title editor without renaming; the label shows the current card's title.
    void cancelCardTitleEdit();
};

} // namespace hw
