#pragma once

#include <QStyle>

class QToolButton;

#include "colour/TColor.h"

#include <QColor>
#include <QFrame>
#include <QLabel>

#include <functional>

class QMouseEvent;
class QPainter;

namespace hw {

/// TColor keeps red in the low byte; QColor wants the channels by name.
inline QColor toQColor(TColor c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }
inline TColor fromQColor(const QColor& c) { return rgbColor(c.red(), c.green(), c.blue()); }

/// A plain panel, paint box or image of the tool panels: its colour is a TColor, and its mouse
/// and paint events go to the owning panel's named handlers through the callbacks. A click is a
/// left press and release inside the control, as the toolkit's own buttons count it.
class PanelBox : public QFrame {
public:
    explicit PanelBox(QWidget* parent, const QString& name, QRect geometry, TColor color = clWhite);

    TColor color() const { return m_color; }
    void setColor(TColor color);
    /// A box that does not fill lets its parent show through (a marker strip over a caption).
    void setFilled(bool filled) { m_filled = filled; }
    /// Where the last press or release was, in the control's coordinates.
    QPoint lastPos() const { return m_lastPos; }

    std::function<void()> onClick;
    std::function<void(QMouseEvent*)> onMouseDown;
    std::function<void(QMouseEvent*)> onMouseMove;
    std::function<void(QMouseEvent*)> onMouseUp;
    /// Draws over the filled background.
    std::function<void(QPainter&)> onPaint;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    TColor m_color;
    bool m_pressed = false;
    QPoint m_lastPos;
    bool m_filled = true;
};

/// A caption label of the tool panels, with click and mouse-move callbacks.
class PanelLabel : public QLabel {
public:
    PanelLabel(QWidget* parent, const QString& name, QRect geometry, const QString& text = QString());

    std::function<void()> onClick;
    std::function<void(QMouseEvent*)> onMouseDown;
    std::function<void(QMouseEvent*)> onMouseMove;
    std::function<void(QMouseEvent*)> onMouseUp;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    bool m_pressed = false;
};

/// A framed child of fixed geometry filled with a colour role of the palette.
QFrame* makeFrame(QWidget* parent, const QString& name, QRect geometry, QPalette::ColorRole fill);
/// A caption strip: centred text on the button face, as the tool panels' headers are.
QLabel* makeHeaderStrip(QWidget* parent, const QString& name, QRect geometry, const QString& caption);
/// Sets the tooltip and the status-bar hint of a control.
void setPanelHint(QWidget* control, const QString& hint);
/// One of the panels' small flat tool buttons (18 x 15 at `x`), disabled until a rule enables it.
QToolButton* makePanelToolButton(QWidget* bar, const QString& name, int x, const QString& hint,
                                 QStyle::StandardPixmap icon);
/// Keeps the pointer inside `control` while a slide is dragged (the confinement ends with the
/// button: the next move after the release is not clamped).
void confinePointerTo(QWidget* control, QPoint globalPos);

} // namespace hw
