#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <QWebEngineUrlSchemeHandler>

namespace hw {

/// Serves local files to the browser through the program's own URL scheme
/// (huewright://page/<path>), typed by the MIME database from name and content, except that a
/// ".tmp" working copy shows as HTML. It also answers the cookie bridge: the page's
/// `document.cookie` reads and writes reach the cookie store through it.
///
/// Only files a page may need are served: the folder trees of opened pages and schemes, the
/// Temp folder of the system folder, and files a served page refers to.
class PageSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    explicit PageSchemeHandler(QObject* parent = nullptr);

    /// Registers the scheme with the engine; must run before the application object exists.
    static void registerScheme();

    /// Allows every file below `folder` to be served.
    void allowFolder(const QString& folder);

    void requestStarted(QWebEngineUrlRequestJob* job) override;

    /// The MIME type for a file's name and first bytes. A ".tmp" file is a picture by its
    /// content, a stylesheet when its name starts with "ss", and otherwise HTML.
    static QByteArray mimeTypeFor(const QString& path, const QByteArray& head);

signals:
    /// A page has written a cookie and the store holds it.
    void cookieWritten();

private:
    bool mayServe(const QString& path) const;
    void allowReferencedFiles(const QString& path, const QByteArray& content);
    void answerCookie(QWebEngineUrlRequestJob* job);

    QSet<QString> m_folders;
    QSet<QString> m_files;
};

} // namespace hw
