#pragma once

#include <string>

namespace hw {

/// The main window's caption in two parts: the swatch book's file name and the page's name.
/// The book commands set bookName; the page and scheme commands set pageName (and may set
/// bookName to the book's file name or to empty).
struct WindowCaption {
    std::string bookName;
    std::string pageName;

    /// "Huewright - " + bookName + " | " + pageName when both are non-empty, else
    /// "Huewright - " + bookName + pageName.
    std::string compose() const;
};

} // namespace hw
