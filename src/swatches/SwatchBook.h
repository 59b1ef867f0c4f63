#pragma once

#include "base/AnsiString.h"
#include "colour/TColor.h"

#include <array>

namespace hw {

/// One swatch card: three colours, the hex code of each as its caption ("RRGGBB", or empty
/// when the slot holds no colour) and a title. Both the swatch book and the web schemes'
/// cards are arrays of ten of these.
class SwatchBook {
public:
    TColor GetColor1() const { return m_color1; }
    TColor GetColor2() const { return m_color2; }
    TColor GetColor3() const { return m_color3; }
    void SetColor1(TColor c) { m_color1 = c; }
    void SetColor2(TColor c) { m_color2 = c; }
    void SetColor3(TColor c) { m_color3 = c; }

    const AnsiString& GetCaption1() const { return m_caption1; }
    const AnsiString& GetCaption2() const { return m_caption2; }
    const AnsiString& GetCaption3() const { return m_caption3; }
    void SetCaption1(const AnsiString& t) { m_caption1 = t; }
    void SetCaption2(const AnsiString& t) { m_caption2 = t; }
    void SetCaption3(const AnsiString& t) { m_caption3 = t; }

    const AnsiString& GetTitle() const { return m_title; }
    void SetTitle(const AnsiString& t) { m_title = t; }

    /// Slot-numbered access (slot 1, 2 or 3), for code that loops over the slots.
    TColor GetColor(int slot) const;
    void SetColor(int slot, TColor c);
    const AnsiString& GetCaption(int slot) const;
    void SetCaption(int slot, const AnsiString& t);

private:
    TColor m_color1 = clWhite;
    TColor m_color2 = clWhite;
    TColor m_color3 = clWhite;
    AnsiString m_caption1;
    AnsiString m_caption2;
    AnsiString m_caption3;
    AnsiString m_title;
};

/// The most cards a book (or the schemes' card list) holds.
inline constexpr int maxCards = 10;
using SwatchBookCards = std::array<SwatchBook, maxCards>;

} // namespace hw
