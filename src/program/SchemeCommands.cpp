#include "program/SchemeCommands.h"

#include "base/Files.h"
#include "engine/ChangeRecord.h"
#include "engine/SchemeFile.h"
#include "program/SwatchBookCommands.h"
#include "shell/CookieStore.h"

namespace hw {

namespace {

const char* const untitledQuestion = "Save changes to Untitled.wsm?";

} // namespace

SchemeCommands::SchemeCommands(ProgramState& state, CommandStates& states, Screen& screen,
                               ImageBlenderCommands& blender)
    : m_state(state), m_states(states), m_screen(screen), m_blender(blender) {}

bool SchemeCommands::hasChangeRecord() const { return !CookieFileName(m_state.work).IsEmpty(); }

bool SchemeCommands::CheckUnsavedChanges() {
    if (!hasChangeRecord()) return true;
    if (m_state.showingPage()) {
        switch (m_screen.askYesNoCancel(untitledQuestion)) {
        case Answer::Cancel: return false;
        // A save that did not happen keeps the painting on show rather than dropping it.
        case Answer::Yes:
            if (!mnuSaveWebSchemeAsClick()) return false;
            break;
        case Answer::No: break;
        }
    }
    CookieStore::purgeLocalCookies();
    return true;
}

bool SchemeCommands::mnuSaveWebSchemeAsClick() {
    const PageEntry* page = m_state.pageOnShow();
    if (!m_state.showingPage() || !page) return false;
    const auto chosen = m_screen.chooseFile(FileDialog::dlgSaveScheme);
    if (!chosen) return false;
    m_state.work.pageFile = page->page;
    const auto written = page->frameset ? WriteFramesetSchemeFile(m_state.work, *chosen)
                                        : WriteSchemeFile(m_state.work, *chosen);
    if (!written) {
        m_screen.warn(written.error);
        return false;
    }
    PageScheme slot;
    slot.schemeFile = *chosen;
    slot.tableBorders = page->tableBorders;
    m_state.schemes.push_back(slot);
    m_state.currentScheme = m_state.lastScheme();
    m_state.caption.pageName = fileNameOf(*chosen);
    m_state.caption.bookName = m_state.book.bookFileName;
    m_screen.setCaption(m_state.caption.compose());
    m_states.apply(Situation::SchemeSavedAs, m_state);
    // The record now lives in the scheme file; the next paint starts a new one.
    CookieStore::purgeLocalCookies();
    return true;
}

void SchemeCommands::WebBrowser1CommandStateChange() {
    if (!hasChangeRecord()) return;
    if (m_state.showingPage()) {
        m_states.apply(Situation::PagePainted, m_state);
        m_state.caption.pageName = "Untitled.wsm";
        m_state.caption.bookName = m_state.book.bookFileName;
        m_screen.setCaption(m_state.caption.compose());
    } else if (m_state.showingScheme()) {
        m_states.apply(Situation::SchemePainted, m_state);
    } else {
        return;
    }
    m_state.skipUndoEnable = false;
    if (m_blender.repaintArmed()) m_blender.recolourImage();
}

bool SchemeCommands::closeQuery() {
    if (!hasChangeRecord() || !m_state.showingPage()) return true;
    switch (m_screen.askYesNoCancel(untitledQuestion)) {
    case Answer::Yes: return mnuSaveWebSchemeAsClick();
    case Answer::No: return true;
    case Answer::Cancel: return false;
    }
    return false;
}

bool SchemeCommands::stepInsideScheme(int step) {
    const int c = m_state.currentSchemeCard;
    const int to = c + step;
    const int last = m_state.lastSchemeCard();
    if (c < 0 || c > last || to < 0 || to > last) return false;
    const auto& cards = m_state.schemeCards;
    if (cards[static_cast<std::size_t>(to)].GetTitle().str() != cards[static_cast<std::size_t>(c)].GetTitle().str())
        return false;
    m_state.currentSchemeCard = to;
    m_screen.showCard(cardViewOf(cards[static_cast<std::size_t>(to)]));
    return true;
}

void SchemeCommands::SBtbnPreviousSchemeClick() { stepInsideScheme(-1); }

void SchemeCommands::SBtbnNextSchemeClick() { stepInsideScheme(+1); }

} // namespace hw
