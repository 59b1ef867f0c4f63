#include "shell/PageSchemeHandler.h"

#include "base/Folders.h"
#include "base/PageUrl.h"
#include "engine/CookieStore.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace hw {

namespace {

const QByteArray schemeName = QByteArray(pageScheme.data(), static_cast<int>(pageScheme.size()));
const QString cookiePath = QStringLiteral("/__huewright_cookie__");

QString canonicalFolder(const QString& folder) {
    // Symbolic links are resolved on both sides of every check, so a link inside a page's
    // folder cannot lead out of it.
    const QFileInfo info(folder);
    QString c = info.canonicalFilePath();
    if (c.isEmpty()) c = QDir::cleanPath(info.absoluteFilePath());
    if (!c.endsWith('/')) c += '/';
    return c;
}

bool isPictureOrStylesheet(const QString& canonicalPath) {
    QFile file(canonicalPath);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QMimeType type = QMimeDatabase().mimeTypeForData(file.read(512));
    if (type.name().startsWith(QStringLiteral("image/"))) return true;
    // Stylesheets have no signature of their own: plain text under a stylesheet's name.
    return canonicalPath.endsWith(QStringLiteral(".css"), Qt::CaseInsensitive) && type.inherits(QStringLiteral("text/plain"));
}

} // namespace

PageSchemeHandler::PageSchemeHandler(QObject* parent)
    : QWebEngineUrlSchemeHandler(parent), m_temp(canonicalFolder(QString::fromStdString(tempFolder()))) {
    m_folders.insert(m_temp);
}

void PageSchemeHandler::registerScheme() {
    QWebEngineUrlScheme scheme(schemeName);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalAccessAllowed |
                    QWebEngineUrlScheme::ContentSecurityPolicyIgnored | QWebEngineUrlScheme::CorsEnabled);
    QWebEngineUrlScheme::registerScheme(scheme);
}

void PageSchemeHandler::allowFolder(const QString& folder) {
    if (!folder.isEmpty()) m_folders.insert(canonicalFolder(folder));
}

bool PageSchemeHandler::inAllowedFolder(const QString& canonicalPath) const {
    for (const auto& f : m_folders)
        if (canonicalPath.startsWith(f)) return true;
    return false;
}

bool PageSchemeHandler::mayServe(const QString& path) const {
    // An escaped NUL would cut the name short where the file is opened.
    if (path.contains(QChar(0))) return false;
    const QFileInfo info(QDir::cleanPath(path));
    const QString real = info.canonicalFilePath();
    if (real.isEmpty() || !QFileInfo(real).isFile()) return false;
    if (inAllowedFolder(real)) return true;
    // Outside the opened trees only the pictures and stylesheets that a served page names.
    return m_files.contains(info.filePath()) && isPictureOrStylesheet(real);
}

bool PageSchemeHandler::allowsScriptRequest(const QUrl& url) const {
    if (url.scheme() != QLatin1String(schemeName)) return false;
    if (url.path() == cookiePath) return true;
    const QString real =
        QFileInfo(QString::fromStdString(pathOfUrl(url.toString(QUrl::FullyEncoded).toStdString()))).canonicalFilePath();
    return !real.isEmpty() && real.startsWith(m_temp);
}

QByteArray PageSchemeHandler::mimeTypeFor(const QString& path, const QByteArray& head) {
    const QMimeDatabase db;
    const QString name = QFileInfo(path).fileName();
    if (name.endsWith(QStringLiteral(".tmp"), Qt::CaseInsensitive)) {
        // The program's own files, whose names carry no type: a recoloured picture ("im") is
        // told by its content, a scheme's stylesheet copy ("ss") by its name, and anything else
        // is a working copy of a page, whatever its first bytes look like.
        const QMimeType byContent = db.mimeTypeForData(head);
        if (byContent.name().startsWith(QStringLiteral("image/"))) return byContent.name().toLatin1();
        return name.startsWith(QStringLiteral("ss"), Qt::CaseInsensitive) ? "text/css" : "text/html";
    }
    const QMimeType type = db.mimeTypeForFileNameAndData(path, head);
    return type.isValid() ? type.name().toLatin1() : QByteArray("application/octet-stream");
}

void PageSchemeHandler::allowReferencedFiles(const QString& path, const QByteArray& content) {
    // Pages may refer to pictures and stylesheets outside their own folder ("../images/x.gif").
    static const QRegularExpression reference(
        QStringLiteral("(?:src|href|background)\\s*=\\s*[\"']?([^\"' >]+)|url\\(\\s*[\"']?([^\"')]+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QDir dir = QFileInfo(path).absoluteDir();
    auto it = reference.globalMatch(QString::fromLatin1(content));
    while (it.hasNext()) {
        const auto m = it.next();
        QString ref = m.captured(1).isEmpty() ? m.captured(2) : m.captured(1);
        if (ref.contains(QStringLiteral("://")) || ref.startsWith('#') || ref.startsWith(QStringLiteral("javascript:")))
            continue;
        ref = QUrl::fromPercentEncoding(ref.section('#', 0, 0).section('?', 0, 0).toLatin1());
        if (ref.isEmpty()) continue;
        m_files.insert(QDir::cleanPath(QDir::isAbsolutePath(ref) ? ref : dir.absoluteFilePath(ref)));
    }
}

void PageSchemeHandler::answerCookie(QWebEngineUrlRequestJob* job) {
    const QUrlQuery query(job->requestUrl());
    const std::string document =
        pathOfUrl(QUrl::fromPercentEncoding(query.queryItemValue(QStringLiteral("doc"), QUrl::FullyEncoded).toLatin1())
                      .toStdString());
    const QString op = query.queryItemValue(QStringLiteral("op"));
    auto* buffer = new QBuffer(job);
    if (op == QLatin1String("set") && !document.empty()) {
        const QByteArray value =
            QByteArray::fromPercentEncoding(query.queryItemValue(QStringLiteral("v"), QUrl::FullyEncoded).toLatin1());
        if (CookieStore::setCookie(document, value.toStdString())) emit cookieWritten();
    } else if (op == QLatin1String("get") && !document.empty()) {
        buffer->setData(QByteArray::fromStdString(CookieStore::cookiesFor(document)));
    }
    job->reply("text/plain", buffer);
}

void PageSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    const QUrl url = job->requestUrl();
    if (url.path() == cookiePath) {
        answerCookie(job);
        return;
    }
    const QString path = QString::fromStdString(pathOfUrl(url.toString(QUrl::FullyEncoded).toStdString()));
    if (path.isEmpty() || !mayServe(path)) {
        job->fail(QWebEngineUrlRequestJob::RequestDenied);
        return;
    }
    QFile file(QFileInfo(path).canonicalFilePath());
    if (!file.open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const QByteArray content = file.readAll();
    const QByteArray mime = mimeTypeFor(path, content.left(512));
    if (mime == "text/html" || mime == "application/xhtml+xml" || mime == "text/css")
        allowReferencedFiles(path, content);
    auto* buffer = new QBuffer(job);
    buffer->setData(content);
    job->reply(mime, buffer);
}

} // namespace hw
