// From painting in the real browser to a scheme file: the cookie store's record is what the
// scheme writer stores.

#include "GuiTestMain.h"
#include "GuiTestSupport.h"

#include "base/Files.h"
#include "colour/SwatchBookJs.h"
#include "engine/CookieStore.h"
#include "support/ToolRun.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace hw;
using namespace hw::test;

class SchemeRoundTripTest : public QObject {
    Q_OBJECT

private:
    // Clicks the centre of the first element that matches a CSS selector, with real mouse
    // events on the view.
    static bool clickElement(TfrmBackDrop& window, const QString& selector) {
        const QVariant box = evaluate(window.WebBrowser1(),
                                      "(function(){var e=document.querySelector('" + selector +
                                          "');if(!e)return null;var r=e.getBoundingClientRect();"
                                          "return [r.left+Math.min(r.width/2,20),r.top+Math.min(r.height/2,8)];})()");
        const QVariantList xy = box.toList();
        if (xy.size() != 2) return false;
        QWidget* target = window.WebBrowser1()->focusProxy();
        const QPoint at(qRound(xy[0].toDouble()), qRound(xy[1].toDouble()));
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at);
        return true;
    }

private slots:
    void paintedCorpusPageBecomesASchemeWithTheSameRecord() {
        const QString corpus = QStringLiteral(HW_CORPUS "/libtiff-html");
        if (!QDir(corpus).exists()) QSKIP("the corpus is not beside the repository");
        QTemporaryDir dir;
        QVERIFY(copyTree(corpus, dir.path()));
        CookieStore::purgeLocalCookies();

        TfrmBackDrop window;
        window.resize(1000, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(openPage(window, dir.path(), "internals.html"));
        QVERIFY(writeSwatchBookJs(SwatchBookJsLayout::A, "FFCC00", 52479));

        QVERIFY(clickElement(window, "p"));
        QVERIFY(waitFor([&] { return !cookieValue(dir.path(), "data").isEmpty(); }));
        const QString record = cookieValue(dir.path(), "data");
        QVERIFY2(record.contains("#FFCC00(52479)"), qPrintable(record));

        const QString cookieFile = QString::fromStdString(CookieStore::fileFor(dir.path().toStdString()));
        const QString scheme = dir.filePath("painted.wsm");
        using hw::test::shellQuoted;
        const auto tool = hw::test::runTool("write-scheme " + shellQuoted(dir.filePath("internals.html").toStdString()) +
                                            " " + shellQuoted(cookieFile.toStdString()) + " " +
                                            shellQuoted(scheme.toStdString()));
        QVERIFY2(tool.status == 0, tool.err.c_str());
        QFile written(scheme);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray bytes = written.readAll();
        QVERIFY(bytes.startsWith("data\r\n" + record.toLatin1() + "\r\n\r\n"));

        window.questionOverride = [](const std::string&) { return Answer::No; };
        QVERIFY(window.close());
    }
};

HW_GUI_TEST_MAIN(SchemeRoundTripTest)
#include "SchemeRoundTripTest.moc"
