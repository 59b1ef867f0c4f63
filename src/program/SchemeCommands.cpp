#include "program/SchemeCommands.h"

#include "base/Files.h"
#include "blender/ImageBlender.h"
#include "engine/ChangeRecord.h"
#include "engine/HtmlFile.h"
#include "engine/RecordMerge.h"
#include "engine/SchemeFile.h"
#include "engine/SchemeStylesheet.h"
#include "program/SwatchBookCommands.h"
#include "engine/CookieStore.h"

namespace hw {

namespace {

const char* const untitledQuestion = "Save changes to Untitled.wsm?";

std::string saveQuestion(const std::string& schemeFile) { return "Save changes to " + fileNameOf(schemeFile) + "?"; }

/// Copies a document the user keeps: the copy is complete or the target is untouched.
Status copyDocument(const std::string& from, const std::string& to) {
    const auto bytes = readFileBytes(from);
    if (!bytes) return Error{"The scheme file " + from + " cannot be read."};
    if (const Status written = writeFileAtomic(to, *bytes); !written)
        return Error{"The file " + to + " cannot be written. " + written.error()};
    return {};
}

} // namespace

std::string BlenderPictures::recreate(const std::string& sourcePath, const std::string& modulation,
                                      const std::string& oldColour) {
    const Result<std::string> made = recreateImage(sourcePath, modulation, oldColour);
    return made ? *made : std::string();
}

SchemeCommands::SchemeCommands(ProgramState& state, CommandStates& states, Screen& screen,
                               ImageBlenderCommands& blender)
    : m_state(state), m_states(states), m_screen(screen), m_blender(blender) {}

bool SchemeCommands::hasChangeRecord() const { return !CookieFileName(m_state.work).IsEmpty(); }

// ---- the scheme view ----------------------------------------------------------------------

bool SchemeCommands::LoadScheme(const std::string& schemeFile) {
    PageScheme& slot = currentSlot();
    auto built = buildSchemeView(schemeFile, slot.tableBorders, m_pictures);
    if (!built) {
        m_screen.warn(built.error());
        return false;
    }
    SchemeViewFiles& files = *built;
    if (!files.frameset) {
        if (m_state.schemeReload) m_state.work.cookieAnchor = files.workingCopy;
        if (slot.workingCopy.str() != emptyPathMarker) removeFile(slot.workingCopy.str());
        if (!slot.styleSheetCopy.IsEmpty() && slot.styleSheetCopy.str() != noStyleMarker)
            removeFile(slot.styleSheetCopy.str());
        slot.styleSheetCopy = files.styleSheetCopy;
    }
    slot.workingCopy = files.workingCopy;
    slot.frameCopies = files.frameCopies;
    if (!slot.swatchFile.empty()) removeFile(slot.swatchFile);
    slot.swatchFile = files.swatchFile;

    m_screen.navigate(files.workingCopy);
    m_state.currentSchemeCard = placeSchemeCards(m_state.schemeCards, m_state.currentSchemeCard, files.cards,
                                                 m_state.schemeReload, m_state.lastScheme());
    showCurrentSchemeCard();
    m_state.view = View::Scheme;
    m_states.apply(Situation::SchemeLoaded, m_state);
    return true;
}

bool SchemeCommands::RebuildSchemePage(const std::string& schemeFile) {
    PageScheme& slot = currentSlot();
    // A single page is rebuilt in place; a frameset always gets new files.
    const std::string inPlace = slot.workingCopy.str() == emptyPathMarker ? std::string() : slot.workingCopy.str();
    auto built = buildSchemeView(schemeFile, slot.tableBorders, m_pictures, inPlace);
    if (!built) {
        m_screen.warn(built.error());
        return false;
    }
    // The cards stay as they are: only the page is made again.
    removeFile(built->swatchFile);
    if (!built->frameset && slot.styleSheetCopy.str() != built->styleSheetCopy) {
        if (!slot.styleSheetCopy.IsEmpty() && slot.styleSheetCopy.str() != noStyleMarker)
            removeFile(slot.styleSheetCopy.str());
        slot.styleSheetCopy = built->styleSheetCopy;
    }
    slot.workingCopy = built->workingCopy;
    slot.frameCopies = built->frameCopies;
    return true;
}

void SchemeCommands::showCurrentSchemeCard() {
    const int c = m_state.currentSchemeCard;
    if (c >= 0 && c <= m_state.lastSchemeCard()) m_screen.showCard(cardViewOf(m_state.schemeCards[static_cast<std::size_t>(c)]));
}

void SchemeCommands::showSchemeCaption() {
    m_state.caption.pageName = fileNameOf(currentSlot().schemeFile.str());
    m_state.caption.bookName.clear();
    m_screen.setCaption(m_state.caption.compose());
}

void SchemeCommands::addSlot(const std::string& schemeFile, bool tableBorders) {
    PageScheme slot;
    slot.schemeFile = schemeFile;
    slot.tableBorders = tableBorders;
    m_state.schemes.push_back(slot);
    m_state.currentScheme = m_state.lastScheme();
}

bool SchemeCommands::mergeInto(const std::string& schemeFile) {
    m_state.work.changeRecord = ReadCookieFile(m_state.work);
    if (const Status merged = MergeSchemeRecords(m_state.work, schemeFile); !merged) {
        m_screen.warn("The painting could not be saved into " + schemeFile + ". " + merged.error());
        return false;
    }
    return true;
}

// ---- leaving painted work -------------------------------------------------------------------

bool SchemeCommands::mayLeavePaintedPage() {
    switch (m_screen.askYesNoCancel(untitledQuestion)) {
    case Answer::Cancel: return false;
    // A save that did not happen keeps the painting on show rather than dropping it.
    case Answer::Yes: return mnuSaveWebSchemeAsClick();
    case Answer::No: return true;
    }
    return false;
}

bool SchemeCommands::CheckUnsavedChanges() {
    if (!hasChangeRecord()) return true;
    if (m_state.showingPage()) {
        if (!mayLeavePaintedPage()) return false;
    } else if (m_state.showingScheme() && m_state.lastScheme() >= 0) {
        // The automatic save: the backup keeps the state of the last explicit save.
        PageScheme& slot = currentSlot();
        const std::string schemeFile = slot.schemeFile.str();
        if (slot.backupFile.str() == emptyPathMarker) {
            const std::string backup = joinPath(folderOf(schemeFile), "~" + fileNameOf(schemeFile));
            if (const Status copied = copyDocument(schemeFile, backup); !copied) {
                m_screen.warn(copied.error());
                return false;
            }
            slot.backupFile = backup;
        }
        if (!mergeInto(schemeFile)) return false;
        m_state.schemeReload = true;
        RebuildSchemePage(schemeFile);
    }
    CookieStore::purgeLocalCookies();
    return true;
}

// ---- saving and opening -----------------------------------------------------------------------

bool SchemeCommands::mnuSaveWebSchemeAsClick() {
    const auto chosen = m_screen.chooseFile(FileDialog::dlgSaveScheme);
    if (!chosen) return false;
    if (m_state.showingScheme() && m_state.lastScheme() >= 0) {
        const std::string from = currentSlot().schemeFile.str();
        if (*chosen != from) {
            if (const Status copied = copyDocument(from, *chosen); !copied) {
                m_screen.warn(copied.error());
                return false;
            }
        }
        const bool borders = currentSlot().tableBorders;
        addSlot(*chosen, borders);
        if (hasChangeRecord() && !mergeInto(*chosen)) return false;
    } else {
        const PageEntry* page = m_state.pageOnShow();
        if (!page) return false;
        m_state.work.pageFile = page->page;
        const auto written = page->frameset ? WriteFramesetSchemeFile(m_state.work, *chosen)
                                            : WriteSchemeFile(m_state.work, *chosen);
        if (!written) {
            m_screen.warn(written.error());
            return false;
        }
        addSlot(*chosen, page->tableBorders);
    }
    m_state.schemeReload = false;
    const bool shown = LoadScheme(*chosen);
    showSchemeCaption();
    m_states.apply(Situation::SchemeSavedAs, m_state);
    // The record now lives in the scheme file; the next paint starts a new one.
    CookieStore::purgeLocalCookies();
    PageScheme& slot = currentSlot();
    if (slot.backupFile.str() != emptyPathMarker) removeFile(slot.backupFile.str());
    slot.backupFile = emptyPathMarker;
    return shown;
}

bool SchemeCommands::mnuSaveWebSchemeClick() {
    if (!m_state.showingScheme() || m_state.lastScheme() < 0) return false;
    const std::string schemeFile = currentSlot().schemeFile.str();
    if (hasChangeRecord() && !mergeInto(schemeFile)) return false;
    m_state.schemeReload = true;
    LoadScheme(schemeFile);
    CookieStore::purgeLocalCookies();
    PageScheme& slot = currentSlot();
    if (slot.backupFile.str() != emptyPathMarker) removeFile(slot.backupFile.str());
    slot.backupFile = emptyPathMarker;
    m_states.apply(Situation::SchemeSaved, m_state);
    return true;
}

void SchemeCommands::mnuOpenWebSchemeClick() {
    if (const auto chosen = m_screen.chooseFile(FileDialog::dlgOpenWebScheme)) openWebScheme(*chosen);
}

void SchemeCommands::openWebScheme(const std::string& path) {
    if (!CheckUnsavedChanges()) return;
    if (OpenSchemeFromCommandLine(path)) m_states.apply(Situation::SchemeOpened, m_state);
}

void SchemeCommands::exportSchemeColours() {
    if (!m_state.showingScheme() || m_state.currentScheme < 0 || m_state.currentScheme > m_state.lastScheme()) return;
    const std::string schemeFile = currentSlot().schemeFile.str();
    const Result<std::vector<SwatchBook>> cards = readSchemeCards(schemeFile);
    if (!cards) {
        m_screen.warn(cards.error());
        return;
    }
    std::string name = fileNameOf(schemeFile);
    if (const auto dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
    exportPalette(m_screen, FileDialog::dlgExportScheme, *cards, name, "The scheme on show holds no colours to export.");
}

bool SchemeCommands::OpenSchemeFromCommandLine(const std::string& path) {
    const int wasCurrent = m_state.currentScheme;
    addSlot(path, false);
    m_state.schemeReload = false;
    if (!LoadScheme(path)) {
        // Nothing was shown: the slot goes again and the view stays as it was.
        m_state.schemes.pop_back();
        m_state.currentScheme = m_state.lastScheme() >= 0 ? wasCurrent : 0;
        return false;
    }
    m_state.work.cookieAnchor = path;
    showSchemeCaption();
    m_states.apply(Situation::SchemeOpenedFromCommandLine, m_state);
    return true;
}

void SchemeCommands::mnuCreateHtmlFileClick() {
    if (!m_state.showingScheme() || m_state.lastScheme() < 0) return;
    if (hasChangeRecord() && currentSlot().schemeFile.str() != emptyPathMarker) {
        // Only Yes saves; No and Cancel both go on to the dialog with the scheme as it was saved.
        if (m_screen.askYesNoCancel(saveQuestion(currentSlot().schemeFile.str())) == Answer::Yes)
            mnuSaveWebSchemeClick();
    }
    const auto chosen = m_screen.chooseFile(FileDialog::dlgCreateHtml);
    if (!chosen) return;
    const PageScheme& slot = currentSlot();
    const auto created = createHtmlFile(slot.workingCopy.str(), slot.frameCopies, *chosen);
    if (!created) {
        m_screen.warn(created.error());
        return;
    }
    m_screen.inform(createdNotice(*created));
}

void SchemeCommands::mnuExportStylesheetClick() {
    if (!m_state.showingScheme() || m_state.lastScheme() < 0) return;
    if (hasChangeRecord() && currentSlot().schemeFile.str() != emptyPathMarker) {
        // The stylesheet is made from the scheme file, so unsaved painting is offered a save;
        // No exports the scheme as it was saved, Cancel exports nothing.
        const Answer answer = m_screen.askYesNoCancel(saveQuestion(currentSlot().schemeFile.str()));
        if (answer == Answer::Cancel) return;
        if (answer == Answer::Yes) mnuSaveWebSchemeClick();
    }
    const std::string scheme = currentSlot().schemeFile.str();
    if (scheme == emptyPathMarker) return;
    const auto chosen = m_screen.chooseFile(FileDialog::dlgExportStylesheet);
    if (!chosen) return;
    const auto written = exportSchemeStyleSheet(scheme, *chosen, todayText());
    if (!written) {
        m_screen.warn(written.error());
        return;
    }
    std::string notice = written->size() == 1 ? "The stylesheet has been saved as" : "The stylesheets have been saved as";
    for (const auto& path : *written) notice += "\n" + path;
    m_screen.inform(notice);
}

// ---- stepping -------------------------------------------------------------------------------

bool SchemeCommands::stepInsideScheme(int step) {
    const int c = m_state.currentSchemeCard;
    const int to = c + step;
    const int last = m_state.lastSchemeCard();
    if (c < 0 || c > last || to < 0 || to > last) return false;
    const auto& cards = m_state.schemeCards;
    if (cards[static_cast<std::size_t>(to)].GetTitle().str() != cards[static_cast<std::size_t>(c)].GetTitle().str())
        return false;
    m_state.currentSchemeCard = to;
    showCurrentSchemeCard();
    m_states.apply(Situation::SchemeButtonsUpdated, m_state);
    return true;
}

void SchemeCommands::SBtbnPreviousSchemeClick() {
    if (!stepInsideScheme(-1)) PreviousScheme();
}

void SchemeCommands::SBtbnNextSchemeClick() {
    if (!stepInsideScheme(+1)) NextScheme();
}

void SchemeCommands::tbnPreviousSchemeClick() {
    // To the first card of the scheme on show, so the step lands on the previous scheme's cards.
    auto& c = m_state.currentSchemeCard;
    const auto& cards = m_state.schemeCards;
    while (c > 0 && c <= m_state.lastSchemeCard() &&
           cards[static_cast<std::size_t>(c - 1)].GetTitle().str() == cards[static_cast<std::size_t>(c)].GetTitle().str())
        --c;
    PreviousScheme();
}

void SchemeCommands::tbnNextSchemeClick() {
    auto& c = m_state.currentSchemeCard;
    const auto& cards = m_state.schemeCards;
    while (c >= 0 && c < m_state.lastSchemeCard() &&
           cards[static_cast<std::size_t>(c + 1)].GetTitle().str() == cards[static_cast<std::size_t>(c)].GetTitle().str())
        ++c;
    NextScheme();
}

void SchemeCommands::PreviousScheme() { stepScheme(Step::Previous); }

void SchemeCommands::NextScheme() { stepScheme(Step::Next); }

void SchemeCommands::stepScheme(Step step) {
    if (m_state.lastScheme() < 0) return;
    bool moved = false;
    if (!m_state.showingScheme() || m_state.lastScheme() == 0) {
        // Back to the scheme view on the current scheme.
        if (hasChangeRecord() && !CheckUnsavedChanges()) return;
        m_state.view = View::Scheme;
        moved = true;
        showCurrentSchemeCard();
    } else if ((step == Step::Previous && m_state.currentScheme > 0) ||
               (step == Step::Next && m_state.currentScheme < m_state.lastScheme())) {
        if (!CheckUnsavedChanges()) return;
        m_state.currentScheme += step == Step::Previous ? -1 : 1;
        moved = true;
        if (step == Step::Previous) m_state.skipUndoEnable = true;
        int& c = m_state.currentSchemeCard;
        if (step == Step::Previous && c > 0) --c;
        if (step == Step::Next && c < m_state.lastSchemeCard()) ++c;
        showCurrentSchemeCard();
    }
    if (moved) {
        const PageScheme& slot = currentSlot();
        m_state.work.cookieAnchor = slot.workingCopy;
        m_screen.navigate(slot.workingCopy.str());
        m_states.apply(Situation::SchemeStepped, m_state);
    }
    m_states.apply(Situation::SchemeButtonsUpdated, m_state);
    showSchemeCaption();
}

// ---- painting and closing -----------------------------------------------------------------------

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
    if (hasChangeRecord()) {
        if (m_state.showingPage()) {
            if (!mayLeavePaintedPage()) return false;
        } else if (m_state.showingScheme() && m_state.lastScheme() >= 0) {
            switch (m_screen.askYesNoCancel(saveQuestion(currentSlot().schemeFile.str()))) {
            case Answer::Yes:
                if (!mnuSaveWebSchemeClick()) return false;
                break;
            case Answer::No: break;
            case Answer::Cancel: return false;
            }
        }
    }
    // Every scheme changed since its last explicit save, in scheme order; a Cancel still lets
    // the remaining schemes be asked about.
    bool mayClose = true;
    for (int i = 0; i <= m_state.lastScheme(); ++i) {
        m_state.currentScheme = i;
        PageScheme& slot = currentSlot();
        if (slot.backupFile.str() == emptyPathMarker) continue;
        const std::string schemeFile = slot.schemeFile.str();
        switch (m_screen.askYesNoCancel(saveQuestion(schemeFile))) {
        case Answer::Yes:
            if (!mnuSaveWebSchemeClick()) mayClose = false;
            break;
        case Answer::No:
            // The backup holds the last explicit save; renaming it over the scheme file is
            // one step, so the file is never half there.
            if (moveFile(slot.backupFile.str(), schemeFile)) {
                slot.backupFile = emptyPathMarker;
            } else {
                m_screen.warn("The scheme file " + schemeFile + " could not be restored from " +
                              slot.backupFile.str() + ".");
                mayClose = false;
            }
            break;
        case Answer::Cancel: mayClose = false; break;
        }
    }
    return mayClose;
}

void SchemeCommands::cleanUp() {
    for (const PageScheme& slot : m_state.schemes) {
        if (slot.workingCopy.str() != emptyPathMarker) removeFile(slot.workingCopy.str());
        if (!slot.swatchFile.empty()) removeFile(slot.swatchFile);
        if (!slot.styleSheetCopy.IsEmpty() && slot.styleSheetCopy.str() != noStyleMarker)
            removeFile(slot.styleSheetCopy.str());
        const std::string folder = folderOf(slot.workingCopy.str());
        if (slot.workingCopy.str() == emptyPathMarker || folder.empty()) continue;
        for (const char* pattern : {"ps*.TMP", "fps*.TMP", "ss*.TMP", "sb*.TMP"}) sweepFiles(folder, pattern);
    }
}

} // namespace hw
