#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

namespace hw {

/// Serves local files to the browser through the program's own URL scheme
/// (huewright://page/<path>), typed by the MIME database from name and content, except that a
/// ".tmp" working copy shows as HTML. It also answers the cookie bridge: the page's
/// `document.cookie` reads and writes reach the cookie store through it.
///
/// Only files a page may need are served: regular files in the folder trees of opened pages and
/// the system folder's Temp (symbolic links resolved first), and, outside them, pictures and
/// stylesheets (told by content) that a served page refers to. Anything else is refused.
class PageSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    explicit PageSchemeHandler(QObject* parent = nullptr);

    /// Registers the scheme with the engine; must run before the application object exists.
    static void registerScheme();

    /// Allows every file below `folder` to be served.
    void allowFolder(const QString& folder);

    void requestStarted(QWebEngineUrlRequestJob* job) override;

    /// Whether the file at `path` may be served now.
    bool mayServe(const QString& path) const;
    /// Lets the pictures and stylesheets that a served page or stylesheet names be served.
    void allowReferencedFiles(const QString& path, const QByteArray& content);
    /// Whether a request made by script (or for a script) may go to `url`: only the cookie
    /// bridge and the program's own files in Temp.
    bool allowsScriptRequest(const QUrl& url) const;

    /// The MIME type for a file's name and first bytes. A ".tmp" file is a picture by its
    /// content, a stylesheet when its name starts with "ss", and otherwise HTML.
    static QByteArray mimeTypeFor(const QString& path, const QByteArray& head);

signals:
    /// A page has written a cookie and the store holds it.
    void cookieWritten();

private:
    bool inAllowedFolder(const QString& canonicalPath) const;
    void answerCookie(QWebEngineUrlRequestJob* job);

    QString m_temp;
    QSet<QString> m_folders;
    QSet<QString> m_files;
};

} // namespace hw
