#include "shell/TfrmBackDrop.h"

#include "base/Files.h"
#include "base/Folders.h"
#include "colour/SwatchBookJs.h"
#include "blender/ImageBlenderPanel.h"
#include "engine/ContrastReport.h"
#include "engine/HostScripts.h"
#include "editor/TfrmEditor.h"
#include "help/HelpWindow.h"
#include "widgets/Cursors.h"
#include "shell/ContrastReportPanel.h"
#include "shell/PaintingColourView.h"
#include "shell/WebBrowser.h"
#include "swatches/PaletteFormats.h"
#include "swatches/SwatchBookPanel.h"
#include "swatches/SwatchCardPanel.h"
#include "tools/ColorPalettePanel.h"
#include "tools/ScreenPickerPanel.h"
#include "tools/SuggestedSchemesPanel.h"
#include "tools/TfrmSlider.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QResizeEvent>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace hw {

namespace {

void setHint(QWidget* w, const QString& hint) {
    w->setToolTip(hint);
    w->setStatusTip(hint);
}

/// Keeps the browser filling its container while the tool panels float above it.
class BrowserContainer : public QWidget {
public:
    using QWidget::QWidget;
    QWidget* browser = nullptr;

protected:
    void resizeEvent(QResizeEvent* e) override {
        if (browser) browser->setGeometry(rect());
        QWidget::resizeEvent(e);
    }
};

struct DialogForm {
    bool save;
    const char* suffix;
    const char* filter; // description (patterns), as a file dialog shows it; several joined by ";;"
};

/// The export dialogs' filters, one a format; each filter's first pattern gives its extension.
const char* const paletteFilters =
    "GIMP Palette (*.gpl);;Adobe Swatch Exchange (*.ase);;CSS Custom Properties (*.css);;Design Tokens (*.json)";

bool isExport(FileDialog d) { return d == FileDialog::dlgExportBook || d == FileDialog::dlgExportScheme; }

/// The extension of a filter "Description (*.ext ...)".
QString filterExtension(const QString& filter) {
    const int star = filter.indexOf(QStringLiteral("*."));
    if (star < 0) return {};
    int end = star + 2;
    while (end < filter.size() && filter[end].isLetterOrNumber()) ++end;
    return filter.mid(star + 2, end - star - 2);
}

DialogForm dialogForm(FileDialog d) {
    switch (d) {
    case FileDialog::dlgSaveAs: return {true, "sbk", "SwatchBook File (*.sbk)"};
    case FileDialog::dlgOpen: return {false, "sbk", "SwatchBook Files (*.sbk)"};
    case FileDialog::dlgOpenWebPage: return {false, "htm", "HTML Files (*.htm *.html)"};
    case FileDialog::dlgSaveScheme: return {true, "wsm", "Web Scheme File (*.wsm)"};
    case FileDialog::dlgOpenWebScheme: return {false, "wsm", "Web Scheme Files (*.wsm)"};
    case FileDialog::dlgCreateHtml: return {true, "html", "HTML File (*htm *.html)"};
    case FileDialog::dlgChooseEditor: return {false, "", "HTML Editor (*)"};
    case FileDialog::dlgExportBook:
    case FileDialog::dlgExportScheme: return {true, "gpl", paletteFilters};
    case FileDialog::dlgImportPalette:
        return {false, "", "Palettes (*.gpl *.ase *.css *.json);;GIMP Palette (*.gpl);;Adobe Swatch Exchange (*.ase);;"
                           "CSS Custom Properties (*.css);;Design Tokens (*.json);;All Files (*)"};
    case FileDialog::dlgExportStylesheet: return {true, "css", "Stylesheet (*.css)"};
    }
    return {false, "", "All Files (*)"};
}

} // namespace

TfrmBackDrop::TfrmBackDrop(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmBackDrop"));
    resize(1024, 692);
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    setWindowTitle(QStringLiteral("Huewright - Untitled.sbk"));
    setAcceptDrops(true);

    createMenu();
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(central);
    createToolBars();
    createBrowserArea();

    auto* bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setFixedHeight(19);
    setStatusBar(bar);
    m_lblContrast = new QLabel(statusBar());
    m_lblContrast->setObjectName(QStringLiteral("lblContrast"));
    statusBar()->addPermanentWidget(m_lblContrast);
    statusBar()->addPermanentWidget(new PaintingColourView(statusBar()));
    qApp->installEventFilter(this);

    registerCursors();
    connectImageBlender();
    // The panels start docked around the swatch book panel's designed place.
    m_swatchBookPanel->dockToolPanels();

    createContrastReport();
    m_session.start();

    showStartPage();
    createEditor();
}

void TfrmBackDrop::showStartPage() {
    // What to do first, in place of an empty white page. It carries no page script, so a click
    // paints nothing, and the page history only holds pages the user opened.
    QFile start(QStringLiteral(":/start/start.html"));
    if (!start.open(QIODevice::ReadOnly)) {
        m_browser->Navigate(QStringLiteral("about:blank"));
        return;
    }
    m_browser->showText(QString::fromUtf8(start.readAll()));
}

void TfrmBackDrop::createEditor() {
    m_frmEditor = new TfrmEditor(this);
    m_frmEditor->setPageFileSource([this] {
        const PageEntry* page = state().pageOnShow();
        return page ? QString::fromStdString(page->page) : QString();
    });
    connect(m_frmEditor, &TfrmEditor::editorChanged, this, [this](const QString& caption, const QString& hint) {
        m_actions.value(static_cast<int>(Command::mnuViewSource))->setText(caption);
        for (auto* w : m_controls.value(static_cast<int>(Command::tbnEditSource))) setHint(w, hint);
    });
    m_frmEditor->setUp();
}

TfrmBackDrop::~TfrmBackDrop() = default;

void TfrmBackDrop::createMenu() {
    auto add = [this](QMenu* menu, Command c, const QString& name, const QString& caption,
                      const QKeySequence& shortcut = {}) {
        auto* a = menu->addAction(caption);
        a->setObjectName(name);
        if (!shortcut.isEmpty()) a->setShortcut(shortcut);
        m_actions.insert(static_cast<int>(c), a);
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    add(file, Command::mnuNewSwatchBook, "mnuNewSwatchBook", "&New Swatch Book", QKeySequence("Ctrl+N"));
    add(file, Command::mnuOpen, "mnuOpen", "&Open Swatch Book");
    add(file, Command::mnuSaveSwatchBook, "mnuSaveSwatchBook", "&Save Swatch Book");
    add(file, Command::mnuSaveSwatchBookAs, "mnuSaveSwatchBookAs", "Save Swatch Book &As");
    connect(add(file, Command::mnuImportSwatchBook, "mnuImportSwatchBook", "&Import into Swatch Book..."),
            &QAction::triggered, this, [this] { m_session.book().importIntoSwatchBook(); });
    connect(add(file, Command::mnuExportSwatchBook, "mnuExportSwatchBook", "Expo&rt Swatch Book..."),
            &QAction::triggered, this, [this] { m_session.book().exportSwatchBook(); });
    file->addSeparator();
    connect(add(file, Command::mnuOpenWebPage, "mnuOpenWebPage", "Open &Web Page"), &QAction::triggered, this,
            &TfrmBackDrop::mnuOpenWebPageClick);
    file->addSeparator();
    connect(add(file, Command::mnuOpenWebScheme, "mnuOpenWebScheme", "Open Web &Scheme"), &QAction::triggered, this,
            &TfrmBackDrop::mnuOpenWebSchemeClick);
    connect(add(file, Command::mnuSaveWebScheme, "mnuSaveWebScheme", "Save W&eb Scheme", QKeySequence("Ctrl+S")),
            &QAction::triggered, this, &TfrmBackDrop::mnuSaveWebSchemeClick);
    connect(add(file, Command::mnuSaveWebSchemeAs, "mnuSaveWebSchemeAs", "Save Web S&cheme As"), &QAction::triggered,
            this, &TfrmBackDrop::mnuSaveWebSchemeAsClick);
    connect(add(file, Command::mnuCreateHtmlFile, "mnuCreateHtmlFile", "&Create HTML File"), &QAction::triggered, this,
            [this] { m_session.schemes().mnuCreateHtmlFileClick(); });
    connect(add(file, Command::mnuExportStylesheet, "mnuExportStylesheet", "Export Scheme as S&tylesheet..."),
            &QAction::triggered, this, [this] { m_session.schemes().mnuExportStylesheetClick(); });
    connect(add(file, Command::mnuExportSchemeColours, "mnuExportSchemeColours", "Export Sc&heme Colours..."),
            &QAction::triggered, this, [this] { m_session.schemes().exportSchemeColours(); });
    file->addSeparator();
    connect(add(file, Command::mnuPageSetUp, "mnuPageSetUp", "Page Set&up"), &QAction::triggered, this,
            &TfrmBackDrop::mnuPageSetUpClick);
    connect(add(file, Command::mnuPrintWebScheme, "mnuPrintWebScheme", "&Print", QKeySequence("Ctrl+P")),
            &QAction::triggered, this, &TfrmBackDrop::mnuPrintWebSchemeClick);
    file->addSeparator();
    connect(add(file, Command::mnuExit, "mnuExit", "E&xit", QKeySequence("Alt+F4")), &QAction::triggered, this,
            &TfrmBackDrop::mnuExitClick);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    connect(add(edit, Command::mnuUndo, "mnuUndo", "&Undo", QKeySequence("Ctrl+Z")), &QAction::triggered, this,
            &TfrmBackDrop::mnuUndoClick);
    connect(add(edit, Command::mnuViewSource, "mnuViewSource", "Edit &with Notepad"), &QAction::triggered, this,
            &TfrmBackDrop::mnuViewSourceClick);
    connect(add(edit, Command::mnuRefresh, "mnuRefresh", "&Refresh", QKeySequence("F5")), &QAction::triggered, this,
            [this] { m_session.pages().mnuRefreshClick(); });
    edit->addSeparator();
    connect(add(edit, Command::mnuEditOptions, "mnuEditOptions", "&Options"), &QAction::triggered, this,
            &TfrmBackDrop::mnuEditOptionsClick);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    auto* borders = add(view, Command::mnuViewTableBorders, "mnuViewTableBorders", "&Table Borders");
    borders->setCheckable(true);
    // The tick is the store's: the click only asks for the change, and the mirror shows the outcome.
    connect(borders, &QAction::triggered, this, [this] {
        m_session.pages().mnuViewTableBordersClick();
        mirrorCommandStates(m_session.commandStates());
    });
    createSimulateMenu(view);

    auto* contrast = add(view, Command::mnuViewContrastReport, "mnuViewContrastReport", "&Contrast Report");
    contrast->setCheckable(true);
    connect(contrast, &QAction::triggered, this, &TfrmBackDrop::mnuViewContrastReportClick);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    auto* book = add(tools, Command::mnuViewSwatchBook, "mnuViewSwatchBook", "Swatch &Book");
    book->setCheckable(true);
    connect(book, &QAction::triggered, this, &TfrmBackDrop::mnuViewSwatchBookClick);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    connect(add(help, Command::mnuHelpTopics, "mnuHelpTopics", "&Help Topics", QKeySequence("F1")),
            &QAction::triggered, this, &TfrmBackDrop::mnuHelpTopicsClick);
}

void TfrmBackDrop::createSimulateMenu(QMenu* view) {
    // A way of looking, not a command of the program: always available, and its one tick is the
    // action group's, kept with the browser's filter across loads until Normal Vision is chosen.
    QMenu* simulate = view->addMenu(QStringLiteral("&Simulate"));
    simulate->setObjectName(QStringLiteral("mnuViewSimulate"));
    auto* group = new QActionGroup(simulate);
    group->setExclusive(true);
    const struct { VisionKind kind; const char* name; const char* caption; } entries[] = {
        {VisionKind::Normal, "mnuSimulateNormal", "&Normal Vision"},
        {VisionKind::Protanopia, "mnuSimulateProtanopia", "&Protanopia"},
        {VisionKind::Deuteranopia, "mnuSimulateDeuteranopia", "&Deuteranopia"},
        {VisionKind::Tritanopia, "mnuSimulateTritanopia", "&Tritanopia"},
        {VisionKind::Achromatopsia, "mnuSimulateAchromatopsia", "&Achromatopsia"},
    };
    for (const auto& e : entries) {
        auto* a = simulate->addAction(QString::fromLatin1(e.caption));
        a->setObjectName(QString::fromLatin1(e.name));
        a->setCheckable(true);
        a->setChecked(e.kind == VisionKind::Normal);
        group->addAction(a);
        if (e.kind == VisionKind::Normal) simulate->addSeparator();
        connect(a, &QAction::triggered, this, [this, kind = e.kind] { m_browser->setVision(kind); });
    }
}

void TfrmBackDrop::createToolBars() {
    auto* container = new QFrame(centralWidget());
    container->setObjectName(QStringLiteral("pnlToolBarContainer"));
    container->setFixedHeight(38);
    container->setFrameStyle(QFrame::Panel | QFrame::Raised);
    auto* row = new QHBoxLayout(container);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(0);
    static_cast<QVBoxLayout*>(centralWidget()->layout())->addWidget(container);

    auto bar = [&](const QString& name) {
        auto* tb = new QToolBar(container);
        tb->setObjectName(name);
        tb->setFixedHeight(36);
        tb->setIconSize(QSize(24, 24));
        tb->setMovable(false);
        row->addWidget(tb);
        return tb;
    };
    auto button = [&](QToolBar* tb, Command c, const QString& name, QStyle::StandardPixmap icon,
                      const QString& hint) {
        auto* b = new QToolButton(tb);
        b->setObjectName(name);
        b->setAutoRaise(true);
        b->setFixedSize(36, 36);
        b->setIcon(style()->standardIcon(icon));
        if (!hint.isEmpty()) setHint(b, hint);
        tb->addWidget(b);
        registerControl(c, b);
        return b;
    };
    QToolBar* left = bar("tbrLeftButtons");
    connect(button(left, Command::tbnOpenPage, "tbnOpenPage", QStyle::SP_DialogOpenButton, "Open Web Page"),
            &QToolButton::clicked, this, &TfrmBackDrop::tbnOpenPageClick);
    connect(button(left, Command::tbnEditSource, "tbnEditSource", QStyle::SP_FileDialogDetailedView, QString()),
            &QToolButton::clicked, this, &TfrmBackDrop::tbnEditSourceClick);
    connect(button(left, Command::tbnRefresh, "tbnRefresh", QStyle::SP_BrowserReload, "Refresh Page"),
            &QToolButton::clicked, this, [this] { m_session.pages().mnuRefreshClick(); });
    QToolBar* pages = bar("tbrPreviousNextPage");
    connect(button(pages, Command::tbnPreviousPage, "tbnPreviousPage", QStyle::SP_ArrowBack, "Previous Page"),
            &QToolButton::clicked, this, [this] { m_session.pages().tbnPreviousPageClick(); });
    connect(button(pages, Command::tbnNextPage, "tbnNextPage", QStyle::SP_ArrowForward, "Next Page"),
            &QToolButton::clicked, this, [this] { m_session.pages().tbnNextPageClick(); });
    pages->addSeparator()->setObjectName(QStringLiteral("tbnDivider"));
    QToolBar* open = bar("tbrOpenScheme");
    connect(button(open, Command::tbnOpenScheme, "tbnOpenScheme", QStyle::SP_DirOpenIcon, "Open Web Scheme"),
            &QToolButton::clicked, this, &TfrmBackDrop::tbnOpenSchemeClick);
    QToolBar* schemes = bar("tbrPreviousNextScheme");
    connect(button(schemes, Command::tbnPreviousScheme, "tbnPreviousScheme", QStyle::SP_MediaSeekBackward, "Previous Scheme"),
            &QToolButton::clicked, this, [this] { m_session.schemes().tbnPreviousSchemeClick(); });
    connect(button(schemes, Command::tbnNextScheme, "tbnNextScheme", QStyle::SP_MediaSeekForward, "Next Scheme"),
            &QToolButton::clicked, this, [this] { m_session.schemes().tbnNextSchemeClick(); });
    QToolBar* report = bar("ToolBar1");
    auto* contrast = button(report, Command::mnuViewContrastReport, "tbnContrastReport", QStyle::SP_FileDialogInfoView,
                            "Contrast Report");
    // Dark on light beside light on dark.
    QPixmap icon(24, 24);
    icon.fill(Qt::transparent);
    {
        QPainter p(&icon);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 1.5));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(2.5, 2.5, 19, 19));
        p.setBrush(Qt::black);
        p.drawPie(QRectF(2.5, 2.5, 19, 19), 90 * 16, 180 * 16);
    }
    contrast->setIcon(QIcon(icon));
    contrast->setCheckable(true);
    connect(contrast, &QToolButton::clicked, this, &TfrmBackDrop::mnuViewContrastReportClick);
    row->addStretch(1);
    m_lblBrowserCaption = new QLabel(QStringLiteral("Huewright Browser"), container);
    m_lblBrowserCaption->setObjectName(QStringLiteral("lblBrowserCaption"));
    QFont bold = m_lblBrowserCaption->font();
    bold.setBold(true);
    m_lblBrowserCaption->setFont(bold);
    row->addWidget(m_lblBrowserCaption);
    row->addSpacing(8);
}

void TfrmBackDrop::createBrowserArea() {
    auto* container = new BrowserContainer(centralWidget());
    container->setObjectName(QStringLiteral("pnlBrowserContainer"));
    container->setAutoFillBackground(true);
    QPalette p = container->palette();
    p.setColor(QPalette::Window, Qt::white);
    container->setPalette(p);
    static_cast<QVBoxLayout*>(centralWidget()->layout())->addWidget(container, 1);
    m_browserContainer = container;
    registerControl(Command::pnlBrowserContainer, container);

    m_browser = new WebBrowser(container);
    m_browser->setObjectName(QStringLiteral("WebBrowser1"));
    container->browser = m_browser;
    connect(m_browser, &WebBrowser::documentComplete, this, &TfrmBackDrop::WebBrowser1DocumentComplete);
    connect(m_browser, &WebBrowser::commandStateChange, this, &TfrmBackDrop::WebBrowser1CommandStateChange);

    createToolPanels();
}

// ---- the tool panels --------------------------------------------------------------------

void TfrmBackDrop::createToolPanels() {
    m_frmSlider = new TfrmSlider(m_paletteState, this);

    auto add = [this](QFrame* frame, QPoint place) {
        frame->move(place);
        frame->raise();
        m_panels.insert(frame->objectName(), frame);
    };
    m_swatchBookPanel = new SwatchBookPanel(m_browserContainer, m_session.book(), m_session.schemes(), m_pallet);
    add(m_swatchBookPanel, {620, 398});
    m_swatchCardPanel = new SwatchCardPanel(m_browserContainer, m_session, m_pallet, *m_frmSlider);
    add(m_swatchCardPanel, {620, 295});
    m_screenPickerPanel = new ScreenPickerPanel(m_browserContainer, m_pallet);
    add(m_screenPickerPanel, {620, 520});
    m_colorPalettePanel = new ColorPalettePanel(m_browserContainer, *this, m_pallet, m_paletteState);
    add(m_colorPalettePanel, {805, 417});
    m_imageBlenderPanel = new ImageBlenderPanel(m_browserContainer);
    add(m_imageBlenderPanel, {435, 417});
    m_suggestedSchemesPanel = new SuggestedSchemesPanel(m_browserContainer, m_pallet, m_paletteState);
    add(m_suggestedSchemesPanel, {848, 355});

    m_swatchBookPanel->setToolPanels({m_swatchCardPanel, m_screenPickerPanel, m_colorPalettePanel,
                                      m_imageBlenderPanel, m_suggestedSchemesPanel});
    auto showCardPanel = [this] {
        m_swatchCardPanel->show();
        m_swatchCardPanel->raise();
    };
    m_colorPalettePanel->showSwatchCard = showCardPanel;
    m_screenPickerPanel->showSwatchCard = showCardPanel;
    m_suggestedSchemesPanel->showSwatchCard = showCardPanel;
    m_colorPalettePanel->suggestSchemes = [this] { SuggestSchemes(); };
    m_colorPalettePanel->toggleSuggestedSchemes = [this] {
        m_suggestedSchemesPanel->setVisible(!m_suggestedSchemesPanel->isVisible());
        m_suggestedSchemesPanel->raise();
    };

    registerControl(Command::SCtbnBin, m_swatchCardPanel->SCtbnBin);
    registerControl(Command::SCtbnAddToBook, m_swatchCardPanel->SCtbnAddToBook);
    registerControl(Command::SBtbnBin, m_swatchBookPanel->SBtbnBin);
    registerControl(Command::SBtbnPreviousCard, m_swatchBookPanel->SBtbnPreviousCard);
    registerControl(Command::SBtbnPreviousScheme, m_swatchBookPanel->SBtbnPreviousScheme);
    registerControl(Command::SBtbnNextScheme, m_swatchBookPanel->SBtbnNextScheme);
    registerControl(Command::SBtbnNextCard, m_swatchBookPanel->SBtbnNextCard);
    connectBookCommands();
}

void TfrmBackDrop::SuggestSchemes() { m_suggestedSchemesPanel->SuggestSchemes(m_colorPalettePanel->CPpnlSwatch->color()); }

void TfrmBackDrop::connectBookCommands() {
    auto connectItem = [this](Command c, void (SwatchBookCommands::*command)()) {
        connect(m_actions.value(static_cast<int>(c)), &QAction::triggered, this,
                [this, command] { (m_session.book().*command)(); });
    };
    connectItem(Command::mnuNewSwatchBook, &SwatchBookCommands::newSwatchBook);
    connectItem(Command::mnuOpen, &SwatchBookCommands::openSwatchBook);
    connectItem(Command::mnuSaveSwatchBook, &SwatchBookCommands::saveSwatchBook);
    connectItem(Command::mnuSaveSwatchBookAs, &SwatchBookCommands::saveSwatchBookAs);
}

// ---- the image blender ------------------------------------------------------------------

void TfrmBackDrop::connectImageBlender() {
    ImageBlenderPanel* ib = m_imageBlenderPanel;
    ib->setFillCursor(cursorFor(crFill));
    ib->setNotifier([this](const QString& text) { notify(text.toStdString()); });
    // IBpnlNewColorClick: the new colour is the current colour.
    connect(ib, &ImageBlenderPanel::newColourWanted, this, [this] {
        m_imageBlenderPanel->takeNewColour(m_pallet.GetColor(), QString::fromStdString(m_pallet.GetHexCode().str()));
    });
    connect(ib, &ImageBlenderPanel::dropped, this, &TfrmBackDrop::IBtbnRepaintDropped);
}

void TfrmBackDrop::sendPageCtrlClick(const QPoint& globalPos, const QString& type,
                                     const std::function<void(bool found, bool picked)>& done) {
    const double zoom = m_browser->zoomFactor() > 0 ? m_browser->zoomFactor() : 1.0;
    const QPoint view = m_browser->mapFromGlobal(globalPos);
    const QString script =
        QString::fromStdString(hostCtrlEventScript(view.x() / zoom, view.y() / zoom, type.toStdString()));
    // The page answers later, perhaps while the window is being destroyed (a page that goes
    // away answers its pending scripts with nothing): by then no one is told.
    m_browser->runScript(script, [done, alive = std::weak_ptr<int>(m_alive)](const QVariant& result) {
        if (alive.expired()) return;
        const QVariantList r = result.toList();
        if (done) done(r.size() == 2 && r[0].toBool(), r.size() == 2 && r[1].toBool());
    });
}

void TfrmBackDrop::IBtbnRepaintDropped(const QPoint& globalPos) {
    // Only a drop on the page itself picks a picture; a drop on a tool panel above the page or
    // outside the browser does nothing.
    QWidget* hit = m_browserContainer->childAt(m_browserContainer->mapFromGlobal(globalPos));
    const bool onPage = hit && (hit == m_browser || m_browser->isAncestorOf(hit));
    const bool hasNewColour = !m_imageBlenderPanel->newHexCode().isEmpty();
    m_session.blender().IBtbnRepaintDropped({globalPos.x(), globalPos.y()}, onPage, m_imageBlenderPanel->oldColour(),
                                            hasNewColour ? std::optional(m_imageBlenderPanel->newColour()) : std::nullopt);
}

void TfrmBackDrop::pickPictureAt(ScreenPoint point, unsigned serial) {
    sendPageCtrlClick({point.x, point.y}, QStringLiteral("contextmenu"),
                      [this, serial](bool, bool picked) { m_session.blender().pickAnswered(serial, picked); });
}

void TfrmBackDrop::swapPictureAt(ScreenPoint point) { sendPageCtrlClick({point.x, point.y}, QStringLiteral("click"), {}); }

QFrame* TfrmBackDrop::panel(const QString& name) const { return m_panels.value(name, nullptr); }

void TfrmBackDrop::registerControl(Command command, QWidget* control) {
    m_controls[static_cast<int>(command)].append(control);
    control->setEnabled(m_session.commandStates().enabled(command));
}

void TfrmBackDrop::mirrorCommandStates(const CommandStates& states) {
    for (int i = 0; i < static_cast<int>(Command::Count); ++i) {
        const auto command = static_cast<Command>(i);
        if (auto* a = m_actions.value(i)) {
            a->setEnabled(states.enabled(command));
            if (a->isCheckable()) a->setChecked(states.checked(command));
        }
        for (auto* w : m_controls.value(i)) {
            w->setEnabled(states.enabled(command));
            if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isCheckable()) b->setChecked(states.checked(command));
        }
    }
}

void TfrmBackDrop::recogniseCommandLine(const QString& commandLine) {
    const auto request = hw::recogniseCommandLine(commandLine.toStdString(), QDir::currentPath().toStdString());
    switch (request.kind) {
    case CommandLineRequest::Kind::Page: m_session.pages().OpenWebPageFromPath(request.path); break;
    case CommandLineRequest::Kind::Book: m_session.book().openBookAtStartup(request.path); break;
    case CommandLineRequest::Kind::Scheme: m_session.schemes().OpenSchemeFromCommandLine(request.path); break;
    case CommandLineRequest::Kind::Nothing: break;
    }
    activateWindow();
    setFocus();
}

// ---- clicks without a painting colour, and dropped files ----------------------------------

bool TfrmBackDrop::eventFilter(QObject* watched, QEvent* event) {
    // The browser takes drops itself and would show a dropped file as it is, unpainted; a file
    // the program opens goes to the program instead, wherever on the window it is dropped.
    const QEvent::Type type = event->type();
    if ((type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) && watched != this
        && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (takeDroppedFile(type, drop->mimeData())) {
            drop->acceptProposedAction();
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        const bool onPage = w == m_browser || m_browser->isAncestorOf(w);
        if (onPage && (state().showingPage() || state().showingScheme())
            && !QFile::exists(QString::fromStdString(swatchBookJsPath())))
            statusBar()->showMessage(QStringLiteral("%1: click a colour of the swatch book, a suggested colour or a "
                                                    "swatch card chip first.")
                                         .arg(QString::fromLatin1(PaintingColourView::noColour)),
                                     8000);
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- dropped files -----------------------------------------------------------------------

bool TfrmBackDrop::takeDroppedFile(QEvent::Type type, const QMimeData* mime) {
    if (!mime || !mime->hasUrls() || mime->urls().size() != 1 || !mime->urls().first().isLocalFile()) return false;
    const QString path = mime->urls().first().toLocalFile();
    const QString suffix = QFileInfo(path).suffix().toLower();
    std::function<void()> open;
    if (suffix == QLatin1String("html") || suffix == QLatin1String("htm"))
        open = [this, path] { m_session.pages().openWebPage(path.toStdString()); };
    else if (suffix == QLatin1String("wsm"))
        open = [this, path] { m_session.schemes().openWebScheme(path.toStdString()); };
    else if (suffix == QLatin1String("sbk"))
        open = [this, path] { m_session.book().openSwatchBook(path.toStdString()); };
    else
        return false;
    // The opening may ask questions; they come after the drag has ended, not inside it.
    if (type == QEvent::Drop) QMetaObject::invokeMethod(this, open, Qt::QueuedConnection);
    return true;
}

void TfrmBackDrop::dragEnterEvent(QDragEnterEvent* event) {
    if (takeDroppedFile(event->type(), event->mimeData())) event->acceptProposedAction();
}

void TfrmBackDrop::dragMoveEvent(QDragMoveEvent* event) {
    if (takeDroppedFile(event->type(), event->mimeData())) event->acceptProposedAction();
}

void TfrmBackDrop::dropEvent(QDropEvent* event) {
    if (takeDroppedFile(event->type(), event->mimeData())) event->acceptProposedAction();
}

// ---- the screen -------------------------------------------------------------------------

Answer TfrmBackDrop::askYesNoCancel(const std::string& text) {
    if (questionOverride) return questionOverride(text);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Huewright"), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default: return Answer::Cancel;
    }
}

bool TfrmBackDrop::askYesNo(const std::string& text) {
    if (questionOverride) return questionOverride(text) == Answer::Yes;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Huewright"), QString::fromStdString(text),
                    QMessageBox::Yes | QMessageBox::No, this);
    return box.exec() == QMessageBox::Yes;
}

void TfrmBackDrop::notify(const std::string& text) {
    if (noticeOverride) return noticeOverride(text);
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Huewright"), QString::fromStdString(text), QMessageBox::Ok,
                    this);
    box.exec();
}

void TfrmBackDrop::inform(const std::string& text) {
    if (noticeOverride) return noticeOverride(text);
    QMessageBox::information(this, QStringLiteral("Huewright"), QString::fromStdString(text));
}

void TfrmBackDrop::warn(const std::string& text) {
    if (noticeOverride) return noticeOverride(text);
    QMessageBox::warning(this, QStringLiteral("Huewright"), QString::fromStdString(text));
}

std::optional<std::string> TfrmBackDrop::chooseFile(FileDialog dialog) {
    if (fileDialogOverride) return fileDialogOverride(dialog);
    const DialogForm form = dialogForm(dialog);
    QFileDialog box(this);
    box.setNameFilters(QString::fromLatin1(form.filter).split(QStringLiteral(";;")));
    box.setDefaultSuffix(QString::fromLatin1(form.suffix));
    // A palette takes its format from the filter chosen, so the suffix follows the filter.
    if (isExport(dialog))
        connect(&box, &QFileDialog::filterSelected, &box,
                [&box](const QString& filter) { box.setDefaultSuffix(filterExtension(filter)); });
    box.setAcceptMode(form.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    box.setFileMode(form.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog == FileDialog::dlgChooseEditor) box.setFilter(QDir::Executable | QDir::Files | QDir::AllDirs);
    // Every dialog names its folder: without one, Qt opens the folder any earlier dialog of the
    // process last showed.
    const QString fallback = dialog == FileDialog::dlgChooseEditor
                                 ? QStringLiteral("/usr/bin")
                                 : QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    box.setDirectory(QString::fromStdString(m_dialogFolders.initialFolder(dialog, state(), fallback.toStdString())));
    // Exports are named after what they come from: blue.wsm suggests blue.css for its stylesheet
    // and "blue" for its palette, a book its own name; a palette's extension follows the filter.
    const ProgramState& s = state();
    QString from;
    if ((dialog == FileDialog::dlgExportStylesheet || dialog == FileDialog::dlgExportScheme) && s.currentScheme >= 0 &&
        s.currentScheme <= s.lastScheme())
        from = QString::fromStdString(s.schemes[static_cast<std::size_t>(s.currentScheme)].schemeFile.str());
    else if (dialog == FileDialog::dlgExportBook)
        from = QString::fromStdString(s.book.bookFileName);
    if (const QString name = QFileInfo(from).completeBaseName(); !name.isEmpty())
        box.selectFile(dialog == FileDialog::dlgExportStylesheet ? name + QStringLiteral(".css") : name);
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return std::nullopt;
    QString path = box.selectedFiles().first();
    // A palette extension typed by the user names the format; any other name ("colours.txt")
    // gets the chosen filter's extension, and the dialog never saw that name, so the question
    // before replacing a file is asked here.
    if (isExport(dialog) && !paletteFormatOfPath(path.toStdString())) {
        path += QStringLiteral(".") + filterExtension(box.selectedNameFilter());
        if (QFileInfo::exists(path) &&
            QMessageBox::warning(this, QStringLiteral("Huewright"),
                                 QStringLiteral("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(path).fileName()),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
            return std::nullopt;
    }
    const std::string chosen = path.toStdString();
    m_dialogFolders.chosen(dialog, chosen);
    return chosen;
}

void TfrmBackDrop::setCaption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }

void TfrmBackDrop::showCard(const CardView& card) { m_swatchBookPanel->showCard(card); }

void TfrmBackDrop::setCardTitle(const std::string& title) { m_swatchBookPanel->setCardTitle(title); }

void TfrmBackDrop::navigate(const std::string& path) { m_browser->Navigate(QString::fromStdString(path)); }

// ---- handlers ---------------------------------------------------------------------------

void TfrmBackDrop::mnuOpenWebPageClick() { m_session.pages().mnuOpenWebPageClick(); }

void TfrmBackDrop::mnuSaveWebSchemeAsClick() { m_session.schemes().mnuSaveWebSchemeAsClick(); }

void TfrmBackDrop::mnuSaveWebSchemeClick() { m_session.schemes().mnuSaveWebSchemeClick(); }

void TfrmBackDrop::mnuOpenWebSchemeClick() { m_session.schemes().mnuOpenWebSchemeClick(); }

void TfrmBackDrop::mnuExitClick() { close(); }

void TfrmBackDrop::mnuUndoClick() {
    if (!m_session.commandStates().enabled(Command::mnuUndo)) return;
    m_browser->runScript(QString::fromStdString(hostUndoScript()));
}

void TfrmBackDrop::mnuViewSourceClick() { m_frmEditor->startEditor(); }

void TfrmBackDrop::mnuEditOptionsClick() { m_frmEditor->showOptions(); }

void TfrmBackDrop::mnuHelpTopicsClick() { ::showHelpTopics(this); }

void TfrmBackDrop::mnuPrintWebSchemeClick() { m_browser->printPage(); }

void TfrmBackDrop::mnuPageSetUpClick() { m_browser->pageSetup(); }

void TfrmBackDrop::mnuViewSwatchBookClick() {
    const bool shown = m_session.commandStates().checked(Command::mnuViewSwatchBook);
    m_swatchBookPanel->viewSwatchBook(!shown);
    m_session.apply(shown ? Situation::SwatchBookHidden : Situation::SwatchBookShown);
}

// ---- the contrast report ----------------------------------------------------------------

void TfrmBackDrop::createContrastReport() {
    m_contrastPanel = new ContrastReportPanel(this);
    connect(m_contrastPanel, &ContrastReportPanel::elementChosen, this, &TfrmBackDrop::markContrastElement);
    connect(m_contrastPanel, &ContrastReportPanel::closed, this, [this] {
        markContrastElement(-1, QString());
        m_session.apply(Situation::ContrastReportHidden);
    });
    // A load (page, frame set or scheme view), a paint and an undo all change what the page
    // shows; the collection follows each. Paints come in bursts, and reading a very large page
    // keeps the page's own process busy for a good part of a second, so after a paint the page
    // is read once the painting pauses.
    m_contrastDelay = new QTimer(this);
    m_contrastDelay->setSingleShot(true);
    m_contrastDelay->setInterval(250);
    connect(m_contrastDelay, &QTimer::timeout, this, [this] { refreshContrast(false); });
    connect(this, &TfrmBackDrop::documentHandled, this, [this] {
        m_contrastDelay->stop();
        refreshContrast(true);
    });
    connect(m_browser, &WebBrowser::commandStateChange, m_contrastDelay, qOverload<>(&QTimer::start));
}

void TfrmBackDrop::mnuViewContrastReportClick() {
    if (m_session.commandStates().checked(Command::mnuViewContrastReport)) {
        m_contrastPanel->close(); // its closed signal unticks the command
        return;
    }
    m_contrastPanel->show();
    m_contrastPanel->raise();
    m_session.apply(Situation::ContrastReportShown);
    refreshContrast(false);
}

void TfrmBackDrop::refreshContrast(bool newDocument) {
    const unsigned serial = ++m_contrastSerial;
    if (!state().showingPage() && !state().showingScheme()) {
        m_contrastFailures = 0;
        m_lblContrast->clear();
        m_contrastPanel->showNothing();
        emit contrastReported();
        return;
    }
    const QString script = QString::fromStdString(hostContrastScript(contrastCollectionCap));
    m_browser->runScript(script, [this, alive = std::weak_ptr<int>(m_alive), serial, newDocument](const QVariant& result) {
        if (alive.expired() || serial != m_contrastSerial) return;
        ContrastCollection collection = parseContrastCollection(result.toString().toStdString());
        if (!collection.understood) {
            // The page gave no answer (it went away, or its document could not be read): no
            // count is better than a wrong one.
            m_contrastFailures = 0;
            m_lblContrast->clear();
            if (m_contrastPanel->isVisible()) m_contrastPanel->showNothing();
            emit contrastReported();
            return;
        }
        sortContrastRows(collection.rows);
        m_contrastFailures = countAAFailures(collection.rows);
        std::string shown;
        const ProgramState& s = state();
        if (s.showingScheme() && s.currentScheme >= 0 && s.currentScheme <= s.lastScheme())
            shown = s.schemes[static_cast<std::size_t>(s.currentScheme)].schemeFile.str();
        else if (s.pageOnShow())
            shown = s.pageOnShow()->page;
        const QString name = QString::fromStdString(fileNameOf(shown));
        QString text = QString::fromStdString(aaFailureText(m_contrastFailures));
        // Stepping schemes compares them by this count, so it names the scheme it is about.
        if (s.showingScheme()) text = name + QStringLiteral(": ") + text;
        m_lblContrast->setText(text);
        if (m_contrastPanel->isVisible())
            m_contrastPanel->showRows(std::move(collection.rows), collection.truncated, name,
                                      QString::fromStdString(folderOf(shown)), !newDocument);
        emit contrastReported();
    });
}

void TfrmBackDrop::markContrastElement(int frame, const QString& path) {
    m_browser->runScript(QString::fromStdString(hostContrastMarkScript(frame, path.toStdString())));
}

void TfrmBackDrop::WebBrowser1DocumentComplete() {
    if (m_session.pages().WebBrowser1DocumentComplete()) {
        // The page script collects the page's own colours (its key handler's "g").
        // Every document that carries the page script collects: the page itself, or each frame
        // of a frameset (a frameset page has no script of its own).
        m_browser->runScript(QStringLiteral("(function c(w){try{if(typeof w.guc=='function')w.guc();"
                                            "for(var i=0;i<w.frames.length;i++)c(w.frames[i]);}catch(e){}})(window)"),
                             [this, alive = std::weak_ptr<int>(m_alive)](const QVariant&) {
                                 if (!alive.expired()) emit documentHandled();
                             });
        return;
    }
    emit documentHandled();
}

void TfrmBackDrop::WebBrowser1CommandStateChange() { m_session.schemes().WebBrowser1CommandStateChange(); }

void TfrmBackDrop::closeEvent(QCloseEvent* event) {
    if (m_session.FormCloseQuery()) event->accept();
    else event->ignore();
}

void TfrmBackDrop::setMaximizeBox(bool shown) {
    // Changing the flags re-creates the native window; only do it while the window is shown.
    if (bool(windowFlags() & Qt::WindowMaximizeButtonHint) == shown) return;
    const bool wasVisible = isVisible();
    const Qt::WindowStates states = windowState();
    setWindowFlag(Qt::WindowMaximizeButtonHint, shown);
    if (wasVisible) {
        setWindowState(states);
        show();
    }
}

void TfrmBackDrop::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_styleSaved) {
        m_styleSaved = true;
        QMetaObject::invokeMethod(this, [this] { setMaximizeBox(false); }, Qt::QueuedConnection);
    }
}

void TfrmBackDrop::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_styleSaved) {
        // Minimised: the maximise box returns; restored: it goes again, so the window stays
        // maximised without one while it is on screen.
        const bool minimised = windowState() & Qt::WindowMinimized;
        QMetaObject::invokeMethod(this, [this, minimised] { setMaximizeBox(minimised); }, Qt::QueuedConnection);
    }
}

} // namespace hw
