#include "tools/SuggestedSchemesPanel.h"

#include "colour/SwatchBookJs.h"
#include "widgets/Cursors.h"
#include "tools/SuggestSchemes.h"

#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

namespace hw {

SuggestedSchemesPanel::SuggestedSchemesPanel(QWidget* parent, Pallet& pallet, const PaletteState& state)
    : QFrame(parent), m_pallet(pallet), m_state(state) {
    setObjectName(QStringLiteral("SSpnlOutline"));
    setFixedSize(143, 63);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, p.color(QPalette::Dark));
    setPalette(p);

    makeHeaderStrip(this, "SSpnlHeaderStrip", {1, 1, 141, 15}, QStringLiteral("Suggested Color Schemes"));
    auto* body = makeFrame(this, "SSpnlSchemesBacking", {1, 16, 141, 46}, QPalette::Button);
    auto* outline = makeFrame(body, "SSpnlScrollboxOutline", {4, 0, 133, 42}, QPalette::Dark);
    auto* scroll = new QScrollArea(outline);
    scroll->setObjectName(QStringLiteral("SSScrollBox1"));
    scroll->setGeometry(1, 1, 131, 40);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* sheet = new QWidget;
    sheet->setAutoFillBackground(true);
    QPalette sp = sheet->palette();
    sp.setColor(QPalette::Window, Qt::white);
    sheet->setPalette(sp);
    sheet->setFixedSize(115, 148);
    const int lefts[3] = {4, 41, 78};
    const int tops[4] = {4, 4 + kSchemeRowPitch, 4 + 2 * kSchemeRowPitch, 4 + 3 * kSchemeRowPitch};
    for (int s = 1; s <= 4; ++s)
        for (int c = 1; c <= 3; ++c) {
            const QString name = QStringLiteral("SSpnlColor%1Scheme%2").arg(c).arg(s);
            auto* frame = makeFrame(sheet, name + "Outline", {lefts[c - 1], tops[s - 1], 33, 32}, QPalette::Shadow);
            QPalette fp = frame->palette();
            fp.setColor(QPalette::Window, Qt::black);
            frame->setPalette(fp);
            auto* box = new PanelBox(frame, name, {1, 1, 31, 30});
            box->setMouseTracking(true);
            box->onClick = [this, c, s] { SSpnlColorSchemeClick(c, s); };
            box->onMouseMove = [this, c, s](QMouseEvent*) { SSpnlColorSchemeMouseMove(c, s); };
            m_colors[s - 1][c - 1] = box;
        }
    scroll->setWidget(sheet);
    // The schemes scroll a whole row at a time: the arrows step one row, the wheel one row a
    // notch, and a dragged thumb settles on the nearest row.
    QScrollBar* bar = scroll->verticalScrollBar();
    bar->setSingleStep(kSchemeRowPitch);
    bar->setPageStep(kSchemeRowPitch);
    connect(bar, &QScrollBar::valueChanged, this, [bar](int value) {
        const int row = (value + kSchemeRowPitch / 2) / kSchemeRowPitch;
        bar->setValue(std::min(row * kSchemeRowPitch, bar->maximum()));
    });
    scroll->viewport()->installEventFilter(this);
    SSScrollBox1 = scroll;
    hide();
}

bool SuggestedSchemesPanel::eventFilter(QObject* watched, QEvent* event) {
    if (SSScrollBox1 && watched == SSScrollBox1->viewport() && event->type() == QEvent::Wheel) {
        m_wheelTurn += static_cast<QWheelEvent*>(event)->angleDelta().y();
        const int notches = m_wheelTurn / QWheelEvent::DefaultDeltasPerStep;
        m_wheelTurn -= notches * QWheelEvent::DefaultDeltasPerStep;
        QScrollBar* bar = SSScrollBox1->verticalScrollBar();
        bar->setValue(bar->value() - notches * kSchemeRowPitch);
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void SuggestedSchemesPanel::SuggestSchemes(TColor swatch) {
    const auto schemes = hw::SuggestSchemes(m_state.hue, m_state.sat, m_state.lum, swatch);
    for (int s = 0; s < 4; ++s)
        for (int c = 0; c < 3; ++c) m_colors[s][c]->setColor(schemes[s][c]);
}

void SuggestedSchemesPanel::SSpnlColorSchemeClick(int c, int s) {
    if (showSwatchCard) showSwatchCard();
    paintWithSuggestedColour(m_pallet, SSpnlColor(c, s)->color());
}

void SuggestedSchemesPanel::SSpnlColorSchemeMouseMove(int c, int s) {
    SSpnlColor(c, s)->setCursor(cursorFor(crEyedropper));
}

} // namespace hw
