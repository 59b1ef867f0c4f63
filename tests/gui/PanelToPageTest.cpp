// The whole road from a tool panel to the page: a colour chosen in a panel is the one the next
// click on the page paints with.

#include "GuiTestMain.h"
#include "GuiTestSupport.h"

#include "engine/CookieStore.h"
#include "swatches/SwatchBookPanel.h"
#include "swatches/SwatchCardPanel.h"
#include "widgets/PanelControls.h"
#include "tools/SuggestedSchemesPanel.h"

#include <QTemporaryDir>
#include <QTest>

using namespace hw;
using namespace hw::test;

class PanelToPageTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    bool openExample(TfrmBackDrop& window) {
        if (!copyTree(QStringLiteral(HW_SOURCE_DIR "/examples/site"), m_dir.path())) return false;
        window.resize(1100, 760);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) return false;
        return openPage(window, m_dir.path(), "index.html");
    }

    static void clickCentre(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center()); }

private slots:
    void aBookColourPaintsThePage() {
        CookieStore::purgeLocalCookies();
        TfrmBackDrop window;
        QVERIFY(openExample(window));
        window.bookCommands().addCard(255, 32768, 16777215, "FF0000", "008000", "");
        clickCentre(window.swatchBookPanel()->SBpnlColor(2));
        QVERIFY(clickElement(window.WebBrowser1(), "1b"));
        QVERIFY(waitFor([&] { return cookieValue(m_dir.path(), "data").contains("#008000(32768)b"); }));
        window.questionOverride = [](const std::string&) { return Answer::No; };
        QVERIFY(window.close());
    }

    void aSuggestedColourPaintsThePage() {
        CookieStore::purgeLocalCookies();
        TfrmBackDrop window;
        QVERIFY(openExample(window));
        // The suggestions of the start colour (H 180, S 50, L 50); scheme 1, colour 2 is E5B2B2.
        window.SuggestSchemes();
        clickCentre(window.suggestedSchemesPanel()->SSpnlColor(2, 1));
        QVERIFY(window.swatchCardPanel()->isVisible());
        QVERIFY(clickElement(window.WebBrowser1(), "1b"));
        QVERIFY(waitFor([&] { return cookieValue(m_dir.path(), "data").contains("#E5B2B2("); }));
        window.questionOverride = [](const std::string&) { return Answer::No; };
        QVERIFY(window.close());
    }
};

HW_GUI_TEST_MAIN(PanelToPageTest)
#include "PanelToPageTest.moc"
