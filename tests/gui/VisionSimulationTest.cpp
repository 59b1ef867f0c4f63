// View > Simulate in the real browser: the page is shown through the core's colour-vision
// matrix while clicks still paint, undo still works, the filter stays across a refresh and into
// the scheme view, and no file the program writes holds any of it.

#include "GuiTestMain.h"
#include "GuiTestSupport.h"

#include "colour/SwatchBookJs.h"
#include "colour/VisionSimulation.h"
#include "engine/CookieStore.h"

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QTest>

#include <cstdlib>
#include <functional>

using namespace hw;
using namespace hw::test;

namespace {

constexpr TColor red = rgbColor(255, 0, 0);
constexpr TColor blue = rgbColor(0, 0, 255);

QString hexOf(TColor c) { return QString::asprintf("%02X%02X%02X", redOf(c), greenOf(c), blueOf(c)); }

} // namespace

class VisionSimulationTest : public QObject {
    Q_OBJECT

    QTemporaryDir* m_dir = nullptr;
    TfrmBackDrop* m_window = nullptr;

    QString folder() const { return m_dir->path(); }
    WebBrowser* browser() const { return m_window->WebBrowser1(); }

    void trigger(const char* action) { hw::test::trigger(*m_window, action); }

    /// The colour the view shows at a point of the view, as the user sees it.
    TColor shownAt(const QPoint& at) {
        const QImage shot = browser()->grab().toImage();
        const QColor c = shot.pixelColor(at * shot.devicePixelRatio());
        return rgbColor(c.red(), c.green(), c.blue());
    }

    /// Waits until the view shows `expected` at a point, within 3 steps a channel: the engine's
    /// filter works in floating point.
    bool showsAt(const std::function<QPoint()>& where, TColor expected, const QString& what) {
        TColor seen = -1;
        const bool ok = waitFor([&] {
            const QPoint at = where();
            if (at.x() < 0) return false;
            seen = shownAt(at);
            return std::abs(redOf(seen) - redOf(expected)) <= 3 && std::abs(greenOf(seen) - greenOf(expected)) <= 3 &&
                   std::abs(blueOf(seen) - blueOf(expected)) <= 3;
        }, 10000);
        if (!ok) qWarning("%s shows %s, not %s", qPrintable(what), qPrintable(hexOf(seen)), qPrintable(hexOf(expected)));
        return ok;
    }
    /// The same at the centre of the element with id `id`.
    bool shows(const QString& id, TColor expected) {
        return showsAt([&] { return elementCentre(browser(), id); }, expected, id);
    }

    bool recordHolds(const QString& text) { return hw::test::recordHolds(folder(), text); }

private slots:
    void init() {
        m_dir = new QTemporaryDir;
        CookieStore::purgeLocalCookies();
        m_window = showWindow(QSize(1000, 700), true);
        QVERIFY(m_window);
    }

    void cleanup() {
        closeWindow(m_window);
        delete m_dir;
    }

    void aSimulatedPageStillPaintsAndLeavesNoTraceInFiles() {
        QFile page(QDir(folder()).filePath("blocks.html"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<html><head><title>Blocks</title></head><body style=\"margin:0;background-color:#FFFFFF\">"
                   "<div style=\"width:300px;height:200px;background-color:#FF0000\"></div>"
                   "<p>Opening hours</p></body></html>");
        page.close();
        QVERIFY(openPage(*m_window, folder(), "blocks.html"));
        QVERIFY(shows("1div", red));

        trigger("mnuSimulateDeuteranopia");
        QVERIFY(shows("1div", simulateVision(VisionKind::Deuteranopia, red)));
        // A refresh reads the page again and keeps the filter.
        QSignalSpy reloaded(m_window, &TfrmBackDrop::documentHandled);
        trigger("mnuRefresh");
        QVERIFY(reloaded.count() > 0 || reloaded.wait(20000));
        QVERIFY(shows("1div", simulateVision(VisionKind::Deuteranopia, red)));

        // A click paints the element under the pointer, shown through the filter; undo takes
        // the paint back.
        QVERIFY(setColour("0000FF", 16711680));
        QVERIFY(clickElement(browser(), "1div"));
        QVERIFY(recordHolds("?B1div$B$:B#0000FF(16711680)b"));
        QVERIFY(shows("1div", simulateVision(VisionKind::Deuteranopia, blue)));
        QVERIFY(waitFor([&] { return m_window->isEnabled(Command::mnuUndo); }));
        trigger("mnuUndo");
        QVERIFY(shows("1div", simulateVision(VisionKind::Deuteranopia, red)));

        // Another kind replaces the first.
        trigger("mnuSimulateProtanopia");
        QVERIFY(shows("1div", simulateVision(VisionKind::Protanopia, red)));
        trigger("mnuSimulateDeuteranopia");

        // Painted again and kept as a scheme: the scheme view is filtered too.
        QVERIFY(clickElement(browser(), "1div"));
        QVERIFY(recordHolds("?B1div$B$:B#0000FF(16711680)b"));
        QVERIFY(waitFor([&] { return m_window->isEnabled(Command::mnuSaveWebSchemeAs); }));
        const QString scheme = QDir(folder()).filePath("blocks.wsm");
        m_window->fileDialogOverride = [&](FileDialog) { return std::optional(scheme.toStdString()); };
        trigger("mnuSaveWebSchemeAs");
        QVERIFY(QFile::exists(scheme));
        QVERIFY(waitFor([&] { return m_window->state().showingScheme(); }));
        QVERIFY(shows("1div", simulateVision(VisionKind::Deuteranopia, blue)));

        // A created page, the scheme and every working copy hold nothing of the filter.
        const QString created = QDir(folder()).filePath("created.html");
        m_window->noticeOverride = [](const std::string&) {};
        m_window->fileDialogOverride = [&](FileDialog) { return std::optional(created.toStdString()); };
        trigger("mnuCreateHtmlFile");
        QVERIFY(QFile::exists(created));
        int read = 0;
        for (QDirIterator it(folder(), QDir::Files); it.hasNext();) {
            QFile f(it.next());
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray text = f.readAll();
            ++read;
            for (const char* trace : {"feColorMatrix", "hw-vision", "filter:", "adoptedStyleSheets"})
                QVERIFY2(!text.contains(trace), qPrintable(f.fileName() + " holds " + trace));
        }
        QVERIFY(read >= 4);  // the page, its working copies, the scheme and the created page

        trigger("mnuSimulateNormal");
        QVERIFY(shows("1div", blue));
    }

    void eachFrameOfAFramesetIsFilteredOnce() {
        const auto put = [&](const char* name, const QByteArray& text) {
            QFile f(QDir(folder()).filePath(name));
            return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
        };
        const QByteArray block = "<html><body style=\"margin:0\"><div style=\"width:200px;height:200px;"
                                 "background-color:#%1\"></div></body></html>";
        QVERIFY(put("red.html", QByteArray(block).replace("%1", "FF0000")));
        QVERIFY(put("green.html", QByteArray(block).replace("%1", "00FF00")));
        QVERIFY(put("frames.html", "<html><frameset cols=\"50%,50%\"><frame src=\"red.html\">"
                                   "<frame src=\"green.html\"></frameset></html>"));
        QVERIFY(openPage(*m_window, folder(), "frames.html"));
        const auto blockOf = [&](int frame) {
            return [this, frame] {
                const QString id = evaluate(browser(), QString("(function(){var f=frames[%1];var d=f&&f.document."
                                                               "getElementsByTagName('div')[0];return d?d.id:'';})()")
                                                           .arg(frame))
                                       .toString();
                return id.isEmpty() ? QPoint(-1, -1) : elementCentre(browser(), id, frame);
            };
        };
        const TColor green = rgbColor(0, 255, 0);

        // The frames are drawn inside the frameset's document and take its filter, once.
        trigger("mnuSimulateDeuteranopia");
        QVERIFY(showsAt(blockOf(0), simulateVision(VisionKind::Deuteranopia, red), "the first frame"));
        QVERIFY(showsAt(blockOf(1), simulateVision(VisionKind::Deuteranopia, green), "the second frame"));
        QSignalSpy reloaded(m_window, &TfrmBackDrop::documentHandled);
        trigger("mnuRefresh");
        QVERIFY(reloaded.count() > 0 || reloaded.wait(20000));
        QVERIFY(showsAt(blockOf(1), simulateVision(VisionKind::Deuteranopia, green), "the refreshed frame"));
        trigger("mnuSimulateNormal");
        QVERIFY(showsAt(blockOf(1), green, "the second frame"));
    }

    void theWholeExamplePageIsShownThroughTheFilter() {
        QVERIFY(copyTree(QStringLiteral(HW_SOURCE_DIR "/examples/site"), folder()));
        QVERIFY(openPage(*m_window, folder(), "index.html"));
        // Pixels of the view whose channels differ (some colour, not grey).
        const auto coloured = [&] {
            const QImage shot = browser()->grab().toImage();
            int count = 0;
            for (int y = 0; y < shot.height(); y += 3) {
                for (int x = 0; x < shot.width(); x += 3) {
                    const QColor c = shot.pixelColor(x, y);
                    if (std::abs(c.red() - c.green()) > 2 || std::abs(c.green() - c.blue()) > 2) ++count;
                }
            }
            return count;
        };
        QVERIFY(waitFor([&] { return coloured() > 1000; }));

        // Without colour vision every pixel of the view is grey: the page's background, its
        // pictures and the canvas beyond the body all go through the filter.
        trigger("mnuSimulateAchromatopsia");
        QVERIFY(waitFor([&] { return coloured() == 0; }, 10000));

        trigger("mnuSimulateDeuteranopia");
        QVERIFY(waitFor([&] { return coloured() > 1000; }, 10000));
        QVERIFY(showsAt([&] { return bodyPoint(browser()); },
                        simulateVision(VisionKind::Deuteranopia, rgbColor(0xFD, 0xFB, 0xF5)), "body"));
        // HW_SCREENSHOT names where to keep a picture of the simulation (for the docs).
        if (qEnvironmentVariableIsSet("HW_SCREENSHOT")) m_window->grab().save(qEnvironmentVariable("HW_SCREENSHOT"));
    }
};

HW_GUI_TEST_MAIN(VisionSimulationTest)
#include "VisionSimulationTest.moc"
