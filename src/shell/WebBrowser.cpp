#include "shell/WebBrowser.h"

#include "base/PageUrl.h"
#include "shell/PageSchemeHandler.h"
#include "shell/ScriptRequestFilter.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

namespace hw {

namespace {

// Chromium keeps no cookies for the program's pages, so every frame gets a document.cookie of
// the program's own: each read and write is a synchronous request that the scheme handler
// answers from the cookie store.
const char* const cookieBridge = R"JS(
(function(){
  if (location.protocol !== 'huewright:' || window.__hwCookieBridge) return;
  window.__hwCookieBridge = true;
  var base = 'huewright://page/__huewright_cookie__';
  function call(op, v) {
    var x = new XMLHttpRequest();
    var q = base + '?op=' + op + '&doc=' + encodeURIComponent(location.href);
    if (v !== undefined) q += '&v=' + encodeURIComponent(v);
    x.open('GET', q, false);
    x.send(null);
    return x.responseText;
  }
  Object.defineProperty(Document.prototype, 'cookie', {
    configurable: true,
    get: function() { try { return call('get'); } catch (e) { return ''; } },
    set: function(v) { try { call('set', String(v)); } catch (e) {} }
  });
})();
)JS";

PageSchemeHandler* g_handler = nullptr;

QWebEngineProfile* programProfile() {
    // One off-the-record profile for the program's lifetime: nothing of Chromium's own is kept.
    static QWebEngineProfile* profile = [] {
        auto* p = new QWebEngineProfile();
        p->setHttpCacheType(QWebEngineProfile::NoCache);
        p->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        QWebEngineScript bridge;
        bridge.setName(QStringLiteral("huewright-cookie-bridge"));
        bridge.setInjectionPoint(QWebEngineScript::DocumentCreation);
        bridge.setWorldId(QWebEngineScript::MainWorld);
        bridge.setRunsOnSubFrames(true);
        bridge.setSourceCode(QString::fromLatin1(cookieBridge));
        p->scripts()->insert(bridge);
        g_handler = new PageSchemeHandler(p);
        p->installUrlSchemeHandler(QByteArray(pageScheme.data(), static_cast<int>(pageScheme.size())), g_handler);
        p->setUrlRequestInterceptor(new ScriptRequestFilter(*g_handler, p));
        return p;
    }();
    return profile;
}

} // namespace

/// The browser's page. Only the program takes it anywhere: the page's links, form submissions,
/// refreshes and new windows are refused, so a click on any element only paints it.
class ProgramPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

    /// The program is about to show `url`: the next main-frame navigation to it is allowed, and
    /// its frames may load until the load has finished.
    void expect(const QUrl& url) {
        m_expected = url;
        m_loading = true;
    }
    /// The next main-frame load is a text the program gives (its start page).
    void expectText() {
        m_expectText = true;
        m_loading = true;
    }
    void loadDone() { m_loading = false; }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        if (type == NavigationTypeLinkClicked || type == NavigationTypeFormSubmitted ||
            type == NavigationTypeRedirect || type == NavigationTypeBackForward)
            return false;
        if (isMainFrame && m_expectText && url.scheme() == QLatin1String("data")) {
            m_expectText = false;
            return true;
        }
        if (isMainFrame) {
            const bool ours = !m_expected.isEmpty() && sameDocument(url, m_expected);
            if (ours) m_expected.clear();
            return ours;
        }
        // A frameset's frames load with it, from the program's instrumented copies; afterwards no
        // frame goes anywhere else. An <object> or <embed> that holds a document is a frame too,
        // so only those copies may load: a page's own document (or a data address) would bring
        // its scripts along, whatever the tag that named it.
        if (!m_loading) return false;
        if (url.scheme() == QLatin1String("about")) return true;
        return url.scheme() == QLatin1String(pageScheme.data()) && isProgramCopy(url);
    }

    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }

private:
    /// Whether `url` shows one of the program's own working files (".tmp"), whose scripts are
    /// instrumentation's alone.
    static bool isProgramCopy(const QUrl& url) {
        const std::string path = pathOfUrl(url.toString(QUrl::FullyEncoded).toStdString());
        // An escaped NUL would end the name before its ".tmp" where the file is opened.
        return path.find('\0') == std::string::npos &&
               QString::fromStdString(path).endsWith(QStringLiteral(".tmp"), Qt::CaseInsensitive);
    }
    static bool sameDocument(const QUrl& a, const QUrl& b) {
        if (a.scheme() != b.scheme()) return false;
        if (a.scheme() != QLatin1String(pageScheme.data())) return a == b;
        // The engine may write the escapes of a page URL differently from the program.
        return pathOfUrl(a.toString(QUrl::FullyEncoded).toStdString()) ==
               pathOfUrl(b.toString(QUrl::FullyEncoded).toStdString());
    }

    QUrl m_expected;
    bool m_expectText = false;
    bool m_loading = false;
};

WebBrowser::WebBrowser(QWidget* parent) : QWebEngineView(parent) {
    auto* profile = programProfile();
    m_handler = g_handler;
    auto* page = new ProgramPage(profile, this);
    m_page = page;
    page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    page->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    setPage(page);
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        if (!ok) return;
        m_page->loadDone();
        emit documentComplete();
    });
    connect(m_handler, &PageSchemeHandler::cookieWritten, this, &WebBrowser::commandStateChange,
            Qt::QueuedConnection);
}

WebBrowser::~WebBrowser() = default;

bool WebBrowser::eventFilter(QObject* watched, QEvent* event) {
    // The engine takes Ctrl+Z for its own editing undo; the program's Undo, which calls the
    // page's undo, must get it instead.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo)) {
            event->ignore();
            return true;
        }
    }
    return QWebEngineView::eventFilter(watched, event);
}

bool WebBrowser::event(QEvent* event) {
    // The view creates its focus proxy (the render widget) when the first page is shown.
    if (event->type() == QEvent::ChildPolished && focusProxy() && focusProxy() != m_filtered) {
        m_filtered = focusProxy();
        m_filtered->installEventFilter(this);
    }
    return QWebEngineView::event(event);
}

void WebBrowser::Navigate(const QString& pathOrBlank) {
    if (pathOrBlank == QLatin1String("about:blank")) {
        m_page->expect(QUrl(pathOrBlank));
        setUrl(QUrl(pathOrBlank));
        return;
    }
    const QString path = QFileInfo(pathOrBlank).absoluteFilePath();
    m_handler->allowFolder(QFileInfo(path).absolutePath());
    const QUrl url(QString::fromStdString(pageUrl(path.toStdString())));
    m_page->expect(url);
    setUrl(url);
}

void WebBrowser::showText(const QString& html) {
    m_page->expectText();
    setHtml(html, QUrl(QStringLiteral("about:blank")));
}

QString WebBrowser::currentPath() const {
    return QString::fromStdString(pathOfUrl(url().toString(QUrl::FullyEncoded).toStdString()));
}

void WebBrowser::setVision(VisionKind kind) {
    m_vision = kind;
    // The page's own collection, not the profile's: the profile is shared by every browser.
    static const QString name = QStringLiteral("huewright-vision");
    QWebEngineScriptCollection& scripts = m_page->scripts();
    for (const QWebEngineScript& old : scripts.find(name)) scripts.remove(old);
    const QString source = QString::fromStdString(visionFilterScript(kind));
    if (kind != VisionKind::Normal) {
        // Every document the page shows from now on gets the filter as it is created, before
        // its first paint; frames are drawn inside it and need none of their own. The script
        // world is the program's own, so the page's scripts can neither see nor undo it.
        QWebEngineScript filter;
        filter.setName(name);
        filter.setInjectionPoint(QWebEngineScript::DocumentCreation);
        filter.setWorldId(QWebEngineScript::ApplicationWorld);
        filter.setRunsOnSubFrames(false);
        filter.setSourceCode(source);
        scripts.insert(filter);
    }
    // The documents already on show change at once.
    m_page->runJavaScript(source, QWebEngineScript::ApplicationWorld);
}

void WebBrowser::runScript(const QString& script, const std::function<void(const QVariant&)>& done) {
    if (done) page()->runJavaScript(script, done);
    else page()->runJavaScript(script);
}

QPrinter* WebBrowser::printer() {
    if (!m_printer) m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_printer.get();
}

void WebBrowser::printPage() {
    QPrintDialog dialog(printer(), this);
    if (dialog.exec() == QDialog::Accepted) print(printer());
}

void WebBrowser::pageSetup() {
    QPageSetupDialog dialog(printer(), this);
    dialog.exec();
}

} // namespace hw
