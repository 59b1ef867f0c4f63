#pragma once

#include "colour/Pallet.h"
#include "colour/Ucolorschemer.h"
#include "program/DialogFolders.h"
#include "program/Screen.h"
#include "program/Session.h"

#include <QHash>
#include <QEvent>
#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMimeData;
class QFrame;
class QLabel;
class QMenu;
class QToolBar;
class QTimer;
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
class ContrastReportPanel;

/// The main window: menu, tool bars, the browser area with its floating tool panels and the
/// status bar. It implements the screen side of the program's command logic.
class TfrmBackDrop : public QMainWindow, public Screen {
    Q_OBJECT
public:
    explicit TfrmBackDrop(QWidget* parent = nullptr);
    ~TfrmBackDrop() override;

    /// The program's state and commands; the window only reads the state.
    Session& session() { return m_session; }
    const ProgramState& state() const { return m_session.state(); }
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
    SwatchBookCommands& bookCommands() { return m_session.book(); }
    SwatchCardPanel* swatchCardPanel() const { return m_swatchCardPanel; }
    SwatchBookPanel* swatchBookPanel() const { return m_swatchBookPanel; }
    ColorPalettePanel* colorPalettePanel() const { return m_colorPalettePanel; }
    SuggestedSchemesPanel* suggestedSchemesPanel() const { return m_suggestedSchemesPanel; }
    ScreenPickerPanel* screenPickerPanel() const { return m_screenPickerPanel; }
    ImageBlenderPanel* imageBlenderPanel() const { return m_imageBlenderPanel; }
    TfrmSlider* frmSlider() const { return m_frmSlider; }
    ContrastReportPanel* contrastReportPanel() const { return m_contrastPanel; }
    /// The AA failures of the last contrast collection of the page or scheme on show.
    int contrastFailures() const { return m_contrastFailures; }

    // The screen.
    Answer askYesNoCancel(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void notify(const std::string& text) override;
    void inform(const std::string& text) override;
    void warn(const std::string& text) override;
    std::optional<std::string> chooseFile(FileDialog dialog) override;
    void mirrorCommandStates(const CommandStates& states) override;
    bool isEnabled(Command command) const { return m_session.commandStates().enabled(command); }
    bool isChecked(Command command) const { return m_session.commandStates().checked(command); }
    void setCaption(const std::string& caption) override;
    void showCard(const CardView& card) override;
    void setCardTitle(const std::string& title) override;
    void navigate(const std::string& path) override;
    void pickPictureAt(ScreenPoint point, unsigned serial) override;
    void swapPictureAt(ScreenPoint point) override;

    /// Scripted answers for tests: when set, they stand in for the dialogs and message boxes.
    std::function<std::optional<std::string>(FileDialog)> fileDialogOverride;
    std::function<Answer(const std::string&)> questionOverride;
    std::function<void(const std::string&)> noticeOverride;

    // Handlers.
    void mnuOpenWebPageClick();
    void tbnOpenPageClick() { mnuOpenWebPageClick(); }
    void mnuSaveWebSchemeAsClick();
    void mnuSaveWebSchemeClick();
    void mnuOpenWebSchemeClick();
    void tbnOpenSchemeClick() { mnuOpenWebSchemeClick(); }
    void mnuExitClick();
    void mnuUndoClick();
    void mnuPrintWebSchemeClick();
    void mnuPageSetUpClick();
    void mnuViewSwatchBookClick();
    /// View > Contrast Report and its tool button: shows or closes the report.
    void mnuViewContrastReportClick();
    /// Recomputes the suggested schemes from the palette (after every palette change).
    void SuggestSchemes();
    void mnuViewSourceClick();
    void tbnEditSourceClick() { mnuViewSourceClick(); }
    void mnuEditOptionsClick();
    void mnuHelpTopicsClick();

    TfrmEditor* frmEditor() const { return m_frmEditor; }
    void WebBrowser1DocumentComplete();
    void WebBrowser1CommandStateChange();

    /// The image blender's repaint drag ended at `globalPos`.
    void IBtbnRepaintDropped(const QPoint& globalPos);

signals:
    /// The document complete event has been handled (the page's colours collected when due).
    void documentHandled();
    /// A contrast collection of the page or scheme on show has been read (or there is none).
    void contrastReported();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    /// Sees clicks on the page while no painting colour is chosen, to say so, and files
    /// dragged over any part of the window, the page included.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void createMenu();
    /// View > Simulate: the page as a colour-vision deficiency shows it.
    void createSimulateMenu(QMenu* view);
    void createToolBars();
    void createBrowserArea();
    void createEditor();
    void showStartPage();
    void createToolPanels();
    void connectBookCommands();
    void connectImageBlender();
    void createContrastReport();
    /// Dispatches a Ctrl mouse event of `type` ("contextmenu" or "click") at the element under
    /// `globalPos`, inside a frame when the point is in one; `done` learns whether an element
    /// was found and whether the page then holds a picture pick.
    void sendPageCtrlClick(const QPoint& globalPos, const QString& type,
                           const std::function<void(bool found, bool picked)>& done);
    void setMaximizeBox(bool shown);
    /// Collects the texts of the page or scheme on show for the contrast count in the status
    /// bar and, while it is open, the report. `newDocument`: the page was loaded, so no
    /// element is outlined any more.
    void refreshContrast(bool newDocument);
    /// Outlines the element at `path` of frame `frame` in the page (frame -1: none).
    void markContrastElement(int frame, const QString& path);
    /// A drag or drop of `type` carrying `mime` anywhere on the window: a page, a scheme or a
    /// book file is taken (and, on the drop, opened); returns whether it was.
    bool takeDroppedFile(QEvent::Type type, const QMimeData* mime);

    Session m_session{*this};
    DialogFolders m_dialogFolders;
    Pallet m_pallet;
    PaletteState m_paletteState;
    SwatchCardPanel* m_swatchCardPanel = nullptr;
    SwatchBookPanel* m_swatchBookPanel = nullptr;
    ColorPalettePanel* m_colorPalettePanel = nullptr;
    SuggestedSchemesPanel* m_suggestedSchemesPanel = nullptr;
    ScreenPickerPanel* m_screenPickerPanel = nullptr;
    ImageBlenderPanel* m_imageBlenderPanel = nullptr;
    TfrmSlider* m_frmSlider = nullptr;
    ContrastReportPanel* m_contrastPanel = nullptr;
    QLabel* m_lblContrast = nullptr;
    unsigned m_contrastSerial = 0; // answers of an older collection are dropped
    QTimer* m_contrastDelay = nullptr; // a paint's collection waits for the painting to pause
    // Gone before the browser (a child) is deleted, so an answer that arrives while the window
    // is being destroyed finds it expired.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
    int m_contrastFailures = 0;
    WebBrowser* m_browser = nullptr;
    TfrmEditor* m_frmEditor = nullptr;
    QWidget* m_browserContainer = nullptr;
    QLabel* m_lblBrowserCaption = nullptr;
    QHash<QString, QFrame*> m_panels;
    QHash<int, QAction*> m_actions;
    QHash<int, QList<QWidget*>> m_controls;
    bool m_styleSaved = false;
};

} // namespace hw
