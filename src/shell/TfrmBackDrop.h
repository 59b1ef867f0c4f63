#pragma once

#include "colour/Pallet.h"
#include "colour/Ucolorschemer.h"
#include "shell/Program.h"
#include "shell/Screen.h"
#include "swatches/SwatchBookCommands.h"
#include "swatches/WindowCaption.h"

#include <QHash>
#include <QMainWindow>

#include <array>
#include <functional>
#include <optional>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;

class TfrmEditor;

namespace hw {

class WebBrowser;
class SwatchCardPanel;
class SwatchBookPanel;
class ColorPalettePanel;
class SuggestedSchemesPanel;
class ScreenPickerPanel;
class ImageBlenderPanel;
class TfrmSlider;

/// The main window: menu, tool bars, the browser area with its floating tool panels and the
/// status bar. It implements the screen side of the program's command logic.
class TfrmBackDrop : public QMainWindow, public Screen {
    Q_OBJECT
public:
    explicit TfrmBackDrop(QWidget* parent = nullptr);
    ~TfrmBackDrop() override;

    Program& program() { return m_program; }
    WebBrowser* WebBrowser1() const { return m_browser; }

    /// Opens what the command line names (a page, a scheme or a swatch book), then takes the
    /// focus.
    void recogniseCommandLine(const QString& commandLine);

    /// Makes a later panel's button follow the enabled state of `command`.
    void registerControl(Command command, QWidget* control);

    /// The tool panel frames, by their names ("SBpnlOutline", "SCpnlOutline", ...).
    QFrame* panel(const QString& name) const;
    QWidget* browserContainer() const { return m_browserContainer; }

    // The tool panels and what they share.
    Pallet& pallet() { return m_pallet; }
    PaletteState& paletteState() { return m_paletteState; }
    SwatchBookCommands& bookCommands() { return m_bookCommands; }
    SwatchCardPanel* swatchCardPanel() const { return m_swatchCardPanel; }
    SwatchBookPanel* swatchBookPanel() const { return m_swatchBookPanel; }
    ColorPalettePanel* colorPalettePanel() const { return m_colorPalettePanel; }
    SuggestedSchemesPanel* suggestedSchemesPanel() const { return m_suggestedSchemesPanel; }
    ScreenPickerPanel* screenPickerPanel() const { return m_screenPickerPanel; }
    ImageBlenderPanel* imageBlenderPanel() const { return m_imageBlenderPanel; }
    TfrmSlider* frmSlider() const { return m_frmSlider; }

    // The screen.
    Answer askYesNoCancel(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void notify(const std::string& text) override;
    void inform(const std::string& text) override;
    void warn(const std::string& text) override;
    std::optional<std::string> chooseFile(FileDialog dialog) override;
    void setEnabled(Command command, bool enabled) override;
    void setChecked(Command command, bool checked) override;
    bool isEnabled(Command command) const override;
    bool isChecked(Command command) const override;
    void setCaption(const std::string& caption) override;
    void showCard(const CardView& card) override;
    void setCardTitle(const std::string& title) override;
    void navigate(const std::string& path) override;

    /// Scripted answers for tests: when set, they stand in for the dialogs and message boxes.
    std::function<std::optional<std::string>(FileDialog)> fileDialogOverride;
    std::function<Answer(const std::string&)> questionOverride;
    std::function<void(const std::string&)> noticeOverride;

    // Handlers.
    void mnuOpenWebPageClick();
    void tbnOpenPageClick() { mnuOpenWebPageClick(); }
    void mnuExitClick();
    void mnuUndoClick();
    void mnuPrintWebSchemeClick();
    void mnuPageSetUpClick();
    void mnuViewSwatchBookClick();
    /// Recomputes the suggested schemes from the palette (after every palette change).
    void SuggestSchemes();
    void mnuViewSourceClick();
    void tbnEditSourceClick() { mnuViewSourceClick(); }
    void mnuEditOptionsClick();
    void mnuHelpTopicsClick();

    TfrmEditor* frmEditor() const { return m_frmEditor; }
    void WebBrowser1DocumentComplete();
    void WebBrowser1CommandStateChange();

    /// The image blender's repaint drag ended at `globalPos`: the page picks the picture under
    /// it (its Ctrl+right-click) and the recolouring waits for the pick's command-state change.
    void IBtbnRepaintDropped(const QPoint& globalPos);
    /// Recolours the picked picture and makes the page show the copy (its Ctrl+left-click at
    /// the drop point). Runs once per drop.
    void recolourImage();
    bool repaintArmed() const { return m_repaintArmed; }

signals:
    /// The document complete event has been handled (the page's colours collected when due).
    void documentHandled();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createMenu();
    void createToolBars();
    void createBrowserArea();
    void createEditor();
    void createToolPanels();
    void connectBookCommands();
    void connectImageBlender();
    /// Dispatches a Ctrl mouse event of `type` ("contextmenu" or "click") at the element under
    /// `globalPos`, inside a frame when the point is in one; `done` learns whether an element
    /// was found and whether the page then holds a picture pick.
    void sendPageCtrlClick(const QPoint& globalPos, const QString& type,
                           const std::function<void(bool found, bool picked)>& done);
    void applyState(Command command);
    void setMaximizeBox(bool shown);

    Program m_program;
    Pallet m_pallet;
    PaletteState m_paletteState;
    SwatchBookCommands m_bookCommands{*this, m_program.windowCaption};
    SwatchCardPanel* m_swatchCardPanel = nullptr;
    SwatchBookPanel* m_swatchBookPanel = nullptr;
    ColorPalettePanel* m_colorPalettePanel = nullptr;
    SuggestedSchemesPanel* m_suggestedSchemesPanel = nullptr;
    ScreenPickerPanel* m_screenPickerPanel = nullptr;
    ImageBlenderPanel* m_imageBlenderPanel = nullptr;
    bool m_repaintArmed = false;
    QPoint m_dropPoint;        ///< screen pixels where the last repaint drag ended
    unsigned m_dropSerial = 0; ///< tells a late answer of an earlier drop from the current one
    TfrmSlider* m_frmSlider = nullptr;
    WebBrowser* m_browser = nullptr;
    TfrmEditor* m_frmEditor = nullptr;
    QWidget* m_browserContainer = nullptr;
    QLabel* m_lblBrowserCaption = nullptr;
    QHash<QString, QFrame*> m_panels;
    QHash<int, QAction*> m_actions;
    QHash<int, QList<QWidget*>> m_controls;
    std::array<bool, static_cast<std::size_t>(Command::Count)> m_enabled{};
    std::array<bool, static_cast<std::size_t>(Command::Count)> m_checked{};
    bool m_styleSaved = false;
};

} // namespace hw
