#include "GuiTestSupport.h"

#include "engine/ChangeRecord.h"
#include "colour/SwatchBookJs.h"
#include "engine/CookieStore.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QAction>
#include <QTest>
#include <QWebEngineScript>
#include <QWebEngineSettings>

namespace hw::test {

bool copyTree(const QString& from, const QString& target) {
    QDir source(from);
    if (!source.exists()) return false;
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString rel = source.relativeFilePath(file);
        const QString out = QDir(target).filePath(rel);
        QDir().mkpath(QFileInfo(out).absolutePath());
        QFile::remove(out);
        if (!QFile::copy(file, out)) return false;
        QFile(out).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    return true;
}

QVariant evaluate(WebBrowser* browser, const QString& script, int timeoutMs) {
    QVariant result;
    bool done = false;
    browser->runScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    waitFor([&] { return done; }, timeoutMs);
    return result;
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs) return false;
        QTest::qWait(20);
    }
    return true;
}

TfrmBackDrop* showWindow(QSize size, bool active) {
    auto* window = new TfrmBackDrop;
    window->resize(size);
    window->show();
    bool shown = QTest::qWaitForWindowExposed(window);
    if (shown && active) {
        window->activateWindow();
        shown = QTest::qWaitForWindowActive(window);
    }
    if (!shown) delete window;
    return shown ? window : nullptr;
}

void closeWindow(TfrmBackDrop*& window) {
    if (!window) return;
    window->questionOverride = [](const std::string&) { return Answer::No; };
    window->close();
    delete window;
    window = nullptr;
}

void trigger(TfrmBackDrop& window, const char* action) {
    auto* a = window.findChild<QAction*>(action);
    QVERIFY2(a && a->isEnabled(), action);
    a->trigger();
}

bool setColour(const char* hex, TColor code) { return writeSwatchBookJs(SwatchBookJsLayout::A, hex, code).ok(); }

bool recordHolds(const QString& folder, const QString& text) {
    return waitFor([&] { return cookieValue(folder, "data").contains(text); }, 10000);
}

class PlainBrowser::Page : public QWebEnginePage {
public:
    explicit Page(QWebEngineProfile* profile) : QWebEnginePage(profile) {}
    QStringList errors;

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                  const QString& source) override {
        if (level == ErrorMessageLevel) errors << source + ":" + QString::number(line) + " " + message;
    }
};

PlainBrowser::PlainBrowser(bool pageScripts) : m_page(new Page(&m_profile)) {
    m_page->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, pageScripts);
    m_view.setPage(m_page);
    m_view.resize(1000, 700);
    m_view.show();
}

// The page goes before its profile.
PlainBrowser::~PlainBrowser() { delete m_page; }

bool PlainBrowser::open(const QString& path) {
    QSignalSpy loaded(m_page, &QWebEnginePage::loadFinished);
    m_page->load(QUrl::fromLocalFile(path));
    return loaded.wait(60000) && loaded.first().first().toBool();
}

QVariant PlainBrowser::js(const QString& script) {
    QVariant result;
    bool done = false;
    m_page->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    waitFor([&] { return done; }, 30000);
    return result;
}

const QStringList& PlainBrowser::errors() const { return m_page->errors; }

bool openPage(TfrmBackDrop& window, const QString& folder, const QString& fileName) {
    QSignalSpy handled(&window, &TfrmBackDrop::documentHandled);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    window.recogniseCommandLine(fileName);
    QDir::setCurrent(previous);
    return handled.count() > 0 || handled.wait(30000);
}

QStringList filesMatching(const QString& folder, const QString& pattern) {
    return QDir(folder).entryList({pattern}, QDir::Files, QDir::Name);
}

QString cookieFileText(const QString& folder) {
    QFile f(QString::fromStdString(CookieStore::fileFor(QDir(folder).absolutePath().toStdString())));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(f.readAll());
}

QString cookieValue(const QString& folder, const QString& name) {
    for (const auto& record : parseCookieFile(AnsiString(cookieFileText(folder).toLatin1().toStdString()))) {
        if (record.name.str() == name.toLatin1().toStdString())
            return QString::fromLatin1(QByteArray::fromStdString(record.value.str()));
    }
    return {};
}

QPoint elementCentre(WebBrowser* browser, const QString& id, int frame) {
    const QString script =
        QStringLiteral("(function(){var w=window,x=0,y=0;if(%2>=0){var f=window.frames[%2];if(!f)return null;"
                       "var o=f.frameElement.getBoundingClientRect();x=o.left;y=o.top;w=f;}"
                       "var e=w.document.getElementById('%1');if(!e)return null;var r=e.getBoundingClientRect();"
                       "if(r.width<=0||r.height<=0)return null;"
                       "return [x+r.left+Math.min(r.width/2,30),y+r.top+Math.min(r.height/2,8)];})()")
            .arg(id)
            .arg(frame);
    const QVariantList xy = evaluate(browser, script).toList();
    if (xy.size() != 2) return {-1, -1};
    return {qRound(xy[0].toDouble()), qRound(xy[1].toDouble())};
}

bool clickElement(WebBrowser* browser, const QString& id, Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                  int frame) {
    const QPoint at = elementCentre(browser, id, frame);
    if (at.x() < 0) return false;
    QWidget* target = browser->focusProxy();
    QTest::mouseMove(target, at);
    QTest::mouseClick(target, button, modifiers, at);
    return true;
}

QPoint bodyPoint(WebBrowser* browser) {
    const QVariantList xy = evaluate(browser, "(function(){var w=innerWidth,h=innerHeight,x,y;for(y=h-5;y>0;y-=20)"
                                              "for(x=w-25;x>0;x-=40)if(document.elementFromPoint(x,y)==document.body)"
                                              "return [x,y];return null;})()")
                                .toList();
    return xy.size() == 2 ? QPoint(xy[0].toInt(), xy[1].toInt()) : QPoint(-1, -1);
}

} // namespace hw::test
