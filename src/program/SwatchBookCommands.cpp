#include "program/SwatchBookCommands.h"

#include "base/Files.h"
#include "swatches/PaletteFormats.h"
#include "swatches/SwatchBookFile.h"

#include <string>

namespace hw {

namespace {

const char* const saveQuestion = "Save changes to swatch book?";
const char* const tenCardsQuestion =
    "Only ten cards are permitted in each swatch book.\n Do you wish to open a new book?";

std::string plural(std::size_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

} // namespace

bool exportPalette(Screen& screen, FileDialog dialog, const std::vector<SwatchBook>& cards, const std::string& name,
                   const std::string& nothingText) {
    bool anyColour = false;
    for (const SwatchBook& card : cards) anyColour = anyColour || filledSlots(card) > 0;
    if (!anyColour) {
        screen.inform(nothingText);
        return false;
    }
    const auto chosen = screen.chooseFile(dialog);
    if (!chosen) return false;
    const auto format = paletteFormatOfPath(*chosen);
    if (!format) {
        screen.warn("The palette \"" + *chosen +
                    "\" was not written: its name should end in .gpl, .ase, .css or .json, for the kind of palette.");
        return false;
    }
    const Status written = writePaletteFile(*chosen, *format, cards, name);
    if (written) return true;
    screen.warn("The palette could not be exported. " + written.error());
    return false;
}

SwatchBookCommands::SwatchBookCommands(ProgramState& state, CommandStates& states, Screen& screen)
    : m_state(state), m_book(state.book), m_states(states), m_screen(screen), m_caption(state.caption) {}

void SwatchBookCommands::apply(Situation situation) { m_states.apply(situation, m_state); }

CardView cardViewOf(const hw::SwatchBook& card) {
    CardView view;
    view.title = card.GetTitle().str();
    for (int slot = 1; slot <= 3; ++slot) {
        view.colors[slot - 1] = card.GetColor(slot);
        view.captions[slot - 1] = card.GetCaption(slot).str();
    }
    return view;
}

CardView bookCardView(const BookState& book, int index) {
    if (index < 0 || index >= maxCards) return {};
    return cardViewOf(book.cards[static_cast<std::size_t>(index)]);
}

CardView SwatchBookCommands::cardView(int index) const { return bookCardView(m_book, index); }

void SwatchBookCommands::showCard(int index) { m_screen.showCard(cardView(index)); }

void SwatchBookCommands::showEmptyCard(const std::string& title) {
    CardView view;
    view.title = title;
    m_screen.showCard(view);
}

void SwatchBookCommands::recomposeCaption() { m_screen.setCaption(m_caption.compose()); }

void SwatchBookCommands::addCard(TColor color1, TColor color2, TColor color3, const AnsiString& caption1,
                                 const AnsiString& caption2, const AnsiString& caption3) {
    m_book.bookModified = true;
    ++m_book.lastCard;
    if (m_book.lastCard > maxCards - 1) {
        m_book.lastCard = maxCards - 1;
        apply(Situation::BookModified);
        if (!m_screen.askYesNo(tenCardsQuestion)) return;
        const SaveAnswer answer = askSaveBook();
        // A save that failed keeps the ten cards and their modified mark, so nothing is lost.
        if (answer == SaveAnswer::SaveFailed) return;
        if (answer != SaveAnswer::Cancel) resetBook("");
        m_book.bookModified = false;
        m_book.bookPath.clear();
        apply(Situation::BookEmptied);
        return;
    }
    m_book.currentCard = m_book.lastCard;
    hw::SwatchBook& card = m_book.cards[static_cast<std::size_t>(m_book.currentCard)];
    card.SetColor1(color1);
    card.SetColor2(color2);
    card.SetColor3(color3);
    card.SetCaption1(caption1);
    card.SetCaption2(caption2);
    card.SetCaption3(caption3);
    card.SetTitle(AnsiString("Untitled-" + std::to_string(m_book.currentCard + 1)));
    showCard(m_book.currentCard);
    apply(Situation::CardAdded);
}

void SwatchBookCommands::deleteCard() {
    if (m_book.lastCard > 0) {
        --m_book.lastCard;
        // Cards after the deleted one move up one place; their titles are renumbered by the
        // new positions, not carried along. The loop runs to the last array slot, copying stale
        // cards too, which are never shown.
        for (int i = m_book.currentCard; i <= maxCards - 2; ++i) {
            if (i < 0) continue;
            hw::SwatchBook& to = m_book.cards[static_cast<std::size_t>(i)];
            const hw::SwatchBook& from = m_book.cards[static_cast<std::size_t>(i + 1)];
            for (int slot = 1; slot <= 3; ++slot) {
                to.SetColor(slot, from.GetColor(slot));
                to.SetCaption(slot, from.GetCaption(slot));
            }
            to.SetTitle(AnsiString("Untitled-" + std::to_string(i + 1)));
        }
        if (m_book.currentCard == m_book.lastCard + 1) m_book.currentCard = m_book.lastCard;
        showCard(m_book.currentCard);
        m_book.bookModified = true;
    } else if (m_book.lastCard == 0) {
        m_book.lastCard = -1;
        --m_book.currentCard;
        showEmptyCard("");
        m_book.bookModified = false;
    }
    apply(Situation::CardDeleted);
}

void SwatchBookCommands::resetBook(const std::string& title) {
    for (int i = 0; i <= m_book.lastCard && i < maxCards; ++i) {
        hw::SwatchBook& card = m_book.cards[static_cast<std::size_t>(i)];
        for (int slot = 1; slot <= 3; ++slot) {
            card.SetColor(slot, clWhite);
            card.SetCaption(slot, AnsiString());
        }
    }
    showEmptyCard(title);
    m_book.lastCard = -1;
    m_book.currentCard = -1;
}

bool SwatchBookCommands::readBook(const std::string& path) {
    // The file is parsed into a separate book first, so a rejected file leaves this one whole.
    const Result<BookContents> read = readBookFile(path);
    if (!read) {
        m_screen.warn(read.error());
        return false;
    }
    m_book.cards = read->cards;
    m_book.lastCard = read->lastCard;
    m_book.currentCard = m_book.lastCard;
    if (m_book.lastCard >= 0)
        showCard(m_book.currentCard);
    else
        showEmptyCard("");
    return true;
}

bool SwatchBookCommands::writeBook(const std::string& path, bool finalLineEnd) {
    const Status written = writeBookFile(path, m_book.cards, m_book.lastCard, finalLineEnd);
    if (written) return true;
    m_screen.warn("The swatch book could not be saved. " + written.error());
    return false;
}

SaveAnswer SwatchBookCommands::askSaveBook() {
    switch (m_screen.askYesNoCancel(saveQuestion)) {
    case Answer::No:
        return SaveAnswer::No;
    case Answer::Cancel:
        return SaveAnswer::Cancel;
    case Answer::Yes:
        break;
    }
    std::string path = m_book.bookPath;
    if (path.empty()) {
        const auto chosen = m_screen.chooseFile(FileDialog::dlgSaveAs);
        if (!chosen) return SaveAnswer::SaveDialogCancelled;
        path = *chosen;
    }
    if (!writeBook(path, false)) return SaveAnswer::SaveFailed;
    m_book.bookModified = false;
    apply(Situation::BookSaved);
    return SaveAnswer::Saved;
}

bool SwatchBookCommands::commitOpenedBook(const std::string& path) {
    if (!readBook(path)) return false;
    m_book.bookPath = path;
    m_book.bookFileName = fileNameOf(path);
    m_caption.bookName = m_book.bookFileName;
    recomposeCaption();
    m_book.bookModified = false;
    // The last card is the current one, so there is no next card to step to.
    apply(Situation::BookOpened);
    return true;
}

void SwatchBookCommands::openBookAtStartup(const std::string& path) { commitOpenedBook(path); }

void SwatchBookCommands::newSwatchBook() {
    SaveAnswer answer = SaveAnswer::No;
    if (m_book.bookModified) answer = askSaveBook();
    if (answer == SaveAnswer::SaveFailed) return;
    // Cancel keeps the cards but still leaves the book without a file and unmodified.
    if (answer != SaveAnswer::Cancel) {
        resetBook("Swatch Book");
        m_book.bookFileName = "Untitled.sbk";
        m_caption.bookName = m_book.bookFileName;
        recomposeCaption();
    }
    m_book.bookModified = false;
    m_book.bookPath.clear();
    apply(Situation::BookEmptied);
}

void SwatchBookCommands::openSwatchBook() {
    if (!mayReplaceBook()) return;
    const auto chosen = m_screen.chooseFile(FileDialog::dlgOpen);
    if (!chosen) return;
    commitOpenedBook(*chosen);
}

void SwatchBookCommands::openSwatchBook(const std::string& path) {
    if (mayReplaceBook()) commitOpenedBook(path);
}

bool SwatchBookCommands::mayReplaceBook() {
    if (!m_book.bookModified) return true;
    const SaveAnswer answer = askSaveBook();
    return answer != SaveAnswer::Cancel && answer != SaveAnswer::SaveFailed;
}

void SwatchBookCommands::saveSwatchBook() {
    if (m_book.bookPath.empty()) {
        saveSwatchBookAs();
        return;
    }
    if (!writeBook(m_book.bookPath, false)) return;
    m_book.bookModified = false;
    apply(Situation::BookSaved);
}

void SwatchBookCommands::saveSwatchBookAs() {
    const auto chosen = m_screen.chooseFile(FileDialog::dlgSaveAs);
    if (!chosen) return;
    if (!writeBook(*chosen, true)) return;
    m_book.bookPath = *chosen;
    m_book.bookFileName = fileNameOf(m_book.bookPath);
    m_caption.bookName = m_book.bookFileName;
    recomposeCaption();
    m_book.bookModified = false;
    apply(Situation::BookSaved);
}

void SwatchBookCommands::exportSwatchBook() {
    const int count = m_book.lastCard + 1;
    const std::vector<SwatchBook> cards(m_book.cards.begin(), m_book.cards.begin() + std::max(count, 0));
    std::string name = m_book.bookFileName;
    if (const auto dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
    exportPalette(m_screen, FileDialog::dlgExportBook, cards, name.empty() ? "Swatch Book" : name,
                  "The swatch book holds no colours to export.");
}

void SwatchBookCommands::importIntoSwatchBook() {
    const auto chosen = m_screen.chooseFile(FileDialog::dlgImportPalette);
    if (chosen) importPalette(*chosen);
}

bool SwatchBookCommands::importPalette(const std::string& path) {
    const int room = maxCards - 1 - m_book.lastCard;
    if (room <= 0) {
        m_screen.warn("Only ten cards are permitted in each swatch book, and this one is full: nothing was imported. "
                      "Open a new book and import into it.");
        return false;
    }
    // The file is read whole before the book is touched, so a rejected file changes nothing.
    const Result<std::vector<SwatchBook>> read = readPaletteFile(path);
    if (!read) {
        m_screen.warn(read.error());
        return false;
    }
    const std::vector<SwatchBook>& cards = *read;
    const std::size_t taken = std::min(cards.size(), static_cast<std::size_t>(room));
    for (std::size_t i = 0; i < taken; ++i)
        m_book.cards[static_cast<std::size_t>(m_book.lastCard + 1) + i] = cards[i];
    m_book.lastCard += static_cast<int>(taken);
    m_book.currentCard = m_book.lastCard;
    m_book.bookModified = true;
    showCard(m_book.currentCard);
    apply(Situation::CardAdded);
    if (taken < cards.size()) {
        std::size_t colours = 0;
        for (std::size_t i = taken; i < cards.size(); ++i) colours += static_cast<std::size_t>(filledSlots(cards[i]));
        const std::size_t left = cards.size() - taken;
        m_screen.inform("Only ten cards are permitted in each swatch book. " + plural(taken, "card") +
                        (taken == 1 ? " was" : " were") + " imported; " + plural(colours, "colour") + " on " +
                        plural(left, "card") + (colours == 1 ? " was" : " were") + " left out.");
    }
    return true;
}

bool SwatchBookCommands::mayClose() {
    if (!m_book.bookModified) return true;
    const SaveAnswer answer = askSaveBook();
    return answer == SaveAnswer::Saved || answer == SaveAnswer::No;
}

void SwatchBookCommands::previousCard() {
    if (m_book.currentCard > 0) {
        --m_book.currentCard;
        showCard(m_book.currentCard);
    } else if (m_book.currentCard == 0 && m_book.lastCard == 0) {
        showCard(m_book.currentCard);
    }
    apply(Situation::CardSteppedBack);
}

void SwatchBookCommands::nextCard() {
    if (m_book.currentCard < m_book.lastCard) {
        ++m_book.currentCard;
        showCard(m_book.currentCard);
    } else if (m_book.currentCard == m_book.lastCard && m_book.lastCard >= 0) {
        showCard(m_book.currentCard);
    }
    apply(Situation::CardSteppedForward);
}

std::optional<std::string> SwatchBookCommands::beginRenameCard(const std::string& titleLabelText) const {
    if (titleLabelText.empty() || m_book.lastCard < 0 || m_book.currentCard < 0 || m_book.currentCard > m_book.lastCard) return std::nullopt;
    return m_book.cards[static_cast<std::size_t>(m_book.currentCard)].GetTitle().str();
}

void SwatchBookCommands::renameCard(const std::string& title) {
    if (m_book.lastCard < 0 || m_book.currentCard < 0 || m_book.currentCard > m_book.lastCard) return;
    m_book.cards[static_cast<std::size_t>(m_book.currentCard)].SetTitle(AnsiString(title));
    m_screen.setCardTitle(title);
}

} // namespace hw
