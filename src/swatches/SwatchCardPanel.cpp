#include "swatches/SwatchCardPanel.h"

#include "colour/ColorCodes.h"
#include "colour/SwatchBookJs.h"
#include "widgets/Cursors.h"
#include "tools/TfrmSlider.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMouseEvent>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>

namespace hw {

void reportRefusedCaption(QWidget* panel, const std::string& why) {
    auto* main = qobject_cast<QMainWindow*>(panel->window());
    if (!main) return;
    main->statusBar()->showMessage(QString::fromStdString(why) + QStringLiteral(" The painting colour stays as it was."),
                                   8000);
}

namespace {

QString qs(const AnsiString& t) { return QString::fromStdString(t.str()); }

QLabel* whiteCaption(PanelLabel* l) {
    l->setAlignment(Qt::AlignCenter);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, Qt::white);
    l->setPalette(p);
    return l;
}

} // namespace

SwatchCardPanel::SwatchCardPanel(QWidget* parent, Session& session, Pallet& pallet, TfrmSlider& slider)
    : QFrame(parent), m_session(session), m_pallet(pallet), m_slider(slider) {
    setObjectName(QStringLiteral("SCpnlOutline"));
    setFixedSize(186, 104);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, p.color(QPalette::Dark));
    setPalette(p);

    auto* bars = makeHeaderStrip(this, "SCpnlToolbarsContainer", {1, 1, 184, 15}, QStringLiteral("Swatch Card"));
    auto tool = [bars](const QString& name, const QString& hint, QStyle::StandardPixmap icon, int x) {
        return makePanelToolButton(bars, name, x, hint, icon);
    };
    SCtbnBin = tool("SCtbnBin", "Delete Card", QStyle::SP_TrashIcon, 1);
    SCtbnAddToBook = tool("SCtbnAddToBook", "Add to Swatch Book", QStyle::SP_ArrowDown, 165);
    connect(SCtbnBin, &QToolButton::clicked, this, [this] { SCtbnBinClick(); });
    connect(SCtbnAddToBook, &QToolButton::clicked, this, [this] { SCtbnAddToBookClick(); });

    auto* backing = makeFrame(this, "SCpnlBookBacking", {1, 16, 184, 87}, QPalette::Button);
    const int lefts[3] = {4, 64, 124};
    for (int i = 0; i < 3; ++i) {
        const int n = i + 1;
        const QString N = QString::number(n);
        m_cardOutline[i] = makeFrame(backing, "SCpnlCard" + N + "Outline", {lefts[i], 2, 56, 83}, QPalette::Dark);
        m_caption[i] = new PanelLabel(m_cardOutline[i], "SClblCaption" + N, {1, 1, 54, 14});
        whiteCaption(m_caption[i]);
        m_color[i] = new PanelBox(m_cardOutline[i], "SCpnlColor" + N, {1, 15, 54, 67});
        m_color[i]->setMouseTracking(true);
        m_swatchOutline[i] = makeFrame(m_color[i], "SCpnlSwatch" + N + "Outline", {0, 0, 24, 24}, QPalette::Dark);
        m_swatch[i] = new PanelBox(m_swatchOutline[i], "SCpnlSwatch" + N, {1, 1, 22, 22});
        m_swatch[i]->setMouseTracking(true);
        m_swatchOutline[i]->hide();

        m_color[i]->onClick = [this, n] { SCpnlColorNClick(n); };
        m_color[i]->onMouseDown = [this, n](QMouseEvent* e) { SCpnlColorNMouseDown(n, e); };
        m_color[i]->onMouseMove = [this, n](QMouseEvent*) { SCpnlColorNMouseMove(n); };
        m_caption[i]->onClick = [this, n] { SClblCaptionNClick(n); };
        m_caption[i]->onMouseMove = [this, n](QMouseEvent*) { SClblCaptionNMouseMove(n); };
        m_swatch[i]->onClick = [this, n] { SCpnlSwatchNClick(n); };
        m_swatch[i]->onMouseMove = [this, n](QMouseEvent*) { SCpnlSwatchNMouseMove(n); };
    }
    m_slider.onTargetRecoloured = [this](PanelBox* target, TColor c) { sliderRecoloured(target, c); };
    hide();
}

void SwatchCardPanel::SCpnlColorNClick(int n) {
    const int i = n - 1;
    m_color[i]->setColor(m_pallet.GetColor());
    m_caption[i]->setText(qs(m_pallet.GetHexCode()));
    m_swatch[i]->setColor(m_pallet.GetColor());
    m_swatchOutline[i]->show();
    if (!m_caption[i]->text().isEmpty()) {
        m_session.apply(Situation::CardSlotFilled);
    }
}

void SwatchCardPanel::SCpnlColorNMouseDown(int n, QMouseEvent* e) {
    const int i = n - 1;
    if (e->button() != Qt::RightButton || m_caption[i]->text().isEmpty()) return;
    // The card panel's own place (in the browser area) serves as the popup's screen position,
    // which puts the popup beside the slot while the main window is maximised.
    m_slider.open(m_color[i], QPoint(x() + m_cardOutline[i]->x() + 50, y() + 64));
}

void SwatchCardPanel::SCpnlColorNMouseMove(int n) {
    if (!m_pallet.GetHexCode().IsEmpty()) m_color[n - 1]->setCursor(cursorFor(crFill));
}

void SwatchCardPanel::SClblCaptionNClick(int n) {
    // An empty caption copies nothing, in every slot alike.
    const QString text = m_caption[n - 1]->text();
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

void SwatchCardPanel::SClblCaptionNMouseMove(int n) {
    if (!m_caption[n - 1]->text().isEmpty()) setPanelHint(m_caption[n - 1], QStringLiteral("Click to Copy"));
}

void SwatchCardPanel::SCpnlSwatchNClick(int n) {
    const int i = n - 1;
    // A caption that is not a colour code is refused and nothing is painted with it.
    const Result<void> painted = paintWithSlotColour(m_pallet, SwatchBookJsLayout::A, m_caption[i]->text().toStdString(),
                                                     m_color[i]->color(), m_swatch[i]->color());
    if (!painted) reportRefusedCaption(this, painted.error());
}

void SwatchCardPanel::SCpnlSwatchNMouseMove(int n) { m_swatch[n - 1]->setCursor(cursorFor(crEyedropper)); }

void SwatchCardPanel::SCtbnBinClick() {
    for (int i = 0; i < 3; ++i) {
        m_caption[i]->clear();
        m_color[i]->setColor(clWhite);
        m_swatch[i]->setColor(clWhite);
        m_swatchOutline[i]->hide();
    }
    m_session.apply(Situation::CardSlotsCleared);
}

void SwatchCardPanel::SCtbnAddToBookClick() {
    m_session.book().addCard(m_color[0]->color(), m_color[1]->color(), m_color[2]->color(), m_caption[0]->text().toStdString(),
            m_caption[1]->text().toStdString(), m_caption[2]->text().toStdString());
}

void SwatchCardPanel::sliderRecoloured(PanelBox* target, TColor color) {
    for (int i = 0; i < 3; ++i) {
        if (target->objectName() != QStringLiteral("SCpnlColor%1").arg(i + 1)) continue;
        m_swatch[i]->setColor(color);
        m_caption[i]->setText(qs(ColorToHexCode(color)));
    }
}

} // namespace hw
