#include "help/HelpWindow.h"

#include <QDir>
#include <QFile>
#include <QHelpContentModel>
#include <QSignalSpy>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QTextBrowser>
#include <QTreeView>
#include <QtTest>

class HelpWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(m_root.isValid());
        QVERIFY2(QFile::exists(QStringLiteral(HW_HELP_FILE)), HW_HELP_FILE);
        // Nothing below may depend on where the program was started from.
        const QString elsewhere = m_root.filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkpath(elsewhere + QStringLiteral("/Help")));
        QVERIFY(QFile::copy(QStringLiteral(HW_HELP_FILE), elsewhere + QStringLiteral("/Help/Huewright.qch")));
        QVERIFY(QDir::setCurrent(elsewhere));
    }

    void helpFileIsFoundBesideTheProgramThenInTheDataFolder() {
        const QString program = m_root.filePath(QStringLiteral("app/bin"));
        const QString installed = m_root.filePath(QStringLiteral("data/Help"));
        QVERIFY(QDir().mkpath(program));
        QVERIFY(QDir().mkpath(installed));

        QCOMPARE(HelpWindow::helpFilePath(program, installed), QString());
        // A help file in the current folder is not the program's.
        QVERIFY(HelpWindow::helpFilePath() != QDir::current().absoluteFilePath(QStringLiteral("Help/Huewright.qch")));

        QVERIFY(QFile::copy(QStringLiteral(HW_HELP_FILE), installed + QStringLiteral("/Huewright.qch")));
        QCOMPARE(HelpWindow::helpFilePath(program, installed), installed + QStringLiteral("/Huewright.qch"));

        const QString shared = m_root.filePath(QStringLiteral("app/share/huewright/Help"));
        QVERIFY(QDir().mkpath(shared));
        QVERIFY(QFile::copy(QStringLiteral(HW_HELP_FILE), shared + QStringLiteral("/Huewright.qch")));
        QCOMPARE(HelpWindow::helpFilePath(program, installed), shared + QStringLiteral("/Huewright.qch"));

        QVERIFY(QDir().mkpath(program + QStringLiteral("/Help")));
        QVERIFY(QFile::copy(QStringLiteral(HW_HELP_FILE), program + QStringLiteral("/Help/Huewright.qch")));
        QCOMPARE(HelpWindow::helpFilePath(program, installed), program + QStringLiteral("/Help/Huewright.qch"));

        // The build puts the manual into Help beside the program.
        const QString buildFolder = QFileInfo(QStringLiteral(HW_HELP_FILE)).absoluteDir().absoluteFilePath(QStringLiteral(".."));
        QCOMPARE(HelpWindow::helpFilePath(buildFolder, QString()), QFileInfo(QStringLiteral(HW_HELP_FILE)).absoluteFilePath());
    }

    void showsTheFirstTopicWithItsContents() {
        HelpWindow window;
        QSignalSpy ready(&window, &HelpWindow::contentsReady);
        QVERIFY2(window.load(QStringLiteral(HW_HELP_FILE)), qPrintable(window.errorText()));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QCOMPARE(window.browser()->source(), window.startPage());
        QCOMPARE(window.startPage().scheme(), QStringLiteral("qthelp"));
        QCOMPARE(window.browser()->documentTitle(), QStringLiteral("Huewright Help"));
        QVERIFY(window.browser()->toPlainText().contains(QStringLiteral("Huewright lets you try out colour schemes")));

        QVERIFY(ready.count() > 0 || ready.wait(10000));
        auto* model = qobject_cast<QHelpContentModel*>(window.contents()->model());
        QVERIFY(model);
        QVERIFY(model->rowCount() > 0);
        QHelpContentItem* first = model->contentItemAt(model->index(0, 0));
        QVERIFY(first);
        QCOMPARE(first->title(), QStringLiteral("Huewright Help"));
        QCOMPARE(first->url(), window.startPage());
        QVERIFY(first->childCount() >= 13);

        // A link to another topic opens it from the help file.
        window.browser()->setSource(QUrl(QStringLiteral("editor.html")));
        QCOMPARE(window.browser()->documentTitle(), QStringLiteral("Editing the page source"));
        QCOMPARE(window.browser()->source(), window.startPage().resolved(QUrl(QStringLiteral("editor.html"))));
        QCOMPARE(window.contents()->currentIndex().data().toString(), QStringLiteral("Editing the page source"));
        QVERIFY(window.browser()->toPlainText().contains(QStringLiteral("Choose HTML Code Editor")));
        window.showStartPage();
        QCOMPARE(window.browser()->source(), window.startPage());
    }

    void oneClickInTheContentsOpensATopic() {
        HelpWindow window;
        QSignalSpy ready(&window, &HelpWindow::contentsReady);
        QVERIFY2(window.load(QStringLiteral(HW_HELP_FILE)), qPrintable(window.errorText()));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(ready.count() > 0 || ready.wait(10000));

        auto* model = qobject_cast<QHelpContentModel*>(window.contents()->model());
        const QModelIndex topic = model->index(1, 0, model->index(0, 0));
        QHelpContentItem* item = model->contentItemAt(topic);
        QVERIFY(item && item->url() != window.startPage());
        window.contents()->scrollTo(topic);
        const QRect place = window.contents()->visualRect(topic);
        QVERIFY(place.isValid());
        QTest::mouseClick(window.contents()->viewport(), Qt::LeftButton, {}, place.center());
        QCOMPARE(window.browser()->source(), item->url());
        QCOMPARE(window.browser()->documentTitle(), item->title());
        QCOMPARE(window.contents()->currentIndex(), topic);
    }

    void missingOrBrokenHelpFileIsExplained() {
        HelpWindow window;
        const QString missing = m_root.filePath(QStringLiteral("nowhere/Huewright.qch"));
        QVERIFY(!window.load(missing));
        QVERIFY2(window.errorText().contains(missing), qPrintable(window.errorText()));

        const QString junk = m_root.filePath(QStringLiteral("junk.qch"));
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a help file");
        f.close();
        QVERIFY(!window.load(junk));
        QVERIFY(!window.errorText().isEmpty());
    }

    void helpTopicsWithoutAHelpFileSaysWhere() {
        // This test program has no Help folder beside it; unless the manual is installed, F1
        // must explain where it looked instead of opening an empty window.
        if (!HelpWindow::helpFilePath().isEmpty()) QSKIP("the manual is installed on this machine");
        QString title, text;
        QTimer poll;
        poll.setInterval(50);
        connect(&poll, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                title = box->windowTitle();
                text = box->text();
                box->accept();
                poll.stop();
            }
        });
        poll.start();
        QWidget owner;
        showHelpTopics(&owner);
        QCOMPARE(title, QStringLiteral("Huewright"));
        QVERIFY2(text.contains(QCoreApplication::applicationDirPath() + QStringLiteral("/Help/Huewright.qch")), qPrintable(text));
        QVERIFY(owner.findChildren<HelpWindow*>().isEmpty());
    }

private:
    QTemporaryDir m_root;
};

QTEST_MAIN(HelpWindowTest)
#include "HelpWindowTest.moc"
