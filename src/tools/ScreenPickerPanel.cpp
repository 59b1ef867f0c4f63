#include "tools/ScreenPickerPanel.h"

#include "colour/ColorCodes.h"
#include "widgets/Cursors.h"
#include "widgets/Magnifier.h"

namespace hw {

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
    auto* screen = makeFrame(screenFrame, "SPpnlPickerScreen",
                             {1, 1, Magnifier::viewWidth, Magnifier::viewHeight}, QPalette::Base);
    SPimgMagnifier = new Magnifier(screen, "SPimgMagnifier", Magnifier::eyedropperMark());
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
    if (const auto c = screenPixelAt(globalPos)) {
        SPpnlPickerColor->setColor(*c);
        if (showCode) SPlblPickerCaption->setText(QString::fromStdString(ColorToHexCode(*c).str()));
    }
    SPimgMagnifier->magnify(globalPos);
}

void ScreenPickerPanel::SPpnlPickerColorClick() {
    if (showSwatchCard) showSwatchCard();
    m_pallet.pick(SPpnlPickerColor->color());
}

void ScreenPickerPanel::SPpnlPickerColorMouseMove() {
    if (!SPlblPickerCaption->text().isEmpty()) SPpnlPickerColor->setCursor(cursorFor(crEyedropper));
}

} // namespace hw
