// Export Scheme as Stylesheet in the real browser: the element tree the program builds for a page
// is the one the browser builds, on every page of the corpus; and a painted page's exported
// stylesheet, linked into the page itself, shows every painted element as the scheme view does.

#include "GuiTestMain.h"
#include "GuiTestSupport.h"

#include "base/Files.h"
#include "colour/SwatchBookJs.h"
#include "engine/CookieStore.h"
#include "engine/HtmlTree.h"
#include "engine/WebPage.h"

#include <QAction>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

using namespace hw;
using namespace hw::test;

namespace {

/// Every element of the document in document order, each as its child positions from the body
/// (or from html outside it; a frameset is not a body); what a script-less browser puts inside noscript is left out, since
/// a browser running scripts reads it as text.
const char* enginePaths = R"((function(){
  var body=document.documentElement.querySelector(':scope > body');
  function path(e){
    var parts=[];
    while(e&&e!==body&&e!==document.documentElement){
      var i=1;for(var s=e.previousElementSibling;s;s=s.previousElementSibling)i++;
      parts.unshift(' > '+e.localName.toLowerCase()+':nth-child('+i+')');e=e.parentElement;}
    return (e&&e===body?'body':'html')+parts.join('');}
  var out=[],all=document.getElementsByTagName('*');
  for(var k=0;k<all.length;k++){var p=all[k].parentElement;
    if(p&&p.closest('noscript'))continue;out.push(path(all[k]));}
  return out.join('\n');})())";

/// The same list from the program's tree, in document order.
QStringList treePaths(const HtmlTree& tree) {
    QStringList out;
    std::vector<int> stack{0};
    while (!stack.empty()) {
        const int e = stack.back();
        stack.pop_back();
        out << QString::fromStdString(tree.childPath(e));
        std::vector<int> children;
        for (int c = tree.elements[static_cast<std::size_t>(e)].firstChild; c >= 0;
             c = tree.elements[static_cast<std::size_t>(c)].next)
            children.push_back(c);
        stack.insert(stack.end(), children.rbegin(), children.rend());
    }
    return out;
}

/// Where the browser's elements of the page at `path` and the program's tree part, or empty.
QString differenceFromEngine(PlainBrowser& plain, const QString& path) {
    const AnsiString text = WebPage::ReadPageFile(path.toStdString());
    const HtmlTree tree = HtmlTree::parse(text.str());
    if (!tree.complete) return path + ": not read to the end";
    if (!plain.open(path)) return path + ": not loaded";
    const QStringList engine = plain.js(enginePaths).toString().split('\n');
    const QStringList ours = treePaths(tree);
    qsizetype k = 0;
    while (k < engine.size() && k < ours.size() && engine[k] == ours[k]) ++k;
    if (k == engine.size() && k == ours.size()) return {};
    return path + QString(": element %1 of %2 (ours %3)\nbrowser: ").arg(k).arg(engine.size()).arg(ours.size()) +
           engine.value(k) + "\nours:    " + ours.value(k);
}


} // namespace

class StylesheetExportTest : public QObject {
    Q_OBJECT

    QTemporaryDir* m_dir = nullptr;
    TfrmBackDrop* m_window = nullptr;

    QString folder() const { return m_dir->path(); }
    QVariant js(const QString& script) const { return evaluate(m_window->WebBrowser1(), script); }
    const ProgramState& state() const { return m_window->state(); }
    void trigger(const char* action) { hw::test::trigger(*m_window, action); }

private slots:
    void init() {
        m_dir = new QTemporaryDir;
        CookieStore::purgeLocalCookies();
        m_window = showWindow(QSize(1100, 750));
        QVERIFY(m_window);
    }

    void cleanup() {
        closeWindow(m_window);
        delete m_dir;
    }

    void theTreeIsTheBrowsersOnEveryCorpusPage() {
        const QString corpus = QStringLiteral(HW_CORPUS);
        if (!QDir(corpus).exists()) QSKIP("the corpus is not beside the repository");
        PlainBrowser plain(false);
        int pages = 0;
        QDirIterator it(corpus, {"*.html"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString difference = differenceFromEngine(plain, it.next());
            QVERIFY2(difference.isEmpty(), qPrintable(difference));
            ++pages;
        }
        QVERIFY(pages >= 20);
    }

    void theTreeIsTheBrowsersOnMisnestedMarkup() {
        const char* pages[] = {
            "<p>a<table><tr><td>x</table>",
            "<!DOCTYPE html><p>a<table><tr><td>x</table>",
            "<table><div>x</div><tr><td>a<td>b<tr><th>c</table><p>d",
            "<table><b>x<tr><td>y</b>z</td></tr></table>w",
            "<b><p>x</b>y</p>",
            "<font color=red><p>x<p>y</font><p>z",
            "<a href=1>x<div>y<a href=2>z</a></div></a>",
            "<p><b><i>x<p>y<p>z</b>w",
            "<ul><li>a<li>b<ul><li>c</ul><li>d</ul><dl><dt>t<dd>d<dt>u</dl>",
            "<h1>a<h2>b</h1>c<h3>d</h3>",
            "<form><form><p>x</form><p>y</form>",
            "<select><option>a<optgroup><option>b<div>c</div></select><p>x",
            "<table><tr><td><select><option>a<td>b</table>",
            "<p>x</p></p><br></br><span>y</span>",
            "<table><caption>c<p>d</caption><colgroup><col><col></colgroup><thead><tr><td>h<tbody><tr><td>b"
            "<tfoot><tr><td>f</table>",
            "<div><span><div><b>x</span>y</div>z</div>",
            "<nobr>a<nobr>b</nobr>",
            "<table><tr><td>a</td></tr><tr><td><table><tr><td>b</td></tr></table></td></tr></table>",
            "<svg><g><rect/><p>x</p></g></svg><math><mi>y</mi></math>",
            "<textarea><p></textarea><title><b></title><xmp><i></xmp><p>end",
            "<object><p>a</object><applet><b>c</applet><marquee><i>x</marquee>",
            "<center><b>a<center>b</b>c</center>",
            "<table><form><tr><td><input type=hidden><input></td></tr></form></table>",
            "<div>a<p>b<address>c</address><pre>d</pre>e</div>",
            "<b>1<b>2<b>3<b>4<p>x</p>",
            "<html><head><title>t</title></head><p>a</p><head><meta></head></html><p>b",
            "<body><p>a</body><p>b</html><div>c",
            "<ruby>a<rb>b<rt>c<rp>d</ruby>",
            "<table><tr><td>a<table><tr><td>b</td></tr></table>c</td></tr></table>",
            "<template><p>x</template><p>y",
        };
        PlainBrowser plain(false);
        int n = 0;
        for (const char* page : pages) {
            const QString path = QDir(folder()).filePath(QString("m%1.html").arg(n++));
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(page) > 0);
            f.close();
            const QString difference = differenceFromEngine(plain, path);
            QVERIFY2(difference.isEmpty(), qPrintable(difference + "\n" + page));
        }
    }

    void theExportedStylesheetShowsThePageAsTheSchemeViewDoes() {
        const QString corpus = QStringLiteral(HW_CORPUS "/skeleton-site");
        if (!QDir(corpus).exists()) QSKIP("the corpus is not beside the repository");
        QVERIFY(copyTree(corpus, folder()));
        QVERIFY(openPage(*m_window, folder(), "index.html"));

        // The elements to paint: the body, a division with its own id, and nested elements of
        // tags whose instrumented ids are counted only from their own tags.
        const QStringList ids = js("(function(){var q=['#lists li','#tables td','#tables tr','#grid .row div',"
                                   "'#intro span','#forms div div'],out=['1b','intro'];"
                                   "q.forEach(function(s){var e=document.querySelector(s);if(e&&e.id)out.push(e.id);});"
                                   "return out.join(' ');})()")
                                    .toString()
                                    .split(' ');
        QVERIFY2(ids.size() >= 7, qPrintable(ids.join(' ')));
        QMap<QString, QString> aspects; // of each painted element: "B", "C", "D" as painted
        struct Paint {
            const char* function;
            const char* aspect;
            const char* hex;
            TColor code;
        };
        // Background, text and border colours over the elements, as clicks would paint them; the
        // body takes no text colour.
        const Paint paints[] = {{"sb", "B", "FFCC00", 52479}, {"stc", "C", "990000", 153},
                                {"sbc", "D", "3366CC", 13395507}, {"sb", "B", "00AA55", 5614080}};
        for (int n = 0; n < ids.size(); ++n) {
            for (int k = 0; k < 2; ++k) {
                const Paint& p = paints[(n + k + 2) % 4];
                QVERIFY(setColour(p.hex, p.code));
                js(QString("%1('%2')").arg(p.function, ids[n]));
                aspects[ids[n]] += p.aspect;
                const QString entry = QString("?%1%2$%1$:%1#%3").arg(p.aspect, ids[n], p.hex);
                QVERIFY2(waitFor([&] { return cookieValue(folder(), "data").contains(entry); }, 10000),
                         qPrintable(entry + " " + cookieValue(folder(), "data")));
            }
        }
        QVERIFY(waitFor([&] { return m_window->isEnabled(Command::mnuSaveWebSchemeAs); }));
        const QString scheme = QDir(folder()).filePath("blue.wsm");
        m_window->fileDialogOverride = [&](FileDialog) { return std::optional(scheme.toStdString()); };
        trigger("mnuSaveWebSchemeAs");
        QVERIFY(waitFor([&] {
            return state().showingScheme() && js("document.readyState=='complete'&&typeof sb=='function'&&"
                                                 "location.pathname.indexOf('/ps')>=0")
                                                  .toBool();
        }));

        // What the scheme view shows of each painted element in the aspects painted, and where
        // it stands among the elements of its tag.
        const QString look = "(function(){var e=document.getElementById('%1');var s=getComputedStyle(e);"
                             "var t=e===document.body?'body':e.localName,m='%2';"
                             "return [t,Array.prototype.indexOf.call(document.getElementsByTagName(t),e),m,"
                             "m.indexOf('B')<0?'-':s.backgroundColor,m.indexOf('C')<0?'-':s.color,"
                             "m.indexOf('D')<0?'-':s.borderTopColor].join('|');})()";
        QStringList shown;
        for (const QString& id : ids) shown << js(look.arg(id, aspects[id])).toString();

        const QString css = QDir(folder()).filePath("blue.css");
        QStringList notices;
        m_window->noticeOverride = [&](const std::string& text) { notices << QString::fromStdString(text); };
        m_window->fileDialogOverride = [&](FileDialog d) {
            return d == FileDialog::dlgExportStylesheet ? std::optional(css.toStdString()) : std::nullopt;
        };
        trigger("mnuExportStylesheet");
        QCOMPARE(notices, QStringList{"The stylesheet has been saved as\n" + css});
        QFile sheet(css);
        QVERIFY(sheet.open(QIODevice::ReadOnly));
        const QString rules = QString::fromUtf8(sheet.readAll());
        QVERIFY2(rules.contains("#intro {"), qPrintable(rules));
        QVERIFY2(!rules.contains("/* ? {"), qPrintable(rules));

        // The page itself with the stylesheet linked after its own.
        QFile page(QDir(folder()).filePath("index.html"));
        QVERIFY(page.open(QIODevice::ReadOnly));
        QByteArray text = page.readAll();
        const qsizetype head = text.indexOf("</head>");
        QVERIFY(head > 0);
        text.insert(head, "<link rel=\"stylesheet\" href=\"blue.css\">\n");
        const QString linked = QDir(folder()).filePath("linked.html");
        QFile out(linked);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(text) == text.size());
        out.close();

        PlainBrowser plain(false);
        QVERIFY(plain.open(QDir(folder()).filePath("index.html")));
        const QString inPage = "(function(){var e=document.getElementsByTagName('%1')[%2];if(!e)return '';"
                               "var s=getComputedStyle(e),m='%3';return ['%1','%2',m,"
                               "m.indexOf('B')<0?'-':s.backgroundColor,m.indexOf('C')<0?'-':s.color,"
                               "m.indexOf('D')<0?'-':s.borderTopColor].join('|');})()";
        const auto original = [&](const QString& seen) {
            const QStringList f = seen.split('|');
            return plain.js(inPage.arg(f.value(0), f.value(1), f.value(2))).toString();
        };
        // Without the stylesheet the page looks otherwise, so the comparison below means something.
        for (const QString& seen : shown) QVERIFY2(original(seen) != seen, qPrintable(seen));
        QVERIFY(plain.open(linked));
        for (const QString& seen : shown) QCOMPARE(original(seen), seen);
    }

    void aFramesetGivesEachFrameAStylesheetForItsOwnPage() {
        for (auto name : {"raw-frames.html", "raw-frame0.html", "raw-frame1.html"})
            QVERIFY(QFile::copy(QStringLiteral(HW_TEST_DATA "/pages/") + name, QDir(folder()).filePath(name)));
        QVERIFY(openPage(*m_window, folder(), "raw-frames.html"));
        QVERIFY(waitFor([&] { return js("frames.length==2&&typeof frames[1].sb=='function'").toBool(); }));
        QVERIFY(setColour("FFCC00", 52479));
        js("frames[0].sb('1p')");
        QVERIFY(waitFor([&] { return cookieValue(folder(), "frameC[0]").contains("?B1p$B$:B#FFCC00"); }, 10000));
        QVERIFY(setColour("3366CC", 13395507));
        js("frames[1].stc('1p')");
        QVERIFY(waitFor([&] { return cookieValue(folder(), "frameC[1]").contains("?C1p$C$:C#3366CC"); }, 10000));
        QVERIFY(waitFor([&] { return m_window->isEnabled(Command::mnuSaveWebSchemeAs); }));
        const QString scheme = QDir(folder()).filePath("frames.wsm");
        m_window->fileDialogOverride = [&](FileDialog) { return std::optional(scheme.toStdString()); };
        trigger("mnuSaveWebSchemeAs");
        QVERIFY(waitFor([&] { return state().showingScheme(); }));

        const QString css = QDir(folder()).filePath("frames.css");
        QStringList notices;
        m_window->noticeOverride = [&](const std::string& text) { notices << QString::fromStdString(text); };
        m_window->fileDialogOverride = [&](FileDialog) { return std::optional(css.toStdString()); };
        trigger("mnuExportStylesheet");
        const QString first = QDir(folder()).filePath("frames-frame0.css");
        const QString second = QDir(folder()).filePath("frames-frame1.css");
        QCOMPARE(notices, QStringList{"The stylesheets have been saved as\n" + first + "\n" + second});

        PlainBrowser plain(false);
        const struct {
            const char* page;
            QString sheet;
            const char* property;
            const char* colour;
        } frames[] = {{"raw-frame0.html", first, "backgroundColor", "rgb(255, 204, 0)"},
                      {"raw-frame1.html", second, "color", "rgb(51, 102, 204)"}};
        for (const auto& frame : frames) {
            QFile page(QDir(folder()).filePath(frame.page));
            QVERIFY(page.open(QIODevice::ReadOnly));
            QByteArray text = page.readAll();
            text.insert(text.indexOf("</head>"), "<link rel=\"stylesheet\" href=\"" +
                                                     QFileInfo(frame.sheet).fileName().toUtf8() + "\">");
            const QString linked = QDir(folder()).filePath(QString("linked-") + frame.page);
            QFile out(linked);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(text) == text.size());
            out.close();
            QVERIFY(plain.open(linked));
            QCOMPARE(plain.js(QString("getComputedStyle(document.querySelector('p')).") + frame.property).toString(),
                     QString::fromLatin1(frame.colour));
        }
    }
};

HW_GUI_TEST_MAIN(StylesheetExportTest)
#include "StylesheetExportTest.moc"
