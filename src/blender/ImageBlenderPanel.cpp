#include "blender/ImageBlenderPanel.h"

#include "colour/ColorCodes.h"
#include "widgets/Magnifier.h"

#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QToolButton>

namespace hw {

namespace {

QString hexCodeOf(TColor c) { return QString::fromStdString(ColorToHexCode(c).str()); }

void fill(QFrame* panel, TColor c) {
    panel->setStyleSheet(QStringLiteral("QFrame { background-color: #%1; border: 1px solid black; }").arg(hexCodeOf(c)));
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
    m_IBpnlBlenderScreen->setGeometry(4, 21, Magnifier::viewWidth, Magnifier::viewHeight);
    m_IBimgMagnifier = new Magnifier(m_IBpnlBlenderScreen, "IBimgMagnifier", Magnifier::targetMark(), "IBimgTarget");

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
    if (const auto c = screenPixelAt(globalPos)) takeOldColour(*c);
    m_IBimgMagnifier->magnify(globalPos);
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
