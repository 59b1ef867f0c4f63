#pragma once

#include <QWebEngineUrlRequestInterceptor>

namespace hw {

class PageSchemeHandler;

/// Refuses the requests a page's script could make (XMLHttpRequest and fetch, script files,
/// workers, pings, plug-in objects) unless the page scheme allows them: the page script's own
/// files and the cookie bridge are all the program needs.
class ScriptRequestFilter : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    ScriptRequestFilter(const PageSchemeHandler& handler, QObject* parent);

    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    const PageSchemeHandler& m_handler;
};

} // namespace hw
