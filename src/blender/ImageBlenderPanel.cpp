#include "blender/ImageBlenderPanel.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QToolButton>

namespace hw {

namespace {

constexpr int magnifierWidth = 113;
constexpr int magnifierHeight = 81;

QString hexCodeOf(TColor c) {
    return QStringLiteral("%1%2%3")
        .arg(redOf(c), 2, 16, QChar('0'))
        .arg(greenOf(c), 2, 16, QChar('0'))
        .arg(blueOf(c), 2, 16, QChar('0'))
        .toUpper();
}

void fill(QFrame* panel, TColor c) {
    panel->setStyleSheet(QStringLiteral("QFrame { background-color: #%1; border: 1px solid black; }").arg(hexCodeOf(c)));
}

QScreen* screenAt(const QPoint& globalPos) {
    QScreen* screen = QGuiApplication::screenAt(globalPos);
    return screen ? screen : QGuiApplication::primaryScreen();
}

/// A copy of the screen rectangle at `rect` (global pixels); parts off the screen stay black.
QPixmap grabScreen(const QRect& rect) {
    QScreen* screen = screenAt(rect.center());
    if (!screen) return {};
    const QRect local = rect.translated(-screen->geometry().topLeft());
    return screen->grabWindow(0, local.x(), local.y(), local.width(), local.height());
}

QPixmap targetOverlay() {
    QPixmap target(magnifierWidth, magnifierHeight);
    target.fill(Qt::transparent);
    QPainter p(&target);
    p.setPen(QPen(Qt::black, 1));
    const int cx = magnifierWidth / 2, cy = magnifierHeight / 2;
    p.drawRect(cx - 3, cy - 3, 6, 6);
    p.drawLine(cx, 0, cx, cy - 6);
    p.drawLine(cx, cy + 6, cx, magnifierHeight);
    p.drawLine(0, cy, cx - 6, cy);
    p.drawLine(cx + 6, cy, magnifierWidth, cy);
    return target;
}

} // namespace

ImageBlenderPanel::ImageBlenderPanel(QWidget* parent) : QFrame(parent) {
    setObjectName("IBpnlOutline");
    setFixedSize(186, 104);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Shadow));
    setPalette(pal);

    m_IBpnlHeaderStrip = new QFrame(this);
    m_IBpnlHeaderStrip->setObjectName("IBpnlHeaderStrip");
    m_IBpnlHeaderStrip->setGeometry(2, 2, 182, 18);
    m_IBpnlHeaderStrip->setAutoFillBackground(true);
    auto* caption = new QLabel(QStringLiteral("Image Blender"), m_IBpnlHeaderStrip);
    caption->setGeometry(4, 0, 140, 18);
    m_IBtbnRepaint = new QToolButton(m_IBpnlHeaderStrip);
    m_IBtbnRepaint->setObjectName("IBtbnRepaint");
    m_IBtbnRepaint->setToolTip(QStringLiteral("Drag to an Image Color to Repaint"));
    m_IBtbnRepaint->setText(QStringLiteral("\u2192"));
    m_IBtbnRepaint->setGeometry(162, 0, 18, 18);
    m_IBtbnRepaint->installEventFilter(this);

    m_IBpnlBlenderScreen = new QFrame(this);
    m_IBpnlBlenderScreen->setObjectName("IBpnlBlenderScreen");
    m_IBpnlBlenderScreen->setGeometry(4, 21, magnifierWidth, magnifierHeight);
    m_IBimgMagnifier = new QLabel(m_IBpnlBlenderScreen);
    m_IBimgMagnifier->setObjectName("IBimgMagnifier");
    m_IBimgMagnifier->setGeometry(0, 0, magnifierWidth, magnifierHeight);
    m_IBimgTarget = new QLabel(m_IBpnlBlenderScreen);
    m_IBimgTarget->setObjectName("IBimgTarget");
    m_IBimgTarget->setGeometry(0, 0, magnifierWidth, magnifierHeight);
    m_IBimgTarget->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_IBimgTarget->setPixmap(targetOverlay());

    m_IBlblOldColorCaption = new QLabel(this);
    m_IBlblOldColorCaption->setObjectName("IBlblOldColorCaption");
    m_IBlblOldColorCaption->setGeometry(124, 22, 54, 14);
    m_IBpnlOldColor = new QFrame(this);
    m_IBpnlOldColor->setObjectName("IBpnlOldColor");
    m_IBpnlOldColor->setGeometry(124, 36, 54, 23);
    m_IBpnlOldColor->installEventFilter(this);
    m_IBpnlOldColor->setMouseTracking(true);
    fill(m_IBpnlOldColor, m_oldColour);

    m_IBlblNewColorCaption = new QLabel(this);
    m_IBlblNewColorCaption->setObjectName("IBlblNewColorCaption");
    m_IBlblNewColorCaption->setGeometry(124, 62, 54, 14);
    m_IBpnlNewColor = new QFrame(this);
    m_IBpnlNewColor->setObjectName("IBpnlNewColor");
    m_IBpnlNewColor->setToolTip(QStringLiteral("New Image Color"));
    m_IBpnlNewColor->setGeometry(124, 76, 54, 23);
    m_IBpnlNewColor->installEventFilter(this);
    m_IBpnlNewColor->setMouseTracking(true);
    fill(m_IBpnlNewColor, m_newColour);

    m_notify = [this](const QString& text) { QMessageBox::information(this, QStringLiteral("Huewright"), text); };
    hide();
}

QString ImageBlenderPanel::oldHexCode() const { return m_IBlblOldColorCaption->text(); }
QString ImageBlenderPanel::newHexCode() const { return m_IBlblNewColorCaption->text(); }

void ImageBlenderPanel::takeNewColour(TColor colour, const QString& hexCode) {
    m_newColour = colour;
    fill(m_IBpnlNewColor, colour);
    m_IBlblNewColorCaption->setText(hexCode);
}

void ImageBlenderPanel::takeOldColour(TColor colour) {
    m_oldColour = colour;
    fill(m_IBpnlOldColor, colour);
    m_IBlblOldColorCaption->setText(hexCodeOf(colour));
}

void ImageBlenderPanel::setFillCursor(const QCursor& cursor) { m_fillCursor = cursor; }

void ImageBlenderPanel::setNotifier(std::function<void(const QString&)> notify) { m_notify = std::move(notify); }

void ImageBlenderPanel::pickAt(const QPoint& globalPos) {
    const QImage pixel = grabScreen(QRect(globalPos, QSize(1, 1))).toImage();
    if (!pixel.isNull()) {
        const QColor c = pixel.pixelColor(0, 0);
        m_oldColour = rgbColor(c.red(), c.green(), c.blue());
        fill(m_IBpnlOldColor, m_oldColour);
        m_IBlblOldColorCaption->setText(hexCodeOf(m_oldColour));
    }
    // A sixth of the magnifier in each direction (18 x 13 screen pixels) starting a twelfth of
    // it (9, 6) left of and above the pointer, stretched over the whole magnifier.
    const QRect patch(globalPos.x() - magnifierWidth / 12, globalPos.y() - magnifierHeight / 12, magnifierWidth / 6,
                      magnifierHeight / 6);
    const QPixmap copy = grabScreen(patch);
    if (!copy.isNull())
        m_IBimgMagnifier->setPixmap(
            copy.scaled(magnifierWidth, magnifierHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation));
}

void ImageBlenderPanel::IBpnlNewColorClick() { emit newColourWanted(); }

bool ImageBlenderPanel::IBtbnRepaintMouseDown(const QPoint& globalPos) {
    if (m_IBlblNewColorCaption->text().isEmpty()) {
        m_notify(QStringLiteral("Please add a new image color to the lower panel."));
        return false;
    }
    pickAt(globalPos);
    return true;
}

void ImageBlenderPanel::IBtbnRepaintMouseMove(const QPoint& globalPos) { pickAt(globalPos); }

void ImageBlenderPanel::IBtbnRepaintMouseUp(const QPoint& globalPos) { emit dropped(globalPos); }

bool ImageBlenderPanel::eventFilter(QObject* watched, QEvent* event) {
    const auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (watched == m_IBtbnRepaint && mouse) {
        const QPoint at = mouse->globalPosition().toPoint();
        if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
            m_dragging = IBtbnRepaintMouseDown(at);
            return true;
        }
        if (event->type() == QEvent::MouseMove && m_dragging && (mouse->buttons() & Qt::LeftButton)) {
            IBtbnRepaintMouseMove(at);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
            // A press refused for want of a new colour ends no drag.
            const bool wasDragging = m_dragging;
            m_dragging = false;
            if (wasDragging) IBtbnRepaintMouseUp(at);
            return true;
        }
    }
    if (watched == m_IBpnlNewColor && mouse) {
        if (event->type() == QEvent::MouseMove)
            m_IBpnlNewColor->setCursor(m_IBlblNewColorCaption->text().isEmpty() ? QCursor() : m_fillCursor);
        if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) IBpnlNewColorClick();
    }
    if (watched == m_IBpnlOldColor && mouse && event->type() == QEvent::MouseMove)
        m_IBpnlOldColor->setCursor(m_IBlblOldColorCaption->text().isEmpty() ? QCursor() : QCursor(Qt::ForbiddenCursor));
    return QFrame::eventFilter(watched, event);
}

} // namespace hw
