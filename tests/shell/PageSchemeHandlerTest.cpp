#include "shell/PageSchemeHandler.h"

#include <QBuffer>
#include <QImage>
#include <QTest>

// The types the page scheme gives files decide whether the browser renders a working copy,
// applies a stylesheet or shows a picture.
class PageSchemeHandlerTest : public QObject {
    Q_OBJECT
private slots:
    void typesByNameAndContent_data();
    void typesByNameAndContent();
};

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
