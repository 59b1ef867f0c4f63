#include "swatches/SwatchBookPanel.h"

#include "swatches/SwatchCardPanel.h"

#include "colour/SwatchBookJs.h"
#include "widgets/Cursors.h"
#include "tools/ScreenPickerPanel.h"

#include <algorithm>

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

namespace hw {

namespace {

enum class Picture { Eyedropper, ImageBlender, Menu, CardsOpen, ColorPalette };

/// The title bar's tool images, 23 x 19, drawn in white and light colours on the bar's shadow.
void drawPicture(QPainter& p, Picture picture) {
    p.setRenderHint(QPainter::Antialiasing);
    const QPen white(Qt::white, 1.2);
    switch (picture) {
    case Picture::Eyedropper:
        p.translate(6, 15);
        p.rotate(-45);
        p.setPen(white);
        p.setBrush(QColor(200, 220, 255));
        p.drawRect(QRectF(2, -1.5, 9, 3));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(11, -2.5, 2, 5));
        p.drawEllipse(QRectF(13, -3, 6, 6));
        p.drawLine(QPointF(0, 0), QPointF(2, 0));
        break;
    case Picture::ImageBlender: {
        p.setPen(white);
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(4.5, 3.5, 14, 12));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120, 200, 120));
        p.drawPolygon(QPolygonF({QPointF(5, 15), QPointF(10, 8), QPointF(14, 13), QPointF(16, 10), QPointF(18, 15)}));
        p.setBrush(QColor(255, 220, 80));
        p.drawEllipse(QRectF(13, 5, 3.5, 3.5));
        break;
    }
    case Picture::Menu:
    case Picture::CardsOpen: {
        const QColor fills[3] = {QColor(230, 80, 80), QColor(80, 170, 230), QColor(240, 210, 70)};
        p.setPen(white);
        for (int i = 0; i < 3; ++i) {
            p.setBrush(fills[i]);
            if (picture == Picture::Menu) p.drawRect(QRectF(4.5 + i * 2, 3.5 + i * 2.5, 9, 9));
            else p.drawRect(QRectF(2.5 + i * 6.5, 5.5, 5, 9));
        }
        break;
    }
    case Picture::ColorPalette: {
        p.setPen(white);
        p.setBrush(Qt::NoBrush);
        QLinearGradient g(4, 0, 19, 0);
        for (int i = 0; i <= 6; ++i) g.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 220, 255));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(3.5, 4.5, 16, 10), 2, 2);
        break;
    }
    }
}

} // namespace

SwatchBookPanel::SwatchBookPanel(QWidget* parent, SwatchBookCommands& book, SchemeCommands& schemes, Pallet& pallet)
    : QFrame(parent), m_book(book), m_schemes(schemes), m_pallet(pallet) {
    setObjectName(QStringLiteral("SBpnlOutline"));
    setFixedSize(186, 123);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, p.color(QPalette::Dark));
    setPalette(p);
    const TColor shadow = fromQColor(p.color(QPalette::Dark));

    SBpnlBookTitleBar = makeFrame(this, "SBpnlBookTitleBar", {0, 0, 186, 19}, QPalette::Dark);
    auto image = [this, shadow](const QString& name, int x, const QString& hint, Picture picture) {
        auto* img = new PanelBox(SBpnlBookTitleBar, name, {x, 0, 23, 19}, shadow);
        img->onPaint = [picture](QPainter& painter) { drawPicture(painter, picture); };
        setPanelHint(img, hint);
        return img;
    };
    SBimgEyedropper = image("SBimgEyedropper", 1, "Drag Eyedropper to Pick Screen Color", Picture::Eyedropper);
    SBimgImageBlender = image("SBimgImageBlender", 25, "Image Blender", Picture::ImageBlender);
    SBlblSwatchBook = new PanelLabel(SBpnlBookTitleBar, "SBlblSwatchBook", {48, 0, 92, 19},
                                     QStringLiteral("Swatch Book"));
    SBlblSwatchBook->setAlignment(Qt::AlignCenter);
    QPalette tp = SBlblSwatchBook->palette();
    tp.setColor(QPalette::WindowText, Qt::white);
    SBlblSwatchBook->setPalette(tp);
    QFont bold = SBlblSwatchBook->font();
    bold.setBold(true);
    SBlblSwatchBook->setFont(bold);
    SBimgMenu = image("SBimgMenu", 139, "Swatch Card", Picture::Menu);
    SBimgCardsOpen = image("SBimgCardsOpen", 139, "Collapse Cards", Picture::CardsOpen);
    SBimgCardsOpen->hide();
    SBimgColorPalette = image("SBimgColorPalette", 162, "Color Palette", Picture::ColorPalette);

    auto* bars = makeFrame(this, "SBpnlToolbarsContainer", {1, 20, 184, 15}, QPalette::Button);
    auto tool = [bars](const QString& name, int x, const QString& hint, QStyle::StandardPixmap icon) {
        return makePanelToolButton(bars, name, x, hint, icon);
    };
    SBtbnBin = tool("SBtbnBin", 1, "Delete Card", QStyle::SP_TrashIcon);
    SBtbnPreviousCard = tool("SBtbnPreviousCard", 19, "Previous Card", QStyle::SP_ArrowLeft);
    SBtbnPreviousScheme = tool("SBtbnPreviousScheme", 37, "Previous Scheme", QStyle::SP_MediaSeekBackward);
    SBlblCardTitle = new PanelLabel(bars, "SBlblCardTitle", {56, 0, 72, 15});
    SBlblCardTitle->setAlignment(Qt::AlignCenter);
    SBeditCardTitle = new QLineEdit(bars);
    SBeditCardTitle->setObjectName(QStringLiteral("SBeditCardTitle"));
    SBeditCardTitle->setGeometry(56, 0, 72, 15);
    SBeditCardTitle->setFrame(false);
    SBeditCardTitle->hide();
    SBeditCardTitle->installEventFilter(this);
    SBtbnNextScheme = tool("SBtbnNextScheme", 131, "Next Scheme", QStyle::SP_MediaSeekForward);
    SBtbnNextCard = tool("SBtbnNextCard", 149, "Next Card", QStyle::SP_ArrowRight);

    auto* backing = makeFrame(this, "SBpnlBookBacking", {1, 35, 184, 87}, QPalette::Button);
    const int lefts[3] = {4, 64, 124};
    for (int i = 0; i < 3; ++i) {
        const int n = i + 1;
        const QString N = QString::number(n);
        auto* outline = makeFrame(backing, "SBpnlCard" + N + "Outline", {lefts[i], 2, 56, 83}, QPalette::Dark);
        m_caption[i] = new PanelLabel(outline, "SBlblCaption" + N, {1, 1, 54, 14});
        m_caption[i]->setAlignment(Qt::AlignCenter);
        m_caption[i]->setAutoFillBackground(true);
        QPalette cp = m_caption[i]->palette();
        cp.setColor(QPalette::Window, Qt::white);
        m_caption[i]->setPalette(cp);
        setPanelHint(m_caption[i], QStringLiteral("Click to Copy"));
        m_color[i] = new PanelBox(outline, "SBpnlColor" + N, {1, 15, 54, 67});
        m_color[i]->setMouseTracking(true);
        m_color[i]->onClick = [this, n] { SBpnlColorNClick(n); };
        m_color[i]->onMouseMove = [this, n](QMouseEvent*) { SBpnlColorNMouseMove(n); };
        m_caption[i]->onClick = [this, n] { SBlblCaptionNClick(n); };
    }

    SBlblSwatchBook->onMouseDown = [this](QMouseEvent* e) { SBlblSwatchBookMouseDown(e); };
    SBlblSwatchBook->onMouseMove = [this](QMouseEvent* e) { dragMove(e); };
    SBlblSwatchBook->onMouseUp = [this](QMouseEvent*) { dragEnd(); };
    SBimgEyedropper->onMouseDown = [this](QMouseEvent* e) { SBimgEyedropperMouseDown(e); };
    SBimgEyedropper->onMouseMove = [this](QMouseEvent* e) { SBimgEyedropperMouseMove(e); };
    SBimgEyedropper->onMouseUp = [this](QMouseEvent*) { SBimgEyedropper->releaseMouse(); };
    SBimgImageBlender->onClick = [this] { SBimgImageBlenderClick(); };
    SBimgColorPalette->onClick = [this] { SBimgColorPaletteClick(); };
    SBimgMenu->onClick = [this] { SBimgMenuClick(); };
    SBimgCardsOpen->onClick = [this] { SBimgCardsOpenClick(); };
    SBlblCardTitle->onClick = [this] { SBlblCardTitleClick(); };
    connect(SBtbnBin, &QToolButton::clicked, this, [this] { m_book.deleteCard(); });
    connect(SBtbnPreviousCard, &QToolButton::clicked, this, [this] { m_book.previousCard(); });
    connect(SBtbnNextCard, &QToolButton::clicked, this, [this] { m_book.nextCard(); });
    connect(SBtbnPreviousScheme, &QToolButton::clicked, this, [this] { SBtbnPreviousSchemeClick(); });
    connect(SBtbnNextScheme, &QToolButton::clicked, this, [this] { SBtbnNextSchemeClick(); });
}

void SwatchBookPanel::showCard(const CardView& card) {
    // Another card on show ends an edit of the previous card's title.
    if (m_editedCard >= 0) {
        m_editedCard = -1;
        SBeditCardTitle->hide();
    }
    showCardTitle(QString::fromStdString(card.title));
    for (int i = 0; i < 3; ++i) {
        m_color[i]->setColor(card.colors[i]);
        m_caption[i]->setText(QString::fromStdString(card.captions[i]));
    }
}

void SwatchBookPanel::setCardTitle(const std::string& title) { showCardTitle(QString::fromStdString(title)); }

void SwatchBookPanel::showCardTitle(const QString& title) {
    // The strip between the scheme buttons is narrow: a long title ends in an ellipsis and the
    // whole title is in the tooltip.
    m_cardTitle = title;
    const int room = SBlblCardTitle->contentsRect().width();
    const QString shown = SBlblCardTitle->fontMetrics().elidedText(title, Qt::ElideRight, room);
    SBlblCardTitle->setText(shown);
    SBlblCardTitle->setToolTip(shown == title ? QString() : title);
}

void SwatchBookPanel::dockToolPanels() {
    const QRect b = geometry();
    if (auto* sc = m_tools.swatchCard) sc->move(b.left(), b.top() - sc->height() + 1);
    if (auto* sp = m_tools.screenPicker) sp->move(b.left(), b.top() + b.height() - 1);
    if (auto* cp = m_tools.colorPalette) {
        cp->move(b.left() + b.width() - 1, b.top() + SBpnlBookTitleBar->height());
        if (auto* ss = m_tools.suggestedSchemes)
            ss->move(cp->x() + cp->width() - ss->width(), cp->y() - ss->height() + 1);
    }
    if (auto* ib = m_tools.imageBlender) ib->move(b.left() - ib->width() + 1, b.top() + SBpnlBookTitleBar->height());
}

void SwatchBookPanel::SBlblSwatchBookMouseDown(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    QWidget* panels[5] = {m_tools.swatchCard, m_tools.screenPicker, m_tools.colorPalette, m_tools.imageBlender,
                          m_tools.suggestedSchemes};
    for (int i = 0; i < 5; ++i) {
        m_wasVisible[i] = panels[i] && panels[i]->isVisible();
        if (panels[i]) panels[i]->hide();
    }
    m_dragging = true;
    m_dragOffset = e->globalPosition().toPoint() - mapToGlobal(QPoint(0, 0));
    SBlblSwatchBook->grabMouse();
}

void SwatchBookPanel::dragMove(QMouseEvent* e) {
    if (!m_dragging) return;
    // The panel stays whole inside the browser area, so it can never be lost past an edge.
    const QPoint wanted = parentWidget()->mapFromGlobal(e->globalPosition().toPoint() - m_dragOffset);
    const QSize room = parentWidget()->size() - size();
    move(std::max(0, std::min(wanted.x(), room.width())), std::max(0, std::min(wanted.y(), room.height())));
}

void SwatchBookPanel::dragEnd() {
    if (!m_dragging) return;
    m_dragging = false;
    SBlblSwatchBook->releaseMouse();
    dockToolPanels();
    QWidget* panels[5] = {m_tools.swatchCard, m_tools.screenPicker, m_tools.colorPalette, m_tools.imageBlender,
                          m_tools.suggestedSchemes};
    for (int i = 0; i < 5; ++i)
        if (panels[i]) panels[i]->setVisible(m_wasVisible[i]);
}

void SwatchBookPanel::SBimgEyedropperMouseDown(QMouseEvent* e) {
    if (!m_tools.screenPicker) return;
    m_tools.screenPicker->show();
    m_tools.screenPicker->raise();
    showMenuImage(false);
    // The press captures the pointer, so the drag goes on over any window on the screen.
    SBimgEyedropper->grabMouse();
    m_tools.screenPicker->sample(e->globalPosition().toPoint(), false);
}

void SwatchBookPanel::SBimgEyedropperMouseMove(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton) || !m_tools.screenPicker) return;
    m_tools.screenPicker->sample(e->globalPosition().toPoint(), true);
}

void SwatchBookPanel::showMenuImage(bool menuShown) {
    SBimgMenu->setVisible(menuShown);
    SBimgCardsOpen->setVisible(!menuShown);
}

void SwatchBookPanel::SBimgColorPaletteClick() {
    QWidget* cp = m_tools.colorPalette;
    if (!cp) return;
    if (cp->isVisible()) {
        cp->hide();
        if (m_tools.suggestedSchemes) m_tools.suggestedSchemes->hide();
        showMenuImage(true);
    } else {
        cp->show();
        cp->raise();
        showMenuImage(false);
    }
}

void SwatchBookPanel::SBimgImageBlenderClick() {
    QWidget* ib = m_tools.imageBlender;
    if (!ib) return;
    if (ib->isVisible()) {
        ib->hide();
        showMenuImage(true);
    } else {
        ib->show();
        ib->raise();
        showMenuImage(false);
    }
}

void SwatchBookPanel::SBimgMenuClick() {
    showMenuImage(false);
    if (m_tools.swatchCard) m_tools.swatchCard->show();
}

void SwatchBookPanel::SBimgCardsOpenClick() {
    showMenuImage(true);
    for (QWidget* w : {static_cast<QWidget*>(m_tools.screenPicker), m_tools.swatchCard, m_tools.colorPalette,
                       m_tools.imageBlender, m_tools.suggestedSchemes})
        if (w) w->hide();
}

void SwatchBookPanel::SBtbnPreviousSchemeClick() { m_schemes.SBtbnPreviousSchemeClick(); }

void SwatchBookPanel::SBtbnNextSchemeClick() { m_schemes.SBtbnNextSchemeClick(); }

void SwatchBookPanel::SBlblCardTitleClick() {
    const auto title = m_book.beginRenameCard(m_cardTitle.toStdString());
    if (!title) return;
    m_editedCard = m_book.book().currentCard;
    SBeditCardTitle->setText(QString::fromStdString(*title));
    SBeditCardTitle->show();
    SBeditCardTitle->setFocus();
    SBeditCardTitle->selectAll();
}

void SwatchBookPanel::SBeditCardTitleKeyPress(int key) {
    if (key == 27) return cancelCardTitleEdit();
    if (key != 13) return;
    if (m_editedCard < 0 || m_editedCard != m_book.book().currentCard) return cancelCardTitleEdit();
    m_editedCard = -1;
    SBeditCardTitle->hide();
    m_book.renameCard(SBeditCardTitle->text().toStdString());
}

void SwatchBookPanel::cancelCardTitleEdit() {
    m_editedCard = -1;
    SBeditCardTitle->hide();
    const BookState& book = m_book.book();
    if (book.currentCard >= 0 && book.currentCard <= book.lastCard)
        showCardTitle(QString::fromStdString(m_book.cardView(book.currentCard).title));
}

void SwatchBookPanel::SBpnlColorNClick(int n) {
    const int i = n - 1;
    // A caption that is not a colour code is refused and nothing is painted with it.
    const Result<void> painted = paintWithSlotColour(m_pallet, SwatchBookJsLayout::B, m_caption[i]->text().toStdString(),
                                                     m_color[i]->color(), m_color[i]->color());
    if (!painted) reportRefusedCaption(this, painted.error());
}

void SwatchBookPanel::SBpnlColorNMouseMove(int n) {
    const int i = n - 1;
    m_color[i]->setCursor(m_caption[i]->text().isEmpty() ? QCursor(Qt::ArrowCursor) : cursorFor(crEyedropper));
}

void SwatchBookPanel::SBlblCaptionNClick(int n) {
    const QString text = m_caption[n - 1]->text();
    if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

void SwatchBookPanel::viewSwatchBook(bool show) {
    if (show) {
        this->show();
        return;
    }
    hide();
    showMenuImage(true);
    for (QWidget* w : {static_cast<QWidget*>(m_tools.screenPicker), m_tools.swatchCard, m_tools.colorPalette,
                       m_tools.imageBlender, m_tools.suggestedSchemes})
        if (w) w->hide();
}

bool SwatchBookPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == SBeditCardTitle && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            SBeditCardTitleKeyPress(13);
            return true;
        }
        if (key == Qt::Key_Escape) {
            SBeditCardTitleKeyPress(27);
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace hw
