#include "shell/PageSchemeHandler.h"

#include "base/Folders.h"
#include "base/PageUrl.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QUrl pageUrlOf(const QString& path) { return QUrl(QString::fromStdString(hw::pageUrl(path.toStdString()))); }

} // namespace

// The types the page scheme gives files decide whether the browser renders a working copy,
// applies a stylesheet or shows a picture.
class PageSchemeHandlerTest : public QObject {
    Q_OBJECT
private slots:
    void typesByNameAndContent_data();
    void typesByNameAndContent();
    void servesOnlyWhatThePageNeeds();
    void scriptRequestsReachOnlyTheProgramsFiles();
};

// A site folder with a page that names files inside and outside it, and the files it names.
void PageSchemeHandlerTest::servesOnlyWhatThePageNeeds() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString root = dir.path();
    QVERIFY(QDir(root).mkpath("site/sub") && QDir(root).mkpath("outside"));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QVERIFY(picture.save(&buffer, "PNG"));
    const QByteArray page = "<img src=\"../outside/pic.png\"><img src=\"/etc/hostname\"><img src=../outside/fake.png>"
                            "<link href=\"../outside/look.css\"><img src=\"../outside/secret.txt\">"
                            "<img src=\"../outside/linked.css\"><p style=\"background:url('../outside/bg.png')\">";
    QVERIFY(writeAll(root + "/site/index.html", page));
    QVERIFY(writeAll(root + "/site/sub/deep.gif", png));
    QVERIFY(writeAll(root + "/outside/pic.png", png));
    QVERIFY(writeAll(root + "/outside/bg.png", png));
    QVERIFY(writeAll(root + "/outside/other.png", png));
    QVERIFY(writeAll(root + "/outside/look.css", "p { color: red }"));
    QVERIFY(writeAll(root + "/outside/fake.png", "private words"));
    QVERIFY(writeAll(root + "/outside/secret.txt", "private words"));
    QVERIFY(QFile::link(root + "/outside/secret.txt", root + "/site/link.html"));
    QVERIFY(QFile::link(root + "/outside/secret.txt", root + "/outside/linked.css"));
    QVERIFY(QFile::link(root + "/outside", root + "/site/out"));

    hw::ensureFolders();
    hw::PageSchemeHandler handler;
    handler.allowFolder(root + "/site");
    handler.allowReferencedFiles(root + "/site/index.html", page);
    const QString temp = QString::fromStdString(hw::tempFolder());
    QVERIFY(writeAll(temp + "/swatchBook.js", "var hexCode;"));

    const struct {
        QString path;
        bool served;
    } rows[] = {
        {root + "/site/index.html", true},
        {root + "/site/sub/deep.gif", true},
        {root + "/site/sub/../index.html", true},
        {temp + "/swatchBook.js", true},
        {root + "/outside/pic.png", true},           // named by the page, a picture by content
        {root + "/outside/bg.png", true},            // named in a style
        {root + "/outside/look.css", true},          // a named stylesheet
        {root + "/site/../outside/pic.png", true},
        {root + "/site/link.html", false},           // a link out of the tree
        {root + "/site/out/pic.png", false},         // a linked folder out of the tree
        {root + "/outside/linked.css", false},       // a stylesheet name over a text file
        {QStringLiteral("/etc/hostname"), false},    // named, but text
        {root + "/outside/fake.png", false},         // named, a picture's name over text
        {root + "/outside/secret.txt", false},       // named, text
        {root + "/outside/other.png", false},        // a picture nobody named
        {root + "/site/missing.html", false},
        {root + "/site/sub", false},                 // a folder
        {QStringLiteral("/dev/zero"), false},
    };
    for (const auto& row : rows) QVERIFY2(handler.mayServe(row.path) == row.served, qPrintable(row.path));

    QVERIFY(!handler.allowsScriptRequest(pageUrlOf(root + "/site/index.html")));
    QVERIFY(!handler.allowsScriptRequest(pageUrlOf("/etc/hostname")));
}

void PageSchemeHandlerTest::scriptRequestsReachOnlyTheProgramsFiles() {
    hw::ensureFolders();
    hw::PageSchemeHandler handler;
    const QString temp = QString::fromStdString(hw::tempFolder());
    QVERIFY(writeAll(temp + "/im.js", "var im;"));
    QVERIFY(handler.allowsScriptRequest(pageUrlOf(temp + "/im.js")));
    QVERIFY(handler.allowsScriptRequest(QUrl("huewright://page/__huewright_cookie__?op=get&doc=x")));
    QVERIFY(!handler.allowsScriptRequest(pageUrlOf(temp + "/../Cookies")));
    QVERIFY(!handler.allowsScriptRequest(QUrl("file:///etc/hostname")));
    QVERIFY(!handler.allowsScriptRequest(QUrl("https://example.com/x.js")));
}

void PageSchemeHandlerTest::typesByNameAndContent_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<QByteArray>("type");
    const QByteArray png("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16);
    const QByteArray gif("GIF89a\x01\0\x01\0", 10);
    // Working copies are HTML whatever they begin with, in either letter case.
    QTest::newRow("working copy") << "/s/wp1A2B.tmp" << QByteArray("<script>var a;") << QByteArray("text/html");
    QTest::newRow("frame copy") << "/s/fwp3C.TMP" << QByteArray("<HTML><HEAD>") << QByteArray("text/html");
    QTest::newRow("empty copy") << "/s/wp0.tmp" << QByteArray() << QByteArray("text/html");
    QTest::newRow("copy that looks like text") << "/s/wp1.tmp" << QByteArray("plain words") << QByteArray("text/html");
    QTest::newRow("recoloured png") << "/t/im4D.tmp" << png << QByteArray("image/png");
    QTest::newRow("recoloured gif") << "/t/IM4E.TMP" << gif << QByteArray("image/gif");
    // Recoloured copies keep their picture's format, whatever the library wrote.
    for (const char* format : {"BMP", "JPEG", "PNG"}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(&buffer, format));
        QTest::addRow("recoloured %s", format)
            << "/t/im5.tmp" << bytes.left(512) << "image/" + QByteArray(format).toLower();
    }
    QTest::newRow("stylesheet copy") << "/s/ss12.tmp" << QByteArray("body { color: red }") << QByteArray("text/css");
    QTest::newRow("page") << "/s/index.htm" << QByteArray("<html>") << QByteArray("text/html");
    QTest::newRow("stylesheet") << "/s/MAIN.CSS" << QByteArray("p {}") << QByteArray("text/css");
    QTest::newRow("picture") << "/s/logo.gif" << gif << QByteArray("image/gif");
    QTest::newRow("picture without a name") << "/s/logo" << png << QByteArray("image/png");
}

void PageSchemeHandlerTest::typesByNameAndContent() {
    QFETCH(QString, path);
    QFETCH(QByteArray, head);
    QFETCH(QByteArray, type);
    QCOMPARE(hw::PageSchemeHandler::mimeTypeFor(path, head), type);
}

QTEST_MAIN(PageSchemeHandlerTest)
#include "PageSchemeHandlerTest.moc"
