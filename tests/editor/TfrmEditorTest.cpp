#include "editor/TfrmEditor.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeProgram(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
    f.close();
    QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                             QFileDevice::ReadGroup | QFileDevice::ExeGroup));
}

/// Waits for the next message box, notes its text and closes it. The box is modal, so the
/// answer has to come from a timer inside its own event loop.
class MessageBoxCatcher : public QObject {
public:
    MessageBoxCatcher() {
        m_timer.setInterval(50);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                m_title = box->windowTitle();
                m_text = box->text();
                box->accept();
                m_timer.stop();
            }
        });
        m_timer.start();
    }
    QString title() const { return m_title; }
    QString text() const { return m_text; }

private:
    QTimer m_timer;
    QString m_title, m_text;
};

} // namespace

class TfrmEditorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_root.isValid()); }

    void firstStartTakesTheFirstKnownEditorOnThePath() {
        const QString bin = m_root.filePath(QStringLiteral("bin"));
        writeProgram(bin + QStringLiteral("/mousepad"), "#!/bin/sh\n");
        writeProgram(bin + QStringLiteral("/xdg-open"), "#!/bin/sh\n");
        const QByteArray oldPath = qgetenv("PATH");
        qputenv("PATH", bin.toLocal8Bit());
        const QString settings = m_root.filePath(QStringLiteral("first"));
        TfrmEditor form(nullptr, settings);
        QSignalSpy changed(&form, &TfrmEditor::editorChanged);
        form.setUp();
        qputenv("PATH", oldPath);

        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toString(), QStringLiteral("Edit &with mousepad"));
        QCOMPARE(changed.first().at(1).toString(), QStringLiteral("Edit with mousepad"));
        QCOMPARE(readAll(settings + QStringLiteral("/edit.dat")), (bin + QStringLiteral("/mousepad\r\n")).toLocal8Bit());
        QCOMPARE(readAll(settings + QStringLiteral("/editIndex.dat")), QByteArray("0"));
        QCOMPARE(form.comboEditor->count(), 1);
        QCOMPARE(form.windowTitle(), QStringLiteral("Choose HTML Code Editor"));
        QCOMPARE(form.size(), QSize(426, 149));
    }

    void chosenEditorOpensThePageAsOneArgument() {
        // The editor is a script of our own that writes down how it was called.
        const QString editor = m_root.filePath(QStringLiteral("html edit/htmledit.run"));
        const QString record = m_root.filePath(QStringLiteral("arguments.txt"));
        writeProgram(editor, QStringLiteral("#!/bin/sh\n{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } "
                                            "> '%1.part' && mv '%1.part' '%1'\n")
                                 .arg(record)
                                 .toLocal8Bit());
        const QString page = m_root.filePath(QStringLiteral("my site/index page.html"));
        QDir().mkpath(QFileInfo(page).absolutePath());

        const QString settings = m_root.filePath(QStringLiteral("choose"));
        TfrmEditor form(nullptr, settings);
        form.setPageFileSource([page] { return page; });
        form.setUp();
        QSignalSpy changed(&form, &TfrmEditor::editorChanged);
        form.showOptions();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        QTest::mouseClick(form.btnAdd, Qt::LeftButton);
        QTRY_VERIFY(form.dlgChooseEditor->isVisible());
        form.dlgChooseEditor->selectFile(editor);
        static_cast<QDialog*>(form.dlgChooseEditor)->accept();
        QCOMPARE(form.comboEditor->count(), 2);
        QCOMPARE(form.comboEditor->currentIndex(), 1);
        QCOMPARE(form.comboEditor->currentText(), editor);
        QVERIFY(readAll(settings + QStringLiteral("/edit.dat")).endsWith((editor + QStringLiteral("\r\n")).toLocal8Bit()));
        QCOMPARE(readAll(settings + QStringLiteral("/editIndex.dat")), QByteArray("0"));

        QTest::mouseClick(form.btnOK, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toString(), QStringLiteral("Edit &with htmledit"));
        QCOMPARE(changed.first().at(1).toString(), QStringLiteral("Edit with htmledit"));
        QCOMPARE(form.editorPath(), editor);
        QCOMPARE(readAll(settings + QStringLiteral("/editIndex.dat")), QByteArray("1"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
        QCOMPARE(QString::fromLocal8Bit(readAll(record)), QStringLiteral("1\n") + page + QStringLiteral("\n"));

        // The menu item starts the same editor again.
        QFile::remove(record);
        form.startEditor();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
        QCOMPARE(QString::fromLocal8Bit(readAll(record)), QStringLiteral("1\n") + page + QStringLiteral("\n"));

        // A fresh start reads the chosen editor back.
        TfrmEditor again(nullptr, settings);
        QSignalSpy restored(&again, &TfrmEditor::editorChanged);
        again.setUp();
        QCOMPARE(restored.first().at(0).toString(), QStringLiteral("Edit &with htmledit"));
    }

    void cancelKeepsAdditionsButNotTheChoice() {
        const QString settings = m_root.filePath(QStringLiteral("cancel"));
        const QString other = m_root.filePath(QStringLiteral("bin/other"));
        writeProgram(other, "#!/bin/sh\n");
        TfrmEditor form(nullptr, settings);
        form.setUp();
        const QString before = form.editorPath();
        QSignalSpy changed(&form, &TfrmEditor::editorChanged);
        form.showOptions();
        QTest::mouseClick(form.btnAdd, Qt::LeftButton);
        form.dlgChooseEditor->selectFile(other);
        static_cast<QDialog*>(form.dlgChooseEditor)->accept();
        QTest::mouseClick(form.btnCancel, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QCOMPARE(changed.count(), 0);
        QCOMPARE(form.editorPath(), before);
        QCOMPARE(form.comboEditor->count(), 2);
        QCOMPARE(readAll(settings + QStringLiteral("/editIndex.dat")), QByteArray("0"));
        QVERIFY(readAll(settings + QStringLiteral("/edit.dat")).endsWith((other + QStringLiteral("\r\n")).toLocal8Bit()));
    }

    void editorThatCannotStartIsReported() {
        const QString settings = m_root.filePath(QStringLiteral("missing"));
        QDir().mkpath(settings);
        QFile list(settings + QStringLiteral("/edit.dat"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("/nonexistent/folder/editor\r\n");
        list.close();
        QFile index(settings + QStringLiteral("/editIndex.dat"));
        QVERIFY(index.open(QIODevice::WriteOnly));
        index.write("0");
        index.close();

        TfrmEditor form(nullptr, settings);
        form.setPageFileSource([] { return QStringLiteral("/tmp/page.html"); });
        form.setUp();
        QCOMPARE(form.editorPath(), QStringLiteral("/nonexistent/folder/editor"));
        MessageBoxCatcher catcher;
        form.startEditor();
        QCOMPARE(catcher.title(), QStringLiteral("Huewright"));
        QVERIFY2(catcher.text().contains(QStringLiteral("/nonexistent/folder/editor")), qPrintable(catcher.text()));
    }

    void okWithAnEmptyListSaysWhyAndStartsNothing() {
        const QString settings = m_root.filePath(QStringLiteral("empty"));
        TfrmEditor form(nullptr, settings);
        form.setUp();
        const QString before = form.editorPath();
        form.showOptions();
        QTest::mouseClick(form.btnRemove, Qt::LeftButton);
        QCOMPARE(form.comboEditor->count(), 0);
        QSignalSpy changed(&form, &TfrmEditor::editorChanged);
        MessageBoxCatcher catcher;
        QTest::mouseClick(form.btnOK, Qt::LeftButton);
        QCOMPARE(catcher.title(), QStringLiteral("Huewright"));
        QVERIFY2(catcher.text().contains(QStringLiteral("empty")), qPrintable(catcher.text()));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(form.editorPath(), before);
        QVERIFY(form.isVisible());
        QCOMPARE(readAll(settings + QStringLiteral("/editIndex.dat")), QByteArray("0"));
        QCOMPARE(readAll(settings + QStringLiteral("/edit.dat")), QByteArray());
    }

private:
    QTemporaryDir m_root;
};

QTEST_MAIN(TfrmEditorTest)
#include "TfrmEditorTest.moc"
