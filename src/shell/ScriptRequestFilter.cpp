#include "shell/ScriptRequestFilter.h"

#include "shell/PageSchemeHandler.h"

namespace hw {

ScriptRequestFilter::ScriptRequestFilter(const PageSchemeHandler& handler, QObject* parent)
    : QWebEngineUrlRequestInterceptor(parent), m_handler(handler) {}

void ScriptRequestFilter::interceptRequest(QWebEngineUrlRequestInfo& info) {
    switch (info.resourceType()) {
    case QWebEngineUrlRequestInfo::ResourceTypeScript:
    case QWebEngineUrlRequestInfo::ResourceTypeXhr:
    case QWebEngineUrlRequestInfo::ResourceTypeWorker:
    case QWebEngineUrlRequestInfo::ResourceTypeSharedWorker:
    case QWebEngineUrlRequestInfo::ResourceTypeServiceWorker:
    case QWebEngineUrlRequestInfo::ResourceTypePing:
    case QWebEngineUrlRequestInfo::ResourceTypeCspReport:
    case QWebEngineUrlRequestInfo::ResourceTypePluginResource:
    case QWebEngineUrlRequestInfo::ResourceTypeObject:
    case QWebEngineUrlRequestInfo::ResourceTypePrefetch:
        if (!m_handler.allowsScriptRequest(info.requestUrl())) info.block(true);
        break;
    default:
        break;
    }
}

} // namespace hw
