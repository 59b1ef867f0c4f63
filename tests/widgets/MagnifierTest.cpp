#include "widgets/Magnifier.h"

#include <QTest>

// Both tool panels' magnifiers are this widget: what it shows of the screen is checked here once.
class MagnifierTest : public QObject {
    Q_OBJECT
private slots:
    void patchAroundThePointerFillsTheMagnifier();
    void pastTheScreensEdgeStaysBlackAndTheRestKeepsItsPlace();
    void pixelUnderThePointer();

private:
    // A frameless window of one colour at the screen's top left corner.
    static void showSquare(QWidget& square, const QString& colour) {
        square.setWindowFlags(Qt::FramelessWindowHint);
        square.setStyleSheet("background-color: " + colour + ";");
        square.setGeometry(0, 0, 200, 200);
        square.show();
        QVERIFY(QTest::qWaitForWindowExposed(&square));
    }
};

void MagnifierTest::patchAroundThePointerFillsTheMagnifier() {
    QWidget square;
    showSquare(square, "#CC3333");
    QWidget host;
    hw::Magnifier magnifier(&host, "m", hw::Magnifier::targetMark(), "mark");
    QCOMPARE(magnifier.size(), QSize(113, 81));
    QCOMPARE(magnifier.findChild<QLabel*>("mark")->size(), QSize(113, 81));
    QTRY_VERIFY_WITH_TIMEOUT((magnifier.magnify(square.mapToGlobal(QPoint(100, 100))),
                              magnifier.pixmap().toImage().pixelColor(56, 40) == QColor(0xCC, 0x33, 0x33)),
                             5000);
    const QImage shown = magnifier.pixmap().toImage();
    QCOMPARE(shown.size(), QSize(113, 81));
    for (QPoint corner : {QPoint(0, 0), QPoint(112, 0), QPoint(0, 80), QPoint(112, 80)})
        QCOMPARE(shown.pixelColor(corner), QColor(0xCC, 0x33, 0x33));
}

void MagnifierTest::pastTheScreensEdgeStaysBlackAndTheRestKeepsItsPlace() {
    QWidget square;
    showSquare(square, "#33CC33");
    QWidget host;
    hw::Magnifier magnifier(&host, "m", hw::Magnifier::eyedropperMark());
    // At the corner the patch starts 9 pixels left of and 6 above the screen: about 56 x 37
    // magnified pixels of it lie off the screen.
    const QPoint corner = square.mapToGlobal(QPoint(0, 0));
    QCOMPARE(corner, QPoint(0, 0));
    QTRY_VERIFY_WITH_TIMEOUT((magnifier.magnify(corner),
                              magnifier.pixmap().toImage().pixelColor(100, 70) == QColor(0x33, 0xCC, 0x33)),
                             5000);
    const QImage shown = magnifier.pixmap().toImage();
    QCOMPARE(shown.pixelColor(10, 10), QColor(Qt::black));
    QCOMPARE(shown.pixelColor(100, 10), QColor(Qt::black));
    QCOMPARE(shown.pixelColor(10, 70), QColor(Qt::black));
    QCOMPARE(shown.pixelColor(60, 40), QColor(0x33, 0xCC, 0x33));
}

void MagnifierTest::pixelUnderThePointer() {
    QWidget square;
    showSquare(square, "#123456");
    const QPoint inside = square.mapToGlobal(QPoint(50, 50));
    QTRY_VERIFY(hw::screenPixelAt(inside) == std::optional(hw::rgbColor(0x12, 0x34, 0x56)));
}

QTEST_MAIN(MagnifierTest)
#include "MagnifierTest.moc"
