#include "widgets/PanelControls.h"

#include <QToolButton>

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>

namespace hw {

PanelBox::PanelBox(QWidget* parent, const QString& name, QRect geometry, TColor color)
    : QFrame(parent), m_color(color) {
    setObjectName(name);
    setGeometry(geometry);
}

void PanelBox::setColor(TColor color) {
    if (m_color == color) return;
    m_color = color;
    update();
}

void PanelBox::paintEvent(QPaintEvent* e) {
    {
        QPainter p(this);
        if (m_filled) p.fillRect(rect(), toQColor(m_color));
        if (onPaint) onPaint(p);
    }
    QFrame::paintEvent(e);
}

void PanelBox::mousePressEvent(QMouseEvent* e) {
    m_lastPos = e->position().toPoint();
    m_pressed = e->button() == Qt::LeftButton;
    if (onMouseDown) onMouseDown(e);
}

void PanelBox::mouseMoveEvent(QMouseEvent* e) {
    if (onMouseMove) onMouseMove(e);
}

void PanelBox::mouseReleaseEvent(QMouseEvent* e) {
    m_lastPos = e->position().toPoint();
    const bool click = m_pressed && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    m_pressed = false;
    if (onMouseUp) onMouseUp(e);
    if (click && onClick) onClick();
}

PanelLabel::PanelLabel(QWidget* parent, const QString& name, QRect geometry, const QString& text)
    : QLabel(text, parent) {
    setObjectName(name);
    setGeometry(geometry);
    setMouseTracking(true);
}

void PanelLabel::mousePressEvent(QMouseEvent* e) {
    m_pressed = e->button() == Qt::LeftButton;
    if (onMouseDown) onMouseDown(e);
}

void PanelLabel::mouseMoveEvent(QMouseEvent* e) {
    if (onMouseMove) onMouseMove(e);
}

void PanelLabel::mouseReleaseEvent(QMouseEvent* e) {
    const bool click = m_pressed && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    m_pressed = false;
    if (onMouseUp) onMouseUp(e);
    if (click && onClick) onClick();
}

QFrame* makeFrame(QWidget* parent, const QString& name, QRect geometry, QPalette::ColorRole fill) {
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    f->setGeometry(geometry);
    f->setAutoFillBackground(true);
    QPalette p = f->palette();
    p.setColor(QPalette::Window, p.color(fill));
    f->setPalette(p);
    return f;
}

QLabel* makeHeaderStrip(QWidget* parent, const QString& name, QRect geometry, const QString& caption) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignCenter);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, p.color(QPalette::Button));
    l->setPalette(p);
    // The strips are 15 pixels high and the palette's hue marker takes the bottom four.
    QFont f = l->font();
    f.setPixelSize(10);
    l->setFont(f);
    return l;
}

void setPanelHint(QWidget* control, const QString& hint) {
    control->setToolTip(hint);
    control->setStatusTip(hint);
}

void confinePointerTo(QWidget* control, QPoint globalPos) {
    const QRect r(control->mapToGlobal(QPoint(0, 0)), control->size());
    const QPoint clamped(std::clamp(globalPos.x(), r.left(), r.right()), std::clamp(globalPos.y(), r.top(), r.bottom()));
    if (clamped != globalPos) QCursor::setPos(clamped);
}

} // namespace hw

namespace hw {

QToolButton* makePanelToolButton(QWidget* bar, const QString& name, int x, const QString& hint,
                                 QStyle::StandardPixmap icon) {
    auto* b = new QToolButton(bar);
    b->setObjectName(name);
    b->setAutoRaise(true);
    b->setGeometry(x, 0, 18, 15);
    b->setIconSize(QSize(12, 12));
    b->setIcon(bar->style()->standardIcon(icon));
    setPanelHint(b, hint);
    b->setEnabled(false);
    return b;
}

} // namespace hw
