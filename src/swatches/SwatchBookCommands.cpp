#include "swatches/SwatchBookCommands.h"

#include "base/Files.h"
#include "swatches/SwatchBookFile.h"

#include <string>

namespace hw {

namespace {

const char* const saveQuestion = "Save changes to swatch book?";
const char* const tenCardsQuestion =
    "Only ten cards are permitted in each swatch book.\n Do you wish to open a new book?";

} // namespace

SwatchBookCommands::SwatchBookCommands(Screen& screen, WindowCaption& caption)
    : m_screen(screen), m_caption(caption) {}

CardView SwatchBookCommands::cardView(int index) const {
    CardView view;
    if (index < 0 || index >= maxCards) return view;
    const hw::SwatchBook& card = cards[static_cast<std::size_t>(index)];
    view.title = card.GetTitle().str();
    for (int slot = 1; slot <= 3; ++slot) {
        view.colors[slot - 1] = card.GetColor(slot);
        view.captions[slot - 1] = card.GetCaption(slot).str();
    }
    return view;
}

void SwatchBookCommands::showCard(int index) { m_screen.showCard(cardView(index)); }

void SwatchBookCommands::showEmptyCard(const std::string& title) {
    CardView view;
    view.title = title;
    m_screen.showCard(view);
}

void SwatchBookCommands::recomposeCaption() { m_screen.setCaption(m_caption.compose()); }

void SwatchBookCommands::setSaveEnabledByPath() {
    m_screen.setEnabled(Command::mnuSaveSwatchBook, !bookPath.empty());
}

void SwatchBookCommands::addCard(TColor color1, TColor color2, TColor color3, const AnsiString& caption1,
                                 const AnsiString& caption2, const AnsiString& caption3) {
    bookModified = true;
    setSaveEnabledByPath();
    ++lastCard;
    if (lastCard > maxCards - 1) {
        lastCard = maxCards - 1;
        if (!m_screen.askYesNo(tenCardsQuestion)) return;
        const SaveAnswer answer = askSaveBook();
        // A save that failed keeps the ten cards and their modified mark, so nothing is lost.
        if (answer == SaveAnswer::SaveFailed) return;
        if (answer != SaveAnswer::Cancel) resetBook("");
        bookModified = false;
        bookPath.clear();
        for (Command c : {Command::mnuSaveSwatchBook, Command::mnuSaveSwatchBookAs, Command::SBtbnBin,
                          Command::SBtbnPreviousCard, Command::SBtbnNextCard})
            m_screen.setEnabled(c, false);
        return;
    }
    currentCard = lastCard;
    hw::SwatchBook& card = cards[static_cast<std::size_t>(currentCard)];
    card.SetColor1(color1);
    card.SetColor2(color2);
    card.SetColor3(color3);
    card.SetCaption1(caption1);
    card.SetCaption2(caption2);
    card.SetCaption3(caption3);
    card.SetTitle(AnsiString("Untitled-" + std::to_string(currentCard + 1)));
    showCard(currentCard);
    m_screen.setEnabled(Command::mnuSaveSwatchBookAs, true);
    m_screen.setEnabled(Command::SBtbnBin, true);
    m_screen.setEnabled(Command::SBtbnNextCard, false);
    if (lastCard > 0) m_screen.setEnabled(Command::SBtbnPreviousCard, true);
}

void SwatchBookCommands::deleteCard() {
    if (lastCard > 0) {
        --lastCard;
        // Cards after the deleted one move up one place; their titles are renumbered by the
        // new positions, not carried along. The loop runs to the last array slot, copying stale
        // cards too, which are never shown.
        for (int i = currentCard; i <= maxCards - 2; ++i) {
            if (i < 0) continue;
            hw::SwatchBook& to = cards[static_cast<std::size_t>(i)];
            const hw::SwatchBook& from = cards[static_cast<std::size_t>(i + 1)];
            for (int slot = 1; slot <= 3; ++slot) {
                to.SetColor(slot, from.GetColor(slot));
                to.SetCaption(slot, from.GetCaption(slot));
            }
            to.SetTitle(AnsiString("Untitled-" + std::to_string(i + 1)));
        }
        if (currentCard == lastCard + 1) currentCard = lastCard;
        showCard(currentCard);
        bookModified = true;
        if (!bookPath.empty()) m_screen.setEnabled(Command::mnuSaveSwatchBook, true);
    } else if (lastCard == 0) {
        lastCard = -1;
        --currentCard;
        showEmptyCard("");
        m_screen.setEnabled(Command::SBtbnBin, false);
        m_screen.setEnabled(Command::mnuSaveSwatchBookAs, false);
        m_screen.setEnabled(Command::mnuSaveSwatchBook, false);
        bookModified = false;
    }
    if (currentCard == lastCard) m_screen.setEnabled(Command::SBtbnNextCard, false);
    if (currentCard < 0) {
        m_screen.setEnabled(Command::SBtbnPreviousCard, false);
        m_screen.setEnabled(Command::SBtbnBin, false);
    }
}

void SwatchBookCommands::resetBook(const std::string& title) {
    for (int i = 0; i <= lastCard && i < maxCards; ++i) {
        hw::SwatchBook& card = cards[static_cast<std::size_t>(i)];
        for (int slot = 1; slot <= 3; ++slot) {
            card.SetColor(slot, clWhite);
            card.SetCaption(slot, AnsiString());
        }
    }
    showEmptyCard(title);
    lastCard = -1;
    currentCard = -1;
}

bool SwatchBookCommands::readBook(const std::string& path) {
    // The file is parsed into a separate book first, so a rejected file leaves this one whole.
    const Result<BookContents> read = readBookFile(path);
    if (!read) {
        m_screen.warn(read.error());
        return false;
    }
    cards = read->cards;
    lastCard = read->lastCard;
    currentCard = lastCard;
    if (lastCard >= 0)
        showCard(currentCard);
    else
        showEmptyCard("");
    return true;
}

bool SwatchBookCommands::writeBook(const std::string& path, bool finalLineEnd) {
    const Status written = writeBookFile(path, cards, lastCard, finalLineEnd);
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
    std::string path = bookPath;
    if (path.empty()) {
        const auto chosen = m_screen.chooseFile(FileDialog::dlgSaveAs);
        if (!chosen) return SaveAnswer::SaveDialogCancelled;
        path = *chosen;
    }
    if (!writeBook(path, false)) return SaveAnswer::SaveFailed;
    bookModified = false;
    m_screen.setEnabled(Command::mnuSaveSwatchBook, false);
    return SaveAnswer::Saved;
}

bool SwatchBookCommands::commitOpenedBook(const std::string& path) {
    if (!readBook(path)) return false;
    bookPath = path;
    bookFileName = fileNameOf(path);
    m_caption.bookName = bookFileName;
    recomposeCaption();
    bookModified = false;
    m_screen.setEnabled(Command::mnuSaveSwatchBook, false);
    m_screen.setEnabled(Command::mnuSaveSwatchBookAs, true);
    m_screen.setEnabled(Command::SBtbnBin, true);
    m_screen.setEnabled(Command::SBtbnPreviousCard, true);
    // The last card is the current one, so there is no next card to step to.
    m_screen.setEnabled(Command::SBtbnNextCard, false);
    return true;
}

void SwatchBookCommands::openBookAtStartup(const std::string& path) { commitOpenedBook(path); }

void SwatchBookCommands::newSwatchBook() {
    SaveAnswer answer = SaveAnswer::No;
    if (bookModified) answer = askSaveBook();
    if (answer == SaveAnswer::SaveFailed) return;
    // Cancel keeps the cards but still leaves the book without a file and unmodified.
    if (answer != SaveAnswer::Cancel) {
        resetBook("Swatch Book");
        bookFileName = "Untitled.sbk";
        m_caption.bookName = bookFileName;
        recomposeCaption();
    }
    bookModified = false;
    bookPath.clear();
    for (Command c : {Command::SBtbnBin, Command::SBtbnPreviousCard, Command::SBtbnNextCard,
                      Command::mnuSaveSwatchBook, Command::mnuSaveSwatchBookAs})
        m_screen.setEnabled(c, false);
}

void SwatchBookCommands::openSwatchBook() {
    if (bookModified) {
        const SaveAnswer answer = askSaveBook();
        if (answer == SaveAnswer::Cancel || answer == SaveAnswer::SaveFailed) return;
    }
    const auto chosen = m_screen.chooseFile(FileDialog::dlgOpen);
    if (!chosen) return;
    commitOpenedBook(*chosen);
}

void SwatchBookCommands::saveSwatchBook() {
    if (bookPath.empty()) {
        saveSwatchBookAs();
        return;
    }
    if (!writeBook(bookPath, false)) return;
    bookModified = false;
    m_screen.setEnabled(Command::mnuSaveSwatchBook, false);
}

void SwatchBookCommands::saveSwatchBookAs() {
    const auto chosen = m_screen.chooseFile(FileDialog::dlgSaveAs);
    if (!chosen) return;
    if (!writeBook(*chosen, true)) return;
    bookPath = *chosen;
    bookFileName = fileNameOf(bookPath);
    m_caption.bookName = bookFileName;
    recomposeCaption();
    bookModified = false;
    m_screen.setEnabled(Command::mnuSaveSwatchBook, false);
}

bool SwatchBookCommands::mayClose() {
    if (!bookModified) return true;
    const SaveAnswer answer = askSaveBook();
    return answer == SaveAnswer::Saved || answer == SaveAnswer::No;
}

void SwatchBookCommands::previousCard() {
    if (currentCard > 0) {
        --currentCard;
        showCard(currentCard);
    } else if (currentCard == 0 && lastCard == 0) {
        showCard(currentCard);
    }
    if (currentCard == 0) m_screen.setEnabled(Command::SBtbnPreviousCard, false);
    if (lastCard == currentCard + 1) m_screen.setEnabled(Command::SBtbnNextCard, true);
    if (lastSchemeCard && lastSchemeCard() == 0) m_screen.setEnabled(Command::SBtbnNextScheme, true);
}

void SwatchBookCommands::nextCard() {
    if (currentCard < lastCard) {
        ++currentCard;
        showCard(currentCard);
    } else if (currentCard == lastCard && lastCard >= 0) {
        showCard(currentCard);
    }
    if (currentCard == lastCard) m_screen.setEnabled(Command::SBtbnNextCard, false);
    if (currentCard == 1) m_screen.setEnabled(Command::SBtbnPreviousCard, true);
}

std::optional<std::string> SwatchBookCommands::beginRenameCard(const std::string& titleLabelText) const {
    if (titleLabelText.empty() || lastCard < 0 || currentCard < 0 || currentCard > lastCard) return std::nullopt;
    return cards[static_cast<std::size_t>(currentCard)].GetTitle().str();
}

void SwatchBookCommands::renameCard(const std::string& title) {
    if (lastCard < 0 || currentCard < 0 || currentCard > lastCard) return;
    cards[static_cast<std::size_t>(currentCard)].SetTitle(AnsiString(title));
    m_screen.setCardTitle(title);
}

} // namespace hw
