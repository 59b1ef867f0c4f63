// The files that let a desktop list Huewright and hand it its files: the file types as a
// desktop reads them, and an installation laid out where the desktop and the program look.

#include "help/HelpWindow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

const QString appId = QStringLiteral(HW_APP_ID);
const QString schemeType = QStringLiteral("application/x-huewright-scheme");
const QString bookType = QStringLiteral("application/x-huewright-swatch-book");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// The value of a key of a desktop entry ("" when it has none).
QString desktopEntryValue(const QString& path, const QString& key) {
    for (const QByteArray& line : readAll(path).split('\n'))
        if (line.startsWith(key.toUtf8() + '=')) return QString::fromUtf8(line.mid(key.size() + 1)).trimmed();
    return {};
}

/// The texts of every element of an XML file with the given name.
QStringList xmlTexts(const QString& path, const QString& element) {
    QStringList texts;
    QXmlStreamReader xml(readAll(path));
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == element) texts << xml.readElementText();
    return texts;
}

/// The "type" attribute of every <mime-type> of a shared-mime-info package.
QStringList declaredTypes(const QString& path) {
    QStringList types;
    QXmlStreamReader xml(readAll(path));
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("mime-type"))
            types << xml.attributes().value(QLatin1String("type")).toString();
    return types;
}

} // namespace

class DesktopFilesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // Qt reads the file types from the data folders, so a folder holding only the program's
        // package stands for an installation (the freedesktop types are built into Qt).
        QVERIFY(m_data.isValid());
        QVERIFY(QDir().mkpath(m_data.filePath("mime/packages")));
        QVERIFY(QFile::copy(QStringLiteral(HW_DESKTOP_DIR "/") + appId + ".mime.xml",
                            m_data.filePath("mime/packages/") + appId + ".xml"));
        qputenv("XDG_DATA_HOME", m_data.path().toUtf8());
        qputenv("XDG_DATA_DIRS", m_data.path().toUtf8());
    }

    void schemesAndBooksAreKnownByTheirExactExtension() {
        const struct {
            const char* name;
            QString type;
            bool matches;
        } rows[] = {
            {"blue.wsm", schemeType, true},       {"/home/u/site/blue.wsm", schemeType, true},
            {"BLUE.WSM", schemeType, false},      {"blue.Wsm", schemeType, false},
            {"sea.sbk", bookType, true},          {"SEA.SBK", bookType, false},
            {"blue.wsm.bak", schemeType, false},
        };
        const QMimeDatabase db;
        for (const auto& r : rows) {
            const QMimeType type = db.mimeTypeForFile(QString::fromLatin1(r.name), QMimeDatabase::MatchExtension);
            QVERIFY2((type.name() == r.type) == r.matches, qPrintable(QString::fromLatin1(r.name) + " " + type.name()));
        }
    }

    void aSchemeIsKnownByItsStartWithoutItsExtension() {
        const QMimeDatabase db;
        for (const char* scheme : {"/schemes/worked/expected.wsm", "/schemes/frameset/expected.wsm"})
            QCOMPARE(db.mimeTypeForData(readAll(QStringLiteral(HW_TEST_DATA) + scheme)).name(), schemeType);
        // A page, a swatch book and text that merely mentions a record are not schemes.
        for (const QByteArray& other : {QByteArray("<html><body>data\r\ninitialise</body></html>"),
                                        readAll(QStringLiteral(HW_TEST_DATA "/books/two-cards-save.sbk")),
                                        QByteArray("data\ninitialise"), QByteArray("notes: data\r\ninitialise")})
            QVERIFY2(db.mimeTypeForData(other).name() != schemeType, other.constData());
    }

    void installLaysOutTheProgramsTheManualAndTheDesktopFiles() {
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(HW_CMAKE), {"--install", HW_BINARY_DIR, "--prefix", prefix.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0, install.readAll().constData());

        const QDir bin(prefix.filePath(HW_BINDIR));
        const QDir data(prefix.filePath(HW_DATADIR));
        for (const char* program : {"huewright", "huewright-tool"})
            QVERIFY2(QFileInfo(bin.filePath(program)).isExecutable(), program);
        const QString launcher = data.filePath("applications/" + appId + ".desktop");
        const QString types = data.filePath("mime/packages/" + appId + ".xml");
        const QString metainfo = data.filePath("metainfo/" + appId + ".metainfo.xml");
        for (const QString& file : {launcher, types, metainfo, data.filePath("huewright/Help/Huewright.qch")})
            QVERIFY2(QFileInfo(file).isFile(), qPrintable(file));

        // The launcher starts an installed program with one file, shows an installed icon and
        // offers the program for the types the package declares.
        const QStringList exec = desktopEntryValue(launcher, "Exec").split(' ');
        QCOMPARE(exec.size(), 2);
        QVERIFY(QFileInfo(bin.filePath(exec.first())).isExecutable());
        QVERIFY(exec.last() == "%f" || exec.last() == "%u");
        const QString icon = desktopEntryValue(launcher, "Icon");
        QVERIFY(QFileInfo(data.filePath("icons/hicolor/scalable/apps/" + icon + ".svg")).isFile());
        QImageReader png(data.filePath("icons/hicolor/256x256/apps/" + icon + ".png"));
        QCOMPARE(png.size(), QSize(256, 256));
        const QStringList offered = desktopEntryValue(launcher, "MimeType").split(';', Qt::SkipEmptyParts);
        QCOMPARE(declaredTypes(types), QStringList({schemeType, bookType}));
        for (const QString& type : declaredTypes(types) + QStringList{"text/html", "application/xhtml+xml"})
            QVERIFY2(offered.contains(type), qPrintable(type));

        // The software centre's entry names this launcher and the installed programs.
        QCOMPARE(xmlTexts(metainfo, "launchable"), QStringList{QFileInfo(launcher).fileName()});
        for (const QString& program : xmlTexts(metainfo, "binary"))
            QVERIFY2(QFileInfo(bin.filePath(program)).isExecutable(), qPrintable(program));

        // The installed program finds its manual from its own folder, wherever the prefix is.
        QCOMPARE(HelpWindow::helpFilePath(bin.path(), QString()),
                 QDir::cleanPath(data.filePath("huewright/Help/Huewright.qch")));
    }

private:
    QTemporaryDir m_data;
};

QTEST_GUILESS_MAIN(DesktopFilesTest)
#include "DesktopFilesTest.moc"
