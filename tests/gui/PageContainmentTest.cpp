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
        m_window = showWindow();
        QVERIFY(m_window);
        m_window->questionOverride = [](const std::string&) { return Answer::No; };
    }

    void cleanup() {
        closeWindow(m_window);
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

    // Documents a page embeds (by address, by data address or inline) and addresses hidden in
    // SVG, MathML, base, refresh and form attributes: none of them runs the page's script, and
    // the words of the page that merely look like script show as written.
    void embeddedDocumentsAndScriptAddressesRunNothing() {
        // What an embedded document would do: tell the page, again and again, that it runs.
        const QByteArray report = "setInterval(function(){try{top.postMessage('%1','*')}catch(e){}},50)";
        auto reportAs = [&](const char* who) { return QByteArray(report).replace("%1", who); };
        auto inData = [&](const char* who) {
            return "data:text/html;base64," + ("<script>" + reportAs(who) + "</script>").toBase64();
        };
        QVERIFY(writeAll(QDir(folder()).filePath("evil.html"),
                         "<html><body><script>parent.byEmbeddedPage=1;" + reportAs("page") + "</script></body></html>"));
        const QByteArray svg = "<svg xmlns='http://www.w3.org/2000/svg' onload=\"" + reportAs("svg") + "\"/>";
        QVERIFY(open("<html><head><base href=\"javascript:window.byBase=1//\">"
                     "<meta http-equiv=refresh content=\"1;url=" + inData("refresh") + "\"></head><body>"
                     "<p>paint me</p><p id=words>click onclick= here, or javascript: there</p>"
                     "<object data=\"" + inData("object-data") + "\"></object>"
                     "<object data=\"evil.html\" type=\"text/html\"></object>"
                     "<object data=\"data:image/svg+xml;base64," + svg.toBase64() + "\" type=\"image/svg+xml\"></object>"
                     "<embed src=\"" + inData("embed-data") + "\">"
                     "<embed src=\"evil.html\" type=\"text/html\">"
                     "<iframe srcdoc=\"&lt;script>" + reportAs("srcdoc") + "&lt;/script>\"></iframe>"
                     "<iframe src=\"" + inData("iframe-data") + "\"></iframe>"
                     "<svg width=200 height=40><a id=svglink xlink:href=\"javascript:window.bySvgLink=1\">"
                     "<text y=20>svg link</text></a><script>window.bySvgScript=1</script></svg>"
                     "<math><mrow id=mathlink href=\"javascript:window.byMath=1\"><mi>x</mi></mrow></math>"
                     "<a id=based href=\"x\">relative</a>"
                     "<form action=\"javascript:window.byForm=1\"><button id=go>send</button></form></body></html>"));
        const QUrl shown = browser()->url();
        js("window.heard=[];addEventListener('message',function(e){heard.push(String(e.data))})");
        QVERIFY(paintFirstParagraph());
        for (const char* id : {"svglink", "mathlink", "based", "go"}) {
            QVERIFY2(clickElement(browser(), id), id);
            QTest::qWait(300);
        }
        // Long enough for the refresh and for every embedded document to have reported.
        QTest::qWait(1200);
        QCOMPARE(browser()->url(), shown);
        QCOMPARE(js("heard.join()").toString(), QString());
        QCOMPARE(js("[typeof byEmbeddedPage, typeof byBase, typeof bySvgLink, typeof bySvgScript, typeof byMath,"
                    " typeof byForm].join()")
                     .toString(),
                 QStringLiteral("undefined,undefined,undefined,undefined,undefined,undefined"));
        // The word joiner that spoils the address is invisible; everything else reads as written.
        QCOMPARE(js("document.getElementById('words').textContent").toString().remove(QChar(0x2060)),
                 QStringLiteral("click onclick= here, or javascript: there"));
        QCOMPARE(js("document.getElementById('words').textContent.indexOf('click onclick= here')").toInt(), 0);
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
        for (const QString& url : {QStringLiteral("file:///etc/hostname"), "file://" + site + "/index.html"})
            QCOMPARE(js(request.arg(url)).toString(), QStringLiteral("refused"));
        const QString own = QString::fromStdString(pageUrl(tempFolder() + "/swatchBook.js"));
        const QString answer = js(request.arg(own)).toString();
        QVERIFY2(answer != QStringLiteral("refused") && !answer.endsWith(QStringLiteral(":0")), qPrintable(answer));
    }
};

HW_GUI_TEST_MAIN(PageContainmentTest)
#include "PageContainmentTest.moc"
