#include "tools/ScreenPickerPanel.h"

#include "colour/ColorCodes.h"
#include "widgets/Cursors.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace hw {

namespace {

constexpr int magnifierWidth = 113;
constexpr int magnifierHeight = 81;

/// A small eyedropper whose tip sits on (tipX, tipY), drawn towards the upper right.
void drawEyedropper(QPainter& p, int tipX, int tipY) {
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(tipX, tipY);
    p.rotate(-45);
    QPen pen(Qt::black, 1);
    p.setPen(pen);
    p.setBrush(QColor(230, 230, 230, 200));
    p.drawRect(QRectF(2, -1.5, 12, 3)); // glass tube
    p.setBrush(Qt::black);
    p.drawRect(QRectF(14, -3, 3, 6)); // collar
    p.drawEllipse(QRectF(17, -3.5, 7, 7)); // bulb
    p.drawLine(QPointF(0, 0), QPointF(2, 0)); // tip
    p.resetTransform();
}

} // namespace

ScreenPickerPanel::ScreenPickerPanel(QWidget* parent, Pallet& pallet) : QFrame(parent), m_pallet(pallet) {
    setObjectName(QStringLiteral("SPpnlOutline"));
    setFixedSize(186, 104);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, p.color(QPalette::Dark));
    setPalette(p);

    makeHeaderStrip(this, "SPpnlHeaderStrip", {1, 1, 184, 15}, QStringLiteral("Screen Picker"));
    auto* body = makeFrame(this, "SPpnlPickerBacking", {1, 16, 184, 87}, QPalette::Button);
    auto* screenFrame = makeFrame(body, "SPpnlPickerScreenFrame", {4, 2, 115, 83}, QPalette::Dark);
    auto* screen = makeFrame(screenFrame, "SPpnlPickerScreen", {1, 1, magnifierWidth, magnifierHeight},
                             QPalette::Base);
    SPimgMagnifier = new PanelBox(screen, "SPimgMagnifier", {0, 0, magnifierWidth, magnifierHeight});
    // The overlay is fixed: its tip marks the magnified pixel under the pointer.
    SPimgMagnifier->onPaint = [this](QPainter& painter) {
        if (!m_magnified.isNull()) painter.drawPixmap(0, 0, m_magnified);
        drawEyedropper(painter, 58, 41);
    };
    auto* colourFrame = makeFrame(body, "SPpnlPickerColorFrame", {124, 2, 56, 83}, QPalette::Dark);
    SPlblPickerCaption = new PanelLabel(colourFrame, "SPlblPickerCaption", {1, 1, 54, 14});
    SPlblPickerCaption->setAlignment(Qt::AlignCenter);
    SPlblPickerCaption->setAutoFillBackground(true);
    QPalette lp = SPlblPickerCaption->palette();
    lp.setColor(QPalette::Window, Qt::white);
    SPlblPickerCaption->setPalette(lp);
    SPpnlPickerColor = new PanelBox(colourFrame, "SPpnlPickerColor", {1, 15, 54, 67});
    SPpnlPickerColor->setMouseTracking(true);

    SPpnlPickerColor->onClick = [this] { SPpnlPickerColorClick(); };
    SPlblPickerCaption->onClick = [this] { SPlblPickerCaptionClick(); };
    SPpnlPickerColor->onMouseMove = [this](QMouseEvent*) { SPpnlPickerColorMouseMove(); };
    SPlblPickerCaption->onMouseMove = [this](QMouseEvent*) { SPlblPickerCaptionMouseMove(); };
    hide();
}

void ScreenPickerPanel::sample(QPoint globalPos, bool showCode) {
    QScreen* screen = QGuiApplication::screenAt(globalPos);
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QPoint at = globalPos - screen->geometry().topLeft();
    const QImage pixel = screen->grabWindow(0, at.x(), at.y(), 1, 1).toImage();
    if (!pixel.isNull()) {
        const TColor c = fromQColor(pixel.pixelColor(0, 0));
        SPpnlPickerColor->setColor(c);
        if (showCode) SPlblPickerCaption->setText(QString::fromStdString(ColorToHexCode(c).str()));
    }
    // 18 x 13 screen pixels around the pointer, about six times larger. Near the screen's edge
    // the rectangle reaches past it; that part stays black and the rest keeps its place.
    const int w = magnifierWidth / 6, h = magnifierHeight / 6;
    const QRect wanted(at.x() - magnifierWidth / 12, at.y() - magnifierHeight / 12, w, h);
    const QRect onScreen = wanted & QRect(QPoint(0, 0), screen->geometry().size());
    QPixmap magnified(magnifierWidth, magnifierHeight);
    magnified.fill(Qt::black);
    if (!onScreen.isEmpty()) {
        const QPixmap area = screen->grabWindow(0, onScreen.x(), onScreen.y(), onScreen.width(), onScreen.height());
        const double sx = double(magnifierWidth) / w, sy = double(magnifierHeight) / h;
        QPainter p(&magnified);
        p.drawPixmap(QRectF((onScreen.x() - wanted.x()) * sx, (onScreen.y() - wanted.y()) * sy,
                            onScreen.width() * sx, onScreen.height() * sy),
                     area, QRectF(area.rect()));
    }
    m_magnified = magnified;
    SPimgMagnifier->update();
}

void ScreenPickerPanel::SPpnlPickerColorClick() {
    if (showSwatchCard) showSwatchCard();
    m_pallet.pick(SPpnlPickerColor->color());
}

void ScreenPickerPanel::SPpnlPickerColorMouseMove() {
    if (!SPlblPickerCaption->text().isEmpty()) SPpnlPickerColor->setCursor(cursorFor(crEyedropper));
}

} // namespace hw
