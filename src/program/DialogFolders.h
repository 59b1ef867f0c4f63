#pragma once

#include "program/ProgramState.h"
#include "program/Screen.h"

#include <array>
#include <string>

namespace hw {

/// Where each file dialog opens: beside the document the dialog is about (the page or scheme on
/// show, the swatch book's file), else in the folder last used for that kind of file, else in
/// `fallback` (the user's documents folder; for the editor, the programs folder).
class DialogFolders {
public:
    std::string initialFolder(FileDialog dialog, const ProgramState& state, const std::string& fallback) const;
    /// Remembers the folder of a path chosen in `dialog` for the next dialog of its kind.
    void chosen(FileDialog dialog, const std::string& path);

private:
    enum Kind { Pages, Schemes, Books, Html, Editors, KindCount };
    static Kind kindOf(FileDialog dialog);

    std::array<std::string, KindCount> m_last;
};

} // namespace hw
