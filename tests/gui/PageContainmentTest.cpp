// A hostile page in the real browser: none of its own script runs, it cannot take the browser
// elsewhere, and it reads no file beyond what it needs; the program still paints it.

#include "GuiTestMain.h"
#include "GuiTestSupport.h"

#include "base/Folders.h"
#include "base/PageUrl.h"
#include "colour/SwatchBookJs.h"
#include "engine/CookieStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace hw;
using namespace hw::test;

namespace {

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

const QString redRecord = QStringLiteral("initialise,?B1p$B$:B#FF0000(255)b,:Swatch:,%#FF0000(255),%%,images:endData");

} // namespace

class PageContainmentTest : public QObject {
    Q_OBJECT

private:
    TfrmBackDrop* m_window = nullptr;
    QTemporaryDir* m_dir = nullptr;

    WebBrowser* browser() { return m_window->WebBrowser1(); }
    QString folder() { return m_dir->path(); }
    QVariant js(const QString& script) { return evaluate(browser(), script); }

    bool open(const QByteArray& text) {
        return writeAll(QDir(folder()).filePath("hostile.html"), text) && openPage(*m_window, folder(), "hostile.html");
    }

    bool paintFirstParagraph(const QString& pageFolder = {}) {
        const QString where = pageFolder.isEmpty() ? folder() : pageFolder;
        return writeSwatchBookJs(SwatchBookJsLayout::A, "FF0000", 255) && clickElement(browser(), "1p") &&
               waitFor([&] { return cookieValue(where, "data") == redRecord; }, 5000);
    }

private slots:
    void init() {
        CookieStore::purgeLocalCookies();
        m_dir = new QTemporaryDir;
        m_window = new TfrmBackDrop;
        m_window->questionOverride = [](const std::string&) { return Answer::No; };
        m_window->resize(1000, 700);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    void cleanup() {
        m_window->close();
        delete m_window;
        m_window = nullptr;
        delete m_dir;
        m_dir = nullptr;
    }

    void noScriptOfThePageRunsInAnySpelling() {
        QVERIFY(open("<html><body><p id=1p OnClick=\"window.byClick=1;document.cookie='c=1'\">paint me</p>"
                     "<img src=missing.gif onerror=\"window.byError=1;document.cookie='e=1'\">"
                     "<ScRiPt>window.byScript=1;document.cookie='s=1'</sCrIpT>"
                     "<svg><SCRIPT>window.bySvg=1</SCRIPT></svg>"
                     "<a id=l href=\" JavaScript:window.byLink=1\">link</a>"
                     "<body ONLOAD=\"window.byLoad=1\"></body></html>"));
        // Give a missing picture's error event time to fire.
        QTest::qWait(500);
        QVERIFY(paintFirstParagraph());
        QCOMPARE(js("[typeof byClick, typeof byError, typeof byScript, typeof bySvg, typeof byLink, typeof byLoad]"
                    ".join()")
                     .toString(),
                 QStringLiteral("undefined,undefined,undefined,undefined,undefined,undefined"));
        for (const char* name : {"c", "e", "s"}) QVERIFY2(cookieValue(folder(), name).isEmpty(), name);
    }

    void onlyTheProgramTakesTheBrowserElsewhere() {
        QVERIFY(writeAll(QDir(folder()).filePath("away.css"), "p{color:red}"));
        QVERIFY(writeAll(QDir(folder()).filePath("other.html"), "<p>elsewhere</p>"));
        QVERIFY(open("<html><head><meta http-equiv=refresh content=\"1;url=other.html\"></head><body>"
                     "<p>paint me</p><a href=\"away.css\" target=_blank>away</a> <a href=\"away.css\">here</a>"
                     "<form action=\"other.html\"><button id=go>send</button></form></body></html>"));
        const QUrl shown = browser()->url();
        QVERIFY(paintFirstParagraph());
        for (const char* id : {"1a", "2a", "go"}) {
            QVERIFY2(clickElement(browser(), id), id);
            // Long enough for the refresh too.
            QTest::qWait(700);
            QCOMPARE(browser()->url(), shown);
        }
        QCOMPARE(js("document.getElementById('1p').style.backgroundColor").toString(), QStringLiteral("rgb(255, 0, 0)"));
        QCOMPARE(js("document.getElementById('1a').style.backgroundColor").toString(), QStringLiteral("rgb(255, 0, 0)"));
        QVERIFY(cookieValue(folder(), "data").contains("?B1a$B$"));
    }

    void thePageReadsNoFileBeyondWhatItNeeds() {
        const QString site = QDir(folder()).filePath("site");
        const QString outside = QDir(folder()).filePath("outside");
        QVERIFY(QDir().mkpath(site) && QDir().mkpath(outside));
        QVERIFY(QFile::copy(QStringLiteral(HW_SOURCE_DIR "/examples/site/images/badge.png"), outside + "/far.png"));
        QVERIFY(writeAll(site + "/index.html",
                         "<html><body><p>paint me</p><img src=\"../outside/far.png\">"
                         "<img src=\"/etc/hostname\" onerror=\"window.hostError=1\"></body></html>"));
        QVERIFY(openPage(*m_window, site, "index.html"));
        QVERIFY(paintFirstParagraph(site));
        // A picture outside the page's folder that the page names is shown.
        QVERIFY(waitFor([&] { return js("document.images[0].complete && document.images[0].naturalWidth").toInt() > 0; }));
        QVERIFY(js("typeof hostError").toString() == QStringLiteral("undefined"));
        // Requests made by script reach nothing but the program's own files.
        const QString request = QStringLiteral(
            "(function(u){try{var x=new XMLHttpRequest();x.open('GET',u,false);x.send(null);"
            "return x.status+':'+x.responseText.length}catch(e){return 'refused'}})('%1')");
        for (const QString& path : {QStringLiteral("/etc/hostname"), site + "/index.html", outside + "/far.png"}) {
            const QString url = QString::fromStdString(pageUrl(path.toStdString()));
            QCOMPARE(js(request.arg(url)).toString(), QStringLiteral("refused"));
        }
        const QString own = QString::fromStdString(pageUrl(tempFolder() + "/swatchBook.js"));
        const QString answer = js(request.arg(own)).toString();
        QVERIFY2(answer != QStringLiteral("refused") && !answer.endsWith(QStringLiteral(":0")), qPrintable(answer));
    }
};

HW_GUI_TEST_MAIN(PageContainmentTest)
#include "PageContainmentTest.moc"
