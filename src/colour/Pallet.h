#pragma once

#include "base/AnsiString.h"
#include "colour/TColor.h"

namespace hw {

/// The current colour: the colour last picked in any tool, which the swatch card slots copy.
/// `color` and `hexCode` are independent fields; every pick sets the colour first and then the
/// hex code of that colour. An empty hex code means nothing has been picked yet.
class Pallet {
public:
    Pallet() : m_color(clWhite) {}

    void SetColor(TColor color) { m_color = color; }
    TColor GetColor() const { return m_color; }
    void SetHexCode(const AnsiString& hexCode) { m_hexCode = hexCode; }
    const AnsiString& GetHexCode() const { return m_hexCode; }

    /// A pick: the colour, then its hex code.
    void pick(TColor color);

private:
    TColor m_color;
    AnsiString m_hexCode;
};

} // namespace hw
