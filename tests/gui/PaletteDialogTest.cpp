// The palette export dialog: the format follows the filter the user picks.

#include "GuiTestMain.h"
#include "GuiTestSupport.h"

#include "base/Files.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

using namespace hw;
using namespace hw::test;

class PaletteDialogTest : public QObject {
    Q_OBJECT

private:
    /// Exports the book through the real dialog: picks `filter`, types `name` and saves.
    /// Returns the folder the dialog opened in and the name it suggested.
    static QStringList exportThroughTheDialog(TfrmBackDrop& window, const QString& filter, const QString& name) {
        QString folder, suggested;
        // The dialog runs its own loop: a timer looks for it there until it is open.
        QTimer timer;
        timer.setInterval(50);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            QFileDialog* box = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) box = d;
            if (!box) return;
            timer.stop();
            folder = box->directory().absolutePath();
            box->selectNameFilter(filter);
            emit box->filterSelected(filter);
            // Typed into the name box, as a user does.
            auto* edit = box->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(edit);
            suggested = edit->text();
            edit->setText(name);
            static_cast<QDialog*>(box)->accept(); // QFileDialog::accept, which checks the name
        });
        timer.start();
        window.findChild<QAction*>("mnuExportSwatchBook")->trigger();
        return {folder, suggested};
    }

private slots:
    void theChosenFilterGivesTheFormat() {
        QTemporaryDir dir;
        const QString book = dir.filePath("sample.sbk");
        QVERIFY(QFile::copy(QStringLiteral(HW_TEST_DATA "/palettes/sample.sbk"), book));
        TfrmBackDrop window;
        QStringList notices;
        window.noticeOverride = [&](const std::string& n) { notices << QString::fromStdString(n); };
        QDir::setCurrent(dir.path());
        window.recogniseCommandLine("sample.sbk");
        QVERIFY(window.isEnabled(Command::mnuExportSwatchBook));

        // The dialog opens beside the book, named after it; a bare name takes the filter's
        // extension.
        QCOMPARE(exportThroughTheDialog(window, "Adobe Swatch Exchange (*.ase)", "colours"),
                 (QStringList{QDir(dir.path()).absolutePath(), "sample"}));
        QCOMPARE(QString::fromStdString(readFileOrEmpty(dir.filePath("colours.ase").toStdString())),
                 QString::fromStdString(readFileOrEmpty(HW_TEST_DATA "/palettes/sample.ase")));
        // Another extension gets the filter's added; a palette extension typed is kept.
        exportThroughTheDialog(window, "Design Tokens (*.json)", "colours.txt");
        QVERIFY(QFile::exists(dir.filePath("colours.txt.json")));
        exportThroughTheDialog(window, "Design Tokens (*.json)", "typed.css");
        QVERIFY(QFile::exists(dir.filePath("typed.css")));
        QVERIFY(!window.state().book.bookModified);
        QVERIFY2(notices.isEmpty(), qPrintable(notices.join("\n")));
        QVERIFY(window.close());
    }
};

HW_GUI_TEST_MAIN(PaletteDialogTest)
#include "PaletteDialogTest.moc"
