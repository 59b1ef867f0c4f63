#include "tools/ColorPalettePanel.h"

#include "colour/ColorCodes.h"
#include "widgets/Cursors.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

namespace hw {

namespace {

QLineEdit* makeEdit(QWidget* parent, const QString& name, QRect geometry, int maxLength, const QString& label) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setGeometry(geometry);
    e->setMaxLength(maxLength);
    e->setFrame(false);
    e->setTextMargins(0, 0, 0, 0);
    // Three digits must fit the 22-pixel boxes.
    QFont f = e->font();
    f.setPixelSize(10);
    e->setFont(f);
    auto* l = new QLabel(label, parent);
    l->setGeometry(geometry.x() - 11, geometry.y(), 9, geometry.height());
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return e;
}

void setNumber(QLineEdit* e, int value) { e->setText(QString::number(value)); }

} // namespace

ColorPalettePanel::ColorPalettePanel(QWidget* parent, Screen& screen, Pallet& pallet, PaletteState& state)
    : QFrame(parent), m_screen(screen), m_pallet(pallet), m_state(state), m_picture(160, 40, QImage::Format_RGB32) {
    setObjectName(QStringLiteral("CPpnlOutline"));
    setFixedSize(186, 104);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, p.color(QPalette::Dark));
    setPalette(p);
    const TColor face = fromQColor(p.color(QPalette::Button));

    // Hue across (0-360 degrees over 160 pixels), saturation down (0-100 % over 40), at L 58.
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 160; ++x) m_picture.setPixelColor(x, y, toQColor(HslToColor(x * 2.25, y * 2.5, 58)));

    // The strip holds the caption on top and the hue marker in its last four rows, right above
    // the picture; the caption's font is as large as the rows above the marker allow.
    auto* header = makeHeaderStrip(this, "CPpnlHeaderStrip", {1, 1, 184, 15}, QString());
    const int markerTop = header->height() - kHueMarkerRows;
    CPlblCaption = new QLabel(QStringLiteral("Color Palette"), header);
    CPlblCaption->setObjectName(QStringLiteral("CPlblCaption"));
    CPlblCaption->setGeometry(0, 0, 166, markerTop);
    CPlblCaption->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    CPlblCaption->setIndent(6);
    QFont captionFont = header->font();
    while (captionFont.pixelSize() > 6 && QFontMetrics(captionFont).height() > markerTop)
        captionFont.setPixelSize(captionFont.pixelSize() - 1);
    CPlblCaption->setFont(captionFont);
    CPpbxHueSlider = new PanelBox(header, "CPpbxHueSlider", {4, markerTop, 162, kHueMarkerRows}, face);
    CPpbxHueSlider->setFilled(false);
    CPtbnSuggestColors = new QToolButton(header);
    CPtbnSuggestColors->setObjectName(QStringLiteral("CPtbnSuggestColors"));
    CPtbnSuggestColors->setGeometry(166, 0, 18, 15);
    CPtbnSuggestColors->setAutoRaise(true);
    CPtbnSuggestColors->setText(QStringLiteral("..."));
    setPanelHint(CPtbnSuggestColors, QStringLiteral("Suggest Color Schemes"));

    auto* body = makeFrame(this, "CPpnlPaletteBacking", {1, 16, 184, 87}, QPalette::Button);
    CPpbxSatSlider = new PanelBox(body, "CPpbxSatSlider", {0, 0, 5, 42}, face);
    auto* pictureFrame = makeFrame(body, "CPpnlPaletteFrame", {4, 0, 162, 42}, QPalette::Dark);
    CPimgPalette = new PanelBox(pictureFrame, "CPimgPalette", {1, 1, 160, 40});
    auto* lumFrame = makeFrame(body, "CPpnlLumFrame", {170, 0, 10, 42}, QPalette::Dark);
    CPpbxLumPalette = new PanelBox(lumFrame, "CPpbxLumPalette", {1, 1, 8, 40});
    CPpbxLumSlider = new PanelBox(body, "CPpbxLumSlider", {178, 0, 5, 42}, face);
    auto* swatchFrame = makeFrame(body, "CPpnlSwatchFrame", {4, 46, 37, 37}, QPalette::Dark);
    CPpnlSwatch = new PanelBox(swatchFrame, "CPpnlSwatch", {1, 1, 35, 35});
    CPpnlSwatch->setMouseTracking(true);

    CPeditHex = makeEdit(body, "CPeditHex", {54, 58, 48, 15}, 6, QStringLiteral("#"));
    CPeditHue = makeEdit(body, "CPeditHue", {120, 44, 22, 13}, 3, QStringLiteral("H"));
    CPeditSat = makeEdit(body, "CPeditSat", {120, 58, 22, 13}, 3, QStringLiteral("S"));
    CPeditLum = makeEdit(body, "CPeditLum", {120, 72, 22, 13}, 3, QStringLiteral("L"));
    CPeditRed = makeEdit(body, "CPeditRed", {158, 44, 22, 13}, 3, QStringLiteral("R"));
    CPeditGreen = makeEdit(body, "CPeditGreen", {158, 58, 22, 13}, 3, QStringLiteral("G"));
    CPeditBlue = makeEdit(body, "CPeditBlue", {158, 72, 22, 13}, 3, QStringLiteral("B"));
    for (auto* shown : {CPeditHue, CPeditSat, CPeditLum}) {
        // They only show the values: typing in them changes nothing.
        shown->setFocusPolicy(Qt::ClickFocus);
        shown->setReadOnly(true);
    }
    for (auto* entry : {CPeditHex, CPeditRed, CPeditGreen, CPeditBlue}) entry->installEventFilter(this);

    CPimgPalette->onPaint = [this](QPainter& painter) { painter.drawImage(0, 0, m_picture); };
    CPimgPalette->onClick = [this] { CPimgPaletteClick(); };
    CPimgPalette->onMouseMove = [this](QMouseEvent* e) { CPimgPaletteMouseMove(e); };
    CPpbxLumPalette->onPaint = [this](QPainter& painter) { PaintLumStrip(painter); };
    CPpbxLumPalette->onClick = [this] { CPpbxLumPaletteClick(); };
    CPpbxLumPalette->onMouseMove = [this](QMouseEvent* e) { CPpbxLumPaletteMouseMove(e); };
    CPpbxHueSlider->onPaint = [this](QPainter& painter) { paintHueSlider(painter); };
    CPpbxSatSlider->onPaint = [this](QPainter& painter) { paintSatSlider(painter); };
    CPpbxLumSlider->onPaint = [this](QPainter& painter) { paintLumSlider(painter); };
    CPpbxHueSlider->onMouseMove = [this](QMouseEvent* e) { CPpbxHueSliderMouseMove(e); };
    CPpbxSatSlider->onMouseMove = [this](QMouseEvent* e) { CPpbxSatSliderMouseMove(e); };
    CPpbxLumSlider->onMouseMove = [this](QMouseEvent* e) { CPpbxLumSliderMouseMove(e); };
    // The confinement is a clamp on every move while the button is held, so a release ends it.
    CPpnlSwatch->onClick = [this] { CPpnlSwatchClick(); };
    CPpnlSwatch->onMouseMove = [this](QMouseEvent*) { CPpnlSwatchMouseMove(); };
    connect(CPtbnSuggestColors, &QToolButton::clicked, this, [this] { CPtbnSuggestColorsClick(); });

    showDisplays();
    hide();
}

void ColorPalettePanel::showDisplays() {
    CPpnlSwatch->setColor(m_state.color);
    setNumber(CPeditHue, m_state.hue);
    setNumber(CPeditSat, m_state.sat);
    setNumber(CPeditLum, m_state.lum);
    setNumber(CPeditRed, m_state.red);
    setNumber(CPeditGreen, m_state.green);
    setNumber(CPeditBlue, m_state.blue);
    CPeditHex->setText(QString::fromStdString(m_state.hexCode.str()));
    hueMarker = static_cast<int>(m_state.hue * 0.444444445);
    satMarker = static_cast<int>(m_state.sat * 0.4);
    lumMarker = static_cast<int>(m_state.lum * 0.4);
}

void ColorPalettePanel::ShowPaletteState(Change change, bool hueChanged) {
    m_state.FromHsl();
    showDisplays();
    if (suggestSchemes) suggestSchemes();
    if (change == Change::HueSat) DrawHueSatMarkers();
    else DrawLumMarker();
    if (hueChanged) CPpbxLumPalette->update();
}

void ColorPalettePanel::refreshAfterEntry() {
    showDisplays();
    if (suggestSchemes) suggestSchemes();
    DrawHueSatMarkers();
    DrawLumMarker();
    CPpbxLumPalette->update();
}

void ColorPalettePanel::CPimgPaletteClick() {
    const QPoint pos = CPimgPalette->lastPos();
    m_state.hue = static_cast<int>(pos.x() * 2.25);
    m_state.sat = static_cast<int>(pos.y() * 2.5);
    ShowPaletteState(Change::HueSat, true);
}

void ColorPalettePanel::CPimgPaletteMouseMove(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) return;
    const QPoint pos = e->position().toPoint();
    if (pos.x() < 0 || pos.x() > 160 || pos.y() < 0 || pos.y() > 40) return;
    m_state.hue = static_cast<int>(pos.x() * 2.25);
    m_state.sat = static_cast<int>(pos.y() * 2.5);
    ShowPaletteState(Change::HueSat, true);
}

void ColorPalettePanel::CPpbxLumPaletteClick() {
    m_state.lum = static_cast<int>(CPpbxLumPalette->lastPos().y() * 2.5);
    ShowPaletteState(Change::Lum, false);
}

void ColorPalettePanel::CPpbxLumPaletteMouseMove(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) return;
    const QPoint pos = e->position().toPoint();
    if (pos.x() < 0 || pos.x() > 8 || pos.y() < 0 || pos.y() > 40) return;
    m_state.lum = static_cast<int>(pos.y() * 2.5);
    ShowPaletteState(Change::Lum, false);
}

void ColorPalettePanel::CPpbxHueSliderMouseMove(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) return;
    confinePointerTo(CPpbxHueSlider, e->globalPosition().toPoint());
    const QPoint pos = e->position().toPoint();
    if (pos.x() < 0 || pos.x() > 160 || pos.y() < 0 || pos.y() > kHueMarkerRows) return;
    m_state.hue = static_cast<int>(pos.x() * 2.25);
    ShowPaletteState(Change::HueSat, true);
}

void ColorPalettePanel::CPpbxSatSliderMouseMove(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) return;
    confinePointerTo(CPpbxSatSlider, e->globalPosition().toPoint());
    const QPoint pos = e->position().toPoint();
    if (pos.x() < 0 || pos.x() > 5 || pos.y() < 0 || pos.y() > 40) return;
    m_state.sat = static_cast<int>(pos.y() * 2.5);
    ShowPaletteState(Change::HueSat, false);
}

void ColorPalettePanel::CPpbxLumSliderMouseMove(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton)) return;
    confinePointerTo(CPpbxLumSlider, e->globalPosition().toPoint());
    const QPoint pos = e->position().toPoint();
    if (pos.x() < 0 || pos.x() > 5 || pos.y() < 0 || pos.y() > 40) return;
    m_state.lum = static_cast<int>(pos.y() * 2.5);
    ShowPaletteState(Change::Lum, false);
}

void ColorPalettePanel::CPeditHexKeyUp() {
    const QString text = CPeditHex->text();
    if (text.size() != 6) return;
    try {
        m_state.FromHex(AnsiString(text.toStdString()));
    } catch (const IntegerConversionError& e) {
        m_screen.notify(e.what());
        return;
    }
    refreshAfterEntry();
}

void ColorPalettePanel::channelKeyUp(QLineEdit* box, int& channel) {
    const QString text = box->text();
    if (text.isEmpty()) return;
    int value = 0;
    try {
        value = StrToInt(text.toStdString());
    } catch (const IntegerConversionError& e) {
        m_screen.notify(e.what());
        return;
    }
    // A channel is 0-255: above is held at 255 as the box shows; a negative value would give a
    // hex code and HSL of no colour at all, so it is held at 0 the same way.
    if (value > 255) {
        value = 255;
        box->setText(QStringLiteral("255"));
    } else if (value < 0) {
        value = 0;
        box->setText(QStringLiteral("0"));
    }
    channel = value;
    m_state.FromRgb();
    refreshAfterEntry();
}

void ColorPalettePanel::CPpnlSwatchClick() {
    if (showSwatchCard) showSwatchCard();
    m_pallet.pick(CPpnlSwatch->color());
    window()->setCursor(Qt::ForbiddenCursor);
}

void ColorPalettePanel::CPpnlSwatchMouseMove() { CPpnlSwatch->setCursor(cursorFor(crEyedropper)); }

void ColorPalettePanel::CPtbnSuggestColorsClick() {
    if (toggleSuggestedSchemes) toggleSuggestedSchemes();
    if (suggestSchemes) suggestSchemes();
}

// The strips repaint whole, so the marker at its previous place is erased by the background.
void ColorPalettePanel::DrawHueSatMarkers() {
    CPpbxHueSlider->update();
    CPpbxSatSlider->update();
}

void ColorPalettePanel::DrawLumMarker() { CPpbxLumSlider->update(); }

void ColorPalettePanel::PaintLumStrip(QPainter& p) {
    for (int i = 0; i < 40; ++i) {
        p.setPen(toQColor(HslToColor(m_state.hue, 50, i * 2.5)));
        p.drawLine(0, i, 8, i);
    }
}

void ColorPalettePanel::paintHueSlider(QPainter& p) {
    p.setPen(Qt::black);
    // Pointing down at the picture: the tip (the last row) is one pixel, each row above two wider.
    const int tip = kHueMarkerRows - 1;
    for (int row = 0; row <= tip; ++row) p.drawLine(hueMarker - (tip - row), row, hueMarker + (tip - row), row);
    prevHueMarker = hueMarker;
}

void ColorPalettePanel::paintSatSlider(QPainter& p) {
    p.setPen(Qt::black);
    for (int column = 1; column <= 4; ++column)
        p.drawLine(column, satMarker - (4 - column), column, satMarker + (4 - column));
    prevSatMarker = satMarker;
}

void ColorPalettePanel::paintLumSlider(QPainter& p) {
    p.setPen(Qt::black);
    for (int column = 1; column <= 4; ++column)
        p.drawLine(column, lumMarker - (column - 1), column, lumMarker + (column - 1));
    prevLumMarker = lumMarker;
}

bool ColorPalettePanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyRelease) {
        if (watched == CPeditHex) CPeditHexKeyUp();
        else if (watched == CPeditRed) CPeditRedKeyUp();
        else if (watched == CPeditGreen) CPeditGreenKeyUp();
        else if (watched == CPeditBlue) CPeditBlueKeyUp();
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace hw
