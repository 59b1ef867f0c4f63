// The image blender in the main window with the real browser: the panel's toggle, the new colour
// from the current colour, and a repaint drop on the example site's pictures (the pick at the
// drop point, the recoloured copy, the swap and the picture entry of the change record).

#include "GuiTestMain.h"
#include "GuiTestSupport.h"

#include "base/Folders.h"
#include "base/PageUrl.h"
#include "blender/ImageBlenderPanel.h"
#include "engine/CookieStore.h"
#include "swatches/SwatchBookPanel.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace hw;
using namespace hw::test;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QString temp() { return QString::fromStdString(tempFolder()); }
QString pageUrlOf(const QString& path) { return QString::fromStdString(pageUrl(path.toStdString())); }

} // namespace

class ImageBlenderTest : public QObject {
    Q_OBJECT
    QTemporaryDir* m_dir = nullptr;
    TfrmBackDrop* m_window = nullptr;
    QStringList m_notices;

    WebBrowser* browser() { return m_window->WebBrowser1(); }
    ImageBlenderPanel* blender() { return m_window->imageBlenderPanel(); }
    QString folder() const { return m_dir->path(); }
    QVariant js(const QString& script) { return evaluate(browser(), script); }
    QString record() { return cookieValue(folder(), "data"); }

    /// The id of the first element the script expression `find` names.
    QString idOf(const QString& find) { return js("(function(){var e=" + find + ";return e?e.id:'';})()").toString(); }

    void newColour(TColor colour, const char* hexCode) {
        m_window->pallet().SetColor(colour);
        m_window->pallet().SetHexCode(hexCode);
        blender()->IBpnlNewColorClick();
    }

    /// Ends a repaint drag over the element `id` of the page.
    void dropOn(const QString& id) {
        const QPoint at = elementCentre(browser(), id);
        QVERIFY(at.x() >= 0);
        blender()->IBtbnRepaintMouseUp(browser()->focusProxy()->mapToGlobal(at));
    }

    QStringList copies() { return filesMatching(temp(), "im*.tmp"); }

private slots:
    void init() {
        CookieStore::purgeLocalCookies();
        m_notices.clear();
        m_dir = new QTemporaryDir;
        QVERIFY(copyTree(QStringLiteral(HW_SOURCE_DIR "/examples/site"), folder()));
        m_window = showWindow();
        QVERIFY(m_window);
        m_window->noticeOverride = [this](const std::string& text) { m_notices << QString::fromStdString(text); };
        m_window->questionOverride = [](const std::string&) { return Answer::No; };
        QVERIFY(openPage(*m_window, folder(), "index.html"));
        QVERIFY(waitFor([&] {
            return js("(function(){var i=document.images;for(var j=0;j<i.length;j++)if(!i[j].naturalWidth)return 0;"
                      "return 1;})()")
                       .toInt() == 1;
        }));
    }

    void cleanup() {
        closeWindow(m_window);
        delete m_dir;
        m_dir = nullptr;
        // Closing removes every copy, its parameter file and the swap script.
        QVERIFY(copies().isEmpty());
        QVERIFY(filesMatching(temp(), "im*.dat").isEmpty());
        QVERIFY(!QFile::exists(temp() + "/im.js"));
    }

    void theSwatchBookImageShowsAndHidesThePanel() {
        QWidget* image = m_window->swatchBookPanel()->SBimgImageBlender;
        QVERIFY(!blender()->isVisible());
        QCOMPARE(m_window->panel("IBpnlOutline"), static_cast<QFrame*>(blender()));
        QCOMPARE(blender()->size(), QSize(186, 104));
        QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(blender()->isVisible());
        QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!blender()->isVisible());
    }

    void aDropRecoloursThePictureAndTheRecordNamesIt() {
        newColour(rgbColor(0xCC, 0x33, 0x33), "CC3333");
        QCOMPARE(blender()->newHexCode(), QString("CC3333"));
        QCOMPARE(blender()->newColour(), rgbColor(0xCC, 0x33, 0x33));
        blender()->takeOldColour(rgbColor(0x33, 0x66, 0xCC));

        const QString id = idOf("document.querySelector('img[src*=\"logo\"]')");
        QVERIFY(!id.isEmpty());
        const QString source = folder() + "/images/logo.gif";
        dropOn(id);
        QVERIFY2(waitFor([&] { return copies().size() == 1 && !m_window->session().blender().repaintArmed(); }),
                 qPrintable(copies().join(',')));
        const QString copy = temp() + "/" + copies().first();
        const QString src = "document.getElementById('" + id + "').src";
        QVERIFY2(waitFor([&] { return js(src).toString() == pageUrlOf(copy); }), qPrintable(js(src).toString()));
        QVERIFY(!readAll(copy).isEmpty());
        QVERIFY(readAll(copy) != readAll(source));
        const QString entry = "?IM" + id + "$IM$:IM&&" + source + "$rs$&im?mod(100,100,,140)$mod$^oc13395507^^";
        QVERIFY2(waitFor([&] { return record().contains(entry); }), qPrintable(record()));
        QVERIFY(m_notices.isEmpty());

        // Recolouring the copy again rebuilds it in place and replaces the entry.
        const QByteArray first = readAll(copy);
        newColour(rgbColor(0x33, 0xCC, 0x33), "33CC33");
        blender()->takeOldColour(rgbColor(0xCC, 0x33, 0x33));
        dropOn(id);
        QVERIFY(waitFor([&] { return readAll(copy) != first && !m_window->session().blender().repaintArmed(); }));
        QTest::qWait(300);
        QCOMPARE(copies().size(), 1);
        QCOMPARE(js(src).toString(), pageUrlOf(copy));
        QVERIFY2(
            waitFor([&] { return record().count("?IM" + id + "$IM$") == 1 && record().contains("mod(100,100,,260)"); }),
            qPrintable(record()));
        QVERIFY(m_notices.isEmpty());
    }

    void aRealDragPicksTheOldColourFromTheScreenAndRecolours() {
        newColour(rgbColor(0xCC, 0x33, 0x33), "CC3333");
        blender()->show();
        blender()->raise();
        const QString id = idOf("document.querySelector('img[src*=\"logo\"]')");
        const QVariantList corner = js("(function(){var r=document.getElementById('" + id +
                                       "').getBoundingClientRect();return [r.left,r.top];})()")
                                        .toList();
        QCOMPARE(corner.size(), 2);
        // A corner of the logo is its blue; the centre holds the yellow circle.
        QWidget* view = browser()->focusProxy();
        const QPoint blue =
            view->mapToGlobal(QPoint(qRound(corner[0].toDouble()) + 4, qRound(corner[1].toDouble()) + 4));
        QTest::qWait(300); // the page on the screen
        auto* button = blender()->findChild<QWidget*>("IBtbnRepaint");
        QVERIFY(button);
        QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseMove(button, button->mapFromGlobal(blue));
        QCOMPARE(blender()->oldHexCode(), QString("3366CC"));
        QTest::mouseRelease(button, Qt::LeftButton, {}, button->mapFromGlobal(blue));
        QVERIFY(waitFor([&] { return copies().size() == 1 && !m_window->session().blender().repaintArmed(); }));
        const QString copy = temp() + "/" + copies().first();
        QVERIFY(waitFor([&] { return js("document.getElementById('" + id + "').src").toString() == pageUrlOf(copy); }));
        QVERIFY2(waitFor([&] { return record().contains("mod(100,100,,140)$mod$^oc13395507^^"); }),
                 qPrintable(record()));
    }

    void aBackgroundPictureIsSwapped() {
        newColour(rgbColor(0xCC, 0x33, 0x33), "CC3333");
        blender()->takeOldColour(rgbColor(0x33, 0x66, 0xCC));
        const QString id = idOf("Array.prototype.find.call(document.querySelectorAll('div'),function(d){"
                                "return getComputedStyle(d).backgroundImage.indexOf('meadow')>=0;})");
        QVERIFY(!id.isEmpty());
        dropOn(id);
        QVERIFY(waitFor([&] { return copies().size() == 1; }));
        const QString copy = temp() + "/" + copies().first();
        const QString background = "getComputedStyle(document.getElementById('" + id + "')).backgroundImage";
        QVERIFY2(waitFor([&] { return js(background).toString().contains(pageUrlOf(copy)); }),
                 qPrintable(js(background).toString()));
        QVERIFY2(
            waitFor([&] { return record().contains("?IM" + id + "$IM$:IM&&" + folder() + "/images/meadow.jpg$rs$"); }),
            qPrintable(record()));
        QVERIFY(readAll(copy) != readAll(folder() + "/images/meadow.jpg"));
    }

    void aDropInAFrameRecoloursThatFramesPicture() {
        QVERIFY(writeAll(folder() + "/frames.html", "<html><head><title>Frames</title></head>"
                                                    "<frameset cols=\"40%,60%\"><frame src=\"order.html\">"
                                                    "<frame src=\"index.html\"></frameset></html>"));
        QVERIFY(openPage(*m_window, folder(), "frames.html"));
        const QString find = "frames[1].document.querySelector('img[src*=\"logo\"]')";
        QVERIFY(waitFor([&] { return js("(function(){var e=" + find + ";return e&&e.naturalWidth>0;})()").toBool(); }));
        const QString id = idOf(find);
        QVERIFY(!id.isEmpty());
        newColour(rgbColor(0xCC, 0x33, 0x33), "CC3333");
        blender()->takeOldColour(rgbColor(0x33, 0x66, 0xCC));
        const QPoint at = elementCentre(browser(), id, 1);
        QVERIFY(at.x() >= 0);
        blender()->IBtbnRepaintMouseUp(browser()->focusProxy()->mapToGlobal(at));
        QVERIFY(waitFor([&] { return copies().size() == 1; }));
        const QString copy = temp() + "/" + copies().first();
        const QString src = "frames[1].document.getElementById('" + id + "').src";
        QVERIFY2(waitFor([&] { return js(src).toString() == pageUrlOf(copy); }), qPrintable(js(src).toString()));
        const QString entry = "?IM" + id + "$IM$:IM&&" + folder() + "/images/logo.gif$rs$";
        QVERIFY2(waitFor([&] { return cookieValue(folder(), "frameC[1]").contains(entry); }),
                 qPrintable(cookieFileText(folder())));
        QVERIFY(!cookieValue(folder(), "frameC[0]").contains("?IM"));
    }

    void withoutANewColourNothingIsPicked() {
        QVERIFY(!blender()->IBtbnRepaintMouseDown(browser()->focusProxy()->mapToGlobal(QPoint(5, 5))));
        QCOMPARE(m_notices, QStringList{"Please add a new image color to the lower panel."});
        m_notices.clear();
        // A drop that reaches the window anyway says the same and picks nothing.
        dropOn(idOf("document.querySelector('img[src*=\"logo\"]')"));
        QTest::qWait(500);
        QCOMPARE(m_notices, QStringList{"Please add a new image color to the lower panel."});
        QVERIFY(!m_window->session().blender().repaintArmed());
        QVERIFY(copies().isEmpty());
        QVERIFY(cookieFileText(folder()).isEmpty());
    }

    void dropsOffAPictureDoNotStayArmed() {
        newColour(rgbColor(0xCC, 0x33, 0x33), "CC3333");
        // On an element without a picture, and outside the page (on the swatch book panel).
        dropOn("1b");
        QTest::qWait(500);
        QVERIFY(!m_window->session().blender().repaintArmed());
        blender()->IBtbnRepaintMouseUp(m_window->swatchBookPanel()->mapToGlobal(QPoint(20, 40)));
        QVERIFY(!m_window->session().blender().repaintArmed());
        QVERIFY(copies().isEmpty());
        // A later paint therefore recolours nothing.
        evaluate(browser(), "document.cookie='data=initialise,:Swatch:,%%,images:endData;'");
        QVERIFY(waitFor([&] { return !record().isEmpty(); }));
        QTest::qWait(300);
        QVERIFY(copies().isEmpty());
        QVERIFY(m_notices.isEmpty());
    }

    void anUnreadablePictureIsReportedAndKept() {
        newColour(rgbColor(0xCC, 0x33, 0x33), "CC3333");
        blender()->takeOldColour(rgbColor(0x33, 0x66, 0xCC));
        const QString id = idOf("document.querySelector('img[src*=\"badge\"]')");
        QVERIFY(!id.isEmpty());
        const QString src = "document.getElementById('" + id + "').src";
        const QString before = js(src).toString();
        QFile badge(folder() + "/images/badge.png");
        QVERIFY(badge.open(QIODevice::WriteOnly | QIODevice::Truncate));
        badge.write("not a picture at all");
        badge.close();
        dropOn(id);
        QVERIFY(waitFor([&] { return !m_notices.isEmpty(); }));
        QCOMPARE(m_notices.size(), 1);
        QVERIFY2(m_notices.first().contains("badge.png"), qPrintable(m_notices.first()));
        QVERIFY(!m_window->session().blender().repaintArmed());
        QTest::qWait(500);
        QCOMPARE(js(src).toString(), before);
        QVERIFY(copies().isEmpty());
        QVERIFY(!record().contains("?IM"));
    }
};

HW_GUI_TEST_MAIN(ImageBlenderTest)
#include "ImageBlenderTest.moc"
