#include "shell/TfrmBackDrop.h"

#include "base/Files.h"
#include "blender/ImageBlender.h"
#include "blender/ImageBlenderPanel.h"
#include "engine/ChangeRecord.h"
#include "engine/HostScripts.h"
#include "editor/TfrmEditor.h"
#include "help/HelpWindow.h"
#include "shell/Cursors.h"
#include "shell/WebBrowser.h"
#include "swatches/SwatchBookPanel.h"
#include "swatches/SwatchCardPanel.h"
#include "tools/ColorPalettePanel.h"
#include "tools/ScreenPickerPanel.h"
#include "tools/SuggestedSchemesPanel.h"
#include "tools/TfrmSlider.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QResizeEvent>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

namespace hw {

namespace {

std::size_t at(Command c) { return static_cast<std::size_t>(c); }

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
    const char* filter; // description (patterns), as a file dialog shows it
};

DialogForm dialogForm(FileDialog d) {
    switch (d) {
    case FileDialog::dlgSaveAs: return {true, "sbk", "SwatchBook File (*.sbk)"};
    case FileDialog::dlgOpen: return {false, "sbk", "SwatchBook Files (*.sbk)"};
    case FileDialog::dlgOpenWebPage: return {false, "htm", "HTML Files (*.htm *.html)"};
    case FileDialog::dlgSaveScheme: return {true, "wsm", "Web Scheme File (*.wsm)"};
    case FileDialog::dlgOpenWebScheme: return {false, "wsm", "Web Scheme Files (*.wsm)"};
    case FileDialog::dlgCreateHtml: return {true, "html", "HTML File (*htm *.html)"};
    case FileDialog::dlgChooseEditor: return {false, "", "HTML Editor (*)"};
    }
    return {false, "", "All Files (*)"};
}

} // namespace

TfrmBackDrop::TfrmBackDrop(QWidget* parent) : QMainWindow(parent), m_program(*this) {
    setObjectName(QStringLiteral("frmBackDrop"));
    resize(1024, 692);
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    setWindowTitle(QStringLiteral("Huewright - Untitled.sbk"));

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

    registerCursors();
    connectImageBlender();
    // The panels start docked around the swatch book panel's designed place.
    m_swatchBookPanel->dockToolPanels();

    // Start states: what is always enabled, and what waits for a page or a scheme.
    for (int i = 0; i < static_cast<int>(Command::Count); ++i) m_enabled[static_cast<std::size_t>(i)] = false;
    for (auto c : {Command::mnuNewSwatchBook, Command::mnuOpen, Command::mnuOpenWebPage, Command::mnuOpenWebScheme,
                   Command::mnuExit, Command::mnuHelpTopics, Command::mnuViewSwatchBook, Command::tbnOpenPage,
                   Command::tbnOpenScheme, Command::pnlBrowserContainer})
        m_enabled[at(c)] = true;
    m_checked[at(Command::mnuViewSwatchBook)] = true;
    for (int i = 0; i < static_cast<int>(Command::Count); ++i) applyState(static_cast<Command>(i));

    m_browser->Navigate(QStringLiteral("about:blank"));
    createEditor();
}

void TfrmBackDrop::createEditor() {
    m_frmEditor = new TfrmEditor(this);
    m_frmEditor->setPageFileSource([this] {
        const auto& files = m_program.history.pageFiles;
        const auto i = static_cast<std::size_t>(m_program.history.currentPage);
        return i < files.size() ? QString::fromStdString(files[i]) : QString();
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
    file->addSeparator();
    connect(add(file, Command::mnuOpenWebPage, "mnuOpenWebPage", "Open &Web Page"), &QAction::triggered, this,
            &TfrmBackDrop::mnuOpenWebPageClick);
    file->addSeparator();
    add(file, Command::mnuOpenWebScheme, "mnuOpenWebScheme", "Open Web &Scheme");
    add(file, Command::mnuSaveWebScheme, "mnuSaveWebScheme", "Save W&eb Scheme", QKeySequence("Ctrl+S"));
    add(file, Command::mnuSaveWebSchemeAs, "mnuSaveWebSchemeAs", "Save Web S&cheme As");
    add(file, Command::mnuCreateHtmlFile, "mnuCreateHtmlFile", "&Create HTML File");
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
    add(edit, Command::mnuRefresh, "mnuRefresh", "&Refresh", QKeySequence("F5"));
    edit->addSeparator();
    connect(add(edit, Command::mnuEditOptions, "mnuEditOptions", "&Options"), &QAction::triggered, this,
            &TfrmBackDrop::mnuEditOptionsClick);

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    add(view, Command::mnuViewTableBorders, "mnuViewTableBorders", "&Table Borders")->setCheckable(true);

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    auto* book = add(tools, Command::mnuViewSwatchBook, "mnuViewSwatchBook", "Swatch &Book");
    book->setCheckable(true);
    connect(book, &QAction::triggered, this, &TfrmBackDrop::mnuViewSwatchBookClick);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    connect(add(help, Command::mnuHelpTopics, "mnuHelpTopics", "&Help Topics", QKeySequence("F1")),
            &QAction::triggered, this, &TfrmBackDrop::mnuHelpTopicsClick);
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
    button(left, Command::tbnRefresh, "tbnRefresh", QStyle::SP_BrowserReload, "Refresh Page");
    QToolBar* pages = bar("tbrPreviousNextPage");
    button(pages, Command::tbnPreviousPage, "tbnPreviousPage", QStyle::SP_ArrowBack, QString());
    button(pages, Command::tbnNextPage, "tbnNextPage", QStyle::SP_ArrowForward, QString());
    pages->addSeparator()->setObjectName(QStringLiteral("tbnDivider"));
    QToolBar* open = bar("tbrOpenScheme");
    button(open, Command::tbnOpenScheme, "tbnOpenScheme", QStyle::SP_DirOpenIcon, "Open Web Scheme");
    QToolBar* schemes = bar("tbrPreviousNextScheme");
    button(schemes, Command::tbnPreviousScheme, "tbnPreviousScheme", QStyle::SP_MediaSeekBackward, QString());
    button(schemes, Command::tbnNextScheme, "tbnNextScheme", QStyle::SP_MediaSeekForward, QString());
    bar("ToolBar1");
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
    m_swatchBookPanel = new SwatchBookPanel(m_browserContainer, m_bookCommands, m_pallet);
    add(m_swatchBookPanel, {620, 398});
    m_swatchCardPanel = new SwatchCardPanel(m_browserContainer, *this, m_pallet, *m_frmSlider);
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
    m_swatchCardPanel->addCard = [this](TColor c1, TColor c2, TColor c3, const AnsiString& t1, const AnsiString& t2,
                                        const AnsiString& t3) {
        m_bookCommands.addCard(c1, c2, c3, t1, t2, t3);
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
                [this, command] { (m_bookCommands.*command)(); });
    };
    connectItem(Command::mnuNewSwatchBook, &SwatchBookCommands::newSwatchBook);
    connectItem(Command::mnuOpen, &SwatchBookCommands::openSwatchBook);
    connectItem(Command::mnuSaveSwatchBook, &SwatchBookCommands::saveSwatchBook);
    connectItem(Command::mnuSaveSwatchBookAs, &SwatchBookCommands::saveSwatchBookAs);
    m_program.hooks.bookFileName = [this] { return m_bookCommands.bookFileName; };
    m_program.hooks.showCurrentBookCard = [this] {
        // An empty book shows an empty, white card.
        showCard(m_bookCommands.lastCard >= 0 ? m_bookCommands.cardView(m_bookCommands.currentCard) : CardView{});
    };
    m_program.hooks.bookCloseQuery = [this] {
        return m_bookCommands.mayClose();
    };
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
    m_program.hooks.repaintArmed = [this] { return m_repaintArmed; };
    m_program.hooks.recolourImage = [this] { recolourImage(); };
}

void TfrmBackDrop::sendPageCtrlClick(const QPoint& globalPos, const QString& type,
                                     const std::function<void(bool found, bool picked)>& done) {
    const double zoom = m_browser->zoomFactor() > 0 ? m_browser->zoomFactor() : 1.0;
    const QPoint view = m_browser->mapFromGlobal(globalPos);
    const QString script =
        QString::fromStdString(hostCtrlEventScript(view.x() / zoom, view.y() / zoom, type.toStdString()));
    m_browser->runScript(script, [done](const QVariant& result) {
        const QVariantList r = result.toList();
        if (done) done(r.size() == 2 && r[0].toBool(), r.size() == 2 && r[1].toBool());
    });
}

void TfrmBackDrop::IBtbnRepaintDropped(const QPoint& globalPos) {
    const unsigned serial = ++m_dropSerial;
    m_repaintArmed = false;
    if (m_imageBlenderPanel->newHexCode().isEmpty()) {
        notify("Please add a new image color to the lower panel.");
        return;
    }
    // Only a drop on the page itself picks a picture; a drop on a tool panel above the page or
    // outside the browser does nothing.
    QWidget* hit = m_browserContainer->childAt(m_browserContainer->mapFromGlobal(globalPos));
    if (!hit || !(hit == m_browser || m_browser->isAncestorOf(hit))) return;
    m_dropPoint = globalPos;
    m_repaintArmed = true;
    sendPageCtrlClick(m_dropPoint, QStringLiteral("contextmenu"), [this, serial](bool, bool picked) {
        // Without a picture there is no cookie and so no command-state change: disarm here, so
        // a later paint does not recolour.
        if (serial == m_dropSerial && !picked) m_repaintArmed = false;
    });
}

void TfrmBackDrop::recolourImage() {
    if (!m_repaintArmed) return;
    m_repaintArmed = false;
    std::string path = ImageRequestPath(m_program.webScheme).str();
    std::erase(path, '\n');
    if (path.empty()) return;
    const RecolourResult result =
        hw::recolourImage(path, m_imageBlenderPanel->oldColour(), m_imageBlenderPanel->newColour());
    if (!result.ok) {
        // The page keeps its picture: a swap to an empty or stale copy would lose it.
        warn(result.error);
        return;
    }
    sendPageCtrlClick(m_dropPoint, QStringLiteral("click"), {});
}

QFrame* TfrmBackDrop::panel(const QString& name) const { return m_panels.value(name, nullptr); }

void TfrmBackDrop::registerControl(Command command, QWidget* control) {
    m_controls[static_cast<int>(command)].append(control);
    control->setEnabled(m_enabled[at(command)] || command == Command::Count);
}

void TfrmBackDrop::applyState(Command command) {
    if (auto* a = m_actions.value(static_cast<int>(command))) {
        a->setEnabled(m_enabled[at(command)]);
        if (a->isCheckable()) a->setChecked(m_checked[at(command)]);
    }
    for (auto* w : m_controls.value(static_cast<int>(command))) w->setEnabled(m_enabled[at(command)]);
}

void TfrmBackDrop::recogniseCommandLine(const QString& commandLine) {
    const auto request = hw::recogniseCommandLine(commandLine.toStdString(), QDir::currentPath().toStdString());
    switch (request.kind) {
    case CommandLineRequest::Kind::Page: m_program.OpenWebPageFromPath(request.path); break;
    case CommandLineRequest::Kind::Book: m_bookCommands.openBookAtStartup(request.path); break;
    case CommandLineRequest::Kind::Scheme:
    case CommandLineRequest::Kind::Nothing: break;
    }
    activateWindow();
    setFocus();
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
    box.setNameFilter(QString::fromLatin1(form.filter));
    box.setDefaultSuffix(QString::fromLatin1(form.suffix));
    box.setAcceptMode(form.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    box.setFileMode(form.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog == FileDialog::dlgChooseEditor) box.setFilter(QDir::Executable | QDir::Files | QDir::AllDirs);
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty()) return std::nullopt;
    return box.selectedFiles().first().toStdString();
}

void TfrmBackDrop::setEnabled(Command command, bool enabled) {
    m_enabled[at(command)] = enabled;
    applyState(command);
}

void TfrmBackDrop::setChecked(Command command, bool checked) {
    m_checked[at(command)] = checked;
    applyState(command);
}

bool TfrmBackDrop::isEnabled(Command command) const { return m_enabled[at(command)]; }
bool TfrmBackDrop::isChecked(Command command) const { return m_checked[at(command)]; }

void TfrmBackDrop::setCaption(const std::string& caption) { setWindowTitle(QString::fromStdString(caption)); }

void TfrmBackDrop::showCard(const CardView& card) { m_swatchBookPanel->showCard(card); }

void TfrmBackDrop::setCardTitle(const std::string& title) { m_swatchBookPanel->setCardTitle(title); }

void TfrmBackDrop::navigate(const std::string& path) { m_browser->Navigate(QString::fromStdString(path)); }

// ---- handlers ---------------------------------------------------------------------------

void TfrmBackDrop::mnuOpenWebPageClick() { m_program.mnuOpenWebPageClick(); }

void TfrmBackDrop::mnuExitClick() { close(); }

void TfrmBackDrop::mnuUndoClick() {
    if (!m_enabled[at(Command::mnuUndo)]) return;
    m_browser->runScript(QString::fromStdString(hostUndoScript()));
}

void TfrmBackDrop::mnuViewSourceClick() { m_frmEditor->startEditor(); }

void TfrmBackDrop::mnuEditOptionsClick() { m_frmEditor->showOptions(); }

void TfrmBackDrop::mnuHelpTopicsClick() { ::showHelpTopics(this); }

void TfrmBackDrop::mnuPrintWebSchemeClick() { m_browser->printPage(); }

void TfrmBackDrop::mnuPageSetUpClick() { m_browser->pageSetup(); }

void TfrmBackDrop::mnuViewSwatchBookClick() {
    const bool shown = m_checked[at(Command::mnuViewSwatchBook)];
    m_swatchBookPanel->viewSwatchBook(!shown);
    setChecked(Command::mnuViewSwatchBook, !shown);
}

void TfrmBackDrop::WebBrowser1DocumentComplete() {
    if (m_program.colourScanPending) {
        // The page script collects the page's own colours (its key handler's "g").
        m_browser->runScript(QStringLiteral("if(typeof guc=='function'){guc();}"),
                             [this](const QVariant&) { emit documentHandled(); });
        m_program.colourScanPending = false;
        return;
    }
    emit documentHandled();
}

void TfrmBackDrop::WebBrowser1CommandStateChange() { m_program.WebBrowser1CommandStateChange(); }

void TfrmBackDrop::closeEvent(QCloseEvent* event) {
    if (m_program.FormCloseQuery()) event->accept();
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
