// The real main window and browser: opening a page named on the command line, the cookie
// bridge into the cookie store, the start states of the commands and the clean-up at close.

#include "GuiTestMain.h"
#include "GuiTestSupport.h"

#include "base/Folders.h"
#include "colour/SwatchBookJs.h"
#include "engine/CookieStore.h"

#include <QFile>
#include <QFrame>
#include <QAction>
#include <QMenuBar>
#include <QApplication>
#include <QMimeData>
#include <QDropEvent>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QGuiApplication>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

using namespace hw;
using namespace hw::test;

namespace {

/// Whether every menu item and button of a command shows the store's state.
bool mirrorsTheStore(const TfrmBackDrop& window) {
    bool same = true;
    for (int i = 0; i < static_cast<int>(Command::Count); ++i) {
        const auto c = static_cast<Command>(i);
        const QString name = QString::fromLatin1(commandName(c));
        for (auto* a : window.findChildren<QAction*>(name)) {
            if (a->isEnabled() != window.isEnabled(c) || (a->isCheckable() && a->isChecked() != window.isChecked(c))) {
                qWarning("%s does not mirror the store", qPrintable(name));
                same = false;
            }
        }
        for (auto* w : window.findChildren<QWidget*>(name)) {
            if (w->isEnabled() != window.isEnabled(c)) {
                qWarning("%s does not mirror the store", qPrintable(name));
                same = false;
            }
        }
    }
    return same;
}

/// Drags a file onto `target` and drops it there, as a file manager does; whether the drop
/// was taken.
bool dropFile(QWidget* target, const QString& path) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

/// The title the window manager shows for `window`: its _NET_WM_NAME on the X server.
QString desktopTitle(QWidget& window) {
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) return QString();
    xcb_connection_t* c = x11->connection();
    auto atom = [c](const char* name) {
        xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, strlen(name), name), nullptr);
        const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(r);
        return a;
    };
    const xcb_atom_t name = atom("_NET_WM_NAME");
    const xcb_atom_t utf8 = atom("UTF8_STRING");
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, static_cast<xcb_window_t>(window.winId()), name, utf8, 0, 1024), nullptr);
    QString title;
    if (r) title = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(r)), xcb_get_property_value_length(r));
    std::free(r);
    return title;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QString exampleSite() { return QStringLiteral(HW_SOURCE_DIR "/examples/site"); }

private slots:
    void init() { CookieStore::purgeLocalCookies(); }

    void startsWithOnlyTheOpeningCommandsEnabled() {
        TfrmBackDrop window;
        // The menu items and buttons mirror the command-state store (its table has tests of its own).
        QVERIFY(mirrorsTheStore(window));
        QVERIFY(window.isEnabled(Command::mnuOpenWebPage));
        QVERIFY(!window.isEnabled(Command::mnuSaveWebSchemeAs));
        QVERIFY(window.isChecked(Command::mnuViewSwatchBook));
        QVERIFY(window.panel("SBpnlOutline")->isVisibleTo(&window));
        QVERIFY(!window.panel("CPpnlOutline")->isVisibleTo(&window));
        QCOMPARE(window.panel("SCpnlOutline")->geometry().topLeft(), QPoint(620, 398 - 104 + 1));
        QCOMPARE(window.panel("SPpnlOutline")->geometry().topLeft(), QPoint(620, 398 + 123 - 1));
        QCOMPARE(window.windowTitle(), QStringLiteral("Huewright - Untitled.sbk"));
        // The editor list named the Edit menu's editor item at start-up.
        auto* viewSource = window.findChild<QAction*>("mnuViewSource");
        QVERIFY(viewSource && viewSource->text().startsWith("Edit &with "));
    }

    void theDesktopShowsTheCaptionOnce() {
        TfrmBackDrop window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(desktopTitle(window), QStringLiteral("Huewright - Untitled.sbk"));
        window.setCaption("Huewright - index.html");
        QVERIFY(waitFor([&] { return desktopTitle(window) == QStringLiteral("Huewright - index.html"); }, 5000));
        QVERIFY(window.close());
    }

    void everyToolButtonHasAHint() {
        TfrmBackDrop window;
        int buttons = 0;
        for (auto* b : window.findChildren<QToolButton*>()) {
            if (b->objectName().startsWith("qt_")) continue; // Qt's own overflow buttons
            ++buttons;
            QVERIFY2(!b->toolTip().isEmpty(), qPrintable(b->objectName()));
            // The window's tool bar buttons also tell the status bar.
            if (qobject_cast<QToolBar*>(b->parentWidget())) QCOMPARE(b->statusTip(), b->toolTip());
        }
        QVERIFY(buttons > 10);
        QCOMPARE(window.findChild<QToolButton*>("tbnPreviousScheme")->toolTip(), QStringLiteral("Previous Scheme"));
    }

    void opensAPageNamedOnTheCommandLineAndCleansUpAtClose() {
        QTemporaryDir dir;
        QVERIFY(copyTree(exampleSite(), dir.path()));
        auto* window = new TfrmBackDrop;
        window->show();
        QVERIFY(openPage(*window, dir.path(), "index.html"));

        const QStringList copies = filesMatching(dir.path(), "wp*.tmp");
        QCOMPARE(copies.size(), 1);
        QCOMPARE(window->WebBrowser1()->currentPath(), dir.filePath(copies.first()));
        QCOMPARE(evaluate(window->WebBrowser1(), "document.body.id").toString(), QStringLiteral("1b"));
        // The page's stylesheet and pictures come through the page scheme.
        QVERIFY(waitFor([&] {
            return evaluate(window->WebBrowser1(), "document.images.length>0 && document.images[0].naturalWidth")
                       .toInt() == 120;
        }));
        QCOMPARE(window->windowTitle(), QStringLiteral("Huewright - index.html"));
        QVERIFY(window->isEnabled(Command::mnuViewSource));
        QVERIFY(mirrorsTheStore(*window));

        // A cookie written by the page reaches the store, in the store's layout, and raises
        // the command-state change.
        QSignalSpy changes(window->WebBrowser1(), &WebBrowser::commandStateChange);
        evaluate(window->WebBrowser1(),
                 "document.cookie='data=initialise,:Swatch:,%%,images:endData;expires=Fri, 31-Dec-2123 00:00:00 "
                 "GMT;'");
        QVERIFY(changes.count() > 0 || changes.wait(5000));
        QCOMPARE(cookieValue(dir.path(), "data"), QStringLiteral("initialise,:Swatch:,%%,images:endData"));
        QVERIFY(cookieFileText(dir.path()).contains("\n~~local~~" + QDir(dir.path()).absolutePath() + "/\n"));
        QCOMPARE(evaluate(window->WebBrowser1(), "document.cookie").toString(),
                 QStringLiteral("data=initialise,:Swatch:,%%,images:endData"));
        QVERIFY(window->isEnabled(Command::mnuSaveWebSchemeAs));
        QVERIFY(mirrorsTheStore(*window));
        QCOMPARE(window->windowTitle(), QStringLiteral("Huewright - Untitled.wsm"));

        // Closing asks about the painting; No closes and removes every working file.
        QStringList asked;
        window->questionOverride = [&](const std::string& q) {
            asked << QString::fromStdString(q);
            return Answer::No;
        };
        QFile(QString::fromStdString(tempFolder() + "/swatchBook.js")).open(QIODevice::WriteOnly);
        QVERIFY(window->close());
        QCOMPARE(asked, QStringList{"Save changes to Untitled.wsm?"});
        QVERIFY(filesMatching(dir.path(), "wp*.tmp").isEmpty());
        QVERIFY(cookieFileText(dir.path()).isEmpty());
        QVERIFY(!QFile::exists(QString::fromStdString(tempFolder() + "/swatchBook.js")));
        delete window;
    }

    void cancelAtCloseKeepsEverything() {
        QTemporaryDir dir;
        QVERIFY(copyTree(exampleSite(), dir.path()));
        TfrmBackDrop window;
        window.show();
        QVERIFY(openPage(window, dir.path(), "index.html"));
        evaluate(window.WebBrowser1(), "document.cookie='data=initialise,:Swatch:,%%,images:endData;'");
        QVERIFY(waitFor([&] { return !cookieFileText(dir.path()).isEmpty(); }));
        window.questionOverride = [](const std::string&) { return Answer::Cancel; };
        QVERIFY(!window.close());
        QCOMPARE(filesMatching(dir.path(), "wp*.tmp").size(), 1);
        QVERIFY(!cookieFileText(dir.path()).isEmpty());
        window.questionOverride = [](const std::string&) { return Answer::No; };
        QVERIFY(window.close());
    }

    void aClickWithoutAPaintingColourSaysSo() {
        QTemporaryDir dir;
        QVERIFY(copyTree(exampleSite(), dir.path()));
        TfrmBackDrop window;
        window.resize(1000, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(openPage(window, dir.path(), "index.html"));
        QFile::remove(QString::fromStdString(swatchBookJsPath()));
        QVERIFY(window.statusBar()->currentMessage().isEmpty());
        QVERIFY(clickElement(window.WebBrowser1(), "1b"));
        QVERIFY(window.statusBar()->currentMessage().startsWith("No painting colour chosen"));
        QTest::qWait(300);
        QVERIFY(!cookieValue(dir.path(), "data").contains("1b$"));
        window.questionOverride = [](const std::string&) { return Answer::No; };
        QVERIFY(window.close());
    }

    void ctrlZOnThePageUndoesTheLastPaint() {
        QTemporaryDir dir;
        QVERIFY(copyTree(exampleSite(), dir.path()));
        TfrmBackDrop window;
        window.resize(1000, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(openPage(window, dir.path(), "index.html"));
        QVERIFY(writeSwatchBookJs(SwatchBookJsLayout::A, "FFCC00", 52479));
        QVERIFY(clickElement(window.WebBrowser1(), "1b"));
        QVERIFY(waitFor([&] { return cookieValue(dir.path(), "data").contains("#FFCC00(52479)b"); }));
        QVERIFY(waitFor([&] { return window.isEnabled(Command::mnuUndo); }));
        QWidget* view = window.WebBrowser1()->focusProxy();
        view->setFocus();
        QTest::keyClick(view, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(waitFor([&] { return !cookieValue(dir.path(), "data").contains("#FFCC00(52479)b"); }));
        window.questionOverride = [](const std::string&) { return Answer::No; };
        QVERIFY(window.close());
    }

    void startsOnAGuideThatIsNoPageOfTheHistory() {
        TfrmBackDrop window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(waitFor([&] {
            return evaluate(window.WebBrowser1(), "document.body?document.body.innerText:''").toString().contains(
                "Open Web Page");
        }));
        QVERIFY(window.state().pages.empty());
        QVERIFY(!window.state().showingPage());
        QVERIFY(!window.isEnabled(Command::mnuSaveWebSchemeAs));

        // The first page opened has no page before it to go back to.
        QTemporaryDir dir;
        QVERIFY(copyTree(exampleSite(), dir.path()));
        QVERIFY(openPage(window, dir.path(), "index.html"));
        QCOMPARE(window.state().pages.size(), std::size_t(1));
        QVERIFY(!window.isEnabled(Command::tbnPreviousPage));
        QVERIFY(window.close());
    }

    void droppedFilesOpenAsTheirCommandsDo() {
        QTemporaryDir dir;
        QVERIFY(copyTree(exampleSite(), dir.path()));
        QFile book(dir.filePath("sea.sbk"));
        QVERIFY(book.open(QIODevice::WriteOnly));
        book.write("0\r\n255\r\n32768\r\n16777215\r\nFF0000\r\n008000\r\nspace\r\nSea and sky\r\n");
        book.close();
        TfrmBackDrop window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QStringList asked, notices;
        window.questionOverride = [&](const std::string& q) {
            asked << QString::fromStdString(q);
            return Answer::Cancel;
        };
        window.noticeOverride = [&](const std::string& n) { notices << QString::fromStdString(n); };

        // Only files the program opens are taken.
        QVERIFY(!dropFile(&window, dir.filePath("site.css")));

        QVERIFY(dropFile(&window, dir.filePath("sea.sbk")));
        QVERIFY(waitFor([&] { return window.windowTitle() == "Huewright - sea.sbk"; }, 5000));

        // A page dropped on the page view opens through Open Web Page, not as a bare file.
        QVERIFY(waitFor([&] { return window.WebBrowser1()->focusProxy() != nullptr; }));
        QSignalSpy handled(&window, &TfrmBackDrop::documentHandled);
        QVERIFY(dropFile(window.WebBrowser1()->focusProxy(), dir.filePath("index.html")));
        QVERIFY(handled.wait(30000));
        QCOMPARE(filesMatching(dir.path(), "wp*.tmp").size(), 1);
        QCOMPARE(window.windowTitle(), QStringLiteral("Huewright - sea.sbk | index.html"));

        // With painting on show, a dropped page or scheme asks first; Cancel keeps the painting.
        evaluate(window.WebBrowser1(), "document.cookie='data=initialise,:Swatch:,%%,images:endData;'");
        QVERIFY(waitFor([&] { return window.isEnabled(Command::mnuSaveWebSchemeAs); }));
        QVERIFY(dropFile(&window, dir.filePath("index.html")));
        QVERIFY(waitFor([&] { return asked.size() == 1; }, 5000));
        QCOMPARE(asked.last(), QStringLiteral("Save changes to Untitled.wsm?"));
        QVERIFY(dropFile(&window, dir.filePath("blue.wsm")));
        QVERIFY(waitFor([&] { return asked.size() == 2; }, 5000));
        QCOMPARE(asked.last(), QStringLiteral("Save changes to Untitled.wsm?"));
        QCOMPARE(filesMatching(dir.path(), "wp*.tmp").size(), 1);
        QCOMPARE(window.windowTitle(), QStringLiteral("Huewright - sea.sbk | Untitled.wsm"));

        // A modified book is offered for saving before a dropped book replaces it.
        window.bookCommands().addCard(clWhite, clWhite, clWhite, "FFFFFF", "", "");
        QVERIFY(dropFile(&window, dir.filePath("sea.sbk")));
        QVERIFY(waitFor([&] { return asked.size() == 3; }, 5000));
        QCOMPARE(asked.last(), QStringLiteral("Save changes to swatch book?"));
        QCOMPARE(window.state().book.lastCard, 1);
        QVERIFY(notices.isEmpty());

        window.questionOverride = [](const std::string&) { return Answer::No; };
        QVERIFY(window.close());
    }

    void commandLineNamesAFileByFullPathOrFromTheCurrentFolder() {
        // A file manager starts the program in the home folder with the file's full path.
        QTemporaryDir dir, elsewhere;
        const QString site = dir.filePath("site");
        QVERIFY(copyTree(exampleSite(), site));
        QFile::copy(QDir(site).filePath("index.html"), QDir(site).filePath("upper.HTML"));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        {
            TfrmBackDrop window;
            // The extension is compared exactly, on full paths too.
            window.recogniseCommandLine(QDir(site).filePath("upper.HTML"));
            window.recogniseCommandLine("\"" + QDir(site).filePath("index.html") + "\"");
            QVERIFY(filesMatching(site, "wp*.tmp").isEmpty());

            window.recogniseCommandLine(QDir(site).filePath("index.html"));
            QCOMPARE(filesMatching(site, "wp*.tmp").size(), 1);
            QCOMPARE(window.windowTitle(), QStringLiteral("Huewright - index.html"));
            QVERIFY(filesMatching(elsewhere.path(), "*").isEmpty());
            QVERIFY(window.close());
        }
        // A relative path keeps its folders: "site/index.html" from the site's parent.
        QDir::setCurrent(dir.path());
        {
            TfrmBackDrop window;
            window.recogniseCommandLine("site/upper.HTML");
            QVERIFY(filesMatching(site, "wp*.tmp").isEmpty());
            window.recogniseCommandLine("site/index.html");
            QCOMPARE(filesMatching(site, "wp*.tmp").size(), 1);
            QVERIFY(window.close());
        }
        QDir::setCurrent(previous);
        QVERIFY(filesMatching(site, "wp*.tmp").isEmpty());
    }

    void aSwatchBookNamedOnTheCommandLineOpens() {
        QTemporaryDir dir, elsewhere;
        QFile book(dir.filePath("sea.sbk"));
        QVERIFY(book.open(QIODevice::WriteOnly));
        book.write("0\r\n255\r\n32768\r\n16777215\r\nFF0000\r\n008000\r\nspace\r\nSea and sky\r\n");
        book.close();
        TfrmBackDrop window;
        // As a desktop launcher with %u hands it over, from a folder of its own.
        const QString previous = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        window.recogniseCommandLine(QUrl::fromLocalFile(book.fileName()).toString());
        QDir::setCurrent(previous);
        QCOMPARE(window.windowTitle(), QStringLiteral("Huewright - sea.sbk"));
        QCOMPARE(window.state().book.lastCard, 0);
        QVERIFY(window.isEnabled(Command::mnuSaveSwatchBookAs));
        QVERIFY(window.close());
    }

    void badPagesOpenOrAreReportedWithoutACrash() {
        QTemporaryDir dir;
        QByteArray binary;
        for (int i = 0; i < 4096; ++i) binary.append(char((i * 7919) & 0xFF));
        QFile b(dir.filePath("binary.html"));
        QVERIFY(b.open(QIODevice::WriteOnly));
        b.write(binary);
        b.close();
        QFile e(dir.filePath("empty.html"));
        QVERIFY(e.open(QIODevice::WriteOnly));
        e.close();
        QFile u(dir.filePath("broken.html"));
        QVERIFY(u.open(QIODevice::WriteOnly));
        u.write("<html><body><p id=\"x <table><td <script>while(1){}");
        u.close();

        TfrmBackDrop window;
        window.show();
        QStringList notices;
        window.noticeOverride = [&](const std::string& n) { notices << QString::fromStdString(n); };
        for (auto name : {"binary.html", "empty.html", "broken.html"}) {
            QVERIFY2(openPage(window, dir.path(), name), name);
            QVERIFY(evaluate(window.WebBrowser1(), "1+1").toInt() == 2);
        }
        QVERIFY(notices.isEmpty());
        window.recogniseCommandLine(dir.filePath("missing.html"));
        QCOMPARE(notices.size(), 1);
        QVERIFY(notices.first().contains("missing.html"));
        window.questionOverride = [](const std::string&) { return Answer::No; };
        QVERIFY(window.close());
        QVERIFY(filesMatching(dir.path(), "wp*.tmp").isEmpty());
    }
};

HW_GUI_TEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
