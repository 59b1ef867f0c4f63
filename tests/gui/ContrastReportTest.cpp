// The contrast report on a real page in the real engine: the failing text first with its ratio,
// the outline of a chosen row, the report following a paint and an undo, the files it is saved
// as, and the count the status bar gives for a scheme on show.

#include "GuiTestMain.h"
#include "GuiTestSupport.h"

#include "colour/SwatchBookJs.h"
#include "engine/CookieStore.h"
#include "shell/ContrastReportPanel.h"

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace hw;
using namespace hw::test;

namespace {

// Instrumentation numbers the paragraphs: the grey one becomes "1p", the black one "2p".
const char* const page =
    "<html><head><title>Contrast</title></head><body bgcolor=\"#FFFFFF\">\n"
    "<p style=\"color:#777777\">Grey words on white</p>\n"
    "<p style=\"color:#000000\">Black words on white</p>\n"
    "<div style=\"background:rgba(0,0,0,0.5)\"><span style=\"color:#FFFFFF\">White on half black</span></div>\n"
    "<div style=\"background-image:linear-gradient(red,blue)\"><span>Over a picture</span></div>\n"
    "<p style=\"display:none\">Hidden words</p>\n"
    "</body></html>\n";

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

class ContrastReportTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    TfrmBackDrop* m_window = nullptr;

    WebBrowser* browser() const { return m_window->WebBrowser1(); }
    ContrastReportPanel* report() const { return m_window->contrastReportPanel(); }
    QString statusText() const { return m_window->findChild<QLabel*>("lblContrast")->text(); }
    QString outlineOf(const QString& id) const {
        return evaluate(browser(), "getComputedStyle(document.getElementById('" + id + "')).outlineStyle").toString();
    }
    /// The key of each listed row, in the order shown, with its AA word.
    QStringList listed() const {
        QStringList l;
        for (const auto& r : report()->rows())
            l << QString::fromStdString(r.text) + (standingOf(r) == ContrastStanding::FailsAA ? " fails" : "");
        return l;
    }

private slots:
    void init() {
        CookieStore::purgeLocalCookies();
        QFile f(m_dir.filePath("contrast.html"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(page);
        f.close();
        m_window = showWindow(QSize(1100, 760));
        QVERIFY(m_window);
        m_window->questionOverride = [](const std::string&) { return Answer::No; };
        m_window->noticeOverride = [](const std::string& text) { QFAIL(text.c_str()); };
        QSignalSpy reported(m_window, &TfrmBackDrop::contrastReported);
        QVERIFY(openPage(*m_window, m_dir.path(), "contrast.html"));
        QVERIFY(reported.count() > 0 || reported.wait(10000));
    }

    void cleanup() { closeWindow(m_window); }

    void theFailingTextComesFirstAndFollowsPaintAndUndo() {
        QCOMPARE(statusText(), QStringLiteral("2 texts fail WCAG AA contrast"));
        auto* view = m_window->findChild<QAction*>("mnuViewContrastReport");
        QVERIFY(view && view->isEnabled());
        QSignalSpy reported(m_window, &TfrmBackDrop::contrastReported);
        view->trigger();
        QVERIFY(reported.wait(10000));
        QVERIFY(report()->isVisible());
        QVERIFY(view->isChecked());
        QVERIFY(m_window->findChild<QToolButton*>("tbnContrastReport")->isChecked());
        // The hidden paragraph is not listed; the half-black background is laid over white
        // (#808080), on which white text stays under 4.5:1.
        QCOMPARE(listed(), (QStringList{"White on half black fails", "Grey words on white fails", "Over a picture",
                                        "Black words on white"}));
        const ContrastRow& grey = report()->rows()[1];
        QCOMPARE(QString::fromStdString(ratioText(grey.verdict.ratio)), QStringLiteral("4.47:1"));
        QCOMPARE(report()->table()->item(1, 4)->text(), QStringLiteral("4.47:1"));
        QCOMPARE(report()->table()->item(2, 2)->text(), QStringLiteral("over a picture, check by eye"));
        QCOMPARE(statusText(), QStringLiteral("2 texts fail WCAG AA contrast"));

        // A chosen row is outlined in the page, and only that one.
        QTest::mouseClick(report()->table()->viewport(), Qt::LeftButton, {},
                          report()->table()->visualItemRect(report()->table()->item(1, 0)).center());
        QVERIFY(waitFor([&] { return outlineOf("1p") == "solid"; }, 5000));
        QCOMPARE(outlineOf("2p"), QStringLiteral("none"));

        // Painting the grey text dark fixes it: the report and the count follow, the outline stays.
        QVERIFY(writeSwatchBookJs(SwatchBookJsLayout::A, "333333", rgbColor(0x33, 0x33, 0x33)).ok());
        QVERIFY(clickElement(browser(), "1p", Qt::RightButton));
        QVERIFY(waitFor([&] { return m_window->contrastFailures() == 1; }, 10000));
        QCOMPARE(statusText(), QStringLiteral("1 text fails WCAG AA contrast"));
        QVERIFY(waitFor([&] { return listed().first() == "White on half black fails" && listed().size() == 4; }));
        QCOMPARE(outlineOf("1p"), QStringLiteral("solid"));

        // Undo brings the failure back.
        m_window->findChild<QAction*>("mnuUndo")->trigger();
        QVERIFY(waitFor([&] { return m_window->contrastFailures() == 2; }, 10000));

        // Both files go beside the page; the HTML one escapes the page's text.
        QStringList offered;
        report()->saveFileOverride = [&](const QString& suggested, const QString&) {
            offered << suggested;
            return suggested;
        };
        report()->saveAsCsv();
        report()->saveAsHtml();
        QCOMPARE(offered, (QStringList{m_dir.filePath("contrast-contrast.csv"), m_dir.filePath("contrast-contrast.html")}));
        QVERIFY(readAll(offered[0]).contains("\"p \"\"Grey words on white\"\"\",0,"));
        QVERIFY(readAll(offered[0]).contains(",4.47:1,"));
        QVERIFY(readAll(offered[1]).contains("2 texts fail WCAG AA contrast"));
        // A write that fails is told, not taken for a saved report.
        QString warned;
        report()->warningOverride = [&](const QString& text) { warned = text; };
        report()->saveFileOverride = [&](const QString&, const QString&) { return m_dir.filePath("gone/report.csv"); };
        report()->saveAsCsv();
        QVERIFY(!warned.isEmpty());

        // Closing the report takes the outline off and unticks the command.
        report()->close();
        QVERIFY(waitFor([&] { return outlineOf("1p") == "none"; }, 5000));
        QVERIFY(!view->isChecked());
        QVERIFY(!m_window->findChild<QToolButton*>("tbnContrastReport")->isChecked());
    }

    void aSchemeOnShowIsCountedUnderItsName() {
        QVERIFY(writeSwatchBookJs(SwatchBookJsLayout::A, "BBBBBB", rgbColor(0xBB, 0xBB, 0xBB)).ok());
        QVERIFY(clickElement(browser(), "2p", Qt::RightButton));
        QVERIFY(waitFor([&] { return m_window->contrastFailures() == 3; }, 10000));
        const QString scheme = m_dir.filePath("pale.wsm");
        m_window->fileDialogOverride = [&](FileDialog) { return std::optional<std::string>(scheme.toStdString()); };
        QSignalSpy reported(m_window, &TfrmBackDrop::contrastReported);
        m_window->findChild<QAction*>("mnuSaveWebSchemeAs")->trigger();
        QVERIFY(waitFor([&] { return statusText() == "pale.wsm: 3 texts fail WCAG AA contrast"; }, 20000));
    }

    void aFramesetIsReadAndOutlinedFrameByFrame() {
        for (auto name : {"raw-frames.html", "raw-frame0.html", "raw-frame1.html"})
            QVERIFY(QFile::copy(QStringLiteral(HW_TEST_DATA "/pages/") + name, m_dir.filePath(name)));
        QVERIFY(openPage(*m_window, m_dir.path(), "raw-frames.html"));
        QVERIFY(waitFor([&] { return evaluate(browser(), "frames.length==2&&typeof frames[1].sb=='function'").toBool(); }));
        m_window->mnuViewContrastReportClick();
        QVERIFY(writeSwatchBookJs(SwatchBookJsLayout::A, "CCCCCC", rgbColor(0xCC, 0xCC, 0xCC)).ok());
        QVERIFY(clickElement(browser(), "1p", Qt::RightButton, Qt::NoModifier, 1));
        QVERIFY(waitFor([&] { return m_window->contrastFailures() == 1 && report()->rows().size() == 2; }, 10000));
        QCOMPARE(QString::fromStdString(report()->rows()[0].key()), QStringLiteral("2:1/0"));
        QCOMPARE(QString::fromStdString(report()->rows()[1].key()), QStringLiteral("1:1/0"));
        report()->table()->setCurrentCell(0, 0);
        const auto outline = [&](int frame) {
            return evaluate(browser(), QString("getComputedStyle(frames[%1].document.getElementById('1p')).outlineStyle")
                                           .arg(frame))
                .toString();
        };
        QVERIFY(waitFor([&] { return outline(1) == "solid"; }, 5000));
        QCOMPARE(outline(0), QStringLiteral("none"));
        report()->table()->setCurrentCell(1, 0);
        QVERIFY(waitFor([&] { return outline(0) == "solid" && outline(1) == "none"; }, 5000));
    }

    /// A page of more texts than the collection takes: the first ones are listed, and a report
    /// filled before is filled again at once (fitting the columns cell by cell took minutes).
    void aLongPageIsListedUpToTheCap() {
        QFile f(m_dir.filePath("long.html"));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("<html><body>\n");
        for (int i = 0; i < contrastCollectionCap + 100; ++i) f.write(QByteArray("<p>Line ") + QByteArray::number(i) + "</p>\n");
        f.write("</body></html>\n");
        f.close();
        QVERIFY(openPage(*m_window, m_dir.path(), "long.html"));
        for (int round = 0; round < 2; ++round) {
            QSignalSpy reported(m_window, &TfrmBackDrop::contrastReported);
            m_window->mnuViewContrastReportClick();
            QVERIFY(reported.wait(20000));
            QCOMPARE(report()->table()->rowCount(), contrastCollectionCap);
            QVERIFY(report()->findChild<QLabel*>("lblContrastSummary")->text().contains("first ones only"));
            report()->close();
        }
    }

    /// The bundled example site as a user sees it: its texts listed, the one over the meadow
    /// picture left to the eye, a chosen row outlined. With HW_CONTRAST_SHOT set, the screen is
    /// saved there.
    void theExampleSite() {
        QTemporaryDir site;
        QVERIFY(copyTree(QStringLiteral(HW_SOURCE_DIR "/examples/site"), site.path()));
        QVERIFY(openPage(*m_window, site.path(), "index.html"));
        QSignalSpy reported(m_window, &TfrmBackDrop::contrastReported);
        m_window->mnuViewContrastReportClick();
        QVERIFY(reported.wait(10000));
        QVERIFY(report()->rows().size() >= 10);
        const auto picnic = std::find_if(report()->rows().begin(), report()->rows().end(),
                                         [](const ContrastRow& r) { return r.text == "Summer picnic baskets are back."; });
        QVERIFY(picnic != report()->rows().end());
        QCOMPARE(standingOf(*picnic), ContrastStanding::ByEye);
        if (!qEnvironmentVariableIsSet("HW_CONTRAST_SHOT")) return;
        m_window->setGeometry(0, 0, 1280, 570);
        report()->setGeometry(100, 585, 1080, 436);
        const int note = static_cast<int>(std::find_if(report()->rows().begin(), report()->rows().end(),
                                                       [](const ContrastRow& r) { return r.className == "note"; }) -
                                          report()->rows().begin());
        QTest::mouseClick(report()->table()->viewport(), Qt::LeftButton, {},
                          report()->table()->visualItemRect(report()->table()->item(note, 0)).center());
        QTest::qWait(1500);
        QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(qEnvironmentVariable("HW_CONTRAST_SHOT")));
    }
};

HW_GUI_TEST_MAIN(ContrastReportTest)
#include "ContrastReportTest.moc"
