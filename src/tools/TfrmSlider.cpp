#include "tools/TfrmSlider.h"

#include "colour/ColorCodes.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

namespace hw {

namespace {

/// A marker of five columns pointing at its strip: the tip column covers one row, each column
/// further away two rows more (nine at the base).
void drawSlideMarker(QPainter& p, int y, bool pointingRight) {
    p.setPen(Qt::black);
    for (int step = 0; step < 5; ++step) {
        const int column = pointingRight ? 5 - step : 1 + step;
        p.drawLine(column, y - step, column, y + step);
    }
}

} // namespace

TfrmSlider::TfrmSlider(PaletteState& state, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool), m_state(state) {
    setObjectName(QStringLiteral("frmSlider"));
    setFixedSize(81, 115);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    setPalette(pal);

    auto* outline = makeFrame(this, "pnlSliderOutline", {0, 0, 38, 115}, QPalette::Dark);
    auto* container = makeFrame(outline, "pnlSliderContainer", {1, 1, 36, 113}, QPalette::Button);
    auto* sat = new QLabel(QStringLiteral("S"), container);
    sat->setObjectName(QStringLiteral("lblSat"));
    sat->setGeometry(5, 0, 8, 11);
    auto* lum = new QLabel(QStringLiteral("L"), container);
    lum->setObjectName(QStringLiteral("Label2"));
    lum->setGeometry(24, 0, 8, 11);

    const TColor face = fromQColor(pal.color(QPalette::Button));
    pbxSatSlide = new PanelBox(container, "pbxSatSlide", {1, 11, 6, 100}, face);
    pbxSatPalette = new PanelBox(container, "pbxSatPalette", {8, 11, 9, 100});
    pbxLumPalette = new PanelBox(container, "pbxLumPalette", {19, 11, 9, 100});
    pbxLumSlide = new PanelBox(container, "pbxLumSlide", {28, 11, 6, 100}, face);
    pbxSatPalette->onPaint = [this](QPainter& p) { pbxSatPalettePaint(p); };
    pbxLumPalette->onPaint = [this](QPainter& p) { pbxLumPalettePaint(p); };
    pbxSatSlide->onPaint = [this](QPainter& p) { pbxSatSlidePaint(p); };
    pbxLumSlide->onPaint = [this](QPainter& p) { pbxLumSlidePaint(p); };
    // A press anywhere on a strip or its slide sets the value there, and the drag goes on from it.
    for (PanelBox* box : {pbxSatSlide, pbxSatPalette}) {
        box->onMouseDown = [this, box](QMouseEvent* e) { adjust(box, e, true); };
        box->onMouseMove = [this, box](QMouseEvent* e) { adjust(box, e, true); };
    }
    for (PanelBox* box : {pbxLumSlide, pbxLumPalette}) {
        box->onMouseDown = [this, box](QMouseEvent* e) { adjust(box, e, false); };
        box->onMouseMove = [this, box](QMouseEvent* e) { adjust(box, e, false); };
    }
    pbxSatSlide->onMouseUp = [this](QMouseEvent* e) { pbxSatSlideMouseUp(e); };
    pbxLumSlide->onMouseUp = [this](QMouseEvent* e) { pbxLumSlideMouseUp(e); };
    // Only the strips are drawn: the rest of the window lets the card's slots show through.
    setMask(QRegion(outline->geometry()));
    hide();
}

void TfrmSlider::open(PanelBox* target, QPoint screenPos) {
    m_targetPanel = target;
    sliderFromTarget();
    move(screenPos);
    show();
    raise();
    activateWindow();
    setFocus();
    update();
}

void TfrmSlider::sliderFromTarget() {
    if (!m_targetPanel) return;
    const TColor c = m_targetPanel->color();
    const Hsl hsl = RgbToHsl(redOf(c), greenOf(c), blueOf(c));
    m_state.sliderHue = hsl.hue;
    m_state.sliderSat = hsl.sat;
    m_state.sliderLum = hsl.lum;
}

void TfrmSlider::pbxSatPalettePaint(QPainter& p) {
    sliderFromTarget();
    for (int y = 0; y < 100; ++y) {
        p.setPen(toQColor(HslToColor(m_state.sliderHue, y, m_state.sliderLum)));
        p.drawLine(0, y, 10, y);
    }
}

void TfrmSlider::pbxLumPalettePaint(QPainter& p) {
    sliderFromTarget();
    // A fixed saturation of 50, as the palette panel's luminance strip.
    for (int y = 0; y < 100; ++y) {
        p.setPen(toQColor(HslToColor(m_state.sliderHue, 50, y)));
        p.drawLine(0, y, 10, y);
    }
}

// The slide is repainted whole, so erasing the previous marker is the background fill.
void TfrmSlider::pbxSatSlidePaint(QPainter& p) {
    drawSlideMarker(p, m_state.sliderSat, true);
    prevSlideSatMarker = m_state.sliderSat;
}

void TfrmSlider::pbxLumSlidePaint(QPainter& p) {
    drawSlideMarker(p, m_state.sliderLum, false);
    prevSlideLumMarker = m_state.sliderLum;
}

void TfrmSlider::pbxSatSlideMouseMove(QMouseEvent* e) { adjust(pbxSatSlide, e, true); }

void TfrmSlider::pbxLumSlideMouseMove(QMouseEvent* e) { adjust(pbxLumSlide, e, false); }

void TfrmSlider::adjust(PanelBox* box, QMouseEvent* e, bool saturation) {
    if (!(e->buttons() & Qt::LeftButton) || !m_targetPanel) return;
    confinePointerTo(box, e->globalPosition().toPoint());
    const QPoint pos = e->position().toPoint();
    if (pos.x() < 0 || pos.x() > box->width() || pos.y() < 0 || pos.y() > 100) return;
    (saturation ? m_state.sliderSat : m_state.sliderLum) = pos.y();
    const TColor c = HslToColor(m_state.sliderHue, m_state.sliderSat, m_state.sliderLum);
    m_targetPanel->setColor(c);
    if (onTargetRecoloured) onTargetRecoloured(m_targetPanel, c);
    (saturation ? pbxSatSlide : pbxLumSlide)->update();
}

void TfrmSlider::hideEvent(QHideEvent* e) {
    // The card under the popup is drawn again at once, so no trace of the popup stays over a slot.
    if (m_targetPanel) {
        QWidget* under = m_targetPanel->window();
        under->update(QRect(under->mapFromGlobal(mapToGlobal(QPoint(0, 0))), size()));
    }
    QWidget::hideEvent(e);
}

bool TfrmSlider::event(QEvent* e) {
    if (e->type() == QEvent::WindowDeactivate) FormDeactivate();
    return QWidget::event(e);
}

} // namespace hw
