#include "blender/ImageBlenderPanel.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

class ImageBlenderPanelTest : public QObject {
    Q_OBJECT
private slots:
    void controlsAsNamed();
    void noNewColourRefusesTheDrag();
    void dragPicksTheScreenAndReportsTheDrop();
};

void ImageBlenderPanelTest::controlsAsNamed() {
    hw::ImageBlenderPanel panel;
    QCOMPARE(panel.objectName(), QString("IBpnlOutline"));
    QCOMPARE(panel.size(), QSize(186, 104));
    QVERIFY(panel.isHidden());
    auto* repaint = panel.findChild<QToolButton*>("IBtbnRepaint");
    QVERIFY(repaint);
    QCOMPARE(repaint->toolTip(), QString("Drag to an Image Color to Repaint"));
    QVERIFY(panel.findChild<QFrame*>("IBpnlHeaderStrip")->findChild<QLabel*>()->text() == "Image Blender");
    for (const char* name : {"IBimgMagnifier", "IBimgTarget"})
        QCOMPARE(panel.findChild<QLabel*>(name)->size(), QSize(113, 81));
    for (const char* name : {"IBpnlOldColor", "IBpnlNewColor"})
        QCOMPARE(panel.findChild<QFrame*>(name)->size(), QSize(54, 23));
    QCOMPARE(panel.findChild<QFrame*>("IBpnlNewColor")->toolTip(), QString("New Image Color"));
    QVERIFY(panel.findChild<QLabel*>("IBlblOldColorCaption"));
    QVERIFY(panel.findChild<QLabel*>("IBlblNewColorCaption"));
}

void ImageBlenderPanelTest::noNewColourRefusesTheDrag() {
    hw::ImageBlenderPanel panel;
    QStringList notices;
    panel.setNotifier([&](const QString& text) { notices << text; });
    QSignalSpy drops(&panel, &hw::ImageBlenderPanel::dropped);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    auto* repaint = panel.findChild<QToolButton*>("IBtbnRepaint");
    QTest::mousePress(repaint, Qt::LeftButton);
    QTest::mouseRelease(repaint, Qt::LeftButton);
    QCOMPARE(notices, QStringList{"Please add a new image color to the lower panel."});
    QCOMPARE(panel.oldHexCode(), QString());
    QCOMPARE(drops.count(), 0);
}

void ImageBlenderPanelTest::dragPicksTheScreenAndReportsTheDrop() {
    QWidget red;
    red.setWindowFlags(Qt::FramelessWindowHint);
    red.setStyleSheet("background-color: #CC3333;");
    red.setGeometry(100, 100, 200, 200);
    red.show();
    QVERIFY(QTest::qWaitForWindowExposed(&red));
    hw::ImageBlenderPanel panel;
    panel.setGeometry(400, 100, 186, 104);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QSignalSpy wanted(&panel, &hw::ImageBlenderPanel::newColourWanted);
    QTest::mouseClick(panel.findChild<QFrame*>("IBpnlNewColor"), Qt::LeftButton);
    QCOMPARE(wanted.count(), 1);
    panel.takeNewColour(0x3366CC, "CC6633");
    QCOMPARE(panel.newHexCode(), QString("CC6633"));

    QSignalSpy drops(&panel, &hw::ImageBlenderPanel::dropped);
    const QPoint inside = red.mapToGlobal(QPoint(100, 100));
    QVERIFY(panel.IBtbnRepaintMouseDown(inside));
    QTRY_COMPARE(panel.oldHexCode(), QString("CC3333"));
    QCOMPARE(panel.oldColour(), hw::rgbColor(0xCC, 0x33, 0x33));
    const QPixmap magnified = panel.findChild<QLabel*>("IBimgMagnifier")->pixmap();
    QCOMPARE(magnified.size(), QSize(113, 81));
    QCOMPARE(magnified.toImage().pixelColor(56, 40), QColor(0xCC, 0x33, 0x33));
    panel.IBtbnRepaintMouseUp(inside);
    QCOMPARE(drops.count(), 1);
    QCOMPARE(drops.at(0).at(0).toPoint(), inside);
}

QTEST_MAIN(ImageBlenderPanelTest)
#include "ImageBlenderPanelTest.moc"
