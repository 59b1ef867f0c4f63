// Web schemes as a user keeps them: a painted page saved as a scheme, shown again with every
// colour, painted again and saved automatically when left, committed by Save, restored at close,
// opened from the command line; and the same road for a frameset.

#include "GuiTestMain.h"
#include "GuiTestSupport.h"

#include "base/Files.h"
#include "colour/SwatchBookJs.h"
#include "engine/CookieStore.h"

#include <QAction>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>

using namespace hw;
using namespace hw::test;

namespace {

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
}

} // namespace

class WebSchemeTest : public QObject {
    Q_OBJECT

    QTemporaryDir* m_dir = nullptr;
    TfrmBackDrop* m_window = nullptr;

    QString folder() const { return m_dir->path(); }
    WebBrowser* browser() const { return m_window->WebBrowser1(); }
    QVariant js(const QString& script) const { return evaluate(browser(), script); }
    const ProgramState& state() const { return m_window->state(); }

    void trigger(const char* action) { hw::test::trigger(*m_window, action); }
    void press(const char* button) {
        auto* b = m_window->findChild<QToolButton*>(button);
        QVERIFY2(b && b->isEnabled(), button);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    /// Waits until the browser shows the working copy of the current scheme, with its script.
    bool showsCurrentScheme() {
        return waitFor([&] {
            if (!state().showingScheme() || state().schemes.empty()) return false;
            const auto& slot = state().schemes[static_cast<std::size_t>(state().currentScheme)];
            // The document itself, not the one the browser is leaving.
            const QString name = QString::fromStdString(fileNameOf(slot.workingCopy.str()));
            return js("location.pathname.endsWith('/" + name + "')&&document.readyState=='complete'&&typeof sb=='function'")
                .toBool();
        });
    }
    QString computed(const QString& id, const char* property) {
        return js("(function(){var e=document.getElementById('" + id + "');return e?getComputedStyle(e)." + property +
                  ":'(no element " + id + ")';})()")
            .toString();
    }
    /// Waits until the element shows `expected`; the browser may still be taking the document in.
    bool shows(const QString& id, const char* property, const char* expected) {
        if (waitFor([&] { return computed(id, property) == QLatin1String(expected); }, 10000)) return true;
        qWarning("%s of %s is %s, not %s", property, qPrintable(id), qPrintable(computed(id, property)), expected);
        return false;
    }
    /// The id of the first paragraph on show whose click point (as clickElement takes it) is the
    /// paragraph itself, not a picture or link inside it.
    QString paragraph() {
        return js("(function(){var p=document.getElementsByTagName('p');for(var j=0;j<p.length;j++){"
                  "var r=p[j].getBoundingClientRect();if(!p[j].id||r.height<=0||r.bottom>innerHeight)continue;"
                  "if(document.elementFromPoint(r.left+Math.min(r.width/2,30),r.top+Math.min(r.height/2,8))==p[j])"
                  "return p[j].id;}return '';})()")
            .toString();
    }
    bool paintedRecordHolds(const QString& text) { return recordHolds(folder(), text); }

private slots:
    void init() {
        m_dir = new QTemporaryDir;
        CookieStore::purgeLocalCookies();
        m_window = showWindow(QSize(1100, 750), true);
        QVERIFY(m_window);
    }

    void cleanup() {
        closeWindow(m_window);
        delete m_dir;
    }

    void aPaintedPageIsKeptAsASchemeAndShownWithEveryColour() {
        const QString corpus = QStringLiteral(HW_CORPUS "/libtiff-html");
        if (!QDir(corpus).exists()) QSKIP("the corpus is not beside the repository");
        QVERIFY(copyTree(corpus, folder()));
        QVERIFY(openPage(*m_window, folder(), "internals.html"));
        const QString p = paragraph();
        QVERIFY(!p.isEmpty());

        // The body, and a paragraph's background and text.
        QVERIFY(setColour("FFCC00", 52479));
        const QPoint body = bodyPoint(browser());
        QVERIFY(body.x() >= 0);
        QTest::mouseMove(browser()->focusProxy(), body);
        QTest::mouseClick(browser()->focusProxy(), Qt::LeftButton, Qt::NoModifier, body);
        QVERIFY(paintedRecordHolds("?B1b$B$:B#FFCC00"));
        QVERIFY(setColour("3366CC", 13395507));
        QVERIFY(clickElement(browser(), p));
        QVERIFY2(paintedRecordHolds("?B" + p + "$B$:B#3366CC"), qPrintable(cookieValue(folder(), "data") + " " + p));
        QVERIFY(setColour("990000", 153));
        QVERIFY(clickElement(browser(), p, Qt::RightButton));
        QVERIFY(paintedRecordHolds("?C" + p + "$C$:C#990000"));
        QVERIFY(waitFor([&] { return m_window->isEnabled(Command::mnuSaveWebSchemeAs); }));

        const QString scheme = QDir(folder()).filePath("blue.wsm");
        m_window->fileDialogOverride = [&](FileDialog) { return std::optional(scheme.toStdString()); };
        trigger("mnuSaveWebSchemeAs");
        QVERIFY(QFile::exists(scheme));
        QVERIFY(showsCurrentScheme());
        QVERIFY(shows("1b", "backgroundColor", "rgb(255, 204, 0)"));
        QVERIFY(shows(p, "backgroundColor", "rgb(51, 102, 204)"));
        QVERIFY(shows(p, "color", "rgb(153, 0, 0)"));
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Huewright - blue.wsm"));
        QVERIFY(cookieValue(folder(), "data").isEmpty());
        // HW_SCREENSHOT names where to keep a picture of the scheme view (for the docs).
        if (qEnvironmentVariableIsSet("HW_SCREENSHOT")) m_window->grab().save(qEnvironmentVariable("HW_SCREENSHOT"));

        // Created as a finished page in another folder, it shows the same outside the program.
        QTemporaryDir published;
        const QString created = QDir(published.path()).filePath("site.html");
        QStringList notices;
        m_window->noticeOverride = [&](const std::string& text) { notices << QString::fromStdString(text); };
        m_window->fileDialogOverride = [&](FileDialog) { return std::optional(created.toStdString()); };
        trigger("mnuCreateHtmlFile");
        QCOMPARE(notices, QStringList{"The file site.html has been created and saved to\n" + published.path()});
        {
            PlainBrowser plain;
            QVERIFY(plain.open(created));
            QCOMPARE(plain.js("getComputedStyle(document.body).backgroundColor").toString(),
                     QStringLiteral("rgb(255, 204, 0)"));
            QVERIFY(plain.js("Array.prototype.some.call(document.querySelectorAll('p'),function(e){var s=getComputedStyle(e);"
                             "return s.backgroundColor=='rgb(51, 102, 204)'&&s.color=='rgb(153, 0, 0)';})")
                        .toBool());
            QVERIFY(waitFor([&] {
                return plain.js("Array.prototype.every.call(document.images,function(i){return i.complete&&i.naturalWidth>0;})")
                    .toBool();
            }));
            QVERIFY(plain.js("Array.prototype.every.call(document.querySelectorAll('link[rel=stylesheet]'),"
                             "function(l){return !!l.sheet;})")
                        .toBool());
            QVERIFY2(plain.errors().isEmpty(), qPrintable(plain.errors().join("\n")));
        }
        m_window->noticeOverride = {};

        // Painting the scheme, then leaving it for a page: no question, a backup, the merge.
        const QString saved = readAll(scheme);
        QVERIFY(setColour("00FF00", 65280));
        QVERIFY(clickElement(browser(), p));
        QVERIFY(paintedRecordHolds("#00FF00"));
        QVERIFY(waitFor([&] { return m_window->isEnabled(Command::mnuSaveWebScheme); }));
        QStringList asked;
        m_window->questionOverride = [&](const std::string& q) {
            asked << QString::fromStdString(q);
            return Answer::No;
        };
        m_window->fileDialogOverride = [&](FileDialog) {
            return std::optional(QDir(folder()).filePath("internals.html").toStdString());
        };
        trigger("mnuOpenWebPage");
        QVERIFY(asked.isEmpty());
        QCOMPARE(readAll(QDir(folder()).filePath("~blue.wsm")), saved);
        QVERIFY(readAll(scheme).contains("B#00FF00"));
        QVERIFY(state().showingPage());

        // Back to the scheme: the merged paint shows; Save drops the backup.
        press("tbnNextScheme");
        QVERIFY(showsCurrentScheme());
        QVERIFY(shows(p, "backgroundColor", "rgb(0, 255, 0)"));
        trigger("mnuSaveWebScheme");
        QVERIFY(!QFile::exists(QDir(folder()).filePath("~blue.wsm")));

        // Painted again and left: closing asks about the changed scheme; No restores it.
        QVERIFY(showsCurrentScheme());
        const QString committed = readAll(scheme);
        QVERIFY(setColour("0000FF", 16711680));
        QVERIFY(clickElement(browser(), p));
        QVERIFY(paintedRecordHolds("#0000FF"));
        trigger("mnuOpenWebPage");
        QVERIFY(readAll(scheme).contains("B#0000FF"));
        QVERIFY(m_window->close());
        QCOMPARE(asked, QStringList{"Save changes to blue.wsm?"});
        QCOMPARE(readAll(scheme), committed);
        QVERIFY(!QFile::exists(QDir(folder()).filePath("~blue.wsm")));

        // A scheme named on the command line opens in a new window.
        delete m_window;
        m_window = new TfrmBackDrop;
        m_window->show();
        QDir::setCurrent(folder());
        m_window->recogniseCommandLine(QStringLiteral("blue.wsm"));
        QVERIFY(showsCurrentScheme());
        QVERIFY(shows(p, "backgroundColor", "rgb(0, 255, 0)"));
        QVERIFY(shows("1b", "backgroundColor", "rgb(255, 204, 0)"));
    }

    void aFramesetOpenedFromTheMenuCollectsTheColoursOfEveryFrame() {
        for (auto name : {"raw-frames.html", "raw-frame0.html", "raw-frame1.html"})
            QVERIFY(QFile::copy(QStringLiteral(HW_TEST_DATA "/pages/") + name, QDir(folder()).filePath(name)));
        m_window->fileDialogOverride = [&](FileDialog) {
            return std::optional(QDir(folder()).filePath("raw-frames.html").toStdString());
        };
        QSignalSpy handled(m_window, &TfrmBackDrop::documentHandled);
        trigger("mnuOpenWebPage");
        QVERIFY(handled.count() > 0 || handled.wait(30000));
        for (int i = 0; i < 2; ++i)
            QVERIFY2(js(QString("frames[%1].sco").arg(i)).toString().startsWith(QString("frameC[%1]=initialise,").arg(i)),
                     qPrintable(js(QString("frames[%1].sco").arg(i)).toString()));
    }

    void aPaintedFramesetIsKeptAndShownWithBothFrames() {
        for (auto name : {"raw-frames.html", "raw-frame0.html", "raw-frame1.html"})
            QVERIFY(QFile::copy(QStringLiteral(HW_TEST_DATA "/pages/") + name, QDir(folder()).filePath(name)));
        QVERIFY(openPage(*m_window, folder(), "raw-frames.html"));
        QVERIFY(waitFor([&] { return js("frames.length==2&&typeof frames[1].sb=='function'").toBool(); }));
        QVERIFY(setColour("FFCC00", 52479));
        QVERIFY(clickElement(browser(), "1p", Qt::LeftButton, Qt::NoModifier, 0));
        QVERIFY2(waitFor([&] { return cookieValue(folder(), "frameC[0]").contains("FFCC00"); }, 10000),
                 qPrintable(cookieFileText(folder())));
        QVERIFY(setColour("3366CC", 13395507));
        QVERIFY(clickElement(browser(), "1p", Qt::LeftButton, Qt::NoModifier, 1));
        QVERIFY2(waitFor([&] {
            return cookieValue(folder(), "frameC[0]").contains("FFCC00") &&
                   cookieValue(folder(), "frameC[1]").contains("3366CC");
        }, 10000), qPrintable(cookieFileText(folder())));
        QVERIFY(waitFor([&] { return m_window->isEnabled(Command::mnuSaveWebSchemeAs); }));

        const QString scheme = QDir(folder()).filePath("frames.wsm");
        m_window->fileDialogOverride = [&](FileDialog) { return std::optional(scheme.toStdString()); };
        trigger("mnuSaveWebSchemeAs");
        QVERIFY(showsCurrentSchemeFrames());
        const auto frameColour = [&](int frame) {
            return js(QString("getComputedStyle(frames[%1].document.getElementById('1p')).backgroundColor").arg(frame))
                .toString();
        };
        QCOMPARE(frameColour(0), QStringLiteral("rgb(255, 204, 0)"));
        QCOMPARE(frameColour(1), QStringLiteral("rgb(51, 102, 204)"));

        // The created frameset shows both frames with their colours outside the program.
        QTemporaryDir published;
        const QString created = QDir(published.path()).filePath("frames.html");
        m_window->noticeOverride = [](const std::string&) {};
        m_window->fileDialogOverride = [&](FileDialog) { return std::optional(created.toStdString()); };
        trigger("mnuCreateHtmlFile");
        {
            PlainBrowser plain;
            QVERIFY(plain.open(created));
            QVERIFY(waitFor([&] {
                return plain.js("frames.length==2&&[0,1].every(function(i){var d=frames[i].document;"
                                "return d.readyState=='complete'&&d.getElementsByTagName('p').length>0;})")
                    .toBool();
            }));
            QCOMPARE(plain.js("getComputedStyle(frames[0].document.getElementsByTagName('p')[0]).backgroundColor")
                         .toString(),
                     QStringLiteral("rgb(255, 204, 0)"));
            QCOMPARE(plain.js("getComputedStyle(frames[1].document.getElementsByTagName('p')[0]).backgroundColor")
                         .toString(),
                     QStringLiteral("rgb(51, 102, 204)"));
            QVERIFY2(plain.errors().isEmpty(), qPrintable(plain.errors().join("\n")));
        }
        m_window->noticeOverride = {};

        // Painted again in one frame and merged frame by frame when left.
        QVERIFY(setColour("00FF00", 65280));
        QVERIFY(clickElement(browser(), "1p", Qt::LeftButton, Qt::NoModifier, 1));
        QVERIFY(waitFor([&] { return cookieValue(folder(), "frameC[1]").contains("00FF00"); }, 10000));
        m_window->questionOverride = [](const std::string&) { return Answer::No; };
        m_window->fileDialogOverride = [&](FileDialog) {
            return std::optional(QDir(folder()).filePath("raw-frames.html").toStdString());
        };
        trigger("mnuOpenWebPage");
        QVERIFY(readAll(scheme).contains("00FF00"));
        press("tbnNextScheme");
        QVERIFY(showsCurrentSchemeFrames());
        QCOMPARE(frameColour(0), QStringLiteral("rgb(255, 204, 0)"));
        QCOMPARE(frameColour(1), QStringLiteral("rgb(0, 255, 0)"));
    }

private:
    bool showsCurrentSchemeFrames() {
        return waitFor([&] {
            if (!state().showingScheme() || state().schemes.empty()) return false;
            const auto& slot = state().schemes[static_cast<std::size_t>(state().currentScheme)];
            const QString name = QString::fromStdString(fileNameOf(slot.workingCopy.str()));
            return js("location.pathname.endsWith('/" + name + "')&&frames.length==2&&"
                      "[0,1].every(function(i){var d=frames[i].document;return frames[i].location.pathname.indexOf('/fps')>=0"
                      "&&d.readyState=='complete'&&!!d.getElementById('1p');})")
                .toBool();
        });
    }
};

HW_GUI_TEST_MAIN(WebSchemeTest)
#include "WebSchemeTest.moc"
