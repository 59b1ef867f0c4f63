// The in-page painting script in the real browser: clicks with real mouse events on the view,
// the change record that reaches the cookie store, undo, the colour collection after a load, the
// picture pick and swap, frames, and the script on the corpus and the example site.

#include "GuiTestMain.h"
#include "GuiTestSupport.h"

#include "base/Folders.h"
#include "base/PageUrl.h"
#include "colour/SwatchBookJs.h"
#include "engine/CookieStore.h"
#include "engine/WebPage.h"

#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace hw;
using namespace hw::test;

namespace {

const QString yellowRecord =
    QStringLiteral("initialise,?B1b$B$:B#FFCC00(52479)b,:Swatch:,%#FFCC00(52479),%%,images:endData");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QString tempFile(const char* name) { return QString::fromStdString(tempFolder()) + "/" + name; }

QString pageUrlOf(const QString& path) { return QString::fromStdString(pageUrl(path.toStdString())); }

// The head script as the instrumenter inserts it, with the two script paths as page URLs.
QByteArray assembledScript() { return QByteArray::fromStdString(pageHeadScript()); }

// The colours of colours.html (hand-instrumented) and raw-colours.html (the same page as written),
// collected after the load: the elements in document order; per element its attributes, the
// first stylesheet's rules that name its tag and class, then its inline style. Named colours in
// styles and black are left out.
const QString collectedEntries =
    "initialise,?B1b$B$:B#EEEEEE(15658734)b,?B1table$B$:B#FFFFFF(16777215)b,?B1td$B$:B#FFCC00(52479)b,"
    "?C1td$C$:C#336699(10053171)c,?B2td$B$:B#123456(5649426)b,?C2td$C$:C#654321(2179941)c,"
    "?D1p$D$:D#00FF00(65280)d,?B1p$B$:B#ABCDEF(15715755)b,?C1font$C$:C#FF0000(255)c";
const QString collectedSwatches =
    ",:Swatch:,%#EEEEEE(15658734),%#FFCC00(52479),%#336699(10053171),%#123456(5649426),"
    "%#654321(2179941),%#00FF00(65280),%#ABCDEF(15715755),%#FF0000(255),%%";


} // namespace

class PageScriptTest : public QObject {
    Q_OBJECT

private:
    TfrmBackDrop* m_window = nullptr;
    QTemporaryDir* m_dir = nullptr;

    WebBrowser* browser() { return m_window->WebBrowser1(); }
    QString folder() { return m_dir->path(); }
    QString record() { return cookieValue(folder(), "data"); }
    QVariant js(const QString& script) { return evaluate(browser(), script); }

    bool navigate(const QString& path) {
        QSignalSpy loaded(browser(), &WebBrowser::documentComplete);
        browser()->Navigate(path);
        return loaded.wait(20000);
    }

    // Shows a hand-instrumented page of the test data with the page script in its head, and
    // lets the script collect the page's colours as the program does after a load.
    bool showFixture(const QString& page, const QString& as = QStringLiteral("wpfixture.tmp")) {
        const QByteArray text = "<html>" + assembledScript() + readAll(QStringLiteral(HW_TEST_DATA "/pages/") + page);
        if (!writeAll(QDir(folder()).filePath(as), text)) return false;
        if (!navigate(QDir(folder()).filePath(as))) return false;
        return js("guc();typeof sb=='function'").toBool();
    }

    // Shows a frameset of two hand-instrumented frames, each with the page script, and lets
    // each collect its colours.
    bool showFrames() {
        if (!writeAll(QDir(folder()).filePath("fwpa.tmp"),
                      "<html>" + assembledScript() + readAll(QStringLiteral(HW_TEST_DATA "/pages/frame0.html"))) ||
            !writeAll(QDir(folder()).filePath("fwpb.tmp"),
                      "<html>" + assembledScript() + readAll(QStringLiteral(HW_TEST_DATA "/pages/frame1.html"))) ||
            !writeAll(QDir(folder()).filePath("wpframes.tmp"),
                      "<html><frameset cols=\"50%,50%\"><frame src='fwpa.tmp'><frame src='fwpb.tmp'></frameset>"
                      "</html>"))
            return false;
        if (!navigate(QDir(folder()).filePath("wpframes.tmp"))) return false;
        if (!waitFor([&] {
                return js("frames.length==2&&typeof frames[1].sb=='function'&&typeof frames[0].sb=='function'")
                    .toBool();
            }))
            return false;
        js("frames[0].guc();frames[1].guc()");
        return true;
    }

    bool waitForRecord(const QString& expected) {
        return waitFor([&] { return record() == expected; }, 5000);
    }

    // The point of the view where the body itself is under the pointer.
    QPoint bodyPoint() { return hw::test::bodyPoint(browser()); }

private slots:
    void init() {
        CookieStore::purgeLocalCookies();
        QFile::remove(tempFile("swatchBook.js"));
        QFile::remove(tempFile("im.js"));
        m_dir = new QTemporaryDir;
        QVERIFY(QFile::copy(QStringLiteral(HW_SOURCE_DIR "/examples/site/images/badge.png"),
                            QDir(folder()).filePath("picture.png")));
        QVERIFY(QFile::copy(QStringLiteral(HW_SOURCE_DIR "/examples/site/images/logo.gif"),
                            QDir(folder()).filePath("other.gif")));
        m_window = showWindow(QSize(1000, 700), true);
        QVERIFY(m_window);
    }

    void cleanup() {
        closeWindow(m_window);
        delete m_dir;
        m_dir = nullptr;
    }

    void aClickOnTheBodyWritesTheWholeRecord() {
        QVERIFY(showFixture("plain.html"));
        QVERIFY(setColour("FFCC00", 52479));
        const QPoint at = bodyPoint();
        QVERIFY(at.x() >= 0);
        QTest::mouseMove(browser()->focusProxy(), at);
        QTest::mouseClick(browser()->focusProxy(), Qt::LeftButton, Qt::NoModifier, at);
        QVERIFY2(waitForRecord(yellowRecord), qPrintable(record()));
        QCOMPARE(js("document.body.style.backgroundColor").toString(), QStringLiteral("rgb(255, 204, 0)"));
        QVERIFY(cookieFileText(folder()).startsWith("data\n" + yellowRecord + "\n~~local~~"));
        // The undo snapshot of a background paint carries its own expiry date.
        QCOMPARE(js("sco").toString(), "data=" + yellowRecord + ";expires=Thu, 30-Dec-2123 00:00:00 GMT;");
    }

    void eachButtonAndModifierPaintsItsAspect_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("expiry");
        QTest::newRow("background") << "2p" << int(Qt::LeftButton) << int(Qt::NoModifier) << "backgroundColor"
                                    << "?B2p$B$:B#3366CC(13395507)b" << "Thu, 30-Dec";
        QTest::newRow("text") << "2p" << int(Qt::RightButton) << int(Qt::NoModifier) << "color"
                              << "?C2p$C$:C#3366CC(13395507)c" << "Wed, 29-Dec";
        QTest::newRow("border") << "1div" << int(Qt::LeftButton) << int(Qt::AltModifier) << "borderColor"
                                << "?D1div$D$:D#3366CC(13395507)d" << "Fri, 31-Dec";
        QTest::newRow("span") << "1span" << int(Qt::LeftButton) << int(Qt::NoModifier) << "backgroundColor"
                              << "?B1span$B$:B#3366CC(13395507)b" << "Thu, 30-Dec";
        QTest::newRow("paragraph in a cell") << "1p" << int(Qt::LeftButton) << int(Qt::NoModifier)
                                             << "backgroundColor" << "?B1p$B$:B#3366CC(13395507)b" << "Thu, 30-Dec";
        QTest::newRow("text of a paragraph in a cell") << "1p" << int(Qt::RightButton) << int(Qt::NoModifier)
                                                       << "color" << "?C1p$C$:C#3366CC(13395507)c" << "Wed, 29-Dec";
    }

    void eachButtonAndModifierPaintsItsAspect() {
        QFETCH(QString, id);
        QFETCH(int, button);
        QFETCH(int, modifiers);
        QFETCH(QString, property);
        QFETCH(QString, entry);
        QFETCH(QString, expiry);
        QVERIFY(showFixture("plain.html"));
        QVERIFY(setColour("3366CC", 13395507));
        QVERIFY(clickElement(browser(), id, Qt::MouseButton(button), Qt::KeyboardModifiers(modifiers)));
        const QString expected = "initialise," + entry + ",:Swatch:,%#3366CC(13395507),%%,images:endData";
        QVERIFY2(waitForRecord(expected), qPrintable(record()));
        QCOMPARE(js("document.getElementById('" + id + "').style." + property).toString(),
                 QStringLiteral("rgb(51, 102, 204)"));
        // Only the innermost element is painted: its instrumented ancestors keep their colours.
        QCOMPARE(js("document.getElementById('1td').style.cssText+document.body.style.cssText").toString(),
                 QString());
        QVERIFY(js("sco").toString().endsWith(expiry + "-2123 00:00:00 GMT;"));
    }

    void paintingAnElementAgainReplacesItsEntry() {
        QVERIFY(showFixture("plain.html"));
        QVERIFY(setColour("FF0000", 255));
        QVERIFY(clickElement(browser(), "2p"));
        QVERIFY(clickElement(browser(), "2td"));
        QVERIFY(waitForRecord("initialise,?B2p$B$:B#FF0000(255)b,?B2td$B$:B#FF0000(255)b,:Swatch:,%#FF0000(255),"
                              "%%,images:endData"));
        QVERIFY(setColour("00FF00", 65280));
        QVERIFY(clickElement(browser(), "2p"));
        QVERIFY2(waitForRecord("initialise,?B2p$B$:B#00FF00(65280)b,?B2td$B$:B#FF0000(255)b,:Swatch:,"
                               "%#00FF00(65280),%#FF0000(255),%%,images:endData"),
                 qPrintable(record()));
        // White is recorded but never listed as a swatch; the earlier colour leaves the list
        // once no entry uses it.
        QVERIFY(setColour("FFFFFF", 16777215));
        QVERIFY(clickElement(browser(), "2td"));
        QVERIFY2(waitForRecord("initialise,?B2p$B$:B#00FF00(65280)b,?B2td$B$:B#FFFFFF(16777215)b,:Swatch:,"
                               "%#00FF00(65280),%%,images:endData"),
                 qPrintable(record()));
    }

    void undoRestoresTheColourAndThePreviousRecord() {
        QVERIFY(showFixture("plain.html"));
        QVERIFY(setColour("FF0000", 255));
        QVERIFY(clickElement(browser(), "2p"));
        const QString first = "initialise,?B2p$B$:B#FF0000(255)b,:Swatch:,%#FF0000(255),%%,images:endData";
        QVERIFY(waitForRecord(first));
        QVERIFY(setColour("0000FF", 16711680));
        QVERIFY(clickElement(browser(), "2p"));
        QVERIFY(waitForRecord("initialise,?B2p$B$:B#0000FF(16711680)b,:Swatch:,%#0000FF(16711680),%%,images:endData"));

        // Ctrl+Z in the view goes through Edit > Undo to the page's own undo.
        m_window->session().apply(Situation::PagePainted);
        QTest::keyClick(m_window->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY2(waitForRecord(first), qPrintable(record()));
        QCOMPARE(js("document.getElementById('2p').style.backgroundColor").toString(),
                 QStringLiteral("rgb(255, 0, 0)"));

        // Back to the page's own state: the snapshot taken after the load.
        m_window->session().apply(Situation::PagePainted);
        m_window->mnuUndoClick();
        QVERIFY2(waitForRecord("initialise,:Swatch:,%%endData"), qPrintable(record()));
        QCOMPARE(js("document.getElementById('2p').style.backgroundColor").toString(), QString());

        // Nothing left to undo: the oldest entry is restored again; a new paint still works and
        // records the undone entry afresh.
        m_window->mnuUndoClick();
        QTest::qWait(200);
        QCOMPARE(record(), QStringLiteral("initialise,:Swatch:,%%endData"));
        QVERIFY(setColour("FFCC00", 52479));
        QVERIFY(clickElement(browser(), "1span"));
        QVERIFY(waitForRecord("initialise,?B2p$B$:B#0000FF(16711680)b,?B1span$B$:B#FFCC00(52479)b,:Swatch:,"
                              "%#0000FF(16711680),%#FFCC00(52479),%%,images:endData"));
    }

    void undoBringsBackWhatTheElementShowedBefore() {
        // The example site's heading has its text colour from a rule of its own, and a later
        // rule of the stylesheet, for a class, has another.
        QVERIFY(copyTree(QStringLiteral(HW_SOURCE_DIR "/examples/site"), folder()));
        QVERIFY(openPage(*m_window, folder(), "index.html"));
        const QString id = js("document.getElementsByTagName('h1')[0].id").toString();
        QVERIFY(!id.isEmpty());
        const QString heading = "document.getElementById('" + id + "')";
        const QString colour = js("getComputedStyle(" + heading + ").color").toString();
        QCOMPARE(colour, QStringLiteral("rgb(38, 70, 83)"));
        const QString style = js("String(" + heading + ".getAttribute('style'))").toString();

        QVERIFY(setColour("FFCC00", 52479));
        QVERIFY(clickElement(browser(), id, Qt::RightButton));
        QVERIFY2(waitFor([&] { return record().contains("?C" + id + "$C$:C#FFCC00(52479)c"); }, 5000),
                 qPrintable(record()));
        QCOMPARE(js("getComputedStyle(" + heading + ").color").toString(), QStringLiteral("rgb(255, 204, 0)"));

        m_window->session().apply(Situation::PagePainted);
        m_window->mnuUndoClick();
        QVERIFY2(waitFor([&] { return js("getComputedStyle(" + heading + ").color").toString() == colour; }, 5000),
                 qPrintable(js("getComputedStyle(" + heading + ").color").toString()));
        QCOMPARE(js("String(" + heading + ".getAttribute('style'))").toString(), style);
        QVERIFY(record().startsWith("initialise,"));
        QVERIFY(!record().contains("#FFCC00"));
    }

    void ctrlZTakesBackTheNewestPaintOfAnyFrame() {
        QVERIFY(showFrames());
        QVERIFY(setColour("FFCC00", 52479));
        QVERIFY(clickElement(browser(), "1p", Qt::LeftButton, Qt::NoModifier, 0));
        QVERIFY(waitFor([&] { return cookieValue(folder(), "frameC[0]").contains("?B1p$B$:B#FFCC00"); }, 5000));
        QVERIFY(clickElement(browser(), "1p", Qt::LeftButton, Qt::NoModifier, 1));
        QVERIFY(waitFor([&] { return cookieValue(folder(), "frameC[1]").contains("?B1p$B$:B#FFCC00"); }, 5000));
        const QString painted = "rgb(255, 204, 0)";
        auto background = [&](int frame) {
            return js(QStringLiteral("frames[%1].document.getElementById('1p').style.backgroundColor").arg(frame))
                .toString();
        };
        QCOMPARE(background(0), painted);
        QCOMPARE(background(1), painted);

        // Frame 1 has the focus and the newest paint; then frame 0's paint is the newest left,
        // whichever frame has the focus.
        m_window->session().apply(Situation::PagePainted);
        QTest::keyClick(m_window->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY2(waitFor([&] { return background(1).isEmpty(); }, 5000), qPrintable(background(1)));
        QCOMPARE(cookieValue(folder(), "frameC[1]"), QStringLiteral("initialise,:Swatch:,%%frameE[1]"));
        QCOMPARE(background(0), painted);

        m_window->session().apply(Situation::PagePainted);
        QTest::keyClick(m_window->windowHandle(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY2(waitFor([&] { return background(0).isEmpty(); }, 5000), qPrintable(background(0)));
        QVERIFY2(waitFor([&] {
            return cookieValue(folder(), "frameC[0]") == QStringLiteral("initialise,:Swatch:,%%frameE[0]");
        }, 5000),
                 qPrintable(cookieFileText(folder())));
        QCOMPARE(background(1), QString());
    }

    void ctrlZInAPanelTextBoxUndoesThePaint() {
        QVERIFY(showFixture("plain.html"));
        QVERIFY(setColour("FF0000", 255));
        QVERIFY(clickElement(browser(), "2p"));
        QVERIFY(waitForRecord("initialise,?B2p$B$:B#FF0000(255)b,:Swatch:,%#FF0000(255),%%,images:endData"));

        // The swatch book's card title box, open for a new title as a click on the title opens it.
        auto* box = m_window->findChild<QLineEdit*>(QStringLiteral("SBeditCardTitle"));
        QVERIFY(box);
        box->show();
        box->setFocus();
        QVERIFY(waitFor([&] { return box->hasFocus(); }, 5000));
        QTest::keyClicks(box, "Loaves");
        m_window->session().apply(Situation::PagePainted);
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY2(waitForRecord("initialise,:Swatch:,%%endData"), qPrintable(record()));
        QCOMPARE(js("document.getElementById('2p').style.backgroundColor").toString(), QString());
        QCOMPARE(box->text(), QStringLiteral("Loaves"));

        // With nothing to undo in the page, the box keeps its own undo.
        m_window->session().apply(Situation::PageShownAgain); // Undo off
        QTest::keyClicks(box, " and rolls");
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(box->text() != QStringLiteral("Loaves and rolls"));
        QCOMPARE(record(), QStringLiteral("initialise,:Swatch:,%%endData"));
    }

    void theKeysGAndCtrlZReachTheScript() {
        QVERIFY(showFixture("plain.html"));
        QVERIFY(setColour("FF0000", 255));
        QVERIFY(clickElement(browser(), "2p"));
        QVERIFY(waitFor([&] { return !record().isEmpty(); }, 5000));
        // g collects again: the painted inline colour is now one of the page's colours.
        js("sco=''");
        QTest::keyClick(browser()->focusProxy(), Qt::Key_G);
        QVERIFY(waitFor([&] {
            return js("sco").toString() ==
                   "data=initialise,?B2p$B$:B#FF0000(255)b,:Swatch:,%#FF0000(255),%%endData;expires=Fri, 31-Dec-2123 "
                   "00:00:00 GMT;";
        }, 5000));
        // Key code 26 is the old form of Ctrl+Z; other keys do nothing.
        js("gkp({keyCode:120})");
        QCOMPARE(js("u").toInt(), 0);
        js("gkp({keyCode:26})");
        QCOMPARE(js("u").toInt(), -1);
        QVERIFY2(waitForRecord("initialise,:Swatch:,%%endData"), qPrintable(record()));
    }

    void aRightClickOnTheBodyPaintsNothingAndOpensNoMenu() {
        QVERIFY(showFixture("plain.html"));
        QVERIFY(setColour("FFCC00", 52479));
        js("window.menuShown=-1;window.addEventListener('contextmenu',function(e){menuShown=e.defaultPrevented?0:1;})");
        const QPoint at = bodyPoint();
        QVERIFY(at.x() >= 0);
        QTest::mouseClick(browser()->focusProxy(), Qt::RightButton, Qt::NoModifier, at);
        QVERIFY(waitFor([&] { return js("menuShown").toInt() != -1; }, 5000));
        QCOMPARE(js("menuShown").toInt(), 0);
        QCOMPARE(js("document.body.style.cssText").toString(), QString());
        QTest::qWait(200);
        QVERIFY(cookieFileText(folder()).isEmpty());
        QCOMPARE(js("u").toInt(), -1);
    }

    void aFailingColourReloadChangesNothing() {
        QVERIFY(showFixture("plain.html"));
        for (const QByteArray& bad : {QByteArray(), QByteArray("var\r\nhexCode='#FFCC'"),
                                      QByteArray("var hexCode='#FFCC00';var decCode='x';"),
                                      QByteArray("\x01\x02 not a script")}) {
            QFile::remove(tempFile("swatchBook.js"));
            if (!bad.isEmpty()) QVERIFY(writeAll(tempFile("swatchBook.js"), bad));
            QVERIFY(clickElement(browser(), "2p"));
            QVERIFY(clickElement(browser(), "2p", Qt::RightButton));
            QVERIFY(clickElement(browser(), "1div", Qt::LeftButton, Qt::AltModifier));
            QTest::qWait(200);
            QCOMPARE(js("u").toInt(), -1);
            QCOMPARE(js("sd.length").toInt(), 1);
            QCOMPARE(js("document.getElementById('2p').style.cssText").toString(), QString());
            QVERIFY(cookieFileText(folder()).isEmpty());
        }
        // With a good file the next paint works.
        QVERIFY(setColour("FFCC00", 52479));
        QVERIFY(clickElement(browser(), "2p"));
        QVERIFY(waitFor([&] { return record().contains("?B2p$B$:B#FFCC00(52479)b"); }, 5000));
    }

    void theColourCollectionFillsTheEntriesInDocumentOrder() {
        QVERIFY(showFixture("colours.html"));
        const QString& entries = collectedEntries;
        const QString& swatches = collectedSwatches;
        QCOMPARE(js("sco").toString(),
                 "data=" + entries + swatches + "endData;expires=Fri, 31-Dec-2123 00:00:00 GMT;");
        // The snapshot is kept, not written.
        QVERIFY(cookieFileText(folder()).isEmpty());

        // A paint replaces the collected entry in place.
        QVERIFY(setColour("3366CC", 13395507));
        QVERIFY(clickElement(browser(), "1td"));
        QString painted = entries;
        painted.replace("?B1td$B$:B#FFCC00(52479)b", "?B1td$B$:B#3366CC(13395507)b");
        QString paintedSwatches = swatches;
        paintedSwatches.replace("%#FFCC00(52479),%#336699(10053171)", "%#3366CC(13395507),%#336699(10053171)");
        QVERIFY2(waitForRecord(painted + paintedSwatches + ",images:endData"), qPrintable(record()));

        // A second collection starts again from the page as it now stands; undo then takes the
        // painted colour away, so the stylesheet's colour of the cell shows again.
        m_window->session().apply(Situation::PagePainted);
        m_window->mnuUndoClick();
        QVERIFY(waitForRecord(entries + swatches + "endData"));
        QCOMPARE(js("getComputedStyle(document.getElementById('1td')).backgroundColor").toString(),
                 QStringLiteral("rgb(255, 204, 0)"));
    }

    void aPageOpenedByTheProgramHasItsColoursCollectedAfterTheLoad() {
        QVERIFY(QFile::copy(QStringLiteral(HW_TEST_DATA "/pages/raw-colours.html"),
                            QDir(folder()).filePath("raw-colours.html")));
        QVERIFY(openPage(*m_window, folder(), "raw-colours.html"));
        QCOMPARE(js("sco").toString(), "data=" + collectedEntries + collectedSwatches +
                                           "endData;expires=Fri, 31-Dec-2123 00:00:00 GMT;");
        QVERIFY(cookieFileText(folder()).isEmpty());
    }

    void aPictureIsPickedAndSwappedForItsRecolouredCopy() {
        QVERIFY(showFixture("plain.html"));
        const QString picture = QDir(folder()).filePath("picture.png");
        const QString copy = QDir(folder()).filePath("other.gif");
        QVERIFY(waitFor([&] { return js("document.getElementById('1img').naturalWidth").toInt() > 0; }));

        // A Ctrl+click before any pick does nothing.
        QVERIFY(clickElement(browser(), "1img", Qt::LeftButton, Qt::ControlModifier));
        QTest::qWait(200);
        QVERIFY(cookieFileText(folder()).isEmpty());

        QVERIFY(clickElement(browser(), "1img", Qt::RightButton, Qt::ControlModifier));
        const QString request = "file://" + picture;
        QVERIFY2(waitFor([&] { return cookieFileText(folder()).startsWith(request + "\n\n~~local~~"); }, 5000),
                 qPrintable(cookieFileText(folder())));
        QCOMPARE(js("b").toInt(), 1);

        const QByteArray imJs = "var\r\nim='" + copy.toLatin1() + "';\r\nvar\r\nop='" + picture.toLatin1() +
                                "';\r\nvar\r\nmod='?mod(100,100,,140)$mod$';\r\nvar\r\noc='^oc13395507^^';";
        QVERIFY(writeAll(tempFile("im.js"), imJs));
        QVERIFY(clickElement(browser(), "1img", Qt::LeftButton, Qt::ControlModifier));
        const QString entry = "?IM1img$IM$:IM&&" + picture + "$rs$&im?mod(100,100,,140)$mod$^oc13395507^^";
        QVERIFY2(waitForRecord("initialise,:Swatch:,%%,images:," + entry + "endData"), qPrintable(record()));
        QCOMPARE(js("document.getElementById('1img').src").toString(), pageUrlOf(copy));
        QCOMPARE(js("b").toInt(), 0);
        QCOMPARE(js("u").toInt(), -1);

        // A background picture: picked, swapped, and recorded with its repeat.
        QVERIFY(clickElement(browser(), "2div", Qt::RightButton, Qt::ControlModifier));
        QVERIFY(waitFor([&] { return js("b").toInt() == 1; }, 5000));
        QVERIFY(clickElement(browser(), "2div", Qt::LeftButton, Qt::ControlModifier));
        const QString bgEntry = "?IM2div$IM$:IM&&" + picture + "$rs$repeat-x&im?mod(100,100,,140)$mod$^oc13395507^^";
        QVERIFY2(waitForRecord("initialise,:Swatch:,%%,images:," + entry + "," + bgEntry + "endData"),
                 qPrintable(record()));
        QVERIFY(js("document.getElementById('2div').style.backgroundImage").toString().contains(pageUrlOf(copy)));

        // Swapping the same picture again replaces its entry; a picture that is neither the
        // source nor the copy is left alone.
        QVERIFY(clickElement(browser(), "1img", Qt::RightButton, Qt::ControlModifier));
        QVERIFY(waitFor([&] { return js("b").toInt() == 1; }, 5000));
        QVERIFY(clickElement(browser(), "1img", Qt::LeftButton, Qt::ControlModifier));
        QTest::qWait(300);
        QCOMPARE(record().count("?IM1img$IM$"), 1);
        QVERIFY(writeAll(tempFile("im.js"), QByteArray(imJs)
                                                .replace(picture.toLatin1(), "/elsewhere/x.png")
                                                .replace(copy.toLatin1(), "/elsewhere/y.gif")));
        js("b=1");
        const QString before = record();
        QVERIFY(clickElement(browser(), "1img", Qt::LeftButton, Qt::ControlModifier));
        QTest::qWait(300);
        QCOMPARE(record(), before);
        QCOMPARE(js("b").toInt(), 1);
    }

    void framesWriteTheirRecordsUnderTheirIndex() {
        QVERIFY(showFrames());
        QCOMPARE(js("frames[1].fi()").toInt(), 1);
        QCOMPARE(js("frames[1].sco").toString(),
                 QStringLiteral("frameC[1]=initialise,:Swatch:,%%frameE[1];expires=Fri, 31-Dec-2123 00:00:00 GMT;"));

        QVERIFY(setColour("FFCC00", 52479));
        QVERIFY(clickElement(browser(), "1p", Qt::LeftButton, Qt::NoModifier, 1));
        const QString second = "initialise,?B1p$B$:B#FFCC00(52479)b,:Swatch:,%#FFCC00(52479),%%,images:frameE[1]";
        QVERIFY2(waitFor([&] { return cookieValue(folder(), "frameC[1]") == second; }, 5000),
                 qPrintable(cookieFileText(folder())));
        QVERIFY(clickElement(browser(), "1p", Qt::RightButton, Qt::NoModifier, 0));
        const QString first = "initialise,?C1p$C$:C#FFCC00(52479)c,:Swatch:,%#FFCC00(52479),%%,images:frameE[0]";
        QVERIFY(waitFor([&] { return cookieValue(folder(), "frameC[0]") == first; }, 5000));
        QCOMPARE(cookieValue(folder(), "frameC[1]"), second);
        QVERIFY(js("frames[0].sco").toString().endsWith("Fri, 31-Dec-2123 00:00:00 GMT;"));
    }

    void aFramesetOpenedByTheProgramKeepsOneRecordPerFrame() {
        for (auto name : {"raw-frames.html", "raw-frame0.html", "raw-frame1.html"})
            QVERIFY(QFile::copy(QStringLiteral(HW_TEST_DATA "/pages/") + name, QDir(folder()).filePath(name)));
        QVERIFY(openPage(*m_window, folder(), "raw-frames.html"));
        QVERIFY(waitFor([&] { return js("frames.length==2&&typeof frames[1].sb=='function'").toBool(); }));
        QVERIFY(setColour("FFCC00", 52479));
        QVERIFY(clickElement(browser(), "1p", Qt::LeftButton, Qt::NoModifier, 1));
        QVERIFY(clickElement(browser(), "1p", Qt::LeftButton, Qt::AltModifier, 0));
        QVERIFY2(waitFor([&] {
            return cookieValue(folder(), "frameC[1]") ==
                       "initialise,?B1p$B$:B#FFCC00(52479)b,:Swatch:,%#FFCC00(52479),%%,images:frameE[1]" &&
                   cookieValue(folder(), "frameC[0]") ==
                       "initialise,?D1p$D$:D#FFCC00(52479)d,:Swatch:,%#FFCC00(52479),%%,images:frameE[0]";
        }, 5000),
                 qPrintable(cookieFileText(folder())));
        QVERIFY(cookieValue(folder(), "data").isEmpty());
    }

    void theExampleSiteIsPaintedThroughTheProgram() {
        QVERIFY(copyTree(QStringLiteral(HW_SOURCE_DIR "/examples/site"), folder()));
        QVERIFY(openPage(*m_window, folder(), "index.html"));
        if (!js("typeof sb=='function'").toBool()) QSKIP("the page is not instrumented yet");
        QVERIFY(js("typeof sco=='string'&&sco.indexOf('data=initialise')==0").toBool());
        QVERIFY(setColour("FFCC00", 52479));
        const QString id = js("(function(){var p=document.getElementsByTagName('p');for(var j=0;j<p.length;j++)"
                              "if(p[j].id&&p[j].getBoundingClientRect().height>0)return p[j].id;return '';})()")
                               .toString();
        QVERIFY(!id.isEmpty());
        QVERIFY(clickElement(browser(), id));
        QVERIFY2(waitFor([&] { return record().contains("?B" + id + "$B$:B#FFCC00(52479)b"); }, 5000),
                 qPrintable(record()));
        QVERIFY(record().startsWith("initialise,"));
        QVERIFY(record().endsWith(",%%,images:endData"));
        // The page tells the window that undo is possible apart from writing its record.
        QVERIFY(waitFor([&] { return m_window->isEnabled(Command::mnuUndo); }, 5000));
    }

    void aCorpusPageIsPaintedWithRealClicks() {
        const QString corpus = QStringLiteral(HW_CORPUS "/libxslt-site");
        if (!QDir(corpus).exists()) QSKIP("the corpus is not beside the repository");
        QVERIFY(copyTree(corpus, folder()));
        QVERIFY(openPage(*m_window, folder(), "index.html"));
        QVERIFY(js("typeof sb=='function'&&sco.indexOf('data=initialise')==0").toBool());
        // A point whose innermost instrumented element takes both clicks and is not the body.
        const QVariantList hit =
            js("(function(){var a=document.querySelectorAll('body [id]'),j,r,x,y,e;for(j=0;j<a.length;j++){"
               "r=a[j].getBoundingClientRect();if(r.width<4||r.height<4||r.bottom>innerHeight||r.right>innerWidth)"
               "continue;x=r.left+Math.min(r.width/2,30);y=r.top+Math.min(r.height/2,8);e=document.elementFromPoint(x,y);"
               "while(e&&!(e.id&&e.getAttribute('onclick')))e=e.parentNode;if(e!=a[j]||!e.getAttribute('oncontextmenu'))"
               "continue;return [Math.round(x),Math.round(y),e.id];}return null;})()")
                .toList();
        QCOMPARE(hit.size(), 3);
        const QPoint at(hit[0].toInt(), hit[1].toInt());
        const QString id = hit[2].toString();
        QVERIFY(setColour("3366CC", 13395507));
        QWidget* view = browser()->focusProxy();
        QTest::mouseMove(view, at);
        QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseClick(view, Qt::RightButton, Qt::NoModifier, at);
        QTest::mouseClick(view, Qt::LeftButton, Qt::AltModifier, at);
        for (const QString& entry : {"?B" + id + "$B$:B#3366CC(13395507)b", "?C" + id + "$C$:C#3366CC(13395507)c",
                                     "?D" + id + "$D$:D#3366CC(13395507)d"})
            QVERIFY2(waitFor([&] { return record().contains(entry); }, 5000), qPrintable(id + ": " + record()));
        QVERIFY(record().startsWith("initialise,"));
        QCOMPARE(record().count("#3366CC(13395507)"), 4); // three entries and one swatch
        QVERIFY(record().endsWith(",%%,images:endData"));
    }

    void everyCorpusPageRunsTheScriptWithoutAnError() {
        const QString corpus = QStringLiteral(HW_CORPUS);
        if (!QDir(corpus).exists()) QSKIP("the corpus is not beside the repository");
        QVERIFY(copyTree(corpus, folder()));
        QStringList pages;
        QDirIterator it(folder(), {"*.html", "*.htm"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) pages << it.next();
        pages.sort();
        QVERIFY(!pages.isEmpty());
        QVERIFY(setColour("FFCC00", 52479));
        int checked = 0, painted = 0;
        for (const QString& page : pages) {
            const QFileInfo info(page);
            QVERIFY2(openPage(*m_window, info.absolutePath(), info.fileName()), qPrintable(page));
            // A frameset shows frame copies; the script runs in each document that has a body.
            const QStringList result =
                js("(function(){var w=[window],j,o='',el,k,n=0;for(j=0;j<frames.length;j++)w.push(frames[j]);"
                   "for(j=0;j<w.length;j++){try{if(!w[j].document.body||w[j].document.body.tagName!='BODY')continue;"
                   "if(w[j].document.body.id!='1b'){o+='not instrumented;';continue;}"
                   "if(typeof w[j].sb!='function'||typeof w[j].guc!='function'){o+='no script;';continue;}"
                   "w[j].guc();if(w[j].sco.indexOf('initialise')<0)o+='no snapshot;';"
                   "el=w[j].document.querySelector('body [id]');k=w[j].u;if(el){w[j].sb(el.id);w[j].stc(el.id);w[j].sbc(el.id);"
                   "n++;if(w[j].u!=k+3)o+='not painted;';w[j].un();w[j].un();w[j].un();}}catch(e){o+=String(e)+';';}}"
                   "return o+'|'+n;})()")
                    .toString()
                    .split('|');
            QVERIFY2(result.size() == 2 && result[0].isEmpty(), qPrintable(page + ": " + result.join('|')));
            painted += result[1].toInt();
            ++checked;
        }
        QVERIFY(checked > 0);
        QVERIFY2(painted >= 5, qPrintable(QString::number(painted)));
    }
};

HW_GUI_TEST_MAIN(PageScriptTest)
#include "PageScriptTest.moc"
