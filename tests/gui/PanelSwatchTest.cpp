// The swatch card panel, its slider popup and the swatch book panel in the real main window,
// driven by mouse and key events on their controls.

#include "GuiTestMain.h"

#include "colour/ColorCodes.h"
#include "colour/SwatchBookJs.h"
#include "shell/TfrmBackDrop.h"
#include "swatches/SwatchBookPanel.h"
#include "swatches/SwatchCardPanel.h"
#include "tools/ColorPalettePanel.h"
#include "tools/SuggestedSchemesPanel.h"
#include "tools/TfrmSlider.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace hw;

namespace {

QString fileText(const std::string& path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromLatin1(f.readAll());
}

void click(QWidget* w, QPoint pos = QPoint(5, 5), Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(w, button, {}, pos);
}

/// Drags with the left button from `from` to `to`, both in `w`'s coordinates, and lets go there.
void drag(QWidget* w, QPoint from, QPoint to, bool release = true) {
    QTest::mousePress(w, Qt::LeftButton, {}, from);
    QTest::mouseMove(w, (from + to) / 2);
    QTest::mouseMove(w, to);
    if (release) QTest::mouseRelease(w, Qt::LeftButton, {}, to);
}

} // namespace

class PanelSwatchTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TfrmBackDrop> window;
    QStringList notices;

    SwatchCardPanel* card() { return window->swatchCardPanel(); }
    SwatchBookPanel* book() { return window->swatchBookPanel(); }
    ColorPalettePanel* palette() { return window->colorPalettePanel(); }

    void typeHex(const QString& text) {
        palette()->CPeditHex->clear();
        QTest::keyClicks(palette()->CPeditHex, text);
    }

private slots:
    void init() {
        window = std::make_unique<TfrmBackDrop>();
        notices.clear();
        window->noticeOverride = [this](const std::string& t) { notices << QString::fromStdString(t); };
        window->questionOverride = [](const std::string&) { return Answer::No; };
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QFile::remove(QString::fromStdString(swatchBookJsPath()));
    }

    void cleanup() { window.reset(); }

    void emptySlotTakesWhiteWithoutEnablingTheButtons() {
        click(card()->SCpnlColor(1));
        QCOMPARE(card()->SCpnlColor(1)->color(), clWhite);
        QVERIFY(card()->SClblCaption(1)->text().isEmpty());
        QVERIFY(card()->SCpnlSwatchOutline(1)->isVisibleTo(card()));
        QVERIFY(!window->isEnabled(Command::SCtbnAddToBook));
        QVERIFY(!card()->SCtbnBin->isEnabled());
        // A right press on an empty slot opens no popup.
        QTest::mousePress(card()->SCpnlColor(1), Qt::RightButton, {}, {5, 5});
        QVERIFY(!window->frmSlider()->isVisible());
    }

    void cardSlotsTakeThePickAndGoIntoTheBook() {
        click(book()->SBimgColorPalette);
        QVERIFY(palette()->isVisible());
        click(palette()->CPimgPalette, {100, 20});
        QCOMPARE(palette()->CPeditHue->text(), QStringLiteral("225"));
        QCOMPARE(palette()->CPeditSat->text(), QStringLiteral("50"));
        click(palette()->CPpnlSwatch);
        QVERIFY(card()->isVisible());
        const QString hex = QString::fromStdString(window->pallet().GetHexCode().str());
        QCOMPARE(hex, QString::fromStdString(window->paletteState().hexCode.str()));

        // Only the second slot filled: the card goes in with empty first and third captions.
        click(card()->SCpnlColor(2));
        QCOMPARE(card()->SClblCaption(2)->text(), hex);
        QVERIFY(card()->SCtbnAddToBook->isEnabled());
        click(card()->SCtbnAddToBook);
        click(card()->SCtbnAddToBook);
        QCOMPARE(window->state().book.lastCard, 1);
        QCOMPARE(window->state().book.cards[0].GetCaption2().str(), hex.toStdString());
        QVERIFY(window->state().book.cards[0].GetCaption1().IsEmpty());
        QCOMPARE(book()->SBlblCardTitle->text(), QStringLiteral("Untitled-2"));
        QCOMPARE(book()->SBlblCaption(2)->text(), hex);
        QVERIFY(window->isEnabled(Command::mnuSaveSwatchBookAs));

        // Copying, and the bin that leaves the book alone.
        click(card()->SClblCaption(2));
        QCOMPARE(QGuiApplication::clipboard()->text(), hex);
        QGuiApplication::clipboard()->setText("unchanged");
        click(card()->SClblCaption(1));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("unchanged"));
        click(card()->SCtbnBin);
        QVERIFY(card()->SClblCaption(2)->text().isEmpty());
        QCOMPARE(card()->SCpnlColor(2)->color(), clWhite);
        QVERIFY(!card()->SCpnlSwatchOutline(2)->isVisibleTo(card()));
        QVERIFY(!window->isEnabled(Command::SCtbnBin));
        QCOMPARE(window->state().book.lastCard, 1);
    }

    void chipPaintsInLayoutA() {
        click(book()->SBimgColorPalette);
        typeHex("ff0000");
        click(palette()->CPpnlSwatch);
        click(card()->SCpnlColor(3));
        window->pallet().pick(clWhite);
        click(card()->SCpnlSwatch(3), {3, 3});
        QCOMPARE(fileText(swatchBookJsPath()),
                 QString::fromStdString(swatchBookJsText(SwatchBookJsLayout::A, "FF0000", rgbColor(255, 0, 0))));
        QCOMPARE(window->pallet().GetHexCode().str(), std::string("FF0000"));
    }

    void statusBarShowsThePaintingColour() {
        auto* swatch = window->findChild<QLabel*>("lblPaintingSwatch");
        auto* code = window->findChild<QLabel*>("lblPaintingColour");
        QVERIFY(swatch && code);
        auto shows = [&](const QString& text) {
            return QTest::qWaitFor([&] { return code->text() == text; }, 5000);
        };
        QVERIFY(shows("No painting colour chosen"));
        QVERIFY(!swatch->isVisible());

        // A book colour.
        window->bookCommands().addCard(rgbColor(1, 2, 3), rgbColor(0x12, 0x34, 0x56), clWhite, "010203", "123456", "");
        click(book()->SBpnlColor(2));
        QVERIFY(shows("Painting colour #123456"));
        QVERIFY(swatch->isVisible());
        QVERIFY(swatch->styleSheet().contains("#123456"));

        // A swatch card chip, rewriting the file in place.
        click(book()->SBimgColorPalette);
        typeHex("ff0000");
        click(palette()->CPpnlSwatch);
        click(card()->SCpnlColor(3));
        click(card()->SCpnlSwatch(3), {3, 3});
        QVERIFY(shows("Painting colour #FF0000"));
        QVERIFY(swatch->styleSheet().contains("#ff0000"));

        // The file gone (as at close), the status bar says so again.
        QFile::remove(QString::fromStdString(swatchBookJsPath()));
        QVERIFY(shows("No painting colour chosen"));
        QVERIFY(!swatch->isVisible());
    }

    void sliderPopupAdjustsTheSlot() {
        click(book()->SBimgColorPalette);
        typeHex("ff0000");
        click(palette()->CPpnlSwatch);
        click(card()->SCpnlColor(1));
        QCOMPARE(card()->SClblCaption(1)->text(), QStringLiteral("FF0000"));

        QTest::mousePress(card()->SCpnlColor(1), Qt::LeftButton, {}, {5, 5});
        QTest::mouseRelease(card()->SCpnlColor(1), Qt::LeftButton, {}, {5, 5});
        QVERIFY(!window->frmSlider()->isVisible());
        QTest::mousePress(card()->SCpnlColor(1), Qt::RightButton, {}, {5, 5});
        TfrmSlider* slider = window->frmSlider();
        QVERIFY(slider->isVisible());
        QCOMPARE(slider->targetPanel(), card()->SCpnlColor(1));
        QCOMPARE(window->paletteState().sliderHue, 0);
        QCOMPARE(window->paletteState().sliderSat, 100);
        QCOMPARE(window->paletteState().sliderLum, 50);
        QCOMPARE(slider->pos(), QPoint(card()->x() + 4 + 50, card()->y() + 64));
        QTest::qWait(50);
        QCOMPARE(slider->prevSlideSatMarker, 100);
        QCOMPARE(slider->prevSlideLumMarker, 50);

        drag(slider->pbxLumSlide, {3, 50}, {3, 75});
        QCOMPARE(card()->SCpnlColor(1)->color(), rgbColor(0xFF, 0x7F, 0x7F));
        QCOMPARE(card()->SCpnlSwatch(1)->color(), rgbColor(0xFF, 0x7F, 0x7F));
        QCOMPARE(card()->SClblCaption(1)->text(), QStringLiteral("FF7F7F"));
        // The current colour stays what it was.
        QCOMPARE(window->pallet().GetHexCode().str(), std::string("FF0000"));
        // A move outside the slide's column range changes nothing.
        QTest::mousePress(slider->pbxSatSlide, Qt::LeftButton, {}, {3, 100});
        QTest::mouseMove(slider->pbxSatSlide, {3, 120});
        QCOMPARE(card()->SClblCaption(1)->text(), QStringLiteral("FF7F7F"));
        QTest::mouseRelease(slider->pbxSatSlide, Qt::LeftButton, {}, {3, 100});
    }

    void theWholeSliderStripTakesClicksAndDrags() {
        window->pallet().pick(rgbColor(0xFF, 0, 0));
        click(card()->SCpnlColor(1));
        QTest::mousePress(card()->SCpnlColor(1), Qt::RightButton, {}, {5, 5});
        TfrmSlider* slider = window->frmSlider();
        QVERIFY(slider->isVisible());

        // A click on the luminance strip, well away from the slide's marker, sets the value there.
        click(slider->pbxLumPalette, {4, 75});
        QCOMPARE(window->paletteState().sliderLum, 75);
        QCOMPARE(card()->SCpnlColor(1)->color(), rgbColor(0xFF, 0x7F, 0x7F));
        // A press on the slide far from its marker counts too, and a drag from the strip follows.
        QTest::mousePress(slider->pbxSatSlide, Qt::LeftButton, {}, {3, 20});
        QCOMPARE(window->paletteState().sliderSat, 20);
        QTest::mouseRelease(slider->pbxSatSlide, Qt::LeftButton, {}, {3, 20});
        drag(slider->pbxSatPalette, {4, 30}, {4, 60});
        QCOMPARE(window->paletteState().sliderSat, 60);
        QCOMPARE(card()->SClblCaption(1)->text(), QString::fromStdString(ColorToHexCode(HslToColor(0, 60, 75)).str()));
    }

    void theSliderLeavesTheSlotsShowing() {
        click(book()->SBimgMenu);
        QVERIFY(card()->isVisible());
        window->pallet().pick(rgbColor(0, 0, 0xFF));
        for (int n = 1; n <= 3; ++n) click(card()->SCpnlColor(n));
        QTest::mousePress(card()->SCpnlColor(1), Qt::RightButton, {}, {5, 5});
        TfrmSlider* slider = window->frmSlider();
        QVERIFY(QTest::qWaitForWindowExposed(slider));
        // Only the strips are drawn; the rest of the popup's square shows what is under it.
        QVERIFY(!slider->mask().isEmpty());
        QVERIFY(slider->mask().contains(QRect(slider->pbxLumSlide->mapTo(slider, QPoint()), slider->pbxLumSlide->size())));
        QVERIFY(!slider->mask().contains(QPoint(slider->width() - 1, slider->height() / 2)));

        const QRect shown = slider->geometry();
        auto screenColourAt = [](QPoint p) {
            return fromQColor(QGuiApplication::primaryScreen()->grabWindow(0, p.x(), p.y(), 1, 1).toImage().pixelColor(0, 0));
        };
        // Beside the strips, the slots stay in sight while the popup is open.
        const QRect beside = shown.adjusted(slider->mask().boundingRect().right() + 2, 0, 0, 0);
        int seen = 0;
        for (int n = 1; n <= 3; ++n) {
            PanelBox* slot = card()->SCpnlColor(n);
            const QRect visible = QRect(slot->mapToGlobal(QPoint()), slot->size()).intersected(beside).adjusted(1, 1, -1, -1);
            if (visible.isEmpty()) continue;
            QCOMPARE(screenColourAt(visible.center()), slot->color());
            ++seen;
        }
        QVERIFY(seen > 0);

        // Hidden, the slot under it shows its own colour again on the screen.
        slider->hide();
        QTest::qWait(100);
        int looked = 0;
        for (int n = 1; n <= 3; ++n) {
            PanelBox* slot = card()->SCpnlColor(n);
            const QRect onScreen(slot->mapToGlobal(QPoint()), slot->size());
            const QRect under = onScreen.intersected(shown).adjusted(1, 1, -1, -1);
            if (under.isEmpty()) continue;
            const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0, under.x(), under.y(), under.width(), under.height()).toImage();
            QCOMPARE(fromQColor(screen.pixelColor(screen.width() / 2, screen.height() / 2)), slot->color());
            ++looked;
        }
        QVERIFY(looked > 0);
    }

    void cursorsShowWhatAClickDoes() {
        click(book()->SBimgMenu);
        PanelBox* slot = card()->SCpnlColor(1);
        QTest::mouseMove(slot, {20, 30});
        QCOMPARE(slot->cursor().shape(), Qt::ArrowCursor);
        window->pallet().pick(rgbColor(1, 2, 3));
        QTest::mouseMove(slot, {21, 31});
        QCOMPARE(slot->cursor().shape(), Qt::BitmapCursor);

        PanelBox* colour = book()->SBpnlColor(1);
        QTest::mouseMove(colour, {20, 30});
        QCOMPARE(colour->cursor().shape(), Qt::ArrowCursor);
        window->bookCommands().addCard(rgbColor(1, 2, 3), clWhite, clWhite, "030201", "", "");
        QTest::mouseMove(colour, {21, 31});
        QCOMPARE(colour->cursor().shape(), Qt::BitmapCursor);
    }

    void sliderHidesWhenTheMainWindowIsActivated() {
        window->pallet().pick(rgbColor(0, 0, 255));
        click(card()->SCpnlColor(2));
        QTest::mousePress(card()->SCpnlColor(2), Qt::RightButton, {}, {5, 5});
        TfrmSlider* slider = window->frmSlider();
        QVERIFY(slider->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(slider));
        window->activateWindow();
        QTRY_VERIFY(!slider->isVisible());
    }

    void aBookDraggedPastAnEdgeStaysInsideTheBrowserArea() {
        QWidget* area = window->browserContainer();
        // Far past the bottom right corner, then far past the top left one.
        for (const QPoint by : {QPoint(5000, 5000), QPoint(-5000, -5000)}) {
            QTest::mousePress(book()->SBlblSwatchBook, Qt::LeftButton, {}, {10, 5});
            QTest::mouseMove(book()->SBlblSwatchBook, QPoint(10, 5) + by);
            QTest::mouseRelease(book()->SBlblSwatchBook, Qt::LeftButton, {}, {10, 5});
            QVERIFY2(area->rect().contains(book()->geometry()), qPrintable(QString("%1,%2").arg(book()->x()).arg(book()->y())));
        }
        QCOMPARE(book()->pos(), QPoint(0, 0));
    }

    void draggingTheBookBringsTheOpenPanelsAlong() {
        click(book()->SBimgColorPalette);
        QVERIFY(book()->SBimgCardsOpen->isVisibleTo(book()));
        QVERIFY(!book()->SBimgMenu->isVisibleTo(book()));
        const QPoint start = book()->pos();
        // The title moves with the panel, so the release is at the press point of the moved title.
        QTest::mousePress(book()->SBlblSwatchBook, Qt::LeftButton, {}, {10, 5});
        QVERIFY(!palette()->isVisible());
        QTest::mouseMove(book()->SBlblSwatchBook, {10 - 120, 5 - 60});
        QTest::mouseRelease(book()->SBlblSwatchBook, Qt::LeftButton, {}, {10, 5});
        QCOMPARE(book()->pos(), start + QPoint(-120, -60));
        const QRect b = book()->geometry();
        QCOMPARE(palette()->pos(), QPoint(b.left() + b.width() - 1, b.top() + 19));
        QVERIFY(palette()->isVisible());
        QVERIFY(!card()->isVisible());
        QVERIFY(!window->suggestedSchemesPanel()->isVisible());
        QCOMPARE(card()->pos(), QPoint(b.left(), b.top() - 104 + 1));
        QCOMPARE(window->panel("SPpnlOutline")->pos(), QPoint(b.left(), b.top() + 123 - 1));
        QCOMPARE(window->panel("IBpnlOutline")->pos(), QPoint(b.left() - 186 + 1, b.top() + 19));
        QCOMPARE(window->panel("SSpnlOutline")->pos(), QPoint(palette()->x() + 186 - 143, palette()->y() - 63 + 1));

        click(book()->SBimgCardsOpen);
        QVERIFY(!palette()->isVisible());
        QVERIFY(book()->SBimgMenu->isVisibleTo(book()));
        click(book()->SBimgMenu);
        QVERIFY(card()->isVisible());

        // Tools > Swatch Book hides the book with its panels and shows it again.
        window->mnuViewSwatchBookClick();
        QVERIFY(!book()->isVisible());
        QVERIFY(!card()->isVisible());
        QVERIFY(!window->isChecked(Command::mnuViewSwatchBook));
        window->mnuViewSwatchBookClick();
        QVERIFY(book()->isVisible());
        QVERIFY(book()->SBimgMenu->isVisibleTo(book()));
    }

    void bookColourPaintsInLayoutBAndCardsStepAndRename() {
        auto& commands = window->bookCommands();
        commands.addCard(rgbColor(1, 2, 3), rgbColor(0x12, 0x34, 0x56), clWhite, "010203", "123456", "");
        commands.addCard(rgbColor(9, 9, 9), clWhite, clWhite, "090909", "", "");
        commands.addCard(rgbColor(7, 7, 7), clWhite, clWhite, "070707", "", "");
        QCOMPARE(book()->SBlblCardTitle->text(), QStringLiteral("Untitled-3"));

        // An empty slot makes white the current colour and writes nothing.
        click(book()->SBpnlColor(3));
        QCOMPARE(window->pallet().GetColor(), clWhite);
        QVERIFY(!QFile::exists(QString::fromStdString(swatchBookJsPath())));

        click(book()->SBtbnPreviousCard);
        click(book()->SBtbnPreviousCard);
        QCOMPARE(book()->SBlblCaption(2)->text(), QStringLiteral("123456"));
        QVERIFY(!book()->SBtbnPreviousCard->isEnabled());
        click(book()->SBpnlColor(2));
        QCOMPARE(fileText(swatchBookJsPath()), QString::fromStdString(swatchBookJsText(
                                                   SwatchBookJsLayout::B, "123456", rgbColor(0x12, 0x34, 0x56))));
        QCOMPARE(window->pallet().GetHexCode().str(), std::string("123456"));
        click(book()->SBlblCaption(1));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("010203"));

        click(book()->SBtbnNextCard);
        QVERIFY(book()->SBtbnPreviousCard->isEnabled());
        click(book()->SBtbnNextCard);
        QVERIFY(!book()->SBtbnNextCard->isEnabled());
        QCOMPARE(book()->SBlblCaption(1)->text(), QStringLiteral("070707"));

        click(book()->SBlblCardTitle);
        QVERIFY(book()->SBeditCardTitle->isVisible());
        QCOMPARE(book()->SBeditCardTitle->selectedText(), QStringLiteral("Untitled-3"));
        QTest::keyClicks(book()->SBeditCardTitle, "Greens");
        QVERIFY(book()->SBeditCardTitle->isVisible());
        QTest::keyClick(book()->SBeditCardTitle, Qt::Key_Return);
        QVERIFY(!book()->SBeditCardTitle->isVisible());
        QCOMPARE(book()->SBlblCardTitle->text(), QStringLiteral("Greens"));
        QCOMPARE(window->state().book.cards[2].GetTitle().str(), std::string("Greens"));
    }

    void aCaptionThatIsNoColourCodeIsToldOnTheStatusBar() {
        window->bookCommands().addCard(rgbColor(1, 2, 3), clWhite, clWhite, "bluish", "", "");
        click(book()->SBpnlColor(1));
        QVERIFY(!QFile::exists(QString::fromStdString(swatchBookJsPath())));
        QVERIFY2(window->statusBar()->currentMessage().contains(QStringLiteral("'bluish'")),
                 qPrintable(window->statusBar()->currentMessage()));

        window->statusBar()->clearMessage();
        click(book()->SBimgColorPalette);
        typeHex("ff0000");
        click(palette()->CPpnlSwatch);
        click(card()->SCpnlColor(1));
        QFile::remove(QString::fromStdString(swatchBookJsPath()));
        card()->SClblCaption(1)->setText(QStringLiteral("#12345"));
        click(card()->SCpnlSwatch(1), {3, 3});
        QVERIFY(!QFile::exists(QString::fromStdString(swatchBookJsPath())));
        QVERIFY(window->statusBar()->currentMessage().contains(QStringLiteral("'#12345'")));
    }

    void escapeCancelsATitleEditAndEnterRenamesOnlyTheEditedCard() {
        auto& commands = window->bookCommands();
        commands.addCard(rgbColor(1, 2, 3), clWhite, clWhite, "010203", "", "");
        commands.addCard(rgbColor(9, 9, 9), clWhite, clWhite, "090909", "", "");
        QLineEdit* edit = book()->SBeditCardTitle;

        // Escape closes the editor and the label keeps the card's own title.
        click(book()->SBlblCardTitle);
        QTest::keyClicks(edit, "Sea");
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(!edit->isVisible());
        QCOMPARE(book()->SBlblCardTitle->text(), QStringLiteral("Untitled-2"));
        QCOMPARE(window->state().book.cards[1].GetTitle().str(), std::string("Untitled-2"));

        // Stepping to another card ends the edit: a later Enter renames nothing.
        click(book()->SBlblCardTitle);
        QTest::keyClicks(edit, "Sky");
        click(book()->SBtbnPreviousCard);
        QVERIFY(!edit->isVisible());
        QCOMPARE(book()->SBlblCardTitle->text(), QStringLiteral("Untitled-1"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(book()->SBlblCardTitle->text(), QStringLiteral("Untitled-1"));
        QCOMPARE(window->state().book.cards[0].GetTitle().str(), std::string("Untitled-1"));
        QCOMPARE(window->state().book.cards[1].GetTitle().str(), std::string("Untitled-2"));

        // An edit begun on this card renames this card.
        click(book()->SBlblCardTitle);
        QTest::keyClicks(edit, "Dawn");
        QTest::keyClick(edit, Qt::Key_Enter);
        QCOMPARE(window->state().book.cards[0].GetTitle().str(), std::string("Dawn"));
        QCOMPARE(window->state().book.cards[1].GetTitle().str(), std::string("Untitled-2"));
    }

    void aLongCardTitleIsShortenedWithTheWholeTitleInItsTooltip() {
        window->bookCommands().addCard(rgbColor(1, 2, 3), clWhite, clWhite, "010203", "", "");
        PanelLabel* label = book()->SBlblCardTitle;
        QVERIFY(label->toolTip().isEmpty());

        const QString title = QStringLiteral("Autumn leaves over the harbour at dusk");
        click(label);
        QTest::keyClicks(book()->SBeditCardTitle, title);
        QTest::keyClick(book()->SBeditCardTitle, Qt::Key_Return);
        QCOMPARE(window->state().book.cards[0].GetTitle().str(), title.toStdString());
        QCOMPARE(book()->cardTitle(), title);
        QVERIFY(label->text() != title);
        QVERIFY(label->text().endsWith(QChar(0x2026)));
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width());
        QCOMPARE(label->toolTip(), title);

        // Another card's short title is shown whole with no tooltip; stepping back shortens again.
        window->bookCommands().addCard(rgbColor(9, 9, 9), clWhite, clWhite, "090909", "", "");
        QCOMPARE(label->text(), QStringLiteral("Untitled-2"));
        QVERIFY(label->toolTip().isEmpty());
        click(book()->SBtbnPreviousCard);
        QVERIFY(label->text().endsWith(QChar(0x2026)));
        QCOMPARE(label->toolTip(), title);

        // A second rename starts from the whole title, not the shortened one.
        click(label);
        QCOMPARE(book()->SBeditCardTitle->selectedText(), title);
        QTest::keyClicks(book()->SBeditCardTitle, "Sea");
        QTest::keyClick(book()->SBeditCardTitle, Qt::Key_Return);
        QCOMPARE(label->text(), QStringLiteral("Sea"));
        QVERIFY(label->toolTip().isEmpty());
    }

    void fileMenuNewEmptiesTheBook() {
        window->bookCommands().addCard(clWhite, clWhite, clWhite, "FFFFFF", "", "");
        window->findChild<QAction*>("mnuNewSwatchBook")->trigger();
        QCOMPARE(window->state().book.lastCard, -1);
        QCOMPARE(window->windowTitle(), QStringLiteral("Huewright - Untitled.sbk"));
        // An empty book opens no title editor.
        click(book()->SBlblCardTitle);
        QVERIFY(!book()->SBeditCardTitle->isVisible());
    }
};

HW_GUI_TEST_MAIN(PanelSwatchTest)
#include "PanelSwatchTest.moc"
