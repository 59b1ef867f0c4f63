#pragma once

#include "base/AnsiString.h"
#include "colour/TColor.h"
#include "program/CommandStates.h"
#include "program/ProgramState.h"
#include "program/Screen.h"
#include "swatches/SwatchBook.h"
#include "swatches/WindowCaption.h"

#include <optional>
#include <string>
#include <vector>

namespace hw {

/// What the book panel shows of a card: its title, colours and captions.
CardView cardViewOf(const SwatchBook& card);
/// What the book panel shows of card `index` of the book (an empty white card when there is none).
CardView bookCardView(const BookState& book, int index);

/// Exports cards as a palette file: the save dialog `dialog` chooses the file, its extension
/// the format. `nothingText` is told when no card holds a colour; a file that cannot be written
/// is told with Screen::warn. Returns whether a file was written.
bool exportPalette(Screen& screen, FileDialog dialog, const std::vector<SwatchBook>& cards, const std::string& name,
                   const std::string& nothingText);

/// The outcome of the save question.
enum class SaveAnswer {
    Saved,               ///< Yes, and the book was written
    No,                  ///< No: nothing written
    Cancel,              ///< Cancel: nothing written
    SaveDialogCancelled, ///< Yes, but the user cancelled the save dialog
    SaveFailed,          ///< Yes, but the file could not be written (already told to the user)
};

/// The swatch book of the main window and its commands: the File menu's book items, adding and
/// deleting cards with the ten-card limit, the save question, and the book panel's stepping and
/// renaming. It works on the book of the program's state and talks to the screen only through
/// `Screen`; the main window's handlers call these and nothing else.
///
/// Sound behaviour beyond the plain commands: a book file that cannot be read is told with
/// Screen::warn and leaves the book as it was; a book that cannot be written is told with
/// Screen::warn and stays modified, and a save question whose save failed answers SaveFailed,
/// on which every caller keeps the book.
class SwatchBookCommands {
public:
    SwatchBookCommands(ProgramState& state, CommandStates& states, Screen& screen);

    const BookState& book() const { return m_book; }

    // --- Card operations -------------------------------------------------------------------
    /// "Add to Swatch Book": appends a card titled "Untitled-" + its position, or, with ten
    /// cards already, asks whether to open a new book.
    void addCard(TColor color1, TColor color2, TColor color3, const AnsiString& caption1,
                 const AnsiString& caption2, const AnsiString& caption3);
    /// "Delete Card": removes the current card; the cards after it move up and are retitled
    /// "Untitled-" + their new position.
    void deleteCard();
    /// Empties the book and shows an empty card with `title` as the title label.
    void resetBook(const std::string& title);

    // --- Files -----------------------------------------------------------------------------
    /// Reads a book file into the book and shows its last card. A file that cannot be read is
    /// told with Screen::warn and leaves the book untouched; returns whether it was read.
    bool readBook(const std::string& path);
    /// Writes cards 0..lastCard; `finalLineEnd` only for Save Swatch Book As. A failure is told
    /// with Screen::warn; returns whether the file was written.
    bool writeBook(const std::string& path, bool finalLineEnd);
    /// "Save changes to swatch book?" with Yes, No and Cancel; Yes saves.
    SaveAnswer askSaveBook();
    /// The book named on the command line; as Open without the dialog.
    void openBookAtStartup(const std::string& path);

    // --- File menu -------------------------------------------------------------------------
    void newSwatchBook();    ///< mnuNewSwatchBookClick
    void openSwatchBook();   ///< mnuOpenClick
    /// Open Swatch Book with the file already chosen (a book dropped on the window); a
    /// modified book is offered for saving first.
    void openSwatchBook(const std::string& path);
    void saveSwatchBook();   ///< mnuSaveSwatchBookClick
    void saveSwatchBookAs(); ///< mnuSaveSwatchBookAsClick
    /// File > Export Swatch Book: the book's cards as a GIMP, ASE, CSS or design-token palette.
    void exportSwatchBook();
    /// File > Import into Swatch Book: a palette file's colours become cards after the book's
    /// last card, three colours a card.
    void importIntoSwatchBook();
    /// Imports a palette file into the book, as many cards as the ten-card limit leaves room
    /// for; the colours left out are told. A file that cannot be read is told with
    /// Screen::warn and leaves the book, and whether it is modified, exactly as it was.
    /// Returns whether any card was added.
    bool importPalette(const std::string& path);
    /// Shutdown: asks the save question when the book is modified; false keeps the window open.
    bool mayClose();

    // --- Book panel ------------------------------------------------------------------------
    void previousCard(); ///< SBtbnPreviousCardClick
    void nextCard();     ///< SBtbnNextCardClick
    /// SBlblCardTitleClick: the current card's title to fill the title editor with, or nullopt
    /// when the editor does not open (the label is empty or the book holds no card).
    std::optional<std::string> beginRenameCard(const std::string& titleLabelText) const;
    /// Enter in SBeditCardTitle: the current book card takes the title and the title label
    /// shows it. Renaming does not mark the book modified.
    void renameCard(const std::string& title);

    /// What the book panel shows of card `index`.
    CardView cardView(int index) const;

private:
    void showCard(int index);
    void showEmptyCard(const std::string& title);
    void recomposeCaption();
    void apply(Situation situation);
    bool commitOpenedBook(const std::string& path);
    /// The save question for a modified book; false when the user cancels or the save fails.
    bool mayReplaceBook();

    ProgramState& m_state;
    BookState& m_book;
    CommandStates& m_states;
    Screen& m_screen;
    WindowCaption& m_caption;
};

} // namespace hw
