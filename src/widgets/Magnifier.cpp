#include "widgets/Magnifier.h"

#include "widgets/PanelControls.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace hw {

namespace {

QScreen* screenAt(QPoint globalPos) {
    QScreen* screen = QGuiApplication::screenAt(globalPos);
    return screen ? screen : QGuiApplication::primaryScreen();
}

QPixmap transparentMark() {
    QPixmap mark(Magnifier::viewWidth, Magnifier::viewHeight);
    mark.fill(Qt::transparent);
    return mark;
}

} // namespace

Magnifier::Magnifier(QWidget* parent, const QString& name, const QPixmap& mark, const QString& markName)
    : QLabel(parent) {
    setObjectName(name);
    setGeometry(0, 0, viewWidth, viewHeight);
    auto* overlay = new QLabel(this);
    overlay->setObjectName(markName);
    overlay->setGeometry(0, 0, viewWidth, viewHeight);
    overlay->setAttribute(Qt::WA_TransparentForMouseEvents);
    overlay->setPixmap(mark);
}

void Magnifier::magnify(QPoint globalPos) {
    QScreen* screen = screenAt(globalPos);
    if (!screen) return;
    const QPoint at = globalPos - screen->geometry().topLeft();
    const int w = viewWidth / 6, h = viewHeight / 6;
    const QRect wanted(at.x() - viewWidth / 12, at.y() - viewHeight / 12, w, h);
    const QRect onScreen = wanted & QRect(QPoint(0, 0), screen->geometry().size());
    QPixmap magnified(viewWidth, viewHeight);
    magnified.fill(Qt::black);
    if (!onScreen.isEmpty()) {
        const QPixmap area = screen->grabWindow(0, onScreen.x(), onScreen.y(), onScreen.width(), onScreen.height());
        const double sx = double(viewWidth) / w, sy = double(viewHeight) / h;
        QPainter p(&magnified);
        p.drawPixmap(QRectF((onScreen.x() - wanted.x()) * sx, (onScreen.y() - wanted.y()) * sy,
                            onScreen.width() * sx, onScreen.height() * sy),
                     area, QRectF(area.rect()));
    }
    setPixmap(magnified);
}

QPixmap Magnifier::eyedropperMark() {
    QPixmap mark = transparentMark();
    QPainter p(&mark);
    p.setRenderHint(QPainter::Antialiasing);
    // The pixel under the pointer is the patch's (9, 6), stretched over x 56-62 and y 37-43.
    p.translate(58, 41);
    p.rotate(-45);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(230, 230, 230, 200));
    p.drawRect(QRectF(2, -1.5, 12, 3)); // glass tube
    p.setBrush(Qt::black);
    p.drawRect(QRectF(14, -3, 3, 6)); // collar
    p.drawEllipse(QRectF(17, -3.5, 7, 7)); // bulb
    p.drawLine(QPointF(0, 0), QPointF(2, 0)); // tip
    return mark;
}

QPixmap Magnifier::targetMark() {
    QPixmap mark = transparentMark();
    QPainter p(&mark);
    p.setPen(QPen(Qt::black, 1));
    const int cx = viewWidth / 2, cy = viewHeight / 2;
    p.drawRect(cx - 3, cy - 3, 6, 6);
    p.drawLine(cx, 0, cx, cy - 6);
    p.drawLine(cx, cy + 6, cx, viewHeight);
    p.drawLine(0, cy, cx - 6, cy);
    p.drawLine(cx + 6, cy, viewWidth, cy);
    return mark;
}

std::optional<TColor> screenPixelAt(QPoint globalPos) {
    QScreen* screen = screenAt(globalPos);
    if (!screen) return std::nullopt;
    const QPoint at = globalPos - screen->geometry().topLeft();
    const QImage pixel = screen->grabWindow(0, at.x(), at.y(), 1, 1).toImage();
    if (pixel.isNull()) return std::nullopt;
    return fromQColor(pixel.pixelColor(0, 0));
}

} // namespace hw
